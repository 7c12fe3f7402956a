#!/usr/bin/env bash
# What OK confirmed is on disk at once: a program killed right after it (kill -9, as a crash or a
# power cut would end it) keeps the change, and the next start shows it. For an ordinary user.
source "$(dirname "$0")/lib.sh"

e2e_session
e2e_as_user
prog=$(e2e_probe_copy "DisplayLocalTime=1")
settings=$(e2e_settings_file "$prog")
e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown" e2e_main_window_shown
e2e_confirm_gmt "$prog"
e2e_expect 5 "GMT not shown" e2e_probe_is "$prog" Label1 "Current time (GMT)"

kill -KILL "$VELMORA_PID"
e2e_wait_exit 10 || e2e_fail "kill -9 did not end the program"
e2e_expect_all_settings "$prog"
[[ $(e2e_setting "$prog" DisplayLocalTime) == 0 ]] || e2e_fail "the change was lost: $(cat "$settings")"
[[ $(e2e_setting "$prog" GlobalTimeSrvList) == 127.0.0.1 ]] || e2e_fail "the server list was lost"
[[ $(stat -c %U "$settings") == nobody ]] || e2e_fail "the file is not the user's: $(stat -c %U "$settings")"

e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown after the restart" e2e_main_window_shown
e2e_expect 5 "the next start does not show GMT" e2e_probe_is "$prog" Label1 "Current time (GMT)"
e2e_log "ok"
