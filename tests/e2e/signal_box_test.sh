#!/usr/bin/env bash
# SIGTERM, SIGINT and SIGHUP end the program at once even while a box waits for the user: the
# "Unable to write to ..." box of a failed save at the end (the message then goes to standard
# error), and that of a failed save after OK (the save at the end fails again and says so there).
# Each ends with code 0 and the settings file as it was.
source "$(dirname "$0")/lib.sh"

e2e_session
prog=$(e2e_install_copy "" "$E2E_PROBE")
settings=$(e2e_settings_file "$prog")
unwritable="Unable to write to $E2E_TMP/no-folder/config/velmora/KXdefault.cfg"

# Starts where nothing can be saved; waits for the window.
start_unwritable() {
    e2e_write_settings "$prog" "GlobalTimeSrvList=read-only"
    e2e_start_velmora_read_only "$prog"
    e2e_expect 10 "main window not shown ($1)" e2e_main_window_shown
}

# Waits for the failed save's box, sends SIGNAL, and expects the program gone well within the
# bound (the box is never clicked) with the message on standard error.
end_with_box_open() {
    local signal=$1 when=$2
    e2e_expect 10 "no box for the failed save ($when)" e2e_message_box_shown
    e2e_wait_for 5 eval '[[ $(e2e_probe_field "$prog" MessageBox) == "$unwritable" ]]' ||
        e2e_fail "message ($when): '$(e2e_probe_field "$prog" MessageBox)'"
    kill -"$signal" "$VELMORA_PID"
    e2e_wait_exit 5 || e2e_fail "SIG$signal left the program running with the box open ($when)"
    ((VELMORA_RC == 0)) || e2e_fail "exit code $VELMORA_RC ($when)"
    grep -qF "velmora: $unwritable" "$E2E_TMP/velmora-ro.log" ||
        e2e_fail "the failure did not reach standard error ($when): $(cat "$E2E_TMP/velmora-ro.log")"
    [[ $(e2e_setting "$prog" GlobalTimeSrvList) == read-only ]] || e2e_fail "settings file changed ($when)"
}

for signal in TERM INT HUP; do
    start_unwritable "exit, SIG$signal"
    e2e_click_control SpeedButton1
    end_with_box_open "$signal" "the box of the save at the end"
done

start_unwritable "OK"
e2e_click_control SpeedButton2
e2e_expect 10 "options did not open" e2e_shown_window Options
xdotool key Return
end_with_box_open TERM "the box of the save after OK"
e2e_log "ok"
