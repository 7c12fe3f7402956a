# Session harness for the end-to-end tests: sourced by every tests/e2e/*_test.sh.
#
# A test calls e2e_session (Xvfb on a display it picks itself, openbox, trayer), then starts the
# program with e2e_start_velmora on a copy of the binary in its own temp dir, drives it with
# xdotool and checks with the e2e_wait_* helpers. Every process started through this file is
# stopped by its pid when the script ends, whichever way it ends.
#
# Environment: VELMORA_BUILD_DIR (the build tree), VELMORA_SOURCE_DIR (the sources). The tests run
# inside tests/fixtures/netns-run, so 127.0.0.1 is a private loopback.

set -uo pipefail

E2E_NAME=$(basename "${0%.sh}")
E2E_TMP=$(mktemp -d "/tmp/velmora-e2e-${E2E_NAME}.XXXXXX")
E2E_PIDS=()
E2E_FAILED=0
VELMORA_BUILD_DIR=${VELMORA_BUILD_DIR:?VELMORA_BUILD_DIR must name the build tree}
VELMORA_SOURCE_DIR=${VELMORA_SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
E2E_RESPONDER=${E2E_RESPONDER:-$VELMORA_BUILD_DIR/tests/tools/ntp-responder/ntp-responder}
E2E_PROBE=${E2E_PROBE:-$VELMORA_BUILD_DIR/tests/tools/velmora-probe/velmora-probe}
E2E_SHIM=${E2E_SHIM:-$VELMORA_BUILD_DIR/tests/tools/clock-shim/libvelmora-clock-shim.so}
export VELMORA_PROBE_OUT=$E2E_TMP/velmora-probe.txt
# Runs a command unable to set the clock.
E2E_CLOCK_SAFE=$VELMORA_SOURCE_DIR/scripts/clock-safe
E2E_XCURSOR=${E2E_XCURSOR:-$VELMORA_BUILD_DIR/tests/tools/x-cursor/x-cursor}

e2e_log() { echo "[$E2E_NAME $(date +%H:%M:%S.%N | cut -c1-12)] $*" >&2; }

e2e_fail() {
    e2e_log "FAIL: $*"
    E2E_FAILED=1
    exit 1
}

# Records a pid for the clean-up.
e2e_track() { E2E_PIDS+=("$1"); }

# Stops one tracked process: TERM, then KILL after five seconds.
e2e_stop_pid() {
    local pid=$1 i
    [[ -n $pid ]] || return 0
    e2e_alive "$pid" || { wait "$pid" 2>/dev/null; return 0; }
    kill -TERM "$pid" 2>/dev/null
    for i in $(seq 1 100); do
        e2e_alive "$pid" || break
        sleep 0.05
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    return 0
}

# Whether PID runs (a process that ended and is not yet collected does not).
e2e_alive() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null) && [[ $state != Z* ]]
}

