# The X session of an end-to-end test: a private session bus, Xvfb, openbox, and the windows on
# the screen (X11 or, through lib/wayland.sh, sway's). Sourced by lib.sh.

# A session bus, Xvfb on a display it chooses, a window manager and trayer (no tray at all with
# --no-tray); exports DISPLAY and DBUS_SESSION_BUS_ADDRESS. A display that goes away under the
# window manager (a server of another run ending on the same number) is given up and the session
# set up again, at most three times.
e2e_session() {
    local attempt tray=trayer
    [[ ${1:-} == --no-tray ]] && tray=""
    [[ -n ${E2E_BUS_PID:-} ]] || e2e_session_bus
    for attempt in 1 2 3; do
        e2e_try_session "$tray" && return 0
        e2e_log "session attempt $attempt failed; starting over"
        e2e_stop_pid "${E2E_OPENBOX_PID:-}"
        e2e_stop_pid "${E2E_XVFB_PID:-}"
    done
    e2e_fail "no X session"
}

e2e_try_session() {
    local fifo=$E2E_TMP/displayfd display=""
    rm -f "$fifo"
    mkfifo "$fifo"
    # -noreset: a server that resets when its last client leaves (the probe before the window
    # manager) may refuse the next one, or take it and never answer.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" >>"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    e2e_track "$E2E_XVFB_PID"
    read -r -t 20 display <"$fifo" || return 1
    export DISPLAY=":$display"
    unset WAYLAND_DISPLAY
    export QT_QPA_PLATFORM=xcb
    e2e_wait_for 10 xdpyinfo || return 1
    e2e_spawn openbox openbox --sm-disable
    E2E_OPENBOX_PID=$E2E_LAST_PID
    e2e_wait_for 10 e2e_wm_running || return 1
    [[ -n $1 ]] || return 0
    e2e_start_trayer trayer && e2e_wait_for 10 e2e_tray_host_running
}

# xdotool search ARGS..., its matches printed. A window that closes while xdotool walks the
# window tree (a tooltip going, a dialog closing) makes it die on the X error and report no match;
# such a search is made again.
e2e_search() {
    local err=$E2E_TMP/search.$BASHPID.err out rc attempt
    for attempt in 1 2 3 4 5; do
        out=$(xdotool search "$@" 2>"$err")
        rc=$?
        if ! grep -q 'X Error of failed request' "$err"; then
            rm -f "$err"
            [[ -z $out ]] || printf '%s\n' "$out"
            return "$rc"
        fi
    done
    rm -f "$err"
    return 1
}

e2e_wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }

e2e_root_id() { xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p'; }

# Centre of window W in root coordinates, as "X Y".
e2e_window_centre() {
    local x y w h
    eval "$(xdotool getwindowgeometry --shell "$1")"
    x=$X y=$Y w=$WIDTH h=$HEIGHT
    echo "$((x + w / 2)) $((y + h / 2))"
}

# Moves the pointer onto window W (at its centre, or at DX DY inside it) and clicks BUTTON.
e2e_click_window() {
    local w=$1 button=${2:-1} dx=${3:-} dy=${4:-}
    if [[ -n $dx ]]; then
        xdotool mousemove --window "$w" "$dx" "$dy" click "$button"
    else
        read -r cx cy < <(e2e_window_centre "$w")
        xdotool mousemove "$cx" "$cy" click "$button"
    fi
}

# Maps a window of another program and gives it the focus (xmessage clicked into; on sway a
# window of the tray probe, which sway focuses as it comes); sets E2E_OTHER_WIN. Call it directly,
# not in $(...).
e2e_other_window() {
    if e2e_wayland; then
        e2e_spawn other-window "${E2E_SWAY_AS[@]}" "$(e2e_readable "$E2E_TRAY_PROBE")" --other
        E2E_OTHER_PID=$E2E_LAST_PID
        e2e_expect 10 "the other window did not show" \
            eval 'E2E_OTHER_WIN=$(e2e_sway_window "$E2E_OTHER_PID" "Other program")'
        e2e_focus_window "$E2E_OTHER_WIN"
        return
    fi
    e2e_spawn other-window xmessage -geometry 200x80+10+600 -title "Other program" "other program"
    E2E_OTHER_PID=$E2E_LAST_PID
    # A window the window manager is taking in drops out of the visible ones for a moment.
    e2e_expect 10 "the other window did not show" eval 'E2E_OTHER_WIN=$(e2e_other_window_id)'
    e2e_click_window "$E2E_OTHER_WIN"
}

e2e_other_window_id() { e2e_search --onlyvisible --name '^Other program$' | head -n 1 | grep .; }

# Gives window W the focus: a click into it, or sway told to.
e2e_focus_window() {
    if e2e_wayland; then
        e2e_sway_run swaymsg "[con_id=$1] focus" >/dev/null
    else
        e2e_click_window "$1"
    fi
}

# Closes the message box of ours that has the focus: Return on X11; on sway, which has no
# keyboard here, the close its title bar's button would ask for.
e2e_close_box() {
    if e2e_wayland; then
        e2e_sway_run swaymsg "[con_id=$(e2e_message_box)] kill" >/dev/null
    else
        xdotool key Return
    fi
}

# Whether windows can be minimized: sway has no such state.
e2e_can_minimize() { ! e2e_wayland; }

# Minimizes the main window.
e2e_minimize_main() {
    local w
    w=$(e2e_main_window) || e2e_fail "no main window to minimize"
    xdotool windowminimize "$w"
}

# Screenshot of the whole screen into FILE.
e2e_screenshot() {
    if e2e_wayland; then e2e_sway_screenshot "$1"; else import -window root "$1"; fi
}

# A private session bus for the test (a desktop session always has one): no service activation,
# so nothing starts behind the test's back, and libdbus never launches a bus of its own for the
# display. Exports DBUS_SESSION_BUS_ADDRESS.
e2e_session_bus() {
    local conf=$E2E_TMP/session-bus.conf address=$E2E_TMP/session-bus.address
    cat >"$conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$E2E_TMP/session-bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <!-- the program, its tray and the test may run as different users -->
    <allow user="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
    e2e_spawn session-bus dbus-daemon --config-file="$conf" --nofork --nopidfile \
        --print-address=3 3>"$address"
    E2E_BUS_PID=$E2E_LAST_PID
    e2e_expect 10 "the session bus did not start" test -s "$address"
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$address")
    # GTK would ask the bus for its accessibility service, which nothing here provides.
    export DBUS_SESSION_BUS_ADDRESS NO_AT_BRIDGE=1
}

# Whether window W is drawn: the computer-clock field shows its colour there on the screen (a
# window mapped behind the toolkit's back stays black).
e2e_window_painted() {
    local x y
    read -r x y < <(xwininfo -id "$1" 2>/dev/null |
        sed -n 's/.*Absolute upper-left X: *//p; s/.*Absolute upper-left Y: *//p' | paste -sd ' ')
    [[ -n $y ]] || return 1
    [[ $(import -window root -crop "1x1+$((x + 10))+$((y + 112))" png:- 2>/dev/null |
        convert - -format '%[fx:int(255*r+.5)],%[fx:int(255*g+.5)],%[fx:int(255*b+.5)]' info:) == 0,128,128 ]]
}

# Whether window W is mapped on the screen, as the X server sees it.
e2e_window_mapped() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
