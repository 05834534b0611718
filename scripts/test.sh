#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest; then the same suite built with
# AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/, leak detection on; the tests bring their
# LeakSanitizer suppressions for leaks of Qt, tests/lsan.supp); then every fuzz target for TAVIX_FUZZ_SECONDS seconds
# each (default 60, 0 skips the fuzzing).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh build
(cd build && ctest --output-on-failure -j "$(nproc)")

bash scripts/build.sh build-asan -DTAVIX_SANITIZE=ON -DTAVIX_BUILD_BENCH=OFF
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --output-on-failure -j "$(nproc)")

fuzz_seconds="${TAVIX_FUZZ_SECONDS:-60}"
if [ "$fuzz_seconds" -gt 0 ]; then
    bash scripts/fuzz.sh "$fuzz_seconds"
fi
