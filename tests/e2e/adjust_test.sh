#!/usr/bin/env bash
# "Adjust time" without the right to set the clock: the query runs first (nothing asked yet), the
# refusal comes up in a message box with the platform's reason, and the server field keeps the
# server's time. The recorded step is the responder's offset, to within 50 ms.
source "$(dirname "$0")/lib.sh"

export LC_ALL=C TZ=UTC
e2e_session
e2e_start_responder --offset 3600.25
prog=$(e2e_probe_copy "StepLimitSeconds=0")
e2e_start_velmora_recording "$prog"
shim_log=$E2E_SHIM_LOG
e2e_expect 10 "main window not shown" e2e_main_window_shown

e2e_click_control AdjustClockButton
e2e_expect 10 "no message box" e2e_message_box_shown
e2e_expect 5 "wrong message" e2e_probe_is "$prog" MessageBox \
    "Unable to set the computer clock: Operation not permitted"
[[ -s $shim_log ]] || e2e_fail "the clock was not stepped"
[[ $(wc -l <"$shim_log") == 1 ]] || e2e_fail "clock set more than once: $(cat "$shim_log")"
read -r kind offset _ <"$shim_log"
[[ $kind == step ]] || e2e_fail "the clock was set, not stepped: $(cat "$shim_log")"
error=$(echo "$offset - 3600.25" | bc -l)
echo "$error" | awk '{ exit !($1 > -0.05 && $1 < 0.05) }' ||
    e2e_fail "the clock would be set ${error}s away from the server's time"

e2e_click_window "$(e2e_message_box)" 1 >/dev/null 2>&1; xdotool key Return
e2e_expect 5 "message box stays" e2e_probe_is "$prog" MessageBox ""
# The minute read before and after the field, so that a minute turning over in between is no fault.
server_minute() { date -d "@$(($(date +%s) + 3600))" '+%x %X' | cut -c1-14; }
before=$(server_minute)
shown=$(e2e_probe_field "$prog" TimeServerEdit)
after=$(server_minute)
[[ ${shown:0:14} == "$before" || ${shown:0:14} == "$after" ]] ||
    e2e_fail "server field '$shown' does not show the server's time '$after'"
e2e_log "ok"
