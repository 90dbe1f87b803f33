#!/bin/sh
# Builds the Debian package from the build tree given and checks what it installs: the program
# directory under /usr/lib, the command on the PATH, the desktop's files, stripped binaries, and
# the dependencies, also those that are loaded or run rather than linked.
set -eu
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" || {
    cat "$work/cpack.log"
    fail "cpack"
}
package=$(ls "$work"/pictalux_*.deb)
dpkg-deb -c "$package" | awk '{ print $6 $7 $8 }' >"$work/contents"
for file in ./usr/bin/pictalux-\>../lib/pictalux/pictalux ./usr/lib/pictalux/pictalux \
    ./usr/lib/pictalux/convert ./usr/lib/pictalux/lng/English.lng \
    ./usr/lib/pictalux/lng/Chinese.lng ./usr/lib/pictalux/mouse.png \
    ./usr/lib/pictalux/menuBackground.png ./usr/lib/pictalux/menuPic.png \
    ./usr/share/applications/pictalux.desktop ./usr/share/man/man1/pictalux.1.gz \
    ./usr/share/icons/hicolor/48x48/apps/pictalux.png \
    ./usr/share/icons/hicolor/256x256/apps/pictalux.png; do
    grep -qxF -- "$file" "$work/contents" || fail "the package lacks $file"
done

depends=$(dpkg-deb -f "$package" Depends)
for needed in libqt6widgets6 qt6-qpa-plugins qt6-image-formats-plugins imagemagick \
    fonts-dejavu-core fonts-noto-cjk; do
    case ", $depends," in
    *", $needed "* | *", $needed,"*) ;;
    *) fail "Depends lacks $needed: $depends" ;;
    esac
done
[ "$(dpkg-deb -f "$package" Recommends)" = graphicsmagick ] || fail "GraphicsMagick not recommended"

dpkg-deb -x "$package" "$work/root"
for binary in pictalux convert; do
    file -L "$work/root/usr/lib/pictalux/$binary" | grep -q ', stripped' ||
        fail "$binary is not stripped"
done
# Through the link, as from the PATH, and without a display.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$work/root/usr/bin/pictalux" --version)
[ "$version" = "Pictalux $(dpkg-deb -f "$package" Version)" ] || fail "--version says: $version"
echo "PASS: $(basename "$package")"
