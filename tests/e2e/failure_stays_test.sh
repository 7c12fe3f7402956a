#!/usr/bin/env bash
# Trays: xembed sni
# A get-time command whose servers all fail leaves "Failed to contact time server" in the server
# field, even after an earlier answer, until the next answer replaces it.
source "$(dirname "$0")/lib.sh"

server_field() { e2e_probe_field "$prog" TimeServerEdit; }
shows_time() { [[ -n $(server_field) && $(server_field) != "$failed" ]]; }
failed="Failed to contact time server"

e2e_tray_session
e2e_start_responder --offset 30
prog=$(e2e_probe_copy)
e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown" e2e_main_window_shown
e2e_click_control CheckTimeServerButton
e2e_expect 10 "no server time shown" shows_time

e2e_stop_pid "$E2E_RESPONDER_PID"
e2e_click_control CheckTimeServerButton
e2e_expect 10 "the failure was not shown" e2e_probe_is "$prog" TimeServerEdit "$failed"
sleep 1.5 # three display refreshes
[[ $(server_field) == "$failed" ]] || e2e_fail "the failure was painted over: '$(server_field)'"

rm -f "$E2E_TMP/responder.log"
e2e_start_responder --offset 30
e2e_click_control CheckTimeServerButton
e2e_expect 10 "the next answer did not replace the failure" shows_time
e2e_log "ok"
