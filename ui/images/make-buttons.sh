#!/usr/bin/env bash
# Draws the five button pictures of the main window: 65 pixels high, 24-bit colour on magenta
# (the transparent colour), the picture above and the button's text beneath it. Run it here to
# regenerate button-*.png.
set -euo pipefail
cd "$(dirname "$0")"

font=$(fc-match -f '%{file}' 'DejaVu Sans Condensed:style=Book')
[[ -f $font ]] || font=$(fc-match -f '%{file}' 'DejaVu Sans')
bg='#ff00ff'

# picture NAME WIDTH TEXT DRAW-ARGS...: the drawing, then the text in the bottom 16 pixels.
picture() {
    local name=$1 width=$2 text=$3
    shift 3
    convert -size "${width}x65" "xc:$bg" +antialias "$@" \
        +antialias -font "$font" -pointsize 9 -fill black -stroke none \
        -gravity south -annotate +0+3 "$text" -gravity northwest \
        -alpha off -type TrueColor -define png:color-type=2 -strip "PNG24:button-$name.png"
}

# A green arrow bending over and pointing down.
picture gettime 48 "Get time" \
    -fill none -stroke '#006000' -strokewidth 7 -draw 'path "M 9,38 C 9,12 36,8 36,26"' \
    -stroke '#20b020' -strokewidth 4 -draw 'path "M 9,38 C 9,12 36,8 36,26"' \
    -fill '#20b020' -stroke '#006000' -strokewidth 1.5 -draw 'polygon 26,25 46,25 36,42'

# A grey open-ended wrench lying across the picture.
picture adjust 51 "Adjust time" \
    -fill '#909090' -stroke '#404040' -strokewidth 1.5 \
    -draw 'polygon 12,38 33,16 38,21 17,43' \
    -draw 'circle 37,15 46,15' -draw 'circle 12,40 18,43' \
    -fill "$bg" -stroke "$bg" -draw 'polygon 36,14 44,4 50,10 40,19' \
    -draw 'circle 12,40 14,41' \
    -fill none -stroke '#d0d0d0' -strokewidth 1 -draw 'line 15,37 33,19'

# A panel with two gauges and a row of switches.
picture properties 48 "Properties" \
    -fill '#b8b8b8' -stroke '#404040' -strokewidth 1.5 -draw 'roundrectangle 3,5 44,44 3,3' \
    -fill white -stroke '#202020' -strokewidth 1 -draw 'circle 14,17 14,9' -draw 'circle 33,17 33,9' \
    -stroke '#d00000' -strokewidth 1.5 -draw 'line 14,17 19,12' -draw 'line 33,17 28,11' \
    -fill '#303030' -stroke none \
    -draw 'rectangle 8,31 12,39' -draw 'rectangle 17,31 21,39' -draw 'rectangle 26,31 30,39' \
    -draw 'rectangle 35,31 39,39' \
    -fill '#f0d000' -draw 'rectangle 8,31 12,34' -draw 'rectangle 17,36 21,39' \
    -draw 'rectangle 26,31 30,34' -draw 'rectangle 35,36 39,39'

# A white "i" on a blue disc.
picture help 50 "Help" \
    -fill '#1040c0' -stroke '#002080' -strokewidth 1.5 -draw 'circle 25,24 25,4' \
    -fill white -stroke none -draw 'circle 25,13 25,9.5' -draw 'roundrectangle 21,19 29,38 2,2'

# A yellow figure running to the left, out of the picture.
picture exit 48 "Exit" \
    -fill '#f0d000' -stroke '#806000' -strokewidth 1 -draw 'circle 28,8 28,3.5' \
    -fill none -stroke '#806000' -strokewidth 6 \
    -draw 'polyline 26,14 22,28' -draw 'polyline 22,28 12,32 8,42' -draw 'polyline 22,28 30,35 28,44' \
    -draw 'polyline 25,17 15,20 10,16' -draw 'polyline 25,17 33,23 40,20' \
    -stroke '#f0d000' -strokewidth 4 \
    -draw 'polyline 26,14 22,28' -draw 'polyline 22,28 12,32 8,42' -draw 'polyline 22,28 30,35 28,44' \
    -draw 'polyline 25,17 15,20 10,16' -draw 'polyline 25,17 33,23 40,20'
