#!/usr/bin/env bash
# Trays: xembed sni xfce
# A message box raised while the window is hidden in the tray leaves the window hidden: the
# refused setting of "Synchronize computer clock" comes up over a window that another program
# hid, and over one minimized into the tray. Brought back, the window is drawn.
source "$(dirname "$0")/lib.sh"

hidden_or_drawn() { ! e2e_window_mapped "$WIN" || e2e_window_painted "$WIN"; }

# With the window hidden: the refusal's box comes and goes, the window stays out of sight.
box_over_hidden_window() {
    e2e_expect 5 "window not hidden ($1)" e2e_main_window_hidden
    e2e_icon_menu_pick 1 # Synchronize computer clock
    e2e_expect 10 "no refusal shown ($1)" e2e_message_box_shown
    sleep 0.5
    hidden_or_drawn || e2e_fail "a window that is not drawn came up with the box ($1)"
    e2e_window_mapped "$WIN" && e2e_fail "the box brought the window back ($1)"
    xdotool key Return
    e2e_expect 5 "message box stays ($1)" e2e_probe_is "$prog" MessageBox ""
    sleep 0.5
    e2e_window_mapped "$WIN" && e2e_fail "the window came back after the box ($1)"
    e2e_icon_activate
    e2e_expect 5 "the window did not come back ($1)" e2e_main_window_shown
    e2e_expect 5 "the window is not drawn ($1)" e2e_window_painted "$WIN"
}

e2e_tray_session
e2e_start_responder --offset 30
prog=$(e2e_probe_copy)
e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown" e2e_main_window_shown
e2e_expect 10 "no icon in the tray" e2e_icon_present
WIN=$(e2e_main_window)
e2e_expect 5 "the window is not drawn at start" e2e_window_painted "$WIN"

e2e_other_window
box_over_hidden_window "hidden by another program"
xdotool windowminimize "$WIN"
box_over_hidden_window "minimized"
e2e_log "ok"
