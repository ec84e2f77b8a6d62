#!/usr/bin/env bash
# Installs what is missing, makes a Release build of the programs and packs them into a Debian
# package in build/package/ (its dependencies read off the programs by dpkg-shlibdeps).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
build="$root/build/package"
"$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DTELVANE_TESTS=OFF \
    -DTELVANE_BENCH=OFF
(cd "$build" && cpack -G DEB)
ls "$build"/*.deb
