#!/usr/bin/env bash
# "Adjust time" without the right to set the clock, on a desktop with timedated and polkit (mocked
# on a private system bus): the clock is stepped through timedated by the server's offset
# (relative, so that it counts from when timedated sets it); while polkit takes its time the busy
# cursor is on and the window still answers; no box comes up. With the machine's NTP service on
# and autorun set, the program starts without a box and sets nothing; a click on "Adjust time"
# offers to turn the service off, and "Yes" turns it off (SetNTP) before the clock is stepped.
source "$(dirname "$0")/lib.sh"

export LC_ALL=C TZ=UTC
e2e_session
e2e_start_system_bus
e2e_start_responder --offset 3600.25
prog=$(e2e_probe_copy "StepLimitSeconds=0")
e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown" e2e_main_window_shown
log=$E2E_BUS_DIR/timedated.log
calls() { grep -c " $1 " "$log"; }

# polkit answers after three seconds, as a person typing a password would.
e2e_bus_call polkit org.freedesktop.DBus.Mock.SetDelay double:3
e2e_point_at AdjustClockButton
sleep 0.2
idle=$("$E2E_XCURSOR") || e2e_fail "x-cursor failed"
xdotool click 1
e2e_expect 10 "timedated was not asked" grep -q ' SetTime ' "$log"
e2e_expect 10 "no busy cursor while polkit asks" eval '[[ $("$E2E_XCURSOR") != "$idle" ]]'
e2e_probe_is "$prog" Cursor wait || e2e_fail "the window did not answer while polkit asked"
e2e_expect 10 "the cursor did not come back" eval '[[ $("$E2E_XCURSOR") == "$idle" ]]'
e2e_message_box_shown && e2e_fail "a box came up: $(e2e_probe_field "$prog" MessageBox)"

read -r _ _ usec relative interactive < <(grep ' SetTime ' "$log")
[[ $relative == True && $interactive == True ]] ||
    e2e_fail "SetTime asked relative=$relative interactive=$interactive"
error=$(echo "$usec / 1000000 - 3600.25" | bc -l)
echo "$error" | awk '{ exit !($1 > -0.05 && $1 < 0.05) }' ||
    e2e_fail "timedated was asked to step by ${error}s more than the server's offset"

e2e_log "the machine's time service keeps the clock"
e2e_bus_call polkit org.freedesktop.DBus.Mock.SetDelay double:0
e2e_bus_call timedated org.freedesktop.DBus.Properties.Set \
    string:org.freedesktop.timedate1 string:NTP variant:boolean:true
kill -TERM "$VELMORA_PID"
e2e_wait_exit 10 || e2e_fail "no end on SIGTERM"
e2e_write_settings "$prog" "GlobalTimeSrvList=127.0.0.1" "GlobalAutorun=1" "StepLimitSeconds=0"
e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown" e2e_main_window_shown
e2e_expect 10 "the start-up query did not end" e2e_probe_is "$prog" Cursor default
sleep 1
e2e_message_box_shown && e2e_fail "a box came up at start: $(e2e_probe_field "$prog" MessageBox)"
(($(calls SetTime) == 1)) || e2e_fail "the clock was set at start while the service keeps it"

e2e_click_control AdjustClockButton
e2e_expect 10 "no question" e2e_message_box_shown
[[ $(e2e_probe_field "$prog" MessageBox) == "Automatic time synchronization is on"* ]] ||
    e2e_fail "asked: $(e2e_probe_field "$prog" MessageBox)"
xdotool key alt+y
e2e_expect 10 "the clock was not stepped after the service went off" eval '(($(calls SetTime) == 2))'
[[ $(grep -E '^[0-9.]+ (SetNTP|SetTime) ' "$log" | tail -n 2 | awk '{ print $2, $4, $5 }' |
    paste -sd '|') == "SetNTP True |SetTime True True" ]] ||
    e2e_fail "not SetNTP and then a relative SetTime: $(tail -n 3 "$log")"
grep -q ' SetNTP False True$' "$log" || e2e_fail "SetNTP did not turn the service off, asking"
e2e_log "ok"
