#!/usr/bin/env bash
# Configures and builds into the given directory; extra arguments go to CMake. Compiles through
# ccache when it is installed (see ccache_env.sh).
set -euo pipefail
dir=$1
shift
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/ccache_env.sh"
cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
