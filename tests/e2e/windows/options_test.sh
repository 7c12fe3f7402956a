#!/usr/bin/env bash
# The options dialog under Wine, worked with the mouse and the keyboard: OK writes the settings
# file at once and the autorun value "Velmora" under HKLM's Run key (Wine runs every program as an
# administrator), its path in quotes; unticking removes the value again.
source "$(dirname "$0")/lib.sh"

run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
run_value() { win_wine reg query "$run_key" /v Velmora 2>/dev/null | tr -d '\r' | grep Velmora; }
win_wine reg delete "$run_key" /v Velmora /f >/dev/null 2>&1

prog=$(win_copy "GlobalTimeSrvList=127.0.0.1")
win_start_shown "$prog"

# Opens the dialog with the Properties button, changes what CHANGE does, and presses Enter.
options() {
    win_click TTimeForm 103
    e2e_expect 10 "no options dialog" win_shown "#32770:Options"
    "$@"
    xdotool key Return
    e2e_expect 5 "the dialog stays after Enter" eval '! win_shown "#32770:Options"'
}
tick_both() {
    win_click "#32770:Options" 1004
    xdotool key alt+m
    e2e_expect 5 "autorun not ticked by a click" win_probe checked "#32770:Options" 1004
    e2e_expect 5 "minimize not ticked by Alt+M" win_probe checked "#32770:Options" 1003
}
options tick_both
e2e_expect 5 "OK did not write the file" eval '[[ $(win_setting "$prog" GlobalAutorun) == 1 ]]'
[[ $(win_setting "$prog" GlobalMinimize) == 1 ]] || e2e_fail "minimize on start not saved"
windows_path="Z:${prog//\//\\}"
value=$(run_value) || e2e_fail "no Run value"
[[ $value == *"\"$windows_path\"" ]] || e2e_fail "Run value '$value', not \"$windows_path\""

options win_click "#32770:Options" 1004
e2e_expect 5 "unticking kept the Run value" eval '! run_value'
[[ $(win_setting "$prog" GlobalAutorun) == 0 ]] || e2e_fail "autorun still saved as on"
e2e_log ok
