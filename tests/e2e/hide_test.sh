#!/usr/bin/env bash
# Another program taking the focus hides the window into the tray; "Restore program" does nothing
# then (the window was not minimized); a double click on the tray icon brings it back, normal.
# Minimizing sends it to the tray too, and then "Restore program" brings it back.
source "$(dirname "$0")/lib.sh"

e2e_session
prog=$(e2e_install_copy "" "$E2E_PROBE")
e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown" e2e_main_window_shown
e2e_expect 10 "no tray icon" e2e_tray_icon_present
e2e_expect 5 "display refresh not started by the activation" e2e_probe_is "$prog" UpdateTimer 1

e2e_other_window
e2e_expect 5 "window not hidden when another program became active" e2e_main_window_hidden
e2e_probe_is "$prog" IconVisible 1 || e2e_fail "icon gone with the window"

e2e_open_tray_menu
e2e_menu_pick 2 # Restore program
sleep 0.5
e2e_main_window_hidden || e2e_fail "Restore program showed a window that was not minimized"

e2e_tray_double_click
e2e_expect 5 "double click did not bring the window back" e2e_main_window_shown
e2e_probe_is "$prog" Minimized 0 || e2e_fail "window came back minimized"

xdotool windowminimize "$(e2e_main_window)"
e2e_expect 5 "minimized window not sent to the tray" e2e_main_window_hidden
e2e_open_tray_menu
e2e_menu_pick 2
e2e_expect 5 "Restore program did not restore the minimized window" e2e_main_window_shown
e2e_probe_is "$prog" Minimized 0 || e2e_fail "restored window still minimized"
e2e_log "ok"
