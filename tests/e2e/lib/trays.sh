# The trays of an end-to-end test, four kinds: "xembed", trayer; "sni", a StatusNotifierItem
# watcher with its host (status-notifier-watcher, gtk-sni-tray-standalone); "xfce", xfce4-panel
# with its system tray plugin, which hosts both XEmbed icons and StatusNotifierItems; all three
# under Xvfb. "sway": waybar's tray (StatusNotifierItem) under sway, on Wayland. A script whose
# header holds a line such as "# Trays: xembed sni xfce sway" is run by ctest once per kind named,
# with E2E_TRAY set to it; e2e_tray_session then sets up that kind of session and the e2e_icon_*
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

# Whether window W sits inside the tray host's window tree (trayer's, or xfce4-panel's).
e2e_embedded_in_tray() {
    local w=$1 parent trayers
    # the panel that holds the icons has the instance name "panel" and the class "trayer"
    trayers=$(e2e_search --class 'trayer|xfce4-panel|wrapper-2.0')
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
# (status-notifier-watcher) and a host (gtk-sni-tray-standalone, a bar along the top edge); with
# --later the watcher alone.
e2e_sni_session() {
    e2e_session --no-tray
    e2e_spawn sni-watcher status-notifier-watcher
    E2E_SNI_WATCHER_PID=$E2E_LAST_PID
    e2e_expect 10 "no StatusNotifierItem watcher" e2e_sni_watcher_property IsStatusNotifierHostRegistered
    [[ ${1:-} == --later ]] || e2e_start_sni_host
}

# The session of e2e_session with xfce4-panel in place of trayer: its settings service (xfconfd)
# and a panel in the top left corner holding only the system tray; with --later xfconfd alone. Both
# get a configuration of the test's own, never the user's.
e2e_xfce_session() {
    local channels=$E2E_TMP/xfce/config/xfce4/xfconf/xfce-perchannel-xml
    e2e_session --no-tray
    mkdir -p "$channels"
    cat >"$channels/xfce4-panel.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="1"/>
      <property name="length-adjust" type="bool" value="true"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="26"/>
      <property name="icon-size" type="uint" value="16"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
XML
    E2E_XFCE_ENV=("XDG_CONFIG_HOME=$E2E_TMP/xfce/config" "XDG_CONFIG_DIRS=$E2E_TMP/xfce/config"
        "XDG_CACHE_HOME=$E2E_TMP/xfce/cache" "XDG_DATA_HOME=$E2E_TMP/xfce/data")
    e2e_spawn xfconfd env "${E2E_XFCE_ENV[@]}" /usr/lib/x86_64-linux-gnu/xfce4/xfconf/xfconfd
    e2e_expect 10 "xfconfd did not start" e2e_bus_has org.xfce.Xfconf
    [[ ${1:-} == --later ]] || e2e_start_xfce_panel
}

# Starts (again) the panel; sets E2E_XFCE_PANEL_PID.
e2e_start_xfce_panel() {
    e2e_spawn xfce-panel env "${E2E_XFCE_ENV[@]}" xfce4-panel --disable-wm-check
    E2E_XFCE_PANEL_PID=$E2E_LAST_PID
    e2e_expect 15 "the panel's tray did not register its host" e2e_sni_host_registered
}

# waybar with only its tray, along the top of sway's output; sets E2E_WAYBAR_PID. It is the
# StatusNotifierItem watcher and the host at once.
e2e_start_waybar() {
    cat >"$E2E_TMP/waybar.json" <<'JSON'
{"layer": "top", "position": "top", "height": 26, "modules-right": ["tray"],
 "tray": {"icon-size": 16, "spacing": 4}}
JSON
    printf '%s\n' '* { font-family: sans-serif; font-size: 12px; }' \
        'window#waybar { background: #c0c0c0; }' >"$E2E_TMP/waybar.css"
    chmod 644 "$E2E_TMP/waybar.json" "$E2E_TMP/waybar.css"
    e2e_spawn waybar "${E2E_SWAY_AS[@]}" waybar -c "$E2E_TMP/waybar.json" -s "$E2E_TMP/waybar.css"
    E2E_WAYBAR_PID=$E2E_LAST_PID
    e2e_expect 15 "waybar's tray did not register its host" e2e_sni_host_registered
}

# Whether NAME is on the session bus.
e2e_bus_has() {
    dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.NameHasOwner "string:$1" | grep -q true
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

# The visible menu window the host opened (GTK pops menus up as override-redirect windows; the
# panel of xfce from its tray plugin's own process).
e2e_sni_menu() {
    local w pid pids=("${E2E_SNI_HOST_PID:-}")
    [[ -n ${E2E_XFCE_PANEL_PID:-} ]] && pids=("$E2E_XFCE_PANEL_PID" $(pgrep -P "$E2E_XFCE_PANEL_PID"))
    for pid in "${pids[@]}"; do
        [[ -n $pid ]] || continue
        for w in $(e2e_search --all --onlyvisible --pid "$pid"); do
            xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' &&
                e2e_on_screen "$w" && { echo "$w"; return 0; }
        done
    done
    return 1
}

# Whether window W lies on the screen (GTK parks windows of its own at -100,-100).
e2e_on_screen() {
    xwininfo -id "$1" 2>/dev/null | grep -q 'Absolute upper-left X: *[0-9]'
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

# Sets up the session for E2E_TRAY (xembed, the default, sni, xfce or sway); with --later the tray
# host is left out (a StatusNotifierItem watcher of its own stays), for e2e_start_tray_host to
# start when the test wants it.
e2e_tray_session() {
    local later=${1:-}
    case ${E2E_TRAY:-xembed} in
    xembed) e2e_session ${later:+--no-tray} ;;
    sni) e2e_sni_session "$later" ;;
    xfce) e2e_xfce_session "$later" ;;
    sway)
        e2e_sway_session
        [[ -n $later ]] || e2e_start_waybar
        ;;
    *) e2e_fail "no tray kind '$E2E_TRAY'" ;;
    esac
    e2e_log "tray: ${E2E_TRAY:-xembed}${later:+, to come later}"
}

