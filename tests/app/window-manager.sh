#!/bin/sh
# The real program under a window manager, started by its bare name through a link on the PATH
# from a folder that holds a planted pictalux/convert: it opens the TIFF picture it is given,
# runs its own converter, never the planted one, and the picture stays in its place on the
# screen while the user goes between browser and editor.
set -eu
build=$1
imagemagick=$2
for tool in Xvfb openbox xdotool xprop; do
    command -v $tool >/dev/null || {
        echo "SKIP: $tool is not installed (scripts/setup installs it)"
        exit 77
    }
done
work=$(mktemp -d)
program=
pids=
trap 'kill $pids 2>/dev/null; rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*"
    [ -z "${program:-}" ] || shown
    cat "$work/trace"
    exit 1
}
# Waits up to ten seconds for a condition to hold.
await() {
    for _ in $(seq 100); do
        eval "$1" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "waited in vain for: $1${2:-}"
}
# The title and place of each window shown.
shown() {
    for window in $(xdotool search --onlyvisible --pid "$program"); do
        printf '%s %s\n' "$(xdotool getwindowname "$window")" \
            "$(xdotool getwindowgeometry "$window" | grep Position)"
    done
}

mkdir -p "$work/program/lng" "$work/bin" "$work/pictures" "$work/here/pictalux"
for file in pictalux convert lng/English.lng lng/Chinese.lng mouse.png menuBackground.png \
    menuPic.png; do
    cp "$build/$file" "$work/program/$file"
done
ln -s "$work/program/pictalux" "$work/bin/pictalux"
printf '#!/bin/sh\ntouch "%s/planted converter ran"\n' "$work" >"$work/here/pictalux/convert"
chmod +x "$work/here/pictalux/convert"
"$imagemagick" -size 200x100 xc:red "$work/pictures/red.tiff"
: >"$work/trace"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids=$!
await 'test -s "$work/display"'
export DISPLAY=":$(cat "$work/display")"
openbox >/dev/null 2>&1 &
pids="$pids $!"
await 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'

cd "$work/here"
PATH="$work/bin:$PATH" QT_QPA_PLATFORM=xcb PICTALUX_SYSTEM_CFG="$work/none" \
    PICTALUX_START_DIR="$work/pictures" sh -c 'exec pictalux "$1"' sh "$work/pictures/red.tiff" >"$work/trace" 2>&1 &
program=$!
pids="$pids $program"
await 'grep -qx "tempScale is 1.000000" "$work/trace"'

# The editor alone, then browser and editor in turn, each where the other was.
await '[ "$(shown | grep -c "^Pictalux ")" = 1 ] && [ "$(shown | wc -l)" = 1 ]'
place=$(shown | sed 's/^Pictalux //')
for step in "F9:E8 Pictalux" "Return:Pictalux" "F9:E8 Pictalux" "Return:Pictalux"; do
    xdotool key "${step%%:*}"
    expected="${step#*:} $place"
    await '[ "$(shown)" = "$expected" ]' " after ${step%%:*}"
done

# The tool menu opens on Crop; two steps left is Negative.
xdotool key --delay 100 Return Left Left Return
await 'grep -qx "operation successiful!" "$work/trace"'
[ ! -e "$work/planted converter ran" ] || fail "the planted converter ran"
echo "PASS: $place"
