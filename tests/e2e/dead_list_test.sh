#!/usr/bin/env bash
# Ten entries that never answer, with "try next server on connect fail": about 50 s of queries
# on the worker, during which the window goes on living. The computer clock ticks on the screen,
# the tray menu opens, a second start is answered at once, and each way out (the exit button, the
# close box, SIGTERM) ends the program within a second with the settings saved.
source "$(dirname "$0")/lib.sh"

e2e_session
# Addresses on the private loopback where nothing listens: each request waits out its 5 s.
dead=$(printf '127.0.0.%s|' $(seq 2 11))
prog=$(e2e_install_copy "" "$E2E_PROBE")

# The pixels of the computer-clock field on the screen.
clock_pixels() {
    local x y
    read -r x y < <(xwininfo -id "$(e2e_main_window)" |
        sed -n 's/.*Absolute upper-left X: *//p; s/.*Absolute upper-left Y: *//p' | paste -sd ' ')
    import -window root -crop "145x17+$((x + 2))+$((y + 104))" rgb:- | md5sum
}

start_querying() {
    e2e_write_settings "$prog" "GlobalTimeSrvList=${dead%|}" "GlobalNextSrvOnFail=1"
    e2e_start_velmora "$prog"
    e2e_expect 10 "main window not shown" e2e_main_window_shown
    e2e_click_control CheckTimeServerButton
    e2e_expect 5 "no query under way" e2e_probe_is "$prog" Cursor wait
}

# Ends the program with ACTION and checks it went within a second, settings saved, still busy.
expect_quick_end() {
    local what=$1
    shift
    e2e_probe_is "$prog" Cursor wait || e2e_fail "the query ended before $what"
    "$@"
    e2e_wait_exit 1 || e2e_fail "$what did not end the program within a second"
    ((VELMORA_RC == 0)) || e2e_fail "$what: exit code $VELMORA_RC"
    e2e_expect_all_settings "$prog"
    [[ $(e2e_setting "$prog" GlobalNextSrvOnFail) == 1 ]] || e2e_fail "$what: settings not saved"
}

start_querying
before=$(clock_pixels)
e2e_expect 4 "the computer clock stood still during the query" eval '[[ $(clock_pixels) != "$before" ]]'
e2e_probe_is "$prog" Cursor wait || e2e_fail "the query ended before the clock was seen to tick"
e2e_open_tray_menu
xdotool key Escape
first=$VELMORA_PID
e2e_start_velmora "$prog"
e2e_wait_exit 2 || e2e_fail "a second start was not answered during the query"
VELMORA_PID=$first
e2e_expect 5 "the failure of the first entries is not shown" \
    e2e_probe_is "$prog" TimeServerEdit "Failed to contact time server"
expect_quick_end "the exit button" e2e_click_control SpeedButton1

start_querying
expect_quick_end "the close box" eval 'xdotool windowactivate --sync "$(e2e_main_window)" key alt+F4'

start_querying
expect_quick_end "SIGTERM" kill -TERM "$VELMORA_PID"
e2e_log "ok"
