# The trays of an end-to-end test: trayer (XEmbed), and a StatusNotifierItem watcher with its host.
# A script whose header holds the line "# Trays: xembed sni" is run by ctest once per kind, with
# E2E_TRAY set to it; e2e_tray_session then sets up that kind of session and the e2e_icon_*
# helpers act on whichever tray it has. Sourced by lib.sh.

# Starts trayer along the top edge, its output in $E2E_TMP/NAME.log; sets E2E_TRAYER_PID.
e2e_start_trayer() {
    e2e_spawn "$1" trayer --edge top --align right --widthtype pixel --width 80 \
        --heighttype pixel --height 24 --transparent false --tint 0xc0c0c0 --SetDockType true
    E2E_TRAYER_PID=$E2E_LAST_PID
}

e2e_tray_host_running() { e2e_search --classname trayer; }

# The tray icon: the window the tray host embedded for our process (XEmbed); printed.
e2e_tray_icon() {
    local pid=${1:-$VELMORA_PID} w
    for w in $(e2e_search --pid "$pid"); do
        if xwininfo -id "$w" -tree 2>/dev/null | grep -q 'Parent window id: .*trayer\|Parent window id: 0x' &&
            e2e_embedded_in_tray "$w"; then
            echo "$w"
            return 0
        fi
    done
    return 1
}

e2e_tray_icon_present() { e2e_tray_icon "$@" >/dev/null; }

