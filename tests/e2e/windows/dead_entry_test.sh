#!/usr/bin/env bash
# "Get time" with an entry nothing answers (Wine tells of no ICMP "port unreachable", so the
# query waits out its 5 s): meanwhile the window answers at once and its clock field keeps
# moving; then the failure shows in the server field.
source "$(dirname "$0")/lib.sh"

prog=$(win_copy "GlobalTimeSrvList=127.0.0.4")
win_start_shown "$prog"
win_click TTimeForm 101
start=$(e2e_now_ms)
seen=()
for _ in 1 2 3; do
    sleep 1
    # win-probe gives up on a window that does not answer within 2 s.
    seen+=("$(win_probe text TTimeForm 113)") || e2e_fail "the window does not answer while it asks"
done
[[ ${seen[0]} != "${seen[2]}" && -n ${seen[2]} ]] || e2e_fail "the clock field stood still: ${seen[*]}"
[[ -z $(win_probe text TTimeForm 114) ]] || e2e_fail "the query ended before its time"
e2e_expect 10 "no failure shown" win_text_is TTimeForm 114 "Failed to contact time server"
elapsed=$(($(e2e_now_ms) - start))
((elapsed >= 4000)) || e2e_fail "the failure came after ${elapsed} ms, before the wait"
e2e_log "failed after ${elapsed} ms; ok"
