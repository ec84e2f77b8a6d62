#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: in a normal build and in a
# build with AddressSanitizer and UndefinedBehaviorSanitizer. The tests of the threaded code
# (the instrument link) run a third time under ThreadSanitizer. The normal build is also installed
# into a staging folder, whose desktop files and programs are checked. Warnings are errors here;
# everything compiles through ccache when it is installed (see ccache_env.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
. "$root/scripts/ccache_env.sh"

export QT_QPA_PLATFORM=offscreen

echo "== formatting"
(cd "$root" && git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run -Werror)
jobs=$(nproc)

echo "== normal build"
"$root/scripts/build.sh" "$root/build/test" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTELVANE_WERROR=ON
ctest --test-dir "$root/build/test" --output-on-failure -j "$jobs"

echo "== installed files"
"$root/scripts/check_install.sh" "$root/build/test"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
"$root/scripts/build.sh" "$root/build/asan" -DCMAKE_BUILD_TYPE=Debug \
    -DTELVANE_SANITIZE=address,undefined -DTELVANE_BENCH=OFF -DTELVANE_WERROR=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    LSAN_OPTIONS=suppressions="$root/tests/lsan.supp" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$root/build/asan" --output-on-failure -j "$jobs"

echo "== ThreadSanitizer build of the link tests"
cmake -S "$root" -B "$root/build/tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DTELVANE_SANITIZE=thread -DTELVANE_BENCH=OFF -DTELVANE_WERROR=ON >/dev/null
cmake --build "$root/build/tsan" -j "$jobs" --target test_link test_link_window
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 "$root/build/tsan/tests/test_link"
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 "$root/build/tsan/tests/test_link_window"
echo "== fuzzing the response interpreter and the data file loader (about 80 s, AddressSanitizer + UndefinedBehaviorSanitizer)"
"$root/scripts/fuzz.sh" 60
