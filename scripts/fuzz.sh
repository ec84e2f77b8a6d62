#!/usr/bin/env bash
# Builds the fuzz target of the response interpreter with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs it for the given number of seconds (default 60).
# Fails when the fuzzer finds a crash, a sanitizer report or a broken check; the input that
# did it is left in build/fuzz/ as crash-* (or leak-*, timeout-*), the whole output in
# build/fuzz/fuzz.log.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build/fuzz"
cmake -S "$root/fuzz" -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$dir"
mkdir -p "$dir/corpus"
cd "$dir"
status=0
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ./fuzz_interpret_rx -max_total_time="$seconds" -timeout=10 -rss_limit_mb=3072 \
    -print_final_stats=1 -dict="$root/fuzz/interpret_rx.dict" corpus "$root/fuzz/seeds" \
    >fuzz.log 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
    tail -n 60 fuzz.log
    echo "fuzzing failed (exit $status); see $dir/fuzz.log" >&2
    exit "$status"
fi
grep -E '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units)' fuzz.log
