#!/usr/bin/env bash
# The help window as drawn on the screen: the title underlined, the heading "Get time button"
# in bold (the same words at the start of the next line carry far less ink), and Esc closes it.
source "$(dirname "$0")/lib.sh"

prog=$(win_copy "GlobalTimeSrvList=127.0.0.1")
win_start_shown "$prog"
win_click TTimeForm 104
e2e_expect 10 "no help window" win_shown "#32770:Program help"
read -r left top right bottom < <(win_probe rect "#32770:Program help" 1101)
shot=$E2E_TMP/help.png
# The text lines of the rich edit's inside, below its border, left of its scroll bar.
text_lines() {
    convert "$shot" -crop "$((right - left - 30))x$((bottom - top - 6))+$((left + 3))+$((top + 3))" \
        -colorspace gray -compress none pgm:- | python3 "$(dirname "$0")/text-lines.py" "$@"
}
# Whether the screen shows the text drawn, the line after the heading included; sets lines and
# heading (the heading's line number).
drawn() {
    local i line_top line_bottom gaps=0 previous=-100
    import -window root "$shot" || return 1
    mapfile -t lines < <(text_lines)
    heading=-1
    # "Get time button" comes after the second blank line (the first is under the title).
    for i in "${!lines[@]}"; do
        read -r line_top line_bottom _ <<<"${lines[i]}"
        ((line_top - previous > 15)) && ((++gaps == 3)) && { heading=$i; break; }
        previous=$line_bottom
    done
    ((heading > 0 && ${#lines[@]} > heading + 1))
}
lines=()
e2e_expect 10 "no heading found: ${lines[*]}" drawn
read -r _ _ title_left title_right _ _ <<<"${lines[0]}"
read -r _ _ rule_left rule_right _ rule_widest <<<"${lines[1]}"
((rule_left <= title_left + 2 && rule_right >= title_right - 2)) &&
    awk -v w="$rule_widest" 'BEGIN { exit !(w >= 0.95) }' || e2e_fail "the title is not underlined"

read -r _ _ _ words_right _ _ <<<"${lines[heading]}"
mapfile -t weighed < <(text_lines "$((words_right + 1))")
read -r _ _ _ _ bold _ <<<"${weighed[heading]}"
read -r _ _ _ _ plain _ <<<"${weighed[heading + 1]}"
((bold * 10 >= plain * 13)) || e2e_fail "the heading is not bold: ink $bold against $plain"

xdotool key Escape
e2e_expect 5 "Esc did not close the help window" eval '! win_shown "#32770:Program help"'
e2e_log "heading ink $bold against $plain; ok"
