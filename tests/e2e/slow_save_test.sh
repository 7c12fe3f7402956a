#!/usr/bin/env bash
# A start while the ending copy still saves its settings, on a disk so slow that every fsync takes
# 2 s (a preloaded delay): the ending copy keeps its one-copy lock until the save is done, the
# start waits for it and then becomes the copy with the settings just saved, so that its own end
# writes them again rather than the old ones. For an ordinary user.
source "$(dirname "$0")/lib.sh"

e2e_session
e2e_as_user
prog=$(e2e_probe_copy "DisplayLocalTime=1")
settings=$(e2e_settings_file "$prog")
cp -p "$settings" "$E2E_TMP/old.cfg"
syncs=$E2E_TMP/probe/fsync.log
e2e_start_velmora "LD_PRELOAD=$(e2e_preload "$prog" "$(e2e_readable "$E2E_FSYNC_DELAY")")" \
    "VELMORA_FSYNC_DELAY_LOG=$syncs" "$prog"
first=$VELMORA_PID
e2e_expect 10 "main window not shown" e2e_main_window_shown
e2e_confirm_gmt "$prog"
e2e_expect 20 "OK did not write the settings" eval '[[ $(e2e_setting "$prog" DisplayLocalTime) == 0 ]]'

# The old file back, as if that write had never landed: only the save at the end brings the
# change now.
cp -p "$E2E_TMP/old.cfg" "$settings"
: >"$syncs"
kill -TERM "$first"
e2e_expect 10 "the save at the end did not start" grep -q "fsync start" "$syncs"
VELMORA_LOG=second e2e_start_velmora "$prog"
second=$VELMORA_PID
e2e_wait_exit 20 "$first" || e2e_fail "the first copy did not end"
((VELMORA_RC == 0)) || e2e_fail "the first copy ended with $VELMORA_RC"
grep -q "fsync done" "$syncs" || e2e_fail "the first copy ended before its save was done"
e2e_not_running "$second" && e2e_fail "the second start was handed to the ending copy"

VELMORA_PID=$second
e2e_expect 15 "the second start did not become the copy" e2e_main_window_shown
e2e_expect 5 "the second start read the old settings" e2e_probe_is "$prog" Label1 "Current time (GMT)"
kill -TERM "$second"
e2e_wait_exit 10 || e2e_fail "the second copy did not end"
[[ $(e2e_setting "$prog" DisplayLocalTime) == 0 ]] ||
    e2e_fail "the old settings were written back: $(cat "$settings")"
e2e_log "ok"
