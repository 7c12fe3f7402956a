#!/usr/bin/env bash
# The tray icon in the notification area of Wine's desktop: minimizing hides the window into it
# and a double click brings it back; a second start brings the first copy's window out; when the
# shell loses the icon (as when Explorer restarts), "TaskbarCreated" puts it back; the icon's menu
# answers the keyboard: "Synchronize computer clock" asks chronyd, and "Exit program" ends the
# program with its settings saved.
source "$(dirname "$0")/lib.sh"

prog=$(win_copy "GlobalTimeSrvList=127.0.0.1")
win_start_shown "$prog"
e2e_expect 10 "no icon in the tray" win_tray_icon_drawn

minimize() {
    win_click TTimeForm 101 # the window takes the keyboard
    xdotool key alt+space n
    e2e_expect 5 "minimizing left the window out" eval '! win_shown TTimeForm'
}
minimize
win_tray_click 1 2
e2e_expect 5 "the double click did not restore the window" win_shown TTimeForm

minimize
win_start "$prog"
e2e_expect 10 "a second start did not bring the first copy out" win_shown TTimeForm
e2e_expect 10 "the second copy stays" eval '[[ $(win_copies "$prog") == 1 ]]'

win_probe untray TTrayIconHandler 1 || e2e_fail "the icon could not be taken out of the tray"
e2e_expect 5 "the icon stays drawn out of the tray" eval '! win_tray_icon_drawn'
win_probe post TTrayIconHandler TaskbarCreated
e2e_expect 5 "TaskbarCreated did not add the icon again" win_tray_icon_drawn

# The menu's "Synchronize computer clock" asks chronyd, whose time is the machine's own: the
# server field shows it, and there is nothing to set.
tray_menu() {
    win_tray_click 3
    e2e_expect 5 "no tray menu ($*)" win_shown "#32768"
    xdotool key "$@" Return
}
tray_menu Down
e2e_expect 10 "no server time after Synchronize" eval '[[ -n $(win_probe text TTimeForm 114) ]]'
win_server_field_ahead 0 || e2e_fail "server field '$WIN_SHOWN' is not chronyd's time"

rm "$(win_settings_file "$prog")"
tray_menu Down Down Down # Synchronize, (separator,) Restore, Exit
e2e_expect 10 "Exit program did not end the program" win_ended "$prog"
[[ $(win_setting "$prog" GlobalTimeSrvList) == 127.0.0.1 ]] || e2e_fail "Exit program did not save"
e2e_log ok
