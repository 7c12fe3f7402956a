#!/usr/bin/env bash
# The main window as a user meets it under Wine: its designed size, "Get time" showing the
# server's time (a server 3600.25 s ahead), "Adjust time" reaching Windows' clock call and
# Wine's refusal told in plain words, and "Exit" saving every setting.
source "$(dirname "$0")/lib.sh"

win_start_responder 127.0.0.2 3600.25
prog=$(win_copy "GlobalTimeSrvList=127.0.0.2" "StepLimitSeconds=0")
win_start_shown "$prog"
[[ $(win_probe client TTimeForm) == "315 151" ]] ||
    e2e_fail "client area $(win_probe client TTimeForm), designed 315 151"

win_click TTimeForm 101
e2e_expect 10 "no server time shown" eval '[[ -n $(win_probe text TTimeForm 114) ]]'
win_server_field_ahead 3600 || e2e_fail "server field '$WIN_SHOWN' is not now + 3600 s"

win_click TTimeForm 102
e2e_expect 10 "no message box after Adjust time" win_shown "#32770:Velmora"
for id in 65535 100; do text=$(win_probe text "#32770:Velmora" "$id") && [[ -n $text ]] && break; done
# Wine's SetSystemTime refuses any step of half a second or more with ERROR_PRIVILEGE_NOT_HELD.
[[ $text == "Unable to set the computer clock: Privilege not held." ]] ||
    e2e_fail "Adjust time told '$text'"
xdotool key Return
e2e_expect 5 "the message box stays" eval '! win_shown "#32770:Velmora"'

settings=$(win_settings_file "$prog")
printf '[Data]\r\nGlobalTimeSrvList=127.0.0.2\r\n' >"$settings"
win_click TTimeForm 105
e2e_expect 10 "the program did not end on Exit" win_ended "$prog"
[[ $(grep -c $'=.*\r$' "$settings") == 9 ]] || e2e_fail "Exit saved: $(cat -A "$settings")"
[[ $(win_setting "$prog" GlobalTimeSrvList) == 127.0.0.2 ]] || e2e_fail "the server list was lost"
e2e_log ok
