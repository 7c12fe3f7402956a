#!/usr/bin/env bash
# Trays: xembed sni
# The History window, opened from the one item added to the tray menu: it
# shows a made-up day of answers with their drift across the steps of the clock, one of them by
# another program; asked again it is the same window, and an answer kept while it is open shows in
# it; the answer goes into the user's history file, and the program itself tells of no step that
# nobody made. With E2E_SHOT_DIR set, the window's picture is saved there as history.png.
source "$(dirname "$0")/lib.sh"

e2e_tray_session
# The made-up clock is 0.29 s behind when the day ends: the real answer falls in line.
e2e_start_responder --offset -0.29
# The test's session bus takes root only, so on the StatusNotifierItem tray the program runs as
# root; the history file is the ordinary user's either way.
e2e_sni || e2e_as_user
history=$E2E_USER_HOME/.local/state/velmora/history
"$VELMORA_BUILD_DIR/tests/tools/made-up-history/made-up-history" "$history" \
    hours=24 ppm=10 steps=7.5,16 others=11.3 othersby=-1.2 nts=5 noise=0.008 ||
    e2e_fail "no made-up history"
chown -R 65534:65534 "$E2E_USER_HOME/.local"
prog=$(e2e_probe_copy)
e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown" e2e_main_window_shown
e2e_expect 10 "no icon in the tray" e2e_icon_present
e2e_expect 5 "a History window made at start" e2e_probe_is "$prog" HistoryWindows 0

e2e_log "the tray menu's last item opens the History window"
e2e_icon_menu
e2e_menu_pick 4 # History...
e2e_expect 10 "History did not open" e2e_shown_window History
e2e_expect 5 "History shows no answers" eval \
    '[[ $(e2e_probe_field "$prog" HistorySummary) == "95 answers (19 authenticated) and 3 steps of the clock (1 by another program) since "* ]]'
drift=$(e2e_probe_field "$prog" HistoryDrift)
[[ $drift =~ ^"The computer clock gains 0."(8|9)[0-9]" s a day (+"(9|10)\.[0-9]" ppm), from 95 answers and 3 steps over 24 hours." ]] ||
    e2e_fail "drift shown: '$drift'"
[[ $(e2e_probe_field "$prog" HistoryInterval) =~ ^"Synchronizing every 2"[5-9]" hours" ]] ||
    e2e_fail "interval shown: '$(e2e_probe_field "$prog" HistoryInterval)'"
if [[ -n ${E2E_SHOT_DIR:-} ]]; then
    sleep 0.5
    import -window "$(e2e_shown_window History)" "$E2E_SHOT_DIR/history.png"
fi

e2e_log "asked again, the same window"
e2e_icon_menu
e2e_menu_pick 4
sleep 0.5
e2e_expect 5 "a second History window" e2e_probe_is "$prog" HistoryWindows 1
[[ $(xdotool search --all --onlyvisible --pid "$VELMORA_PID" --name '^History$' | wc -l) == 1 ]] ||
    e2e_fail "more than one History window on the screen"

e2e_log "an answer while it is open"
# The host's menu (a window of another program) may have sent the main window into the tray.
e2e_main_window_shown || e2e_icon_activate
e2e_expect 5 "main window not back" e2e_main_window_shown
# In front of History, which may cover it.
xdotool windowactivate --sync "$(e2e_main_window)" sleep 0.3
e2e_click_control CheckTimeServerButton
e2e_expect 10 "the new answer does not show" eval \
    '[[ $(e2e_probe_field "$prog" HistorySummary) == "96 answers (19 authenticated) and 3 steps"* ]]'
last=$(tail -n 1 "$history")
[[ $last == answer$'\t'*$'\t'plain$'\t'127.0.0.1 ]] || e2e_fail "last record: '$last'"
offset=$(cut -f 3 <<<"$last")
awk -v o="$offset" 'BEGIN { exit !(o > -0.35 && o < -0.23) }' || e2e_fail "answer's offset $offset"
[[ $(grep -c '^otherstep' "$history") == 1 ]] || e2e_fail "steps by others: $(grep '^otherstep' "$history")"
[[ $(stat -c '%u %a' "$history") == "65534 600" ]] || e2e_fail "history file: $(stat -c '%U %a' "$history")"

e2e_log "closing it leaves the program"
xdotool windowactivate --sync "$(e2e_shown_window History)" sleep 0.3 key Escape
e2e_expect 5 "History did not close" eval '! e2e_shown_window History'
sleep 0.5
e2e_not_running "$VELMORA_PID" && e2e_fail "closing History ended the program"
e2e_expect 5 "History not closed" e2e_probe_is "$prog" HistoryVisible 0
e2e_log "ok"
