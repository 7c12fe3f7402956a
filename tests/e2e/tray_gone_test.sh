#!/usr/bin/env bash
# Trays: xembed sni xfce sway
# A window hidden in a tray that goes away is shown again, whether another program hid it or it
# was minimized; while no tray host is there, another program taking the focus leaves the window
# on the screen. A tray host that comes back gets the icon again.
source "$(dirname "$0")/lib.sh"

e2e_start_in_tray
prog=$E2E_PROG

e2e_log "hidden by another program, then the tray goes"
e2e_other_window
e2e_expect 5 "window not hidden when another program became active" e2e_main_window_hidden
e2e_stop_tray_host
e2e_expect 5 "the window stayed hidden in a tray that is gone" e2e_main_window_shown
e2e_focus_window "$(e2e_main_window)"
sleep 0.5
e2e_focus_window "$E2E_OTHER_WIN"
sleep 1
e2e_main_window_shown || e2e_fail "hidden into a tray that is not there"

e2e_log "the tray comes back"
e2e_start_tray_host
e2e_expect 15 "no icon in the new tray" e2e_icon_present
if e2e_can_minimize; then
    e2e_log "minimized into the tray, which goes again"
    e2e_minimize_main
    e2e_expect 5 "minimized window not sent to the tray" e2e_main_window_hidden
    e2e_stop_tray_host
    e2e_expect 5 "the minimized window stayed hidden in a tray that is gone" e2e_shown_normal "$prog"
else
    e2e_log "hidden by another program into the tray, which goes again"
    e2e_focus_away "the tray back"
    e2e_stop_tray_host
    e2e_expect 5 "the window stayed hidden in a tray that is gone" e2e_shown_normal "$prog"
fi
e2e_log "ok"