e2e_cleanup() {
    local rc=$? i
    # Whatever the caller's shell options, every process gets stopped.
    set +e
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        e2e_stop_pid "${E2E_PIDS[i]}"
    done
    if ((rc != 0 || E2E_FAILED)); then
        e2e_log "kept logs in $E2E_TMP"
        for f in "$E2E_TMP"/*.log; do
            [[ -s $f ]] && { echo "--- $f" >&2; tail -n 20 "$f" >&2; }
        done
    else
        rm -rf "$E2E_TMP"
    fi
    exit "$rc"
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM HUP

# Starts CMD... in the background with its output in $E2E_TMP/NAME.log; sets E2E_LAST_PID.
e2e_spawn() {
    local name=$1
    shift
    "$@" >"$E2E_TMP/$name.log" 2>&1 &
    E2E_LAST_PID=$!
    e2e_track "$E2E_LAST_PID"
}

# Waits until CMD... succeeds, polling every 50 ms for at most TIMEOUT seconds.
e2e_wait_for() {
    local timeout=$1
    shift
    local now deadline
    deadline=$(e2e_now_ms)
    deadline=$((deadline + ${timeout%.*} * 1000))
    while true; do
        "$@" >/dev/null 2>&1 && return 0
        now=$(e2e_now_ms)
        ((now >= deadline)) && return 1
        sleep 0.05
    done
}
e2e_now_ms() {
    local t=${EPOCHREALTIME/./}
    echo $((t / 1000))
}

# Like e2e_wait_for, but fails the test with MESSAGE.
e2e_expect() {
    local timeout=$1 message=$2
    shift 2
    e2e_wait_for "$timeout" "$@" || e2e_fail "$message"
}

# A session bus, Xvfb on a display it chooses, a window manager and a tray host; exports DISPLAY
# and DBUS_SESSION_BUS_ADDRESS. A display that goes away under the window manager (a server of
# another run ending on the same number) is given up and the session set up again, at most three
# times.
e2e_session() {
    local attempt
    [[ -n ${E2E_BUS_PID:-} ]] || e2e_session_bus
    for attempt in 1 2 3; do
        e2e_try_session && return 0
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
    e2e_spawn trayer trayer --edge top --align right --widthtype pixel --width 80 \
        --heighttype pixel --height 24 --transparent false --tint 0xc0c0c0 --SetDockType true
    E2E_TRAYER_PID=$E2E_LAST_PID
    e2e_wait_for 10 e2e_tray_host_running
}

e2e_wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
e2e_tray_host_running() { xdotool search --classname trayer; }

# Copies the program into a fresh directory (the settings file lives beside it); prints its path.
# DIR defaults to $E2E_TMP/app.
e2e_install_copy() {
    local dir=${1:-$E2E_TMP/app} binary=${2:-$VELMORA_BUILD_DIR/app/velmora}
    mkdir -p "$dir"
    cp "$binary" "$dir/" || e2e_fail "no program at $binary"
    echo "$dir/$(basename "$binary")"
}

# A probe build of the program in a fresh directory, its settings naming the server on 127.0.0.1,
# with KEY=VALUE lines more; prints its path.
e2e_probe_copy() {
    local program
    program=$(e2e_install_copy "" "$E2E_PROBE")
    e2e_write_settings "$program" "GlobalTimeSrvList=127.0.0.1" "$@"
    echo "$program"
}

# Starts PROGRAM as e2e_start_velmora does, with every clock_settime it makes recorded in
# $E2E_SHIM_LOG instead of reaching the clock.
E2E_SHIM_LOG=$E2E_TMP/clock-settime.txt
e2e_start_velmora_recording() {
    e2e_start_velmora "VELMORA_CLOCK_SHIM_LOG=$E2E_SHIM_LOG" \
        "LD_PRELOAD=$(e2e_shim_preload "$1")" "$1"
}

# Writes the settings file beside PROGRAM: lines "Key=Value" from the arguments, in section Data.
e2e_write_settings() {
    local program=$1
    shift
    {
        echo "[Data]"
        printf '%s\n' "$@"
    } >"$(dirname "$program")/KXdefault.cfg"
}

e2e_settings_file() { echo "$(dirname "$1")/KXdefault.cfg"; }

# Value of KEY in the settings file beside PROGRAM (empty when missing).
e2e_setting() {
    sed -n "s/^$2=//p" "$(e2e_settings_file "$1")" 2>/dev/null | head -n 1
}

# Starts PROGRAM without the right to set the clock (as the ordinary user after e2e_as_user);
# extra environment as NAME=VALUE before it, e.g. e2e_start_velmora LD_PRELOAD=... /tmp/x/velmora.
# Sets VELMORA_PID. Refuses while the machine's system bus is within reach: its timedated would
# set the clock for root.
e2e_start_velmora() {
    e2e_system_bus_pointed_away ||
        e2e_fail "DBUS_SYSTEM_BUS_ADDRESS must lead to a private bus or nowhere (tests/fixtures/netns-run sets it)"
    local env=("${E2E_PROGRAM_ENV[@]}")
    while [[ $1 == *=* ]]; do
        env+=("$1")
        shift
    done
    local program=$1
    (cd "$(dirname "$program")" &&
        exec env "${env[@]}" "$E2E_CLOCK_SAFE" "${E2E_USER_SETPRIV[@]}" -- "$program") \
        >"$E2E_TMP/velmora.log" 2>&1 &
    VELMORA_PID=$!
    e2e_track "$VELMORA_PID"
}

# The program's home is a folder of the test's own ($E2E_USER_HOME, no configuration folder set),
# so that nothing it saves there reaches the home of whoever runs the tests.
E2E_USER_HOME=$E2E_TMP/home
mkdir -p "$E2E_USER_HOME"
E2E_PROGRAM_ENV=(-u XDG_CONFIG_HOME "HOME=$E2E_USER_HOME")
E2E_USER_SETPRIV=()

# From here on the program runs as an ordinary user (nobody, uid 65534) who owns that home; the
# probe writes where that user may.
e2e_as_user() {
    mkdir -p "$E2E_TMP/probe"
    chown 65534:65534 "$E2E_USER_HOME" "$E2E_TMP/probe"
    chmod 755 "$E2E_TMP"
    export VELMORA_PROBE_OUT=$E2E_TMP/probe/velmora-probe.txt
    E2E_USER_SETPRIV=(--reuid=65534 --regid=65534 --clear-groups)
}

e2e_system_bus_pointed_away() {
    [[ -n ${DBUS_SYSTEM_BUS_ADDRESS:-} && $DBUS_SYSTEM_BUS_ADDRESS != *"/run/dbus/system_bus_socket"* ]]
}

# A private system bus with timedated and polkit mocked (tests/fixtures/private-system-bus),
# exported as DBUS_SYSTEM_BUS_ADDRESS for what starts after; its logs are in $E2E_BUS_DIR.
e2e_start_system_bus() {
    E2E_BUS_DIR=$E2E_TMP/system-bus
    e2e_spawn system-bus "$VELMORA_SOURCE_DIR/tests/fixtures/private-system-bus" "$E2E_BUS_DIR"
    e2e_expect 60 "the private system bus did not come up" test -s "$E2E_BUS_DIR/address"
    DBUS_SYSTEM_BUS_ADDRESS=$(cat "$E2E_BUS_DIR/address")
    export DBUS_SYSTEM_BUS_ADDRESS
}

# Calls METHOD of a mock on the private bus with dbus-send ARGS: SERVICE is timedated or polkit.
e2e_bus_call() {
    local service=$1 method=$2 dest path
    shift 2
    case $service in
    timedated) dest=org.freedesktop.timedate1 path=/org/freedesktop/timedate1 ;;
    polkit) dest=org.freedesktop.PolicyKit1 path=/org/freedesktop/PolicyKit1/Authority ;;
    *) e2e_fail "no mock $service" ;;
    esac
    dbus-send --system --print-reply --dest="$dest" "$path" "$method" "$@" >/dev/null ||
        e2e_fail "$service did not take $method"
}

# Waits for the program to end by itself within TIMEOUT seconds; sets VELMORA_RC.
e2e_wait_exit() {
    local timeout=$1 pid=${2:-$VELMORA_PID}
    e2e_wait_for "$timeout" e2e_not_running "$pid" || return 1
    wait "$pid"
    VELMORA_RC=$?
    return 0
}
e2e_not_running() { ! kill -0 "$1" 2>/dev/null; }

# The NTP responder on 127.0.0.1:123 with ARGS (e.g. --offset 3600.25 --delay-ms 3000).
e2e_start_responder() {
    [[ -x $E2E_RESPONDER ]] || e2e_fail "no responder at $E2E_RESPONDER"
    e2e_spawn responder "$E2E_RESPONDER" --address 127.0.0.1 --port 123 "$@"
    E2E_RESPONDER_PID=$E2E_LAST_PID
    e2e_expect 10 "responder did not start" grep -q ready "$E2E_TMP/responder.log"
}

# A real chronyd as the time server on 127.0.0.1:123 (it never touches the clock); extra chrony
# directives as arguments.
e2e_start_chronyd() {
    local dir=$E2E_TMP/chronyd bin
    source "$VELMORA_SOURCE_DIR/tests/fixtures/chronyd.sh"
    bin=$(velmora_chronyd_bin) || e2e_fail "no chronyd"
    velmora_chronyd_config "$dir" "$@"
    e2e_spawn chronyd "$bin" -x -d -u root -f "$dir/chrony.conf"
    e2e_expect 10 "chronyd did not bind 127.0.0.1:123" velmora_ntp_port_bound
}

# The main window's X id (the visible normal window named "Velmora"; message boxes and the tray
# icon's window carry the same title), printed; fails when there is none.
e2e_main_window() {
    local w
    for w in $(xdotool search --all --onlyvisible --pid "${1:-$VELMORA_PID}" --name '^Velmora$' 2>/dev/null); do
        if xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q '= _NET_WM_WINDOW_TYPE_NORMAL' &&
            ! e2e_embedded_in_tray "$w"; then
            echo "$w"
            return 0
        fi
    done
    return 1
}
e2e_main_window_shown() { e2e_main_window "$@" >/dev/null; }
e2e_main_window_hidden() { ! e2e_main_window "$@" >/dev/null; }

# The tray icon: the window the tray host embedded for our process (XEmbed); printed.
e2e_tray_icon() {
    local pid=${1:-$VELMORA_PID} w
    for w in $(xdotool search --pid "$pid" 2>/dev/null); do
        if xwininfo -id "$w" -tree 2>/dev/null | grep -q 'Parent window id: .*trayer\|Parent window id: 0x' &&
            e2e_embedded_in_tray "$w"; then
            echo "$w"
            return 0
        fi
    done
    return 1
}
e2e_tray_icon_present() { e2e_tray_icon "$@" >/dev/null; }

# Whether window W sits inside the tray host's window tree.
e2e_embedded_in_tray() {
    local w=$1 parent trayers
    # the panel that holds the icons has the instance name "panel" and the class "trayer"
    trayers=$(xdotool search --class trayer 2>/dev/null)
    parent=$(xwininfo -id "$w" -tree 2>/dev/null | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p')
    local depth
    for depth in 1 2 3 4; do
        [[ -z $parent || $parent == "$(e2e_root_id)" ]] && return 1
        local t
        for t in $trayers; do
            (($(printf '%d' "$parent") == t)) && return 0
        done
        parent=$(xwininfo -id "$parent" -tree 2>/dev/null | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p')
    done
    return 1
}
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

# Double click on the tray icon; right button down / up on it (the menu opens on the press).
e2e_tray_double_click() {
    local icon
    icon=$(e2e_tray_icon) || e2e_fail "no tray icon"
    read -r cx cy < <(e2e_window_centre "$icon")
    xdotool mousemove "$cx" "$cy" click --repeat 2 --delay 80 1
}
e2e_tray_menu_open() {
    local icon
    icon=$(e2e_tray_icon) || e2e_fail "no tray icon"
    read -r cx cy < <(e2e_window_centre "$icon")
    xdotool mousemove "$cx" "$cy" mousedown 3 sleep 0.1 mouseup 3
}

# Opens the tray menu and waits for it; presses again when a press got lost (the icon may still
# be settling into the tray). Fails the test when no menu comes.
e2e_open_tray_menu() {
    local attempt
    for attempt in 1 2 3; do
        e2e_tray_menu_open
        e2e_wait_for 2 e2e_popup_menu && return 0
        xdotool key Escape
    done
    e2e_fail "tray menu did not open"
}

# The visible popup menu of our process (an override-redirect window), printed.
e2e_popup_menu() {
    local w
    for w in $(xdotool search --all --onlyvisible --pid "${1:-$VELMORA_PID}" 2>/dev/null); do
        # Qt 6 types a menu without a parent window as a normal window: an override-redirect
        # window that is neither the tray icon nor a tooltip is taken for the menu as well.
        if xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q POPUP_MENU ||
            { xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' &&
                ! xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q 'TOOLTIP\|_KDE_NET_WM' &&
                ! e2e_embedded_in_tray "$w"; }; then
            echo "$w"
            return 0
        fi
    done
    return 1
}

# Picks item N (1-based, separators not counted) of the open menu with the keyboard.
e2e_menu_pick() {
    local n=$1 i
    for ((i = 0; i < n; i++)); do xdotool key Down; done
    xdotool key Return
}

# The visible window of our process titled TITLE, printed.
e2e_shown_window() {
    xdotool search --all --onlyvisible --pid "$VELMORA_PID" --name "^$1\$" | head -n 1 | grep .
}

# The main window shown in the normal state, as PROGRAM (a probe build) sees it.
e2e_shown_normal() { e2e_main_window_shown && e2e_probe_is "$1" Minimized 0; }

# A clock field's text ("%x %X" of the C locale) as seconds since 1970.
e2e_field_seconds() {
    date -d "$(echo "$1" | awk '{ split($1, d, "/"); printf "20%s-%s-%s %s", d[3], d[1], d[2], $2 }')" +%s
}

# A message box of our process (a visible window other than the main window named "Velmora").
e2e_message_box() {
    local main w
    main=$(e2e_main_window 2>/dev/null)
    for w in $(xdotool search --all --onlyvisible --pid "${1:-$VELMORA_PID}" --name '^Velmora$' 2>/dev/null); do
        [[ $w != "$main" ]] && xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q DIALOG &&
            { echo "$w"; return 0; }
    done
    return 1
}
e2e_message_box_shown() { e2e_message_box "$@" >/dev/null; }

# Maps a window of another program (xmessage) and clicks into it, so that it takes the focus;
# sets E2E_OTHER_WIN. Call it directly, not in $(...).
e2e_other_window() {
    e2e_spawn other-window xmessage -geometry 200x80+10+600 -title "Other program" "other program"
    E2E_OTHER_PID=$E2E_LAST_PID
    # A window the window manager is taking in drops out of the visible ones for a moment.
    e2e_expect 10 "the other window did not show" eval 'E2E_OTHER_WIN=$(e2e_other_window_id)'
    e2e_click_window "$E2E_OTHER_WIN"
}
e2e_other_window_id() { xdotool search --onlyvisible --name '^Other program$' | head -n 1 | grep .; }

# Screenshot of the whole screen into FILE.
e2e_screenshot() { import -window root "$1"; }

# The probe: asks the test build of the program for the texts of its fields, which it writes
# into $VELMORA_PROBE_OUT when it receives SIGUSR1.
e2e_probe_read() {
    local out=$VELMORA_PROBE_OUT
    rm -f "$out"
    kill -USR1 "${2:-$VELMORA_PID}" 2>/dev/null || return 1
    e2e_wait_for 5 test -s "$out" || return 1
    cat "$out"
}

# The LD_PRELOAD value that puts the clock_settime recorder into PROGRAM (behind the sanitizer
# runtime, which must come first, when the program was built with it).
e2e_shim_preload() {
    local asan
    asan=$(ldd "$1" 2>/dev/null | sed -n 's/.*libasan[^ ]* => \([^ ]*\).*/\1/p')
    echo "${asan:+$asan:}$E2E_SHIM"
}

