#!/usr/bin/env bash
# "Get time" against a responder serving the time 3600.25 s ahead: the server field shows the
# shifted time; pointing at it shows its status text; with a slow server the busy cursor is on
# the screen while the query blocks, and gone afterwards.
source "$(dirname "$0")/lib.sh"

# (No probe request is sent while a query blocks: a signal cuts the socket's wait short.)

# Seconds since the epoch of a field's text ("%x %X" in the C locale the tests run in).

export LC_ALL=C TZ=UTC
e2e_session
e2e_start_responder --offset 3600.25
prog=$(e2e_probe_copy)
e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown" e2e_main_window_shown
e2e_expect 5 "server field not empty at start" e2e_probe_is "$prog" TimeServerEdit ""

e2e_click_control CheckTimeServerButton
e2e_expect 10 "no server time shown" e2e_probe_read "$prog"
e2e_wait_for 5 eval '[[ -n $(e2e_probe_field "$prog" TimeServerEdit) ]]'
from=$(date +%s)
shown=$(e2e_probe_field "$prog" TimeServerEdit)
to=$(date +%s)
[[ $shown == "Failed to contact time server" ]] && e2e_fail "the responder was not reached"
e2e_field_time_between "$shown" "$from" "$to" 3600 ||
    e2e_fail "server field '$shown' is not 3600 s ahead of the time it was read ($from-$to)"
[[ $(e2e_probe_field "$prog" Label2) == "Atomic clock time" ]] || e2e_fail "caption of Label2"

e2e_point_at TimeServerEdit
e2e_expect 5 "status text of the server field" \
    e2e_probe_is "$prog" StatusBar1 "Time information retreived from the atomic clock..."
e2e_point_at LocalPCEdit
e2e_expect 5 "status text of the clock field" \
    e2e_probe_is "$prog" StatusBar1 "Current time of the computer clock..."

# A server that takes 3 s to answer: the hourglass is on the screen while the thread blocks.
e2e_stop_pid "$E2E_RESPONDER_PID"
rm -f "$E2E_TMP/responder.log"
e2e_start_responder --offset 3600.25 --delay-ms 3000
e2e_point_at CheckTimeServerButton
sleep 0.2
idle=$("$E2E_XCURSOR") || e2e_fail "x-cursor failed"
xdotool click 1
e2e_expect 10 "no busy cursor while the query blocks" eval '[[ $("$E2E_XCURSOR") != "$idle" ]]'
e2e_expect 10 "the cursor did not come back" eval '[[ $("$E2E_XCURSOR") == "$idle" ]]'
e2e_expect 5 "override cursor left on" e2e_probe_is "$prog" Cursor default
[[ $(e2e_probe_field "$prog" TimeServerEdit) == "Failed to contact time server" ]] &&
    e2e_fail "the slow server was not waited for"
e2e_log "ok"
