#!/usr/bin/env bash
# Trays: xembed sni xfce sway
# The tray menu, drawn by us or by the host: "Synchronize computer clock" asks the server and sets
# the clock once (refused here, so its message box comes up); "Exit program" ends the program and
# saves the settings.
source "$(dirname "$0")/lib.sh"

e2e_tray_session
e2e_start_responder --offset -7200
prog=$(e2e_probe_copy "DisplayLocalTime=0" "StepLimitSeconds=0")
e2e_start_velmora_recording "$prog"
shim_log=$E2E_SHIM_LOG
e2e_expect 10 "main window not shown" e2e_main_window_shown
e2e_expect 10 "no tray icon" e2e_icon_present
e2e_expect 5 "GMT captions" e2e_probe_is "$prog" Label2 "Atomic clock time (GMT)"

e2e_icon_menu_pick 1 # Synchronize computer clock
e2e_expect 10 "no refusal shown" e2e_probe_is "$prog" MessageBox \
    "Unable to set the computer clock: Operation not permitted"
[[ $(wc -l <"$shim_log") == 1 ]] || e2e_fail "expected one clock setting: $(cat "$shim_log")"
read -r kind offset _ <"$shim_log"
[[ $kind == step ]] && echo "$offset + 7200" | bc -l | awk '{ exit !($1 > -0.05 && $1 < 0.05) }' ||
    e2e_fail "synchronization would $kind by $offset, not to the server's time"
e2e_close_box
e2e_expect 5 "message box stays" e2e_probe_is "$prog" MessageBox ""

e2e_icon_menu_pick 3 # Exit program
e2e_wait_exit 10 || e2e_fail "Exit program did not end the program"
((VELMORA_RC == 0)) || e2e_fail "exit code $VELMORA_RC"
e2e_expect_all_settings "$prog"
[[ $(e2e_setting "$prog" DisplayLocalTime) == 0 ]] || e2e_fail "DisplayLocalTime not kept"
e2e_log "ok"
