#!/usr/bin/env bash
# Smoke test of the performance script: tiny inputs, one run of each pair, no timing checked. It proves that
# bench/run still builds its inputs, drives the program and prints the table; docs/PERFORMANCE.md has the real one.
# The build folder is build/, or $TUNESMITH_BUILD_DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${TUNESMITH_BUILD_DIR:-build}"
bench/run --smoke --build "$build" --no-build
