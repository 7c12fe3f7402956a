#!/usr/bin/env bash
# An nts:// entry through the real velmora.exe under Wine: chronyd serves NTS as nts.velmora.test
# with a certificate of the run's test CA (the run's Wine took it as a trusted root), and "Get
# time" shows its time, the tray icon's tip saying the answer was authenticated. GnuTLS is loaded
# for that first NTS entry only: a list of plain entries leaves it out of the process.
source "$(dirname "$0")/lib.sh"

# Whether the Windows program PROGRAM has GnuTLS in its memory (Wine maps a DLL's file).
gnutls_loaded() { grep -q 'libgnutls-30\.dll' "/proc/$(pgrep -f -- "^$1" | head -n 1)/maps"; }

get_time() {
    win_click TTimeForm 101
    e2e_expect 15 "no server time shown" eval '[[ -n $(win_probe text TTimeForm 114) ]]'
    win_server_field_ahead 0 || e2e_fail "server field '$WIN_SHOWN' is not chronyd's time"
}

plain=$(win_copy "GlobalTimeSrvList=127.0.0.1")
win_start_shown "$plain"
get_time
gnutls_loaded "$plain" && e2e_fail "GnuTLS was loaded for a list without NTS entries"
win_click TTimeForm 105
e2e_expect 10 "the program did not end on Exit" win_ended "$plain"

prog=$(win_copy "GlobalTimeSrvList=nts://nts.velmora.test")
win_start_shown "$prog"
get_time
gnutls_loaded "$prog" || e2e_fail "GnuTLS is not in the program that asked an NTS entry"
e2e_expect 10 "no icon in the tray" win_tray_icon_drawn
# The tip shows while the pointer rests on the icon, for a few seconds: the probe watches from
# before the pointer comes.
tip_authenticated() {
    local seen=$E2E_TMP/tip-seen probe x y
    : >"$seen"
    WINPROBE_DESKTOP=$WIN_DESKTOP win_wine "$WIN_PROBE" tip-wait \
        'Answer from nts://nts.velmora.test, authenticated (NTS)' >"$seen" 2>/dev/null &
    probe=$!
    e2e_wait_for 60 grep -q ready "$seen"
    read -r x y < <(win_tray_centre) &&
        xdotool mousemove "$((x - 60))" "$((y - 60))" sleep 0.2 mousemove "$x" "$y"
    wait "$probe"
}
e2e_expect 60 "the tray tip never said the answer was authenticated" tip_authenticated
win_click TTimeForm 105
e2e_expect 10 "the program did not end on Exit" win_ended "$prog"
e2e_log ok
