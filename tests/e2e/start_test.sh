#!/usr/bin/env bash
# A first start without a settings file: the window shows with the tray icon; the exit button ends
# the program normally and leaves a settings file with all eight keys, at their defaults.
source "$(dirname "$0")/lib.sh"

e2e_session
prog=$(e2e_install_copy)
e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown" e2e_main_window_shown
e2e_expect 10 "no tray icon" e2e_tray_icon_present
[[ -f $(e2e_settings_file "$prog") ]] && e2e_fail "settings written before the end"

e2e_click_control SpeedButton1
e2e_wait_exit 10 || e2e_fail "exit button did not end the program"
((VELMORA_RC == 0)) || e2e_fail "exit code $VELMORA_RC"
e2e_expect_all_settings "$prog"
[[ $(e2e_setting "$prog" GlobalTimeSrvList) == "time-a-g.nist.gov|time-b-g.nist.gov" ]] ||
    e2e_fail "default server list not saved: $(e2e_setting "$prog" GlobalTimeSrvList)"
[[ $(e2e_setting "$prog" DisplayLocalTime) == 1 && $(e2e_setting "$prog" UpdateClock) == 0 ]] ||
    e2e_fail "defaults not saved: $(cat "$(e2e_settings_file "$prog")")"
e2e_log "ok"
