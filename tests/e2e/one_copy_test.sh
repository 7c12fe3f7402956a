#!/usr/bin/env bash
# Trays: xembed sni xfce sway
# One copy per user and display, for an ordinary user. Starting the program again, while its
# window is hidden in the tray or minimized into it, brings that window to the front in the normal
# state, and the second start ends at once without an icon of its own. Another user can neither
# call the window up nor, by taking the copy's names first, make a second copy run: not the old
# name in the abstract namespace, and not the socket and lock in a runtime folder it may write to,
# which the program then leaves for a folder of the user's own.
source "$(dirname "$0")/lib.sh"

SQUATTER=65533

# Starts PROGRAM once more and waits for that start to end by itself.
start_again() {
    local first=$VELMORA_PID pid
    VELMORA_LOG=second-copy e2e_start_velmora "$@"
    pid=$VELMORA_PID
    VELMORA_PID=$first
    e2e_wait_exit 10 "$pid" || e2e_fail "the second start did not end ($*)"
    ((VELMORA_RC == 0)) || e2e_fail "the second start ended with $VELMORA_RC ($*)"
    e2e_icon_present "$pid" && e2e_fail "the second start put an icon in the tray ($*)"
    return 0
}

# Python for another user: connects to the names in argv (a path, or "@name" in the abstract
# namespace), or with "listen" first takes them, and holds a lock on each "*.lock" path given.
squatter_py='
import fcntl, os, socket, sys, time
names = sys.argv[1:]
listen = names[0] == "listen"
held = []
for name in names[1:] if listen else names:
    if name.endswith(".lock"):
        fd = os.open(name, os.O_RDWR | os.O_CREAT, 0o666)
        os.fchmod(fd, 0o666)
        fcntl.flock(fd, fcntl.LOCK_EX)
        held.append(fd)
        continue
    s = socket.socket(socket.AF_UNIX)
    address = "\0" + name[1:] if name.startswith("@") else name
    try:
        if listen:
            s.bind(address)
            if not name.startswith("@"):
                os.chmod(address, 0o777)
            s.listen()
            held.append(s)
        else:
            s.connect(address)
            print("reached", name, flush=True)
    except OSError as e:
        print("refused", name, e, flush=True)
if listen:
    print("ready", flush=True)
    while True:
        for s in held:
            if isinstance(s, socket.socket):
                s.setblocking(False)
                try:
                    s.accept()
                    print("called", flush=True)
                except BlockingIOError:
                    pass
        time.sleep(0.1)
'
# The other user's python, started without a shell in between, so that stopping its pid stops it.
as_squatter=(setpriv --reuid=$SQUATTER --regid=$SQUATTER --clear-groups -- /usr/bin/python3 -c
    "$squatter_py")

e2e_tray_session
[[ -n ${E2E_USER_SETPRIV[*]} ]] || e2e_as_user
prog=$(e2e_install_copy "" "$E2E_PROBE")
# The display as the program names it: sway's by its full path, shortened.
display=${DISPLAY:-}
if e2e_wayland; then
    display=$WAYLAND_DISPLAY-$(printf '%s' "$E2E_SWAY_RUNTIME/$WAYLAND_DISPLAY" | sha1sum | cut -c1-8)
fi
e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown" e2e_main_window_shown
e2e_expect 10 "no icon in the tray" e2e_icon_present

e2e_other_window
e2e_expect 5 "window not hidden when another program became active" e2e_main_window_hidden
start_again "$prog"
e2e_expect 5 "the running copy's window did not come back" e2e_main_window_shown
e2e_expect 5 "the running copy's window is not in front" e2e_main_window_in_front

e2e_log "another user calls"
e2e_focus_away "before another user calls"
runtime=$(ls -d "$E2E_TMP"/*runtime | head -n 1)
"${as_squatter[@]}" "$runtime/velmora-$display" "@velmora-65534-$display" >"$E2E_TMP/squatter-call.log" 2>&1
grep -q reached "$E2E_TMP/squatter-call.log" &&
    e2e_fail "another user reached the copy: $(cat "$E2E_TMP/squatter-call.log")"
sleep 1
e2e_main_window_hidden || e2e_fail "another user called the window up"

if e2e_can_minimize; then
    start_again "$prog"
    e2e_expect 5 "the running copy's window did not come back" e2e_main_window_shown
    e2e_minimize_main
    e2e_expect 5 "minimized window not sent to the tray" e2e_main_window_hidden
    start_again "$prog"
    e2e_expect 5 "the minimized window did not come back normal" e2e_shown_normal "$prog"
fi
kill -0 "$VELMORA_PID" || e2e_fail "the first copy ended"
kill -TERM "$VELMORA_PID"
e2e_wait_exit 10 || e2e_fail "the first copy did not end"

e2e_log "another user takes the names first"
shared=$E2E_TMP/shared-runtime
mkdir -m 1777 "$shared"
chown 65534:65534 "$shared"
e2e_spawn squatter "${as_squatter[@]}" listen "@velmora-65534-$display" "$shared/velmora-$display" \
    "$shared/velmora-$display.lock"
e2e_expect 5 "the other user did not take the names" grep -q ready "$E2E_TMP/squatter.log"
e2e_start_velmora "XDG_RUNTIME_DIR=$shared" "$prog"
e2e_expect 10 "another user's names kept the program from starting" e2e_main_window_shown
e2e_focus_away "in a runtime folder of another user's names"
start_again "XDG_RUNTIME_DIR=$shared" "$prog"
e2e_expect 5 "the second start did not find the first copy" e2e_main_window_shown
kill -0 "$VELMORA_PID" || e2e_fail "the program ended"
grep -q called "$E2E_TMP/squatter.log" && e2e_fail "a start called the other user's socket"
e2e_log "ok"
