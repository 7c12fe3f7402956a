# Harness for the Windows end-to-end tests: sourced by every tests/e2e/windows/*_test.sh.
#
# They run the real velmora.exe under Wine, in the run's Wine session (tests/fixtures/wine-session:
# a private prefix, its wineserver and a private Xvfb), inside its network namespace with chronyd
# on 127.0.0.1:123. Each test has a Wine desktop of its own (explorer /desktop=NAME) with Wine's
# taskbar and its notification area: the tray that takes the icon and its clicks every time
# (trayer with a window manager did not). Its window is at the top left of the X screen, so
# Windows' screen coordinates are the X server's. The program's windows are read from outside
# with win-probe, as another program on that desktop can (tests/tools/windows/win-probe).
#
# Environment: VELMORA_BUILD_DIR (the Windows build tree), VELMORA_SOURCE_DIR (the sources).

source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"

WIN_DESKTOP=velmora-$E2E_NAME-$$
WIN_PROBE=$VELMORA_BUILD_DIR/tests/tools/windows/win-probe/win-probe.exe
WIN_SCREEN=800x600
export TZ=UTC LC_ALL=C

win_wine() { "$E2E_CLOCK_SAFE" -- wine "$@"; }

# Asks win-probe on the test's desktop (see its usage).
win_probe() { WINPROBE_DESKTOP=$WIN_DESKTOP win_wine "$WIN_PROBE" "$@" 2>/dev/null | tr -d '\r'; }
win_shown() { WINPROBE_DESKTOP=$WIN_DESKTOP win_wine "$WIN_PROBE" shown "$1" >/dev/null 2>&1; }
win_text_is() { [[ $(win_probe text "$1" "$2") == "$3" ]]; }

# The Unix pids of the Windows programs of this test: those started from its folder and its
# desktop's own explorer.
win_pids() {
    local tag=${E2E_TMP##*/} pid
    for pid in $(pgrep -f -- "$tag|/desktop=$WIN_DESKTOP"); do
        # The launchers started here are the harness's to stop.
        [[ $pid != "$$" && " ${E2E_PIDS[*]} " != *" $pid "* ]] && echo "$pid"
    done
}

# How many copies of PROGRAM run (the Unix processes Wine runs them in carry its path).
win_copies() { pgrep -c -f -- "^$1" || true; }
win_ended() { [[ $(win_copies "$1") == 0 ]]; }

# Ends this test's Windows programs before the harness stops what it started.
win_cleanup() {
    local rc=$? pid
    # What the screen showed when it failed, kept with the logs.
    ((rc != 0 || E2E_FAILED)) && import -window root "$E2E_TMP/failure.png" 2>/dev/null
    for pid in $(win_pids); do kill -KILL "$pid" 2>/dev/null; done
    (exit "$rc")
    e2e_cleanup
}
trap win_cleanup EXIT

# A copy of the program in a folder of its own, with a settings file of Windows line ends from
# the arguments ("Key=Value"); prints its path.
win_copy() {
    local dir
    dir=$(mktemp -d "$E2E_TMP/program.XXXXXX")
    # With GnuTLS and Nettle beside it, as installed.
    cp "$VELMORA_BUILD_DIR/app/velmora.exe" "$VELMORA_BUILD_DIR"/app/*.dll "$dir/"
    { printf '[Data]\r\n'; printf '%s\r\n' "$@"; } >"$dir/KXdefault.cfg"
    echo "$dir/velmora.exe"
}

# Starts PROGRAM on the test's desktop (the first start makes it); sets VELMORA_PID to the
# launcher's pid. The first start's launcher ends with the program; a later one stays as long as
# the desktop does.
win_start() {
    e2e_spawn "velmora${#E2E_PIDS[@]}" "$E2E_CLOCK_SAFE" -- wine explorer \
        "/desktop=$WIN_DESKTOP,$WIN_SCREEN" "$@"
    VELMORA_PID=$E2E_LAST_PID
}

# Starts PROGRAM and waits for its main window.
win_start_shown() {
    win_start "$@"
    e2e_expect 30 "the main window did not show" win_shown TTimeForm
}

# The centre of control ID of WINDOW on the screen.
win_centre() {
    local left top right bottom
    read -r left top right bottom < <(win_probe rect "$1" "$2")
    [[ -n $bottom ]] || return 1
    echo "$(((left + right) / 2)) $(((top + bottom) / 2))"
}

# Clicks control ID of WINDOW with the mouse (BUTTON, default 1; REPEAT, default 1).
win_click() {
    local x y
    read -r x y < <(win_centre "$1" "$2") || e2e_fail "no control $2 in $1"
    xdotool mousemove "$x" "$y" click --repeat "${4:-1}" --delay 80 "${3:-1}"
}

# The tray icon's centre: the notification area's right end, where Wine puts the only icon.
win_tray_centre() {
    local left top right bottom
    read -r left top right bottom < <(win_probe rect Shell_TrayWnd 0)
    [[ -n $bottom ]] || return 1
    echo "$((right - 10)) $(((top + bottom) / 2))"
}

# Whether the clock face is drawn in the tray: its red rim is there.
win_tray_icon_drawn() {
    local x y
    read -r x y < <(win_tray_centre) || return 1
    [[ $(import -window root -crop "16x16+$((x - 8))+$((y - 8))" png:- 2>/dev/null |
        convert - -fx 'r > 0.6 && g < 0.4 && b < 0.4' -format '%[fx:mean > 0.02]' info:) == 1 ]]
}

win_tray_click() {
    local x y
    read -r x y < <(win_tray_centre) || e2e_fail "no notification area"
    # The pointer comes to the icon as a user's would: a second right click where the last one
    # was, with the icon's tip up, opened no menu in 7 of 10 runs under Wine.
    xdotool mousemove "$((x - 60))" "$((y - 60))" sleep 0.2 mousemove "$x" "$y" sleep 0.2 \
        click --repeat "${2:-1}" --delay 80 "$1"
}

# Seconds since the epoch of a clock field's text (Wine's English dates: 12/9/2026 1:05:09 AM).
win_field_seconds() { date -u -d "$1" +%s; }

# Whether the main window's server field is OFFSET seconds ahead of the time it was read, give or
# take 2 s: bounded by the time before and after the probe, however long a busy machine takes.
win_server_field_ahead() {
    local from to seconds
    from=$(date +%s)
    WIN_SHOWN=$(win_probe text TTimeForm 114)
    to=$(date +%s)
    seconds=$(win_field_seconds "$WIN_SHOWN") || return 1
    e2e_seconds_between "$seconds" "$from" "$to" "$1"
}

# The settings file beside PROGRAM, and the value of KEY in it.
win_settings_file() { echo "$(dirname "$1")/KXdefault.cfg"; }
win_setting() { tr -d '\r' <"$(win_settings_file "$1")" | sed -n "s/^$2=//p" | head -n 1; }

# The SNTP responder on ADDRESS:123 with the time OFFSET seconds ahead.
win_start_responder() {
    e2e_spawn responder /usr/bin/python3 "$VELMORA_SOURCE_DIR/tests/e2e/windows/sntp-responder.py" \
        "$1" "$2"
    e2e_expect 10 "the responder did not start" grep -q ready "$E2E_TMP/responder.log"
}
