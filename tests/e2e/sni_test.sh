#!/usr/bin/env bash
# The icon on a StatusNotifierItem host (gtk-sni-tray-standalone with status-notifier-watcher):
# the host's activation brings the window back from the tray, whether another program took the
# focus or the window was minimized; the menu is handed to the host with the program's items, and
# they act: "Synchronize computer clock" asks the server and sets the clock once (refused here),
# "Restore program" brings a minimized window back, "Exit program" ends the program and saves.
source "$(dirname "$0")/lib.sh"

E2E_TRAY=sni
e2e_tray_session
e2e_start_responder --offset -7200
prog=$(e2e_probe_copy "DisplayLocalTime=0" "StepLimitSeconds=0")
e2e_start_velmora_recording "$prog"
shim_log=$E2E_SHIM_LOG
e2e_expect 10 "main window not shown" e2e_main_window_shown
e2e_expect 10 "the host shows no icon of ours" e2e_icon_present
items=$(e2e_sni_menu_items | paste -sd '|')
[[ $items == "Synchronize computer clock|-|Restore program|Exit program|History..." ]] ||
    e2e_fail "menu handed to the host: '$items'"

e2e_log "another program hides the window; the host's activation brings it back"
e2e_other_window
e2e_expect 5 "window not hidden when another program became active" e2e_main_window_hidden
e2e_icon_activate
e2e_expect 5 "the activation did not bring the window back" e2e_main_window_shown

e2e_log "a minimized window comes back in the normal state"
xdotool windowminimize "$(e2e_main_window)"
e2e_expect 5 "minimized window not sent to the tray" e2e_main_window_hidden
e2e_icon_activate
e2e_expect 5 "the activation did not bring the minimized window back normal" e2e_shown_normal "$prog"

e2e_log "the host's menu: Synchronize computer clock"
e2e_icon_menu
e2e_menu_pick 1
e2e_expect 10 "no refusal shown" e2e_probe_is "$prog" MessageBox \
    "Unable to set the computer clock: Operation not permitted"
[[ $(wc -l <"$shim_log") == 1 ]] || e2e_fail "expected one clock setting: $(cat "$shim_log")"
xdotool key Return
e2e_expect 5 "message box stays" e2e_probe_is "$prog" MessageBox ""

e2e_log "Restore program after minimizing"
e2e_icon_activate
e2e_expect 5 "window not back for the minimize" e2e_main_window_shown
xdotool windowminimize "$(e2e_main_window)"
e2e_expect 5 "minimized window not sent to the tray" e2e_main_window_hidden
e2e_icon_menu
e2e_menu_pick 2
e2e_expect 5 "Restore program did not restore the minimized window" e2e_shown_normal "$prog"

e2e_log "Exit program"
e2e_icon_menu
e2e_menu_pick 3
e2e_wait_exit 10 || e2e_fail "Exit program did not end the program"
((VELMORA_RC == 0)) || e2e_fail "exit code $VELMORA_RC"
e2e_expect_all_settings "$prog"
[[ $(e2e_setting "$prog" DisplayLocalTime) == 0 ]] || e2e_fail "DisplayLocalTime not kept"
e2e_log "ok"
