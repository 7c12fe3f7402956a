#!/usr/bin/env bash
# The tray icon under a real X session (Xvfb, openbox, trayer), driven with xdotool through the
# tray probe: the icon with its tip, double click, the menu on right button down, minimize to
# tray with the taskbar entry gone, restore, the icon back after the tray host restarts, and no
# minimize to tray while no tray host is there.
source "$(dirname "$0")/lib.sh"

PROBE=${E2E_TRAY_PROBE:-$VELMORA_BUILD_DIR/tests/tools/tray-probe/tray-probe}
[[ -x $PROBE ]] || e2e_fail "no tray probe at $PROBE"

said() { grep -qx "$1" "$E2E_TMP/velmora.log"; }
said_count() { grep -cx "$1" "$E2E_TMP/velmora.log"; }
# Whether the probe's last word on the tray host is "tray=ANSWER".
tray_said() { [[ $(grep -x 'tray=.*' "$E2E_TMP/velmora.log" | tail -n 1) == "tray=$1" ]]; }
minimized_twice() { (($(said_count state=minimized) >= 2)); }
in_client_list() { xprop -root _NET_CLIENT_LIST | grep -qi "$(printf '0x%x' "$1")"; }
not_in_client_list() { ! in_client_list "$1"; }
menu_closed() { ! e2e_popup_menu; }
tooltip_shown() {
    local w
    for w in $(e2e_search --onlyvisible --pid "$VELMORA_PID"); do
        xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q TOOLTIP && return 0
    done
    return 1
}
no_tray_icon() { ! e2e_tray_icon_present; }
restart_tray_host() {
    e2e_stop_pid "$E2E_TRAYER_PID"
    e2e_expect 5 "the icon outlived its tray host" no_tray_icon
    e2e_spawn trayer-again trayer --edge top --align right --widthtype pixel --width 80 \
        --heighttype pixel --height 24 --transparent false --tint 0xc0c0c0 --SetDockType true
    E2E_TRAYER_PID=$E2E_LAST_PID
    e2e_expect 10 "trayer did not come back" e2e_tray_host_running
}

e2e_session
e2e_start_velmora "$PROBE"
e2e_expect 10 "the probe window did not show" e2e_main_window_shown
WIN=$(e2e_main_window)
e2e_expect 10 "the icon did not appear in the tray" e2e_tray_icon_present
e2e_expect 5 "the tip is not the hint" said "tip=Velmora"
said "tray=yes" || e2e_fail "the probe saw no tray"
in_client_list "$WIN" || e2e_fail "the window has no taskbar entry"

e2e_log "hovering shows the tip"
read -r cx cy < <(e2e_window_centre "$(e2e_tray_icon)")
xdotool mousemove "$cx" "$cy"
e2e_expect 10 "no tooltip over the icon" tooltip_shown
xdotool mousemove 500 500

e2e_log "double click raises the event"
e2e_tray_double_click
e2e_expect 5 "double click not reported" said "dblclick"

e2e_log "the menu opens on right button down"
xdotool mousemove "$cx" "$cy" mousedown 3
e2e_expect 5 "no menu on right button down" said "menu-shown"
e2e_expect 5 "the menu window is not visible" e2e_popup_menu
xdotool mouseup 3 key Escape
e2e_expect 5 "the menu did not close" menu_closed

e2e_log "minimizing hides the window and its taskbar entry"
xdotool windowminimize "$WIN"
e2e_expect 5 "minimizing did not send the window to the tray" said "sent-to-tray"
e2e_expect 5 "the window is still shown" e2e_main_window_hidden
e2e_expect 5 "the taskbar entry stayed" not_in_client_list "$WIN"
e2e_tray_icon_present || e2e_fail "the icon left the tray"

e2e_log "a double click brings it back in the normal state"
e2e_tray_double_click
e2e_expect 5 "the window did not come back" e2e_main_window_shown
e2e_expect 5 "no taskbar entry after restoring" in_client_list "$WIN"
xprop -id "$WIN" _NET_WM_STATE | grep -q HIDDEN && e2e_fail "the window came back minimized"

e2e_log "the icon returns when the tray host restarts"
restart_tray_host
e2e_expect 15 "the icon did not come back to the new tray" e2e_tray_icon_present

e2e_log "without a tray host, minimizing leaves the window in the taskbar"
e2e_stop_pid "$E2E_TRAYER_PID"
e2e_expect 5 "trayer still running" e2e_not_running "$E2E_TRAYER_PID"
e2e_expect 10 "the probe did not see the tray go" tray_said no
sent=$(said_count "sent-to-tray")
xdotool windowminimize "$WIN"
e2e_expect 5 "the minimize was not seen" minimized_twice
sleep 0.5
[[ $(said_count "sent-to-tray") == "$sent" ]] || e2e_fail "sent to a tray that is not there"
in_client_list "$WIN" || e2e_fail "the minimized window lost its taskbar entry"

e2e_log "passed"
