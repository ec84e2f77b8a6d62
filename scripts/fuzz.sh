#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs them one after the other, splitting the given number of seconds (default 60) between
# them: two thirds each, so the whole run takes about 1.3 times that. The targets are the
# response interpreter (fuzz_interpret_rx) and the text data file loader (fuzz_load_text_file).
# Fails when a fuzzer finds a crash, a sanitizer report or a broken check (the other target
# still runs); the input that did it is left in build/fuzz/ as crash-* (or leak-*, timeout-*),
# each target's whole output in build/fuzz/<target>.log.
set -euo pipefail
seconds=${1:-60}
each=$(((seconds * 2 + 2) / 3))
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build/fuzz"
. "$root/scripts/ccache_env.sh"
cmake -S "$root/fuzz" -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DTELVANE_WERROR=ON \
    >/dev/null
cmake --build "$dir" -j "$(nproc)"
cd "$dir"

failed=0
# run TARGET DICT SEEDS: fuzzes TARGET for $each seconds, growing build/fuzz/corpus_TARGET.
run() {
    local target=$1 dict=$2 seeds=$3 status=0
    mkdir -p "corpus_$target"
    echo "$target: $each s"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "./$target" -max_total_time="$each" -timeout=10 -rss_limit_mb=3072 \
        -print_final_stats=1 -dict="$root/fuzz/$dict" "corpus_$target" "$root/fuzz/$seeds" \
        >"$target.log" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        tail -n 60 "$target.log"
        echo "fuzzing $target failed (exit $status); see $dir/$target.log" >&2
        failed=$status
        return
    fi
    grep -E '^(#[0-9]+[[:space:]]+DONE|stat::(number_of_executed_units|average_exec_per_sec))' \
        "$target.log"
}

run fuzz_interpret_rx interpret_rx.dict seeds
run fuzz_load_text_file load_text_file.dict seeds_load
exit "$failed"