# Value of FIELD (LocalPCEdit, TimeServerEdit, StatusBar1, Cursor, ...) from the probe output.
e2e_probe_field() {
    local program=$1 field=$2
    e2e_probe_read "$program" | sed -n "s/^$field=//p"
}

# Where the main window's controls are, in its client area (x y of their centres).
e2e_control_position() {
    case $1 in
    CheckTimeServerButton) echo "33 36" ;;
    AdjustClockButton) echo "95 36" ;;
    SpeedButton2) echo "157 36" ;;
    SpeedButton3) echo "219 36" ;;
    SpeedButton1) echo "281 36" ;;
    LocalPCEdit) echo "75 112" ;;
    TimeServerEdit) echo "240 112" ;;
    *) e2e_fail "no control $1" ;;
    esac
}

# Moves the pointer over CONTROL of the main window; e2e_click_control also clicks it.
e2e_point_at() {
    local w x y
    w=$(e2e_main_window) || e2e_fail "no main window to point at"
    read -r x y < <(e2e_control_position "$1")
    xdotool mousemove --window "$w" "$x" "$y"
}
e2e_click_control() {
    e2e_point_at "$1"
    xdotool click 1
}

# Waits until the probe reports FIELD=VALUE.
e2e_probe_is() { [[ $(e2e_probe_field "$1" "$2") == "$3" ]]; }

