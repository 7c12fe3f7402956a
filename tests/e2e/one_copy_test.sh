#!/usr/bin/env bash
# Trays: xembed sni
# One copy per session: starting the program again, while its window is hidden in the tray or
# minimized into it, brings that window to the front in the normal state, and the second start
# ends at once without an icon of its own. Another user can neither call the window up nor, by
# taking the copy's socket name first, keep the program from starting.
source "$(dirname "$0")/lib.sh"

# No ordinary window above ours (docks such as the tray's bar may be).
in_front() {
    local main w above=0
    main=$(e2e_main_window) || return 1
    for w in $(xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*'); do
        if ((above)) && xprop -id "$w" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_NORMAL; then
            return 1
        fi
        (($(printf '%d' "$w") == main)) && above=1
    done
    ((above))
}

# Starts PROGRAM once more and waits for that start to end by itself.
start_again() {
    local pid
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

# Python for the unprivileged user "nobody": connects to the first copy's socket name (its user
# and display in argv[1]), or with "listen" takes that name and holds it.
nobody_py='
import socket, sys, time
name = "\0velmora-" + sys.argv[1]
s = socket.socket(socket.AF_UNIX)
if sys.argv[2:] == ["listen"]:
    s.bind(name)
    s.listen()
    print("ready", flush=True)
    time.sleep(60)
else:
    s.connect(name)
'

e2e_tray_session
as_nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups -- /usr/bin/python3 -c "$nobody_py"
    "$(id -u)-$DISPLAY")
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
e2e_expect 5 "the minimized window did not come back normal" e2e_shown_normal "$prog"
kill -0 "$VELMORA_PID" || e2e_fail "the first copy ended"

e2e_log "another user"
xdotool windowminimize "$(e2e_main_window)"
e2e_expect 5 "minimized window not sent to the tray" e2e_main_window_hidden
"${as_nobody[@]}" || e2e_fail "nobody could not connect"
sleep 1
e2e_main_window_hidden || e2e_fail "another user called the window up"
kill -TERM "$VELMORA_PID"
e2e_wait_exit 10 || e2e_fail "the first copy did not end"
e2e_spawn nobody "${as_nobody[@]}" listen
e2e_expect 5 "nobody did not take the name" grep -q ready "$E2E_TMP/nobody.log"
e2e_start_velmora "$prog"
e2e_expect 10 "another user's socket kept the program from starting" e2e_main_window_shown
kill -0 "$VELMORA_PID" || e2e_fail "the program ended"
e2e_log "ok"