# The session for E2E_TRAY with the program (a copy of the probe) running in it, its window shown
# and its icon in the tray; sets E2E_PROG to the copy.
e2e_start_in_tray() {
    e2e_tray_session
    E2E_PROG=$(e2e_install_copy "" "$E2E_PROBE")
    e2e_start_velmora "$E2E_PROG"
    e2e_expect 10 "main window not shown" e2e_main_window_shown
    e2e_expect 10 "no icon in the tray" e2e_icon_present
}

e2e_tray_is() { [[ ${E2E_TRAY:-xembed} == "$1" ]]; }

# Whether our icon is in the session's tray (the panel of xfce takes either kind).
e2e_icon_present() {
    case ${E2E_TRAY:-xembed} in
    xembed) e2e_tray_icon_present "$@" ;;
    xfce) e2e_sni_item "$@" >/dev/null || e2e_tray_icon_present "$@" ;;
    *) e2e_sni_item "$@" >/dev/null ;;
    esac
}

# The gesture that brings the window back: a double click on an XEmbed icon, the activation (one
# click) on a StatusNotifierItem host; on xfce's panel a double click, which either kind takes;
# on waybar the host's Activate call, which its click sends.
e2e_icon_activate() {
    local cx cy
    case ${E2E_TRAY:-xembed} in
    xembed) e2e_tray_double_click ;;
    sni)
        read -r cx cy < <(e2e_sni_icon_centre) || e2e_fail "no icon on the host's bar"
        xdotool mousemove "$cx" "$cy" click 1
        ;;
    xfce)
        read -r cx cy < <(e2e_xfce_icon_centre) || e2e_fail "no icon on the panel"
        xdotool mousemove "$cx" "$cy" click --repeat 2 --delay 80 1
        ;;
    sway) e2e_sni_call Activate int32:0 int32:0 ;;
    esac
}

