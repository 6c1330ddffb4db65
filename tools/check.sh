#!/usr/bin/env bash
# The reliability run: every test built with AddressSanitizer and
# UndefinedBehaviorSanitizer, each fuzz target for a while, and the real
# program driven end to end in a virtual X server, from the build tree and
# from an installation. Any report fails.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:-60}
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0

echo "== Tests with sanitizers"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVORLANE_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j "$jobs"
(cd build-sanitize && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")

echo "== Fuzzing, ${fuzz_seconds} s per target"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLANE_FUZZ=ON >/dev/null
targets=(document netinfo fieldtonum renderer ifs posterpart)
cmake --build build-fuzz -j "$jobs" --target "${targets[@]/#/fuzz_}"
for target in "${targets[@]}"; do
    work=$(mktemp -d)
    log=build-fuzz/fuzz_$target.log
    if ! build-fuzz/fuzz/fuzz_$target -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 \
            -print_final_stats=1 \
            -artifact_prefix=build-fuzz/ "$work" "fuzz/corpus/$target" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "fuzz_$target FAILED"
        exit 1
    fi
    runs=$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$')
    echo "fuzz_$target: $runs executions, no failure"
    rm -rf "$work"
done

echo "== End to end"
# Runs the build tree's program and an installed copy of it.
tests/e2e/installed.sh build
