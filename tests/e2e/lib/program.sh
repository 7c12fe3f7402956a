# The program under test: copies of it, its settings, how it is started (as root or as an ordinary
# user, never able to set the clock), its windows and the probe that reads its fields. Sourced by
# lib.sh.

# The program's home is a folder of the test's own ($E2E_USER_HOME, no configuration folder set),
# so that nothing it saves there reaches the home of whoever runs the tests; so is its runtime
# folder, private as a desktop session's.
E2E_USER_HOME=$E2E_TMP/home
E2E_RUNTIME=$E2E_TMP/runtime
mkdir -p "$E2E_USER_HOME"
mkdir -m 700 "$E2E_RUNTIME"
E2E_PROGRAM_ENV=(-u XDG_CONFIG_HOME -u XDG_CACHE_HOME "HOME=$E2E_USER_HOME" "XDG_RUNTIME_DIR=$E2E_RUNTIME")
E2E_USER_SETPRIV=()
# Where e2e_start_velmora_recording records every change of the clock the program asks for.
E2E_SHIM_LOG=$E2E_TMP/clock-settime.txt

# Copies the program into a fresh directory (the settings file lives beside it); prints its path.
# DIR defaults to $E2E_TMP/app, which belongs to the ordinary user after e2e_as_user: a portable
# copy of the user's own.
e2e_install_copy() {
    local dir=${1:-$E2E_TMP/app} binary=${2:-$VELMORA_BUILD_DIR/app/velmora}
    mkdir -p "$dir"
    cp "$binary" "$dir/" || e2e_fail "no program at $binary"
    [[ -z ${1:-} && -n ${E2E_USER_SETPRIV[*]} ]] && chown -R 65534:65534 "$dir"
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

# Starts PROGRAM as e2e_start_velmora does, with every clock_settime and clock_adjtime step it
# makes recorded in $E2E_SHIM_LOG ("set TIME at NOW", "step OFFSET at NOW") and still refused.
e2e_start_velmora_recording() {
    e2e_start_velmora "VELMORA_CLOCK_SHIM_LOG=$E2E_SHIM_LOG" \
        "LD_PRELOAD=$(e2e_shim_preload "$1")" "$1"
}

# Writes the settings file beside PROGRAM: lines "Key=Value" from the arguments, in section Data;
# it belongs to whoever owns the folder.
e2e_write_settings() {
    local program=$1 file
    shift
    file=$(e2e_settings_file "$program")
    {
        echo "[Data]"
        printf '%s\n' "$@"
    } >"$file"
    chown --reference="$(dirname "$program")" "$file"
}

e2e_settings_file() { echo "$(dirname "$1")/KXdefault.cfg"; }

# Value of KEY in the settings file beside PROGRAM (empty when missing).
e2e_setting() {
    sed -n "s/^$2=//p" "$(e2e_settings_file "$1")" 2>/dev/null | head -n 1
}

# Starts PROGRAM without the right to set the clock (as the ordinary user after e2e_as_user);
# extra environment as NAME=VALUE before it, e.g. e2e_start_velmora LD_PRELOAD=... /tmp/x/velmora.
# Its output goes to $E2E_TMP/$VELMORA_LOG.log (velmora.log). Sets VELMORA_PID. Refuses while the
# machine's system bus is within reach: its timedated would set the clock for root.
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
        >"$E2E_TMP/${VELMORA_LOG:-velmora}.log" 2>&1 &
    VELMORA_PID=$!
    e2e_track "$VELMORA_PID"
}