# Opens the tray menu, drawn by us (XEmbed) or by the host (StatusNotifierItem), on X11; fails
# the test when none comes.
e2e_icon_menu() {
    local attempt cx cy
    if e2e_tray_is xembed; then
        e2e_open_tray_menu
        return
    fi
    for attempt in 1 2 3; do
        if e2e_tray_is xfce; then
            read -r cx cy < <(e2e_xfce_icon_centre) || e2e_fail "no icon on the panel"
        else
            read -r cx cy < <(e2e_sni_icon_centre) || e2e_fail "no icon on the host's bar"
        fi
        xdotool mousemove "$cx" "$cy" click 3
        e2e_wait_for 3 e2e_sni_menu && return 0
        xdotool key Escape
    done
    e2e_fail "the host opened no menu"
}

# Picks item N (1-based, separators not counted) of the tray menu: opened and picked with the
# keyboard on X11; on waybar the call the host makes when an item is clicked.
e2e_icon_menu_pick() {
    if e2e_wayland; then
        e2e_sni_menu_click "$1"
    else
        e2e_icon_menu
        e2e_menu_pick "$1"
    fi
}

# Starts the tray host (again): trayer, the StatusNotifierItem host, the panel, or waybar.
e2e_start_tray_host() {
    case ${E2E_TRAY:-xembed} in
    xembed)
        e2e_start_trayer trayer-again
        e2e_expect 10 "trayer did not come back" e2e_tray_host_running
        ;;
    sni) e2e_start_sni_host ;;
    xfce) e2e_start_xfce_panel ;;
    sway) e2e_start_waybar ;;
    esac
}

# Stops the tray host: trayer, the StatusNotifierItem host, the panel, or waybar.
e2e_stop_tray_host() {
    case ${E2E_TRAY:-xembed} in
    xembed) e2e_stop_pid "$E2E_TRAYER_PID" ;;
    sni) e2e_stop_pid "$E2E_SNI_HOST_PID" ;;
    xfce) e2e_stop_pid "$E2E_XFCE_PANEL_PID" ;;
    sway) e2e_stop_pid "$E2E_WAYBAR_PID" ;;
    esac
}

# Centre of our icon on xfce's panel, as "X Y": the panel holds the tray alone, and the tray our
# icon alone.
e2e_xfce_icon_centre() {
    local w X Y WIDTH HEIGHT SCREEN
    w=$(e2e_search --onlyvisible --class xfce4-panel | head -n 1)
    [[ -n $w ]] || return 1
    eval "$(xdotool getwindowgeometry --shell "$w")"
    echo "$((X + WIDTH / 2)) $((Y + HEIGHT / 2))"
}

# Calls METHOD of our item with dbus-send ARGS, as a host does.
e2e_sni_call() {
    local item method=$1
    shift
    item=$(e2e_sni_item) || e2e_fail "no item of ours on the bus"
    dbus-send --session --print-reply --reply-timeout=2000 --dest="$item" /StatusNotifierItem \
        "org.kde.StatusNotifierItem.$method" "$@" >/dev/null || e2e_fail "our item did not take $method"
}

# Clicks item N (1-based, separators not counted) of the menu our item hands to the host, through
# the menu's own interface, as the host does for a click on it.
e2e_sni_menu_click() {
    local item
    item=$(e2e_sni_item) || e2e_fail "no item of ours on the bus"
    /usr/bin/python3 - "$item" "$1" <<'PY' || e2e_fail "menu item $1 could not be clicked"
import sys
import dbus
bus = dbus.SessionBus()
item = bus.get_object(sys.argv[1], "/StatusNotifierItem")
path = item.Get("org.kde.StatusNotifierItem", "Menu", dbus_interface="org.freedesktop.DBus.Properties")
menu = dbus.Interface(bus.get_object(sys.argv[1], path), "com.canonical.dbusmenu")
menu.AboutToShow(0)
_, (_, _, children) = menu.GetLayout(0, 1, ["type"])
ids = [child[0] for child in children if child[1].get("type") != "separator"]
menu.Event(ids[int(sys.argv[2]) - 1], "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0))
PY
}
