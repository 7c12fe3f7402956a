#!/usr/bin/env bash
# The guard against a big jump: a plain answer two hours off, during synchronization nobody asked
# for (at start-up, then every minute), leaves the clock alone and is told once, a limit below zero
# in the file reading as the hour; a synchronization that gets no answer of its own sets nothing;
# an authenticated (NTS) answer two hours off is trusted, and the clock is stepped by it.
if [[ ${VELMORA_E2E_MOUNTS:-} != private ]]; then
    exec env VELMORA_E2E_MOUNTS=private unshare --mount --propagation private -- bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"

export LC_ALL=C TZ=UTC
e2e_session
history=$E2E_USER_HOME/.local/state/velmora/history
answers() { grep -c '^answer' "$history" 2>/dev/null; }

e2e_log "a plain answer two hours ahead, the limit below zero"
e2e_start_responder --offset 7200
prog=$(e2e_probe_copy "GlobalAutorun=1" "UpdateClock=1" "UpdateClockInterval=60000" \
    "StepLimitSeconds=-3600")
e2e_start_velmora_recording "$prog"
told() { grep -c 'StepLimitSeconds "-3600" is not a whole number of 0 or more; 3600 is used' \
    "$E2E_TMP/velmora.log"; }
e2e_expect 10 "the limit below zero was not told" eval '(($(told) >= 1))'
e2e_expect 10 "the start-up synchronization told nothing" e2e_message_box_shown
[[ $(e2e_probe_field "$prog" MessageBox) == "The computer clock was left alone"* ]] ||
    e2e_fail "told: $(e2e_probe_field "$prog" MessageBox)"
xdotool key Return
e2e_expect 5 "the box stays" e2e_probe_is "$prog" MessageBox ""
e2e_expect 75 "no periodic synchronization came" eval '(($(answers) >= 2))'
(($(told) == 1)) || e2e_fail "the limit below zero was told $(told) times"
sleep 1
e2e_message_box_shown && e2e_fail "told again: $(e2e_probe_field "$prog" MessageBox)"
[[ -s $E2E_SHIM_LOG ]] && e2e_fail "the clock was set on a plain answer: $(cat "$E2E_SHIM_LOG")"
e2e_stop_pid "$VELMORA_PID"
e2e_stop_pid "$E2E_RESPONDER_PID"

e2e_log "a synchronization without an answer of its own"
e2e_start_responder --offset 5
prog=$(e2e_probe_copy "GlobalAutorun=1" "UpdateClock=1" "UpdateClockInterval=60000")
e2e_start_velmora_recording "$prog"
e2e_expect 15 "the start-up synchronization did not step" test -s "$E2E_SHIM_LOG"
e2e_stop_pid "$E2E_RESPONDER_PID"
# The recording refuses the step, which is told.
e2e_expect 10 "the refusal was not told" e2e_message_box_shown
xdotool key Return
left_alone() {
    [[ $(e2e_probe_field "$prog" TimeServerTip) == *"Clock left alone "*": no server gave"* ]]
}
e2e_expect 75 "the periodic synchronization did not say it left the clock alone" left_alone
(($(wc -l <"$E2E_SHIM_LOG") == 1)) ||
    e2e_fail "the clock was set without an answer: $(cat "$E2E_SHIM_LOG")"
e2e_stop_pid "$VELMORA_PID"
: >"$E2E_SHIM_LOG"

e2e_log "an authenticated answer two hours ahead"
E2E_CHRONYD_SHIFT=7200 e2e_start_nts_chronyd
prog=$(e2e_install_copy "$E2E_TMP/app-nts" "$E2E_PROBE")
e2e_write_settings "$prog" "GlobalTimeSrvList=nts://nts.velmora.test" "GlobalAutorun=1"
e2e_start_velmora_recording "$prog"
e2e_expect 15 "the clock was not stepped on the authenticated answer" test -s "$E2E_SHIM_LOG"
read -r kind offset _ <"$E2E_SHIM_LOG"
[[ $kind == step ]] && echo "$offset - 7200" | bc -l | awk '{ exit !($1 > -1 && $1 < 1) }' ||
    e2e_fail "the clock would $kind by $offset, not two hours"
e2e_expect 10 "no refusal shown" e2e_probe_is "$prog" MessageBox \
    "Unable to set the computer clock: Operation not permitted"
e2e_log "ok"
