#!/usr/bin/env bash
# Trays: sni
# A watcher that stops answering for a while (a busy desktop) is no tray gone: while the window is
# hidden in gtk-sni-tray's tray, the watcher is stopped for 3 s and continued, and the window stays
# hidden. The icon works on as before, and the host going still brings the window back.
source "$(dirname "$0")/lib.sh"

e2e_start_in_tray
prog=$E2E_PROG

e2e_other_window
e2e_expect 5 "window not hidden when another program became active" e2e_main_window_hidden

e2e_log "the watcher stops answering for 3 s"
kill -STOP "$E2E_SNI_WATCHER_PID"
for _ in 1 2 3 4 5 6; do
    sleep 0.5
    e2e_main_window_hidden || { kill -CONT "$E2E_SNI_WATCHER_PID"; e2e_fail "a busy watcher brought the window out"; }
done
kill -CONT "$E2E_SNI_WATCHER_PID"
for _ in 1 2 3 4; do
    sleep 0.5
    e2e_main_window_hidden || e2e_fail "the window came out after the watcher went on"
done

e2e_log "the icon works on"
e2e_expect 5 "no icon in the tray after the hiccup" e2e_icon_present
e2e_icon_activate
e2e_expect 5 "the icon's gesture did not bring the window back" e2e_shown_normal "$prog"

e2e_log "the host goes while the window is hidden"
e2e_focus_away "after the hiccup"
e2e_stop_tray_host
e2e_expect 5 "the window stayed hidden in a tray that is gone" e2e_shown_normal "$prog"
e2e_log "ok"
