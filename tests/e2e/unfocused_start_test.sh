#!/usr/bin/env bash
# Trays: xembed sni
# Where the window manager does not focus a new window (focus-stealing prevention), the window
# still refreshes its clock from the moment it is shown.
source "$(dirname "$0")/lib.sh"

ours_active() {
    (($(xprop -root _NET_ACTIVE_WINDOW | grep -o '0x[0-9a-f]*' | head -n 1) == $(e2e_main_window)))
}

e2e_tray_session
# Openbox told to leave new windows unfocused, in place of the session's.
cat >"$E2E_TMP/openbox-rc.xml" <<'RC'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>no</focusNew></focus>
</openbox_config>
RC
e2e_spawn openbox-unfocused openbox --replace --sm-disable --config-file "$E2E_TMP/openbox-rc.xml"
e2e_expect 10 "the session's openbox was not replaced" e2e_not_running "$E2E_OPENBOX_PID"
e2e_expect 10 "no window manager" e2e_wm_running
e2e_other_window

prog=$(e2e_install_copy "" "$E2E_PROBE")
e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown" e2e_main_window_shown
sleep 1
ours_active && e2e_fail "the window manager focused the new window; nothing is shown"
e2e_expect 5 "the display refresh did not start" e2e_probe_is "$prog" UpdateTimer 1
before=$(e2e_probe_field "$prog" LocalPCEdit)
e2e_expect 5 "the clock field stands still" eval '[[ $(e2e_probe_field "$prog" LocalPCEdit) != "$before" ]]'
e2e_log "ok"
