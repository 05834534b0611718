#!/usr/bin/env bash
# Builds every libFuzzer target with clang and runs each for SECONDS (default 60); fails on any finding.
# Usage: scripts/fuzz.sh [SECONDS]
# A target NAME is fuzz/NAME_fuzz.cpp, listed by tavix_add_fuzzer in fuzz/CMakeLists.txt; fuzz/NAME.dict, when
# present, is its dictionary.
# Environment: FUZZ_BUILD_DIR (default build-fuzz), FUZZ_MAX_LEN (default 65536), FUZZ_RSS_MB (default 2048).
# The corpus grows in FUZZ_BUILD_DIR/corpus/TARGET across runs; failing inputs land in FUZZ_BUILD_DIR/artifacts/TARGET
# and belong, once fixed, in fuzz/regressions/TARGET/ (replayed by the normal test suite).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
dir="${FUZZ_BUILD_DIR:-build-fuzz}"
max_len="${FUZZ_MAX_LEN:-65536}"
rss_mb="${FUZZ_RSS_MB:-2048}"
samples="$(pwd)/../shared/sor-samples"

bash scripts/deps.sh clang libclang-rt-14-dev llvm-14
CC=clang CXX=clang++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVIX_FUZZ=ON \
    -DTAVIX_BUILD_GUI=OFF -DTAVIX_BUILD_BENCH=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build "$dir" --target fuzzers -j "$(nproc)"

if [ -x /usr/lib/llvm-14/bin/llvm-symbolizer ]; then
    export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-14/bin/llvm-symbolizer
fi
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"

failed=()
summary=()
while read -r target; do
    [ -n "$target" ] || continue
    corpus="$dir/corpus/$target"
    seeds="$dir/seeds/$target"
    artifacts="$dir/artifacts/$target"
    regressions="fuzz/regressions/$target"
    log="$dir/logs/$target.log"
    mkdir -p "$corpus" "$artifacts" "$regressions" "$(dirname "$log")"
    rm -rf "$seeds"
    "$dir/bin/fuzz_seeds" "$target" "$seeds" "$samples"

    echo "== fuzzing $target for ${seconds}s (log: $log)"
    options=(-max_total_time="$seconds" -max_len="$max_len" -rss_limit_mb="$rss_mb" -timeout=2 -print_final_stats=1
        -artifact_prefix="$artifacts/")
    if [ -f "fuzz/$target.dict" ]; then
        options+=(-dict="fuzz/$target.dict")
    fi
    status=0
    # New inputs go to the first folder; the seeds and the regressions are read as they are.
    "$dir/bin/${target}_fuzz" "${options[@]}" "$corpus" "$seeds" "$regressions" >"$log" 2>&1 || status=$?
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
    took="$(sed -n 's/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\2/p' "$log" | tail -n 1)"
    summary+=("$target: ${runs:-?} executions in ${took:-$seconds} s, corpus $(find "$corpus" -type f | wc -l) files")
    if [ "$status" -ne 0 ]; then
        failed+=("$target")
        echo "!! $target found a failure (exit $status); last lines of $log:"
        tail -n 60 "$log"
        ls -l "$artifacts"
    fi
done <"$dir/fuzz-targets.txt"

echo "== fuzzing summary"
printf '   %s\n' "${summary[@]}"
if [ "${#failed[@]}" -ne 0 ]; then
    echo "fuzzing failed: ${failed[*]}"
    exit 1
fi
