#!/usr/bin/env bash
# Draws the application icon, the tray's clock face (grey with a red rim and a dark blue hand), at
# SIZE x SIZE pixels into OUTPUT: the build makes every size the icon theme installs. The figure is
# laid out on a 48-pixel grid and scaled, so every size is the same drawing.
# Usage: make-icon.sh SIZE OUTPUT
set -euo pipefail
size=$1 output=$2
scale=$(awk -v s="$size" 'BEGIN { printf "%.6f", s / 48 }')
# Coordinates are pixel centres: the grid's centre 23.5 lands on the picture's centre.
grid="translate -0.5,-0.5 scale $scale,$scale translate 0.5,0.5"
convert -size "${size}x${size}" xc:none -draw "$grid
    fill '#c8c8c8' stroke '#d00000' stroke-width 4 circle 23.5,23.5 23.5,3
    stroke '#707070' stroke-width 2
    line 23.5,8 23.5,11 line 39,23.5 36,23.5 line 23.5,39 23.5,36 line 8,23.5 11,23.5
    stroke '#000080' stroke-width 3 line 23.5,23.5 33,14 line 23.5,23.5 23.5,12
    fill '#000080' stroke none circle 23.5,23.5 23.5,21" \
    -depth 8 -strip "PNG32:$output"