# Checks that the settings file beside PROGRAM holds all eight keys.
e2e_expect_all_settings() {
    local file key
    file=$(e2e_settings_file "$1")
    [[ -f $file ]] || e2e_fail "no settings file $file"
    grep -qx '\[Data\]' "$file" || e2e_fail "no [Data] section in $file"
    for key in GlobalAutorun GlobalMinimize GlobalNextSrvOnFail GlobalTimeSrvList UpdateClock \
        UpdateClockInterval UpdateClockHour DisplayLocalTime; do
        grep -q "^$key=" "$file" || e2e_fail "key $key missing from $file: $(cat "$file")"
    done
}

# --- StatusNotifierItem trays, and tests that run on either kind of tray ---------------------
#
# A script whose header holds the line "# Trays: xembed sni" is run by ctest once per kind, with
# E2E_TRAY set to it; e2e_tray_session then sets up that kind of session and the e2e_icon_*
# helpers act on whichever tray it has.

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

# The session of e2e_session with a StatusNotifierItem tray in place of trayer: the watcher
# (status-notifier-watcher) and a host (gtk-sni-tray-standalone, a bar along the top edge).
e2e_sni_session() {
    e2e_session
    e2e_stop_pid "$E2E_TRAYER_PID"
    E2E_TRAYER_PID=""
    e2e_spawn sni-watcher status-notifier-watcher
    E2E_SNI_WATCHER_PID=$E2E_LAST_PID
    e2e_expect 10 "no StatusNotifierItem watcher" e2e_sni_watcher_property IsStatusNotifierHostRegistered
    e2e_start_sni_host
}

