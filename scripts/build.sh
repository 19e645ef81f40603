#!/usr/bin/env bash
# Configures and builds Tunesmith into build/ (the runnable program folder is build/program).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build build
