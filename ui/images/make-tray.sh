#!/usr/bin/env bash
# Draws the tray icon: a round grey clock face with a red rim and one dark blue hand, 16 x 16,
# 16 colours. Run it here to regenerate tray.png.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 16x16 xc:none \
    -fill '#c0c0c0' -stroke '#e00000' -strokewidth 1.6 -draw 'circle 7.5,7.5 7.5,1.2' \
    -stroke '#808080' -strokewidth 1 -draw 'point 7,3 point 12,7 point 7,12 point 3,7' \
    -stroke '#000080' -strokewidth 1 -draw 'line 8,8 11,5' \
    -stroke '#000080' -strokewidth 1 -draw 'line 8,8 8,4' \
    -channel A -threshold 50% +channel -colors 16 -strip PNG8:tray.png
