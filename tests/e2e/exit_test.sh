#!/usr/bin/env bash
# Every way out saves the settings: SIGTERM, SIGINT, SIGHUP and the close box, each ending with
# code 0. In a read-only directory the settings go to the user's own file; where that cannot be
# written either, the failed save is shown in a message box, and after it the program still ends
# normally.
source "$(dirname "$0")/lib.sh"

e2e_session
prog=$(e2e_install_copy "" "$E2E_PROBE")
settings=$(e2e_settings_file "$prog")

# Starts with a server list of its own, so that each save is told apart from the last.
start_marked() {
    rm -f "$settings"
    e2e_write_settings "$prog" "GlobalTimeSrvList=$1"
    e2e_start_velmora "$prog"
    e2e_expect 10 "main window not shown ($1)" e2e_main_window_shown
    e2e_expect 5 "probe not answering ($1)" e2e_probe_is "$prog" Visible 1
    # The settings file is written again only at the end.
    rm -f "$settings"
}

expect_saved() {
    e2e_wait_exit 10 || e2e_fail "$1 did not end the program"
    ((VELMORA_RC == 0)) || e2e_fail "$1: exit code $VELMORA_RC"
    e2e_expect_all_settings "$prog"
    [[ $(e2e_setting "$prog" GlobalTimeSrvList) == "$2" ]] || e2e_fail "$1: settings not saved"
}

for signal in TERM INT HUP; do
    start_marked "host-$signal"
    kill -"$signal" "$VELMORA_PID"
    expect_saved "SIG$signal" "host-$signal"
done

start_marked host-close
xdotool windowactivate --sync "$(e2e_main_window)" key alt+F4
expect_saved "the close box" host-close

e2e_write_settings "$prog" "GlobalTimeSrvList=read-only"
e2e_start_velmora_read_only "$prog" "$E2E_TMP/config"
e2e_expect 10 "main window not shown (read-only)" e2e_main_window_shown
e2e_click_control SpeedButton1
e2e_wait_exit 10 || e2e_fail "read-only directory: the program did not end"
own=$E2E_TMP/config/velmora/KXdefault.cfg
grep -qx "GlobalTimeSrvList=read-only" "$own" || e2e_fail "not saved to the user's file $own"

e2e_start_velmora_read_only "$prog"
e2e_expect 10 "main window not shown (read-only)" e2e_main_window_shown
e2e_click_control SpeedButton1
e2e_expect 10 "no message box for the failed save" e2e_message_box_shown
e2e_wait_for 5 eval '[[ $(e2e_probe_field "$prog" MessageBox) == "Unable to write to $E2E_TMP/no-folder/config/velmora/KXdefault.cfg" ]]' ||
    e2e_fail "message: '$(e2e_probe_field "$prog" MessageBox)'"
xdotool key Return
e2e_wait_exit 10 || e2e_fail "program did not end after the message"
((VELMORA_RC == 0)) || e2e_fail "read-only directory: exit code $VELMORA_RC"
[[ $(e2e_setting "$prog" GlobalTimeSrvList) == read-only ]] || e2e_fail "settings file changed"
e2e_log "ok"