# Whether window W sits inside the tray host's window tree.
e2e_embedded_in_tray() {
    local w=$1 parent trayers
    # the panel that holds the icons has the instance name "panel" and the class "trayer"
    trayers=$(e2e_search --class trayer)
    parent=$(xwininfo -id "$w" -tree 2>/dev/null | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p')
    local depth
    for depth in 1 2 3 4; do
        [[ -z $parent || $parent == "$(e2e_root_id)" ]] && return 1
        local t
        for t in $trayers; do
            (($(printf '%d' "$parent") == t)) && return 0
        done
        parent=$(xwininfo -id "$parent" -tree 2>/dev/null | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p')
    done
    return 1
}

# Double click on the tray icon; right button down / up on it (the menu opens on the press).
e2e_tray_double_click() {
    local icon
    icon=$(e2e_tray_icon) || e2e_fail "no tray icon"
    read -r cx cy < <(e2e_window_centre "$icon")
    xdotool mousemove "$cx" "$cy" click --repeat 2 --delay 80 1
}

e2e_tray_menu_open() {
    local icon
    icon=$(e2e_tray_icon) || e2e_fail "no tray icon"
    read -r cx cy < <(e2e_window_centre "$icon")
    xdotool mousemove "$cx" "$cy" mousedown 3 sleep 0.1 mouseup 3
}

# Opens the tray menu and waits for it; presses again when a press got lost (the icon may still
# be settling into the tray). Fails the test when no menu comes.
e2e_open_tray_menu() {
    local attempt
    for attempt in 1 2 3; do
        e2e_tray_menu_open
        e2e_wait_for 2 e2e_popup_menu && return 0
        xdotool key Escape
    done
    e2e_fail "tray menu did not open"
}

# The session of e2e_session with a StatusNotifierItem tray in place of trayer: the watcher
# (status-notifier-watcher) and a host (gtk-sni-tray-standalone, a bar along the top edge).
e2e_sni_session() {
    e2e_session
    e2e_stop_pid "$E2E_TRAYER_PID"
    E2E_TRAYER_PID=""
    e2e_spawn sni-watcher status-notifier-watcher
    E2E_SNI_WATCHER_PID=$E2E_LAST_PID
    e2e_expect 10 "no StatusNotifierItem watcher" e2e_sni_watcher_property IsStatusNotifierHostRegistered
    e2e_start_sni_host
}

# Starts (again) the StatusNotifierItem host; sets E2E_SNI_HOST_PID.
e2e_start_sni_host() {
    e2e_spawn sni-host gtk-sni-tray-standalone --top --end --size 24
    E2E_SNI_HOST_PID=$E2E_LAST_PID
    e2e_expect 10 "the StatusNotifierItem host did not register" e2e_sni_host_registered
}

# Value of PROPERTY of the watcher, printed ("boolean true", "array [ ... ]", ...).
e2e_sni_watcher_property() {
    dbus-send --session --print-reply=literal --reply-timeout=2000 \
        --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher "string:$1"
}

e2e_sni_host_registered() { e2e_sni_watcher_property IsStatusNotifierHostRegistered | grep -q true; }

# The bus name of our process's item (its connection), printed, once the watcher lists it.
e2e_sni_item() {
    local pid=${1:-$VELMORA_PID} entry name
    for entry in $(e2e_sni_watcher_property RegisteredStatusNotifierItems); do
        name=${entry%%/*}
        [[ $name == :* || $name == *.* ]] || continue
        if dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus / \
            org.freedesktop.DBus.GetConnectionUnixProcessID "string:$name" 2>/dev/null |
            grep -qw "$pid"; then
            echo "$name"
            return 0
        fi
    done
    return 1
}

# Centre of our icon on the host's bar, as "X Y": the bar is the host's visible window along the
# top edge, and ours is the only icon in it, at its end.
# The host's other windows (a tooltip over the icon, say) are passed over.
e2e_sni_icon_centre() {
    local w X Y WIDTH HEIGHT
    for w in $(e2e_search --onlyvisible --pid "$E2E_SNI_HOST_PID"); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        if ((Y == 0 && WIDTH > 4 * HEIGHT)); then
            echo "$((X + WIDTH - HEIGHT / 2)) $((Y + HEIGHT / 2))"
            return 0
        fi
    done
    return 1
}

# The visible menu window the host opened (GTK pops menus up as override-redirect windows).
e2e_sni_menu() {
    local w
    for w in $(e2e_search --all --onlyvisible --pid "$E2E_SNI_HOST_PID"); do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' && { echo "$w"; return 0; }
    done
    return 1
}

# The menu our item hands to the host, one item a line: its text, or "-" for a separator.
e2e_sni_menu_items() {
    local item=${1:-$(e2e_sni_item)} path
    [[ -n $item ]] || return 1
    path=$(dbus-send --session --print-reply=literal --reply-timeout=2000 --dest="$item" \
        /StatusNotifierItem org.freedesktop.DBus.Properties.Get \
        string:org.kde.StatusNotifierItem string:Menu | grep -o '/[^ ]*') || return 1
    dbus-send --session --print-reply --reply-timeout=2000 --dest="$item" "$path" \
        com.canonical.dbusmenu.GetLayout int32:0 int32:-1 array:string:label,type |
        awk '/string "label"$/ { getline; sub(/^[^"]*"/, ""); sub(/"$/, ""); print }
             /string "separator"$/ { print "-" }'
}

# Sets up the session for E2E_TRAY (xembed, the default, or sni).
e2e_tray_session() {
    case ${E2E_TRAY:-xembed} in
    xembed) e2e_session ;;
    sni) e2e_sni_session ;;
    *) e2e_fail "no tray kind '$E2E_TRAY'" ;;
    esac
    e2e_log "tray: ${E2E_TRAY:-xembed}"
}

e2e_sni() { [[ ${E2E_TRAY:-xembed} == sni ]]; }

# Whether our icon is in the session's tray.
e2e_icon_present() {
    if e2e_sni; then e2e_sni_item "$@" >/dev/null; else e2e_tray_icon_present "$@"; fi
}

# The gesture that brings the window back: a double click on an XEmbed icon, the activation
# (one click) on a StatusNotifierItem host.
e2e_icon_activate() {
    if e2e_sni; then
        local cx cy
        read -r cx cy < <(e2e_sni_icon_centre) || e2e_fail "no icon on the host's bar"
        xdotool mousemove "$cx" "$cy" click 1
    else
        e2e_tray_double_click
    fi
}

# Opens the tray menu, drawn by us (XEmbed) or by the host (StatusNotifierItem); fails the test
# when none comes.
e2e_icon_menu() {
    if ! e2e_sni; then
        e2e_open_tray_menu
        return
    fi
    local attempt cx cy
    for attempt in 1 2 3; do
        read -r cx cy < <(e2e_sni_icon_centre) || e2e_fail "no icon on the host's bar"
        xdotool mousemove "$cx" "$cy" click 3
        e2e_wait_for 3 e2e_sni_menu && return 0
        xdotool key Escape
    done
    e2e_fail "the host opened no menu"
}

# Starts the tray host again: trayer, or the StatusNotifierItem host.
e2e_start_tray_host() {
    if e2e_sni; then
        e2e_start_sni_host
        return
    fi
    e2e_start_trayer trayer-again
    e2e_expect 10 "trayer did not come back" e2e_tray_host_running
}

# Stops the tray host: trayer, or the StatusNotifierItem host.
e2e_stop_tray_host() {
    if e2e_sni; then e2e_stop_pid "$E2E_SNI_HOST_PID"; else e2e_stop_pid "$E2E_TRAYER_PID"; fi
}
