#!/usr/bin/env bash
# Start-up settings: "GlobalMinimize" starts with no window, only the icon; "GlobalAutorun" shows
# the window at once and asks the server and sets the clock once behind it.
source "$(dirname "$0")/lib.sh"

e2e_session
e2e_start_responder --offset 30 --delay-ms 3000
prog=$(e2e_install_copy "" "$E2E_PROBE")

e2e_write_settings "$prog" "GlobalTimeSrvList=127.0.0.1" "GlobalMinimize=1"
e2e_start_velmora "$prog"
e2e_expect 10 "no tray icon" e2e_tray_icon_present
e2e_expect 5 "probe not answering" e2e_probe_is "$prog" IconVisible 1
e2e_main_window_hidden || e2e_fail "window shown although GlobalMinimize is set"
e2e_probe_is "$prog" Visible 0 || e2e_fail "window visible"
kill -TERM "$VELMORA_PID"
e2e_wait_exit 10 || e2e_fail "no end on SIGTERM"
[[ $(e2e_setting "$prog" GlobalMinimize) == 1 ]] || e2e_fail "GlobalMinimize not kept"

# Autorun: the window is there while the server (3 s slow) is still being asked.
e2e_write_settings "$prog" "GlobalTimeSrvList=127.0.0.1" "GlobalAutorun=1"
e2e_start_velmora_recording "$prog"
shim_log=$E2E_SHIM_LOG
e2e_expect 2 "the window waited for the start-up synchronization" e2e_main_window_shown
[[ -s $shim_log ]] && e2e_fail "the clock was set before the server answered"
e2e_expect 10 "no message box for the refused start-up setting" e2e_message_box_shown
[[ $(wc -l <"$shim_log" 2>/dev/null) == 1 ]] || e2e_fail "expected one clock setting at start"
xdotool key Return
sleep 1
[[ $(grep -c . "$shim_log") == 1 ]] || e2e_fail "clock set again: $(cat "$shim_log")"
e2e_log "ok"
