#!/usr/bin/env bash
# Trays: xembed sni xfce sway
# A tray that comes after the program, as a panel often does at logon. While there is none the
# window stays on the screen when another program takes the focus. Once the tray comes the icon
# shows in it, and all works as if it had been there from the start: another program hides the
# window, the icon's gesture brings it back, and so does "Restore program". With E2E_SCREENSHOTS
# naming a folder, a screenshot of the icon in the tray goes there as <kind>.png.
source "$(dirname "$0")/lib.sh"

e2e_tray_session --later
prog=$(e2e_install_copy "" "$E2E_PROBE")
e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown" e2e_main_window_shown

e2e_log "no tray: another program leaves the window on the screen"
e2e_other_window
sleep 1.5
e2e_main_window_shown || e2e_fail "hidden into a tray that is not there"
e2e_icon_present && e2e_fail "an icon without a tray"

e2e_log "the tray comes"
e2e_start_tray_host
e2e_expect 15 "the icon did not come to the tray that came later" e2e_icon_present
if [[ -n ${E2E_SCREENSHOTS:-} ]]; then
    sleep 1
    e2e_screenshot "$E2E_SCREENSHOTS/${E2E_TRAY:-xembed}.png"
fi
e2e_focus_away "the tray there"
e2e_icon_activate
e2e_expect 5 "the icon's gesture did not bring the window back" e2e_shown_normal "$prog"

e2e_log "Restore program after another program hid the window"
e2e_focus_away "brought back"
e2e_icon_menu_pick 2 # Restore program
e2e_expect 5 "Restore program did not bring the window back" e2e_shown_normal "$prog"
e2e_log "ok"
