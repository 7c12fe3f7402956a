#!/usr/bin/env bash
# "Adjust time" without the right to set the clock, on a desktop with timedated and polkit (mocked
# on a private system bus): the clock goes to timedated, set to the server's time as it was at the
# call; the busy cursor is on while polkit takes its time to answer; no box comes up. With an NTP
# service keeping the clock, the box shows timedated's refusal in its own words.
source "$(dirname "$0")/lib.sh"

export LC_ALL=C TZ=UTC
e2e_session
e2e_start_system_bus
e2e_start_responder --offset 3600.25
prog=$(e2e_probe_copy)
e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown" e2e_main_window_shown

# polkit answers after two seconds, as a person typing a password would.
e2e_bus_call polkit org.freedesktop.DBus.Mock.SetDelay double:2
e2e_point_at AdjustClockButton
sleep 0.2
idle=$("$E2E_XCURSOR") || e2e_fail "x-cursor failed"
xdotool click 1
e2e_expect 10 "timedated was not asked" grep -q ' SetTime ' "$E2E_BUS_DIR/timedated.log"
e2e_expect 2 "no busy cursor while polkit asks" eval '[[ $("$E2E_XCURSOR") != "$idle" ]]'
e2e_expect 10 "the cursor did not come back" eval '[[ $("$E2E_XCURSOR") == "$idle" ]]'
e2e_message_box_shown && e2e_fail "a box came up: $(e2e_probe_field "$prog" MessageBox)"

read -r received _ usec relative interactive < <(grep ' SetTime ' "$E2E_BUS_DIR/timedated.log")
[[ $relative == False && $interactive == True ]] ||
    e2e_fail "SetTime asked relative=$relative interactive=$interactive"
# The server's time when the call left: the mock's clock on receipt plus the responder's offset.
error=$(echo "$usec / 1000000 - $received - 3600.25" | bc -l)
echo "$error" | awk '{ exit !($1 > -0.05 && $1 < 0.05) }' ||
    e2e_fail "timedated was asked for a time ${error}s away from the server's"

e2e_bus_call polkit org.freedesktop.DBus.Mock.SetDelay double:0
e2e_bus_call timedated org.freedesktop.DBus.Properties.Set \
    string:org.freedesktop.timedate1 string:NTP variant:boolean:true
e2e_click_control AdjustClockButton
e2e_expect 10 "no message box" e2e_message_box_shown
e2e_expect 5 "wrong message" e2e_probe_is "$prog" MessageBox \
    "Unable to set the computer clock: Automatic time synchronization is enabled"
e2e_log "ok"
