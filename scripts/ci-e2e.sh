#!/usr/bin/env bash
# End-to-end checks of the real program, run by scripts/test.sh after the build: the program folder that
# `cmake --install` lays out, the program driven with real mouse and keyboard events in a virtual X server with
# screenshots compared to tests/e2e/reference, and the Debian package installed and started by a normal user.
# Options are passed to both runs: --update-references makes the screenshots the new references (look at them
# before committing), --shots DIR keeps a copy of every screenshot.
# The build folder is build/, or $TUNESMITH_BUILD_DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${TUNESMITH_BUILD_DIR:-build}"
[ -f "$build/CPackConfig.cmake" ] || { echo "ci-e2e: no configured build in $build (run scripts/build.sh)" >&2; exit 1; }

work="$(mktemp -d "${TMPDIR:-/tmp}/tunesmith-e2e.XXXXXX")"
chmod 755 "$work" # the package check's throwaway user reads the fonts and settings kept here
finish() {
    status=$?
    if [ "$status" -eq 0 ]; then
        rm -rf "$work"
    else
        echo "ci-e2e: failed; screenshots, differences and logs are in $work" >&2
    fi
}
trap finish EXIT

started=$SECONDS
cmake --install "$build" --prefix "$work/installed" > /dev/null
python3 -B tests/e2e/run_gui.py --program "$work/installed" --work "$work/gui" "$@"
python3 -B tests/e2e/run_package.py --build "$build" --work "$work/package" "$@"
echo "ci-e2e: passed in $((SECONDS - started)) s"
