#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DTELVANE_TESTS=OFF -DTELVANE_BENCH=OFF

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    cat >&2 <<MSG
No display is available (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot open.
Run it on a desktop session, or under a virtual display:
    xvfb-run -a -s '-screen 0 1280x1024x24' $0
MSG
    exit 1
fi
exec "$root/build/release/telvane-scpi"
