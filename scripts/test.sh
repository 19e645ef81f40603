#!/usr/bin/env bash
# Installs what is needed, builds with warnings as errors, checks formatting and runs every test, then the extra
# checks that have a script of their own (sanitizer build, fuzzing, end-to-end runs, benchmark smoke test).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh -DTUNESMITH_WERROR=ON
git ls-files -- '*.cpp' '*.h' | xargs -r clang-format --dry-run -Werror
ctest --test-dir build --output-on-failure -j2
for check in scripts/ci-*.sh; do
    [ -e "$check" ] || continue
    echo "== $check"
    "$check"
done
