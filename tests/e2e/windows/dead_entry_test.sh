#!/usr/bin/env bash
# "Get time" with an entry nothing answers (Wine tells of no ICMP "port unreachable", so the
# query waits out its 5 s): meanwhile the window answers and its clock field keeps moving; then
# the failure shows in the server field. The probe clicks and watches in one process, so a slow
# start of Wine's programs on a busy machine cannot eat the query's wait.
source "$(dirname "$0")/lib.sh"

prog=$(win_copy "GlobalTimeSrvList=127.0.0.4")
win_start_shown "$prog"
elapsed=$(win_probe click-watch TTimeForm 101 113 114)
case $? in
    3) e2e_fail "the window does not answer while it asks" ;;
    4) e2e_fail "the query ended before the clock field moved: $(win_probe text TTimeForm 114)" ;;
    5) e2e_fail "no failure shown" ;;
    0) ;;
    *) e2e_fail "win-probe could not click and watch" ;;
esac
win_text_is TTimeForm 114 "Failed to contact time server" ||
    e2e_fail "the server field says '$(win_probe text TTimeForm 114)'"
((elapsed >= 4000)) || e2e_fail "the failure came after ${elapsed} ms, before the wait"
e2e_log "failed after ${elapsed} ms; ok"
