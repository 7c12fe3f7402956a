#!/usr/bin/env bash
# An ordinary user runs an installed copy whose bin/ folder belongs to root: the settings go to the
# user's own file (starting from the administrator's file beside the program) and are read back at
# the next start; autorun writes the user's own entry and removes it; the program ends without an
# error box.
source "$(dirname "$0")/lib.sh"

e2e_session
e2e_start_responder --offset 0
e2e_as_user
prefix=$E2E_TMP/prefix
prog=$(e2e_install_copy "$prefix/bin" "$E2E_PROBE")
mv "$prog" "$prefix/bin/velmora" && prog=$prefix/bin/velmora
chmod 755 "$prefix" "$prefix/bin" "$prog"
e2e_write_settings "$prog" "GlobalTimeSrvList=127.0.0.1"
admin=$(cat "$(e2e_settings_file "$prog")")
own=$E2E_USER_HOME/.config/velmora/KXdefault.cfg
entry=$E2E_USER_HOME/.config/autostart/Velmora.desktop

# Opens the options, does ACTIONS... there (xdotool words; WIN stands for the dialog), and
# confirms with OK.
confirm_options() {
    local win
    e2e_click_control SpeedButton2
    e2e_expect 10 "options did not open" e2e_shown_window Options
    win=$(e2e_shown_window Options)
    # Qt takes keys only once it has seen the activation.
    xdotool windowactivate --sync "$win" sleep 0.5 "${@//WIN/$win}" sleep 0.3 key Return
    e2e_expect 5 "options did not close" eval '! e2e_shown_window Options'
}

e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown" e2e_main_window_shown
e2e_click_control CheckTimeServerButton
e2e_expect 10 "the administrator's server list was not used" \
    eval '[[ $(e2e_probe_field "$prog" TimeServerEdit) =~ [0-9] ]]'

e2e_log "autorun writes the user's own entry"
confirm_options key alt+a
e2e_expect 5 "no autostart entry for the user" test -f "$entry"
grep -qx "Exec=$prog" "$entry" || e2e_fail "entry starts the wrong program: $(cat "$entry")"
[[ $(stat -c %u "$entry") == 65534 ]] || e2e_fail "the entry does not belong to the user"
[[ -e /etc/xdg/autostart/Velmora.desktop ]] && e2e_fail "wrote into the machine-wide store"

e2e_log "unticking removes it; display GMT"
# RadioButton1 ("display GMT") sits at 30,104 of the dialog.
confirm_options key alt+a mousemove --window WIN 30 104 click 1
e2e_expect 5 "the user's autostart entry stays" eval "[[ ! -e '$entry' ]]"

e2e_click_control SpeedButton1
e2e_wait_exit 10 || e2e_fail "the program did not end (an error box?)"
((VELMORA_RC == 0)) || e2e_fail "exit code $VELMORA_RC"
grep -q "Unable to write" "$E2E_TMP/velmora.log" && e2e_fail "a write failed: $(cat "$E2E_TMP/velmora.log")"
[[ -f $own ]] || e2e_fail "no settings file of the user's at $own"
grep -qx "DisplayLocalTime=0" "$own" || e2e_fail "display mode not saved: $(cat "$own")"
grep -qx "GlobalTimeSrvList=127.0.0.1" "$own" || e2e_fail "defaults not carried over: $(cat "$own")"
[[ $(cat "$(e2e_settings_file "$prog")") == "$admin" ]] || e2e_fail "the administrator's file changed"

e2e_log "the next start reads the user's file"
e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown again" e2e_main_window_shown
e2e_expect 5 "settings not read back" e2e_probe_is "$prog" Label1 "Current time (GMT)"
kill -TERM "$VELMORA_PID"
e2e_wait_exit 10 || e2e_fail "no end on SIGTERM"
e2e_log "ok"
