#!/usr/bin/env bash
# Installs what is missing, makes a Release build of the programs and packs them into a Debian
# package in build/package/ (its dependencies read off the programs by dpkg-shlibdeps).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
build="$root/build/package"
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
"$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DTELVANE_TESTS=OFF \
    -DTELVANE_BENCH=OFF "${launcher[@]}"
(cd "$build" && cpack -G DEB)
ls "$build"/*.deb
