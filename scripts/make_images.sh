#!/usr/bin/env bash
# Draws the About box's donation button, resources/donate.png (62 x 31 pixels), with ImageMagick.
# Usage: make_images.sh [output path]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="${1:-$here/../resources/donate.png}"

# A rounded golden button with a darker rim and the word in dark brown; -strip and the excluded chunks keep
# the file free of dates, so redrawing it gives the same bytes.
convert -size 62x31 xc:none \
    \( -size 60x29 gradient:'#ffe27a-#f0a418' \) -geometry +1+1 -composite \
    \( -size 62x31 xc:none -fill none -stroke '#a8650a' -strokewidth 1 -draw 'roundrectangle 0.5,0.5 61.5,30.5 7,7' \) -composite \
    \( -size 62x31 xc:black -fill white -draw 'roundrectangle 0,0 61,30 7,7' \) -alpha off -compose CopyOpacity -composite \
    -compose over -stroke none -fill '#ffffff60' -draw 'roundrectangle 4,2 57,12 5,5' \
    -font DejaVu-Sans-Bold -pointsize 11 -fill '#5a2d00' -gravity center -annotate +0+1 'Donate' \
    -depth 8 -strip -define png:exclude-chunks=date,time,tIME "$out"
echo "$out"