# Starts (again) the StatusNotifierItem host; sets E2E_SNI_HOST_PID.
e2e_start_sni_host() {
    e2e_spawn sni-host gtk-sni-tray-standalone --top --end --size 24
    E2E_SNI_HOST_PID=$E2E_LAST_PID
    e2e_expect 10 "the StatusNotifierItem host did not register" e2e_sni_host_registered
}

# Value of PROPERTY of the watcher, printed ("boolean true", "array [ ... ]", ...).
e2e_sni_watcher_property() {
    dbus-send --session --print-reply=literal --reply-timeout=2000 \
        --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher "string:$1"
}
e2e_sni_host_registered() { e2e_sni_watcher_property IsStatusNotifierHostRegistered | grep -q true; }

# The bus name of our process's item (its connection), printed, once the watcher lists it.
e2e_sni_item() {
    local pid=${1:-$VELMORA_PID} entry name
    for entry in $(e2e_sni_watcher_property RegisteredStatusNotifierItems); do
        name=${entry%%/*}
        [[ $name == :* || $name == *.* ]] || continue
        if dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus / \
            org.freedesktop.DBus.GetConnectionUnixProcessID "string:$name" 2>/dev/null |
            grep -qw "$pid"; then
            echo "$name"
            return 0
        fi
    done
    return 1
}

# Centre of our icon on the host's bar, as "X Y": the bar is the host's visible window along the
# top edge, and ours is the only icon in it, at its end.
e2e_sni_icon_centre() {
    local w X Y WIDTH HEIGHT
    w=$(xdotool search --onlyvisible --pid "$E2E_SNI_HOST_PID" 2>/dev/null | head -n 1) || return 1
    [[ -n $w ]] || return 1
    eval "$(xdotool getwindowgeometry --shell "$w")"
    echo "$((X + WIDTH - HEIGHT / 2)) $((Y + HEIGHT / 2))"
}

# The visible menu window the host opened (GTK pops menus up as override-redirect windows).
e2e_sni_menu() {
    local w
    for w in $(xdotool search --all --onlyvisible --pid "$E2E_SNI_HOST_PID" 2>/dev/null); do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' && { echo "$w"; return 0; }
    done
    return 1
}

# The menu our item hands to the host, one item a line: its text, or "-" for a separator.
e2e_sni_menu_items() {
    local item=${1:-$(e2e_sni_item)} path
    [[ -n $item ]] || return 1
    path=$(dbus-send --session --print-reply=literal --reply-timeout=2000 --dest="$item" \
        /StatusNotifierItem org.freedesktop.DBus.Properties.Get \
        string:org.kde.StatusNotifierItem string:Menu | grep -o '/[^ ]*') || return 1
    dbus-send --session --print-reply --reply-timeout=2000 --dest="$item" "$path" \
        com.canonical.dbusmenu.GetLayout int32:0 int32:-1 array:string:label,type |
        awk '/string "label"$/ { getline; sub(/^[^"]*"/, ""); sub(/"$/, ""); print }
             /string "separator"$/ { print "-" }'
}

# Sets up the session for E2E_TRAY (xembed, the default, or sni).
e2e_tray_session() {
    case ${E2E_TRAY:-xembed} in
    xembed) e2e_session ;;
    sni) e2e_sni_session ;;
    *) e2e_fail "no tray kind '$E2E_TRAY'" ;;
    esac
    e2e_log "tray: ${E2E_TRAY:-xembed}"
}
e2e_sni() { [[ ${E2E_TRAY:-xembed} == sni ]]; }

# Whether our icon is in the session's tray.
e2e_icon_present() {
    if e2e_sni; then e2e_sni_item "$@" >/dev/null; else e2e_tray_icon_present "$@"; fi
}

# The gesture that brings the window back: a double click on an XEmbed icon, the activation
# (one click) on a StatusNotifierItem host.
e2e_icon_activate() {
    if e2e_sni; then
        local cx cy
        read -r cx cy < <(e2e_sni_icon_centre) || e2e_fail "no icon on the host's bar"
        xdotool mousemove "$cx" "$cy" click 1
    else
        e2e_tray_double_click
    fi
}

# Opens the tray menu, drawn by us (XEmbed) or by the host (StatusNotifierItem); fails the test
# when none comes.
e2e_icon_menu() {
    if ! e2e_sni; then
        e2e_open_tray_menu
        return
    fi
    local attempt cx cy
    for attempt in 1 2 3; do
        read -r cx cy < <(e2e_sni_icon_centre) || e2e_fail "no icon on the host's bar"
        xdotool mousemove "$cx" "$cy" click 3
        e2e_wait_for 3 e2e_sni_menu && return 0
        xdotool key Escape
    done
    e2e_fail "the host opened no menu"
}

# Starts the tray host again: trayer, or the StatusNotifierItem host.
e2e_start_tray_host() {
    if e2e_sni; then
        e2e_start_sni_host
        return
    fi
    e2e_spawn trayer-again trayer --edge top --align right --widthtype pixel --width 80 \
        --heighttype pixel --height 24 --transparent false --tint 0xc0c0c0 --SetDockType true
    E2E_TRAYER_PID=$E2E_LAST_PID
    e2e_expect 10 "trayer did not come back" e2e_tray_host_running
}

# Stops the tray host: trayer, or the StatusNotifierItem host.
e2e_stop_tray_host() {
    if e2e_sni; then e2e_stop_pid "$E2E_SNI_HOST_PID"; else e2e_stop_pid "$E2E_TRAYER_PID"; fi
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

# Starts PROGRAM like e2e_start_velmora, in a directory nobody may write to, root included: a
# read-only bind mount of it, in a mount namespace of the program's own. CONFIG is the user's
# configuration folder it may fall back to; by default one that cannot be made, so that no save
# can succeed. Its output goes to $E2E_TMP/velmora-ro.log. Sets VELMORA_PID.
e2e_start_velmora_read_only() {
    local program=$1 config=${2:-$E2E_TMP/no-folder/config} dir
    dir=$(dirname "$program")
    touch "$E2E_TMP/no-folder"
    (cd "$dir" && exec unshare -m --propagation private sh -c \
        'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" &&
         exec env HOME="$3" XDG_CONFIG_HOME="$4" "$5" -- "$2"' \
        sh "$dir" "$program" "$E2E_USER_HOME" "$config" "$E2E_CLOCK_SAFE") >"$E2E_TMP/velmora-ro.log" 2>&1 &
    VELMORA_PID=$!
    e2e_track "$VELMORA_PID"
}
