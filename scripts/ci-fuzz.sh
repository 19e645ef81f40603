#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer into build-fuzz and runs
# each one briefly from its seed corpus; any crash, sanitizer report, leak or failed check fails the run.
#   FUZZ_SECONDS   seconds per target (default 5)
#   FUZZ_TARGETS   the targets to run (default all)
#   FUZZ_RUNS      stop a target after this many inputs, if that comes first (default: no limit)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-5}
targets=${FUZZ_TARGETS:-"profile configmerge configreader settings manifest connectionrule numbertext"}
build=build-fuzz

# Debug keeps Qt's own assertions (container bounds among them) on; -O1 keeps the runs quick.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DTUNESMITH_FUZZ=ON -DTUNESMITH_BUILD_TESTS=OFF \
    -DTUNESMITH_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target fuzz_all

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1:quarantine_size_mb=64}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
for target in $targets; do
    corpus="$build/fuzz/corpus/$target"
    mkdir -p "$corpus"
    # Profiles are about 10 KiB; anything else finds its cases in short inputs, and short inputs run faster.
    max_len=4096
    [ "$target" = profile ] && max_len=16384
    options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" -print_final_stats=1
        -artifact_prefix="$build/fuzz/crash-$target-")
    [ -n "${FUZZ_RUNS:-}" ] && options+=(-runs="$FUZZ_RUNS")
    dict="fuzz/$target.dict"
    [ -e "$dict" ] && options+=(-dict="$dict")
    echo "== fuzz_$target ($seconds s)"
    if ! "$build/fuzz/fuzz_$target" "${options[@]}" "$corpus" "$build/fuzz/seeds/$target" \
        >"$build/fuzz/$target.log" 2>&1; then
        tail -n 60 "$build/fuzz/$target.log"
        echo "fuzz_$target failed; the input is in $build/fuzz/crash-$target-*"
        status=1
        continue
    fi
    grep -E "stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)" "$build/fuzz/$target.log" |
        tr -s ' \n' ' '
    echo
done
exit $status
