# The Wayland session of an end-to-end test: sway on a headless output, run as the ordinary user
# the program runs as (sway refuses root) with a runtime folder of that user's own. Its windows are
# seen and told what to do through swaymsg and its screen taken with grim; there is neither
# pointer nor keyboard. Sourced by lib.sh.

# Whether the session is Wayland (sway) rather than X11.
e2e_wayland() { [[ -n ${E2E_SWAY_PID:-} ]]; }

# A session bus and sway on a headless output; from here on the program runs as sway's user, on
# its display. Exports WAYLAND_DISPLAY and SWAYSOCK for the helpers below.
e2e_sway_session() {
    [[ -n ${E2E_BUS_PID:-} ]] || e2e_session_bus
    e2e_as_user
    E2E_SWAY_RUNTIME=$E2E_TMP/sway-runtime
    mkdir -m 700 "$E2E_SWAY_RUNTIME"
    chown 65534:65534 "$E2E_SWAY_RUNTIME"
    printf '%s\n' "output HEADLESS-1 resolution 1024x768" "output HEADLESS-1 background #404040 solid_color" \
        >"$E2E_TMP/sway.conf"
    chmod 644 "$E2E_TMP/sway.conf"
    unset DISPLAY
    E2E_SWAY_AS=(setpriv "${E2E_USER_SETPRIV[@]}" -- env "HOME=$E2E_USER_HOME"
        "XDG_RUNTIME_DIR=$E2E_SWAY_RUNTIME")
    e2e_spawn sway "${E2E_SWAY_AS[@]}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
        WLR_RENDERER=pixman sway -c "$E2E_TMP/sway.conf"
    E2E_SWAY_PID=$E2E_LAST_PID
    e2e_expect 10 "sway did not start" eval 'SWAYSOCK=$(ls "$E2E_SWAY_RUNTIME"/sway-ipc.*.sock)'
    e2e_expect 10 "sway has no Wayland display" \
        eval 'WAYLAND_DISPLAY=$(cd "$E2E_SWAY_RUNTIME" && ls | grep -m 1 -x "wayland-[0-9]*")'
    export WAYLAND_DISPLAY SWAYSOCK
    E2E_SWAY_AS+=("WAYLAND_DISPLAY=$WAYLAND_DISPLAY" "SWAYSOCK=$SWAYSOCK")
    e2e_expect 10 "sway does not answer" e2e_sway_run swaymsg -t get_version
    # env takes the names to unset before those to set. The display by its full path holds with
    # any runtime folder. sway draws the title bars, so Qt need not load EGL to learn whether it
    # could (Mesa's driver leaves memory behind that the leak checker would report).
    E2E_PROGRAM_ENV=(-u DISPLAY "${E2E_PROGRAM_ENV[@]}" QT_QPA_PLATFORM=wayland
        "WAYLAND_DISPLAY=$E2E_SWAY_RUNTIME/$WAYLAND_DISPLAY" "XDG_RUNTIME_DIR=$E2E_SWAY_RUNTIME"
        QT_WAYLAND_DISABLE_WINDOWDECORATION=1)
}

# Runs CMD... as sway's user, on its display; e2e_spawn "${E2E_SWAY_AS[@]}" CMD... starts one
# in the background with the pid its own.
e2e_sway_run() { "${E2E_SWAY_AS[@]}" "$@"; }

# The windows sway shows, one a line: "CON_ID PID WIDTHxHEIGHT FOCUSED NAME" (FOCUSED 1 or 0).
e2e_sway_views() {
    e2e_sway_run swaymsg -t get_tree | /usr/bin/python3 -c '
import json, sys
def walk(node):
    if node.get("pid"):
        r = node["window_rect"]
        print(node["id"], node["pid"], "%dx%d" % (r["width"], r["height"]), int(node["focused"]), node["name"])
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))'
}

# The con id of the window of PID named NAME (of SIZE, WIDTHxHEIGHT, when given), printed.
e2e_sway_window() {
    local pid=$1 name=$2 size=${3:-} id p s f n
    while read -r id p s f n; do
        [[ $p == "$pid" && $n == "$name" && (-z $size || $s == "$size") ]] && { echo "$id"; return 0; }
    done < <(e2e_sway_views)
    return 1
}

# Whether the window with con id W has the focus.
e2e_sway_focused() { e2e_sway_views | awk -v w="$1" '$1 == w && $4 == 1 { found = 1 } END { exit !found }'; }

# Screenshot of the whole output into FILE (grim writes where sway's user may).
e2e_sway_screenshot() {
    e2e_sway_run grim "$E2E_SWAY_RUNTIME/shot.png" && cp "$E2E_SWAY_RUNTIME/shot.png" "$1"
}
