#!/usr/bin/env bash
# Installs the given build into a fresh staging folder and checks what a desktop will read:
# the desktop entry and the AppStream metadata must validate, and the installed programs must
# answer --version with the project version, without a display.
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cmake --install "$build" --prefix "$stage" >/dev/null

id=org.telvane.TelvaneSCPI
desktop-file-validate "$stage/share/applications/$id.desktop"
appstreamcli validate --no-net "$stage/share/metainfo/$id.metainfo.xml" >/dev/null || {
    appstreamcli validate --no-net "$stage/share/metainfo/$id.metainfo.xml" >&2
    exit 1
}
for size in 16 32 48 64 128 256; do
    icon="$stage/share/icons/hicolor/${size}x${size}/apps/$id.png"
    file -b "$icon" | grep -q "PNG image data, $size x $size" || {
        echo "icon $icon is not a ${size}x$size PNG" >&2
        exit 1
    }
done

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
for prog in telvane-scpi telvane-sim; do
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$stage/bin/$prog" --version)
    if [ "$out" != "$prog $version" ]; then
        echo "installed $prog --version printed '$out', expected '$prog $version'" >&2
        exit 1
    fi
    echo "$out"
done
echo "desktop entry, metainfo and icons valid"
