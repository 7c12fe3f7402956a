#!/usr/bin/env bash
# Draws the application-menu icon (48 x 48): the tray's clock face, grey with a red rim and a dark
# blue hand, at menu size. Run it here to regenerate velmora.png.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 48x48 xc:none \
    -fill '#c8c8c8' -stroke '#d00000' -strokewidth 4 -draw 'circle 23.5,23.5 23.5,3' \
    -stroke '#707070' -strokewidth 2 \
    -draw 'line 23.5,8 23.5,11 line 39,23.5 36,23.5 line 23.5,39 23.5,36 line 8,23.5 11,23.5' \
    -stroke '#000080' -strokewidth 3 -draw 'line 23.5,23.5 33,14' \
    -stroke '#000080' -strokewidth 3 -draw 'line 23.5,23.5 23.5,12' \
    -fill '#000080' -stroke none -draw 'circle 23.5,23.5 23.5,21' \
    -strip velmora.png
