#!/usr/bin/env bash
# Trays: sway
# A Wayland session ends with its compositor, and Qt then ends the program at once ("The Wayland
# connection broke", exit code 1) without returning to its own end: the settings are written on
# that way out too. A setting confirmed with OK is on disk at once; the file, taken away after
# that, is back with the setting once the compositor has gone.
source "$(dirname "$0")/lib.sh"

e2e_tray_session
prog=$(e2e_probe_copy "DisplayLocalTime=1")
settings=$(e2e_settings_file "$prog")
e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown" e2e_main_window_shown
e2e_expect 5 "probe not answering" e2e_probe_is "$prog" Label1 "Current time"

e2e_confirm_gmt "$prog"
e2e_expect 5 "GMT not shown" e2e_probe_is "$prog" Label1 "Current time (GMT)"
[[ $(e2e_setting "$prog" DisplayLocalTime) == 0 ]] ||
    e2e_fail "OK did not write the settings: $(cat "$settings")"

rm -f "$settings"
e2e_stop_pid "$E2E_SWAY_PID"
e2e_wait_exit 10 || e2e_fail "the program outlived its compositor"
grep -q "The Wayland connection broke" "$E2E_TMP/velmora.log" ||
    e2e_fail "not ended by the broken connection: $(tail -n 5 "$E2E_TMP/velmora.log")"
e2e_expect_all_settings "$prog"
[[ $(e2e_setting "$prog" DisplayLocalTime) == 0 ]] || e2e_fail "the change was lost: $(cat "$settings")"
e2e_log "ok"
