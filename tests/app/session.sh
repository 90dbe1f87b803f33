#!/bin/sh
# The real program on an X server without a window manager, driven by keys that go through the
# window system: they reach whichever of browser, editor, save dialog and popup has the focus as
# these take turns, a held key moves the cursor, and each window is repainted in its place. The
# screenshots are kept in the build tree, in e2e-screenshots.
set -eu
build=$1
imagemagick=$2
for tool in Xvfb xdotool import; do
    command -v $tool >/dev/null || {
        echo "SKIP: $tool is not installed (scripts/setup installs it)"
        exit 77
    }
done
work=$(mktemp -d)
shots=$build/e2e-screenshots
pids=
trap 'kill $pids 2>/dev/null || true; rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*"
    cat "$work/trace"
    exit 1
}
# Waits up to twenty seconds for a line of the program's that starts with the text, after the
# lines awaited before.
seen=0
await() {
    for _ in $(seq 200); do
        found=$(awk -v from="$seen" -v text="$1" \
            'NR > from && index($0, text) == 1 { print NR; exit }' "$work/trace")
        [ -z "$found" ] || {
            seen=$found
            return 0
        }
        sleep 0.1
    done
    fail "waited in vain for: $1"
}
# Keeps a screenshot, and checks the colour of one of its pixels when given one.
shot=0
screen() {
    shot=$((shot + 1))
    sleep 0.3
    import -window root "$shots/$shot-$1.png"
    [ $# = 1 ] && return
    colour=$("$imagemagick" "$shots/$shot-$1.png" -format "%[hex:p{$2,$3}]" info:)
    [ "$colour" = "$4" ] || fail "$1: the pixel at $2,$3 is $colour, not $4"
}
title=1D3C6E

# A program directory of its own, which the tools write their working copy into.
rm -rf "$shots"
mkdir -p "$shots" "$work/program/lng" "$work/storage/Photos" "$work/storage/Saved"
for file in pictalux convert lng/English.lng lng/Chinese.lng mouse.png menuBackground.png \
    menuPic.png; do
    cp "$build/$file" "$work/program/$file"
done
"$imagemagick" -size 400x200 \( xc:red xc:lime +append \) \( xc:blue xc:white +append \) \
    -append "$work/storage/Photos/quarters.png"
: >"$work/trace"
Xvfb -displayfd 3 -screen 0 320x240x24 3>"$work/display" 2>/dev/null &
pids=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
export DISPLAY=":$(cat "$work/display")"
QT_QPA_PLATFORM=xcb PICTALUX_SYSTEM_CFG="$work/none" PICTALUX_START_DIR="$work/storage" \
    "$work/program/pictalux" >"$work/trace" 2>&1 &
program=$!
pids="$pids $program"
await "DIR    Saved"
screen browser 300 10 $title

# Into Photos and onto the picture, fitted to 320 x 160 below a gray band; then negated.
xdotool key --delay 100 Down Return Down Return
await "tempScale is 0.400000"
screen editor 80 80 FF0000
xdotool key --delay 100 Return Left Left Return
await "operation successiful!"
await "tempScale is 0.400000"
screen negated 80 80 00FFFF

# The crop: the cursor held up and left of the centre, the corner, then down and right. Only the
# rectangle's outline is pure green on the negated picture.
xdotool key --delay 100 Return Return keydown Up Left sleep 0.6 keyup Up Left key Return \
    keydown Down Right sleep 1.4 keyup Down Right
await "menu navigation"
screen cursor
green=$("$imagemagick" "$shots/$shot-cursor.png" -fill black +opaque "#00FF00" -fill white \
    -opaque "#00FF00" -colorspace gray -format "%[fx:round(mean*w*h)]" info:)
[ "$green" -gt 80 ] || fail "the rectangle is not drawn: $green green pixels"
xdotool key Return
await "index 7"

# The save dialog: an empty name gets its popup, whose key hands the focus back to the name;
# then a PNG in the other folder, and the browser again.
xdotool sleep 0.5 key --delay 200 F11 F9 Return type cut
xdotool key --delay 100 Down Right Right Down Return Down Down Return
screen save-dialog 300 10 $title
xdotool key F9
await "file save command:"
screen browser-again 300 10 $title
saved=$work/storage/Saved/cut.png
corners="$("$imagemagick" "$saved" -format "%m %[hex:p{0,0}]" info:)"
corners="$corners $("$imagemagick" "$saved" -rotate 180 -format "%[hex:p{0,0}]" info:)"
# The rectangle runs from the red quarter into the white one, both negated.
[ "$corners" = "PNG 00FFFF 000000" ] || fail "saved: $corners"

# Quit from the options menu.
xdotool key --delay 100 F9 Down Down Down Return
for _ in $(seq 100); do
    kill -0 $program 2>/dev/null || break
    sleep 0.1
done
kill -0 $program 2>/dev/null && fail "the program did not quit"
wait $program || fail "the program ended with $?"

# A program that finds its directory taken works in a private folder, which goes with it when a
# signal ends it, as the desktop's session does at logout.
mkdir -m 700 "$work/runtime"
exec 9<"$work/program"
flock 9
: >"$work/trace"
seen=0
XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb PICTALUX_SYSTEM_CFG="$work/none" \
    "$work/program/pictalux" "$work/storage/Photos/quarters.png" >"$work/trace" 2>&1 9<&- &
program=$!
pids="$pids $program"
await "tempScale is 0.400000"
screen private 80 80 FF0000
xdotool key --delay 100 Return Left Left Return
await "operation successiful!"
[ -n "$(ls "$work/runtime")" ] || fail "no private folder in the runtime folder"
kill -TERM $program
wait $program || fail "the stop signal ended the program with $?"
[ -z "$(ls "$work/runtime")" ] || fail "left behind: $(ls "$work/runtime")"
echo "PASS"
