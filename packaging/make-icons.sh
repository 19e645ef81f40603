#!/usr/bin/env bash
# Renders Tunesmith's icon at the sizes desktops look for, from icons/tunesmith.svg (icons/tunesmith-small.svg, a
# bolder drawing, for 16 and 24 pixels), into icons/tunesmith-<size>.png. Needs rsvg-convert (librsvg2-bin).
# The PNGs are committed; run this after changing a drawing. Same drawing, same bytes.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/icons"
for size in 16 24 32 48 64 128 256; do
    drawing=tunesmith.svg
    [ "$size" -le 24 ] && drawing=tunesmith-small.svg
    rsvg-convert --width "$size" --height "$size" --output "tunesmith-$size.png" "$drawing"
    echo "icons/tunesmith-$size.png"
done