# From here on the program runs as an ordinary user (nobody, uid 65534) who owns that home and
# the runtime folder; the probe and the clock_settime recorder write where that user may.
e2e_as_user() {
    mkdir -p "$E2E_TMP/probe"
    chown 65534:65534 "$E2E_USER_HOME" "$E2E_RUNTIME" "$E2E_TMP/probe"
    chmod 755 "$E2E_TMP"
    export VELMORA_PROBE_OUT=$E2E_TMP/probe/velmora-probe.txt
    E2E_SHIM_LOG=$E2E_TMP/probe/clock-settime.txt
    E2E_USER_SETPRIV=(--reuid=65534 --regid=65534 --clear-groups)
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

# The main window's X id (the visible normal window named "Velmora"; message boxes and the tray
# icon's window carry the same title), or on sway its con id (its size tells it from a box),
# printed; fails when there is none.
e2e_main_window() {
    local w
    if e2e_wayland; then
        e2e_sway_window "${1:-$VELMORA_PID}" Velmora 315x151
        return
    fi
    for w in $(e2e_search --all --onlyvisible --pid "${1:-$VELMORA_PID}" --name '^Velmora$'); do
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

# Makes our window the active one, then gives the focus to the other program's window (see
# e2e_other_window); fails the test, naming WHEN, unless ours then hides into the tray.
e2e_focus_away() {
    e2e_focus_window "$(e2e_main_window)"
    e2e_expect 5 "our window did not take the focus ($1)" e2e_main_window_in_front
    sleep 0.5
    e2e_focus_window "$E2E_OTHER_WIN"
    e2e_expect 5 "window not hidden when another program became active ($1)" e2e_main_window_hidden
}

# Whether the main window is in front: no ordinary window above it (docks such as a tray's bar
# may be), or on sway the focused one.
e2e_main_window_in_front() {
    local main w above=0
    main=$(e2e_main_window) || return 1
    if e2e_wayland; then
        e2e_sway_focused "$main"
        return
    fi
    for w in $(xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*'); do
        if ((above)) && xprop -id "$w" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_NORMAL; then
            return 1
        fi
        (($(printf '%d' "$w") == main)) && above=1
    done
    ((above))
}

# The visible popup menu of our process (an override-redirect window), printed.
e2e_popup_menu() {
    local w
    for w in $(e2e_search --all --onlyvisible --pid "${1:-$VELMORA_PID}"); do
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
    e2e_search --all --onlyvisible --pid "$VELMORA_PID" --name "^$1\$" | head -n 1 | grep .
}

# The main window shown in the normal state, as PROGRAM (a probe build) sees it.
e2e_shown_normal() { e2e_main_window_shown && e2e_probe_is "$1" Minimized 0; }

# A clock field's text ("%x %X" of the C locale) as seconds since 1970.
e2e_field_seconds() {
    date -d "$(echo "$1" | awk '{ split($1, d, "/"); printf "20%s-%s-%s %s", d[3], d[1], d[2], $2 }')" +%s
}

# Whether SHOWN, a clock field's text read between FROM and TO (seconds since 1970), shows that
# time plus OFFSET seconds, within 2 s: "now" is when the field was read, however long the
# reading took on a busy machine.
e2e_field_time_between() {
    local seconds
    seconds=$(e2e_field_seconds "$1") || return 1
    e2e_seconds_between "$seconds" "$2" "$3" "${4:-0}"
}
# The same for a time already in SECONDS.
e2e_seconds_between() { (($1 >= $2 + ${4:-0} - 2 && $1 <= $3 + ${4:-0} + 2)); }

# A message box of our process (a visible window other than the main window named "Velmora").
e2e_message_box() {
    local main w
    main=$(e2e_main_window 2>/dev/null)
    if e2e_wayland; then
        e2e_sway_views | awk -v pid="${1:-$VELMORA_PID}" -v main="$main" \
            '$2 == pid && $1 != main && $5 == "Velmora" { print $1; found = 1; exit } END { exit !found }'
        return
    fi
    for w in $(e2e_search --all --onlyvisible --pid "${1:-$VELMORA_PID}" --name '^Velmora$'); do
        [[ $w != "$main" ]] && xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q DIALOG &&
            { echo "$w"; return 0; }
    done
    return 1
}

e2e_message_box_shown() { e2e_message_box "$@" >/dev/null; }

# The probe: asks the test build of the program for the texts of its fields, which it writes
# into $VELMORA_PROBE_OUT when it receives SIGUSR1.
e2e_probe_read() {
    local out=$VELMORA_PROBE_OUT
    rm -f "$out"
    kill -USR1 "${2:-$VELMORA_PID}" 2>/dev/null || return 1
    e2e_wait_for 5 test -s "$out" || return 1
    cat "$out"
}

# The LD_PRELOAD value that puts LIBRARY into PROGRAM (behind the sanitizer runtime, which must
# come first, when the program was built with it).
e2e_preload() {
    local asan
    asan=$(ldd "$1" 2>/dev/null | sed -n 's/.*libasan[^ ]* => \([^ ]*\).*/\1/p')
    echo "${asan:+$asan:}$2"
}

# The LD_PRELOAD value that puts the clock recorder into PROGRAM.
e2e_shim_preload() { e2e_preload "$1" "$(e2e_readable "$E2E_SHIM")"; }

# Clicks the shown button named NAME (an object name: SpeedButton2, OKButton, RadioButton1, ...)
# in a window of the probe build PROGRAM, where no pointer can (sway); returns once the click is
# under way.
e2e_probe_click() {
    local request=$VELMORA_PROBE_OUT.click
    echo "$2" >"$request"
    chmod 644 "$request"
    kill -USR2 "${3:-$VELMORA_PID}" 2>/dev/null || return 1
    e2e_wait_for 5 eval '[[ ! -e $request ]]' || e2e_fail "no button $2 to click"
}

# Opens the options of PROGRAM (a probe build) from its main window, picks "display GMT" and
# confirms with OK: with the pointer and Return on X11, through the probe on sway.
e2e_confirm_gmt() {
    if e2e_wayland; then
        e2e_probe_click "$1" SpeedButton2
        e2e_expect 10 "options did not open" e2e_sway_window "$VELMORA_PID" Options
        e2e_probe_click "$1" RadioButton1
        e2e_probe_click "$1" OKButton
        return
    fi
    e2e_click_control SpeedButton2
    e2e_expect 10 "options did not open" e2e_shown_window Options
    e2e_click_window "$(e2e_shown_window Options)" 1 26 104 # "display GMT"
    xdotool key Return
    e2e_expect 10 "options did not close" eval '! e2e_shown_window Options'
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
