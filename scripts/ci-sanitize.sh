#!/usr/bin/env bash
# Builds everything again with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan and runs every
# test there: any memory error, leak or undefined behaviour fails the test that ran into it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-asan
started=$SECONDS
# Benchmarks are left out: they measure speed, which a sanitizer build does not have.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
    -DTUNESMITH_SANITIZE=ON -DTUNESMITH_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build"
# Qt and fontconfig keep caches for the life of the process on purpose; their leaks are not ours.
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$build" --output-on-failure -j2 --timeout 1500
echo "ci-sanitize: passed in $((SECONDS - started)) s"
