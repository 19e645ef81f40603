#!/usr/bin/env bash
# Makes the README's pictures, docs/screenshots/*.png, from the end-to-end run of the real program that
# scripts/ci-e2e.sh makes (tests/e2e/run_gui.py): the start-up window, the main window with the description box,
# the connection settings dialog, the About box, the main window on a dark desktop palette, the preview of a save,
# the backup chooser, the main window with the search field, the start-up window with a found install directory and
# the main window showing only the changed tweaks.
# The build folder is build/, or $TUNESMITH_BUILD_DIR; build first (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${TUNESMITH_BUILD_DIR:-build}"
work="$(mktemp -d "${TMPDIR:-/tmp}/tunesmith-shots.XXXXXX")"
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/installed" > /dev/null
python3 -B tests/e2e/run_gui.py --program "$work/installed" --work "$work/gui" --shots "$work/shots"
mkdir -p docs/screenshots
while read -r shot name; do
    # Without dates in the files: the same pictures give the same bytes.
    convert "$work/shots/$shot" -strip -define png:exclude-chunks=date,time,tIME "docs/screenshots/$name"
    echo "docs/screenshots/$name"
done <<'LIST'
startup.png start-up-window.png
main.png main-window.png
connection.png connection-settings.png
about.png about.png
main-dark.png main-window-dark.png
preview.png save-preview.png
restore.png restore-backup.png
find.png find-tweak.png
startup-found.png found-config.png
changed.png changed-only.png
LIST
