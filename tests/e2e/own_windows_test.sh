#!/usr/bin/env bash
# Trays: xembed sni xfce
# Only another program hides the window: the options dialog, its message box and the help window
# leave it where it is, and so does another program taking the focus while one of them is open
# (the dialog is never left alone on the screen). With none of them open, another program hides
# it as before.
source "$(dirname "$0")/lib.sh"

main_stays() {
    sleep 0.5
    e2e_main_window_shown || e2e_fail "the main window went into the tray: $1"
}
close_window() {
    xdotool windowactivate --sync "$(e2e_shown_window "$1")" key Escape
    e2e_expect 5 "'$1' did not close" eval "! e2e_shown_window '$1'"
}

e2e_tray_session
e2e_spawn other-window xmessage -geometry 200x80+10+600 -title "Other program" "other program"
e2e_expect 10 "the other window did not show" eval 'E2E_OTHER_WIN=$(e2e_other_window_id)'
prog=$(e2e_install_copy "" "$E2E_PROBE")
e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown" e2e_main_window_shown
e2e_expect 10 "no icon in the tray" e2e_icon_present

e2e_log "the options dialog and its message box"
e2e_click_control SpeedButton2
e2e_expect 10 "options did not open" e2e_shown_window Options
main_stays "opening the options"
e2e_click_window "$(e2e_shown_window Options)" 1 30 10 # the frame of "General"
main_stays "clicking into the options"
e2e_click_window "$(e2e_shown_window Options)" 1 26 71 # "synchronize every"
e2e_click_window "$(e2e_shown_window Options)" 1 143 71 # the interval, emptied
xdotool key ctrl+a BackSpace Return
e2e_expect 10 "no message for the empty interval" e2e_message_box_shown
main_stays "the options' message box"
xdotool key Return
e2e_expect 5 "the message stays" eval '! e2e_message_box_shown'
main_stays "closing the message"

e2e_log "another program while the options are open"
e2e_click_window "$E2E_OTHER_WIN"
main_stays "another program while the options are open"
e2e_shown_window Options >/dev/null || e2e_fail "the options went away"
close_window Options
main_stays "closing the options"

e2e_log "the help window"
e2e_click_control SpeedButton3
e2e_expect 10 "help did not open" e2e_shown_window "Program help"
main_stays "opening the help"
close_window "Program help"
main_stays "closing the help"

e2e_log "another program, nothing of ours open"
e2e_click_window "$E2E_OTHER_WIN"
e2e_expect 5 "window not hidden when another program became active" e2e_main_window_hidden
e2e_log "ok"
