#!/usr/bin/env bash
# Trays: xembed sni
# One copy per session: starting the program again, while its window is hidden in the tray or
# minimized into it, brings that window to the front in the normal state, and the second start
# ends at once without an icon of its own.
source "$(dirname "$0")/lib.sh"

shown_normal() { e2e_main_window_shown && e2e_probe_is "$prog" Minimized 0; }
# Our window above the other program's (docks such as trayer stay above both).
in_front() {
    local stacking=() w i=0 main other
    for w in $(xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*'); do
        stacking[$(printf '%d' "$w")]=$((i++))
    done
    main=${stacking[$(e2e_main_window)]:-} other=${stacking[$E2E_OTHER_WIN]:-}
    [[ -n $main && -n $other ]] && ((main > other))
}

# Starts PROGRAM once more and waits for that start to end by itself.
start_again() {
    local pid rc
    (cd "$(dirname "$prog")" &&
        exec setpriv --bounding-set -sys_time --inh-caps -sys_time -- "$prog") \
        >>"$E2E_TMP/second-copy.log" 2>&1 &
    pid=$!
    e2e_track "$pid"
    e2e_wait_exit 10 "$pid" || e2e_fail "the second start did not end ($1)"
    ((VELMORA_RC == 0)) || e2e_fail "the second start ended with $VELMORA_RC ($1)"
    e2e_icon_present "$pid" && e2e_fail "the second start put an icon in the tray ($1)"
    return 0
}

e2e_tray_session
prog=$(e2e_install_copy "" "$E2E_PROBE")
e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown" e2e_main_window_shown
e2e_expect 10 "no icon in the tray" e2e_icon_present

e2e_other_window
e2e_expect 5 "window not hidden when another program became active" e2e_main_window_hidden
start_again "hidden"
e2e_expect 5 "the running copy's window did not come back" e2e_main_window_shown
e2e_expect 5 "the running copy's window is not in front" in_front

xdotool windowminimize "$(e2e_main_window)"
e2e_expect 5 "minimized window not sent to the tray" e2e_main_window_hidden
start_again "minimized"
e2e_expect 5 "the minimized window did not come back normal" shown_normal
kill -0 "$VELMORA_PID" || e2e_fail "the first copy ended"
e2e_log "ok"
