#!/usr/bin/env bash
# Trays: xembed sni
# Settings survive every way a session ends. A signal with the settings directory read-only:
# the failure goes to standard error and the program ends at once, with no box to click. The
# display going away (a plain window-manager session logging out, or XWayland ending) while a
# changed setting is held: the settings file is written on the way out.
source "$(dirname "$0")/lib.sh"


e2e_tray_session
prog=$(e2e_install_copy "" "$E2E_PROBE")
settings=$(e2e_settings_file "$prog")

e2e_log "SIGTERM that meets a directory it cannot write to"
e2e_write_settings "$prog" "GlobalTimeSrvList=read-only"
e2e_start_velmora_read_only "$prog"
e2e_expect 10 "main window not shown (read-only)" e2e_main_window_shown
kill -TERM "$VELMORA_PID"
e2e_wait_exit 5 || e2e_fail "SIGTERM did not end the program (waiting on a box?)"
((VELMORA_RC == 0)) || e2e_fail "read-only directory: exit code $VELMORA_RC"
grep -q "Unable to write to .*KXdefault.cfg" "$E2E_TMP/velmora-ro.log" ||
    e2e_fail "the failure did not reach standard error: $(cat "$E2E_TMP/velmora-ro.log")"
[[ $(e2e_setting "$prog" GlobalTimeSrvList) == read-only ]] || e2e_fail "settings file changed"

e2e_log "the display goes away with a changed setting held"
e2e_write_settings "$prog" "GlobalTimeSrvList=127.0.0.1" "DisplayLocalTime=1"
e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown" e2e_main_window_shown
e2e_confirm_gmt "$prog"
e2e_expect 5 "GMT not shown" e2e_probe_is "$prog" Label1 "Current time (GMT)"
rm -f "$settings"
e2e_stop_pid "$E2E_XVFB_PID"
e2e_wait_exit 10 || e2e_fail "the program outlived its display"
e2e_expect_all_settings "$prog"
[[ $(e2e_setting "$prog" DisplayLocalTime) == 0 ]] || e2e_fail "the change was lost: $(cat "$settings")"
e2e_log "ok"
