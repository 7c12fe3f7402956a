#!/usr/bin/env bash
# The help and properties buttons open their modal windows; the clock display goes on refreshing
# while they are open, and Esc closes them.
source "$(dirname "$0")/lib.sh"


# The computer-clock field changes while window TITLE is open.
expect_refresh_under() {
    local before
    before=$(e2e_probe_field "$prog" LocalPCEdit)
    e2e_expect 5 "display not refreshed while '$1' is open" \
        eval '[[ $(e2e_probe_field "$prog" LocalPCEdit) != "$before" ]]'
}

e2e_session
prog=$(e2e_install_copy "" "$E2E_PROBE")
e2e_start_velmora "$prog"
e2e_expect 10 "main window not shown" e2e_main_window_shown
e2e_expect 5 "display refresh not started" e2e_probe_is "$prog" UpdateTimer 1

for pair in "SpeedButton3:Program help" "SpeedButton2:Options"; do
    button=${pair%%:*} title=${pair#*:}
    e2e_click_control "$button"
    e2e_expect 10 "'$title' did not open" e2e_shown_window "$title"
    expect_refresh_under "$title"
    xdotool windowactivate --sync "$(e2e_shown_window "$title")" key Escape
    e2e_expect 5 "Esc did not close '$title'" eval "! e2e_shown_window '$title'"
    e2e_main_window_shown || e2e_fail "main window gone after '$title'"
done
e2e_log "ok"
