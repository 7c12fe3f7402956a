#!/usr/bin/env bash
# Trays: xembed sni xfce sway
# Another program taking the focus hides the window into the tray, leaving the icon; "Restore
# program" brings it back, normal, as the icon's gesture (double click, or the host's activation)
# does. Minimizing sends it to the tray too (where windows can be minimized), and "Restore program"
# brings that back as well.
source "$(dirname "$0")/lib.sh"

e2e_start_in_tray
prog=$E2E_PROG
e2e_expect 5 "display refresh not started by the activation" e2e_probe_is "$prog" UpdateTimer 1

e2e_other_window
e2e_expect 5 "window not hidden when another program became active" e2e_main_window_hidden
e2e_icon_menu_pick 2 # Restore program
e2e_expect 5 "Restore program did not bring back the window another program hid" \
    e2e_shown_normal "$prog"

e2e_focus_away "restored"
e2e_probe_is "$prog" IconVisible 1 || e2e_fail "icon gone with the window"
e2e_icon_activate
e2e_expect 5 "the icon did not bring the window back" e2e_shown_normal "$prog"

if e2e_can_minimize; then
    e2e_minimize_main
    e2e_expect 5 "minimized window not sent to the tray" e2e_main_window_hidden
    e2e_icon_menu_pick 2
    e2e_expect 5 "Restore program did not restore the minimized window" e2e_shown_normal "$prog"
fi
e2e_log "ok"
