# Harness for the end-to-end tests: sourced by every tests/e2e/*_test.sh.
#
# A test calls e2e_session (Xvfb on a display it picks itself, openbox, trayer), then starts the
# program with e2e_start_velmora on a copy of the binary in its own temp dir, drives it with
# xdotool and checks with the e2e_wait_* helpers. Every process started through this file is
# stopped by its pid when the script ends, whichever way it ends.
#
# This file holds the processes and the waiting; the rest is in lib/ by concern: display.sh (the
# X server, the window manager and windows), wayland.sh (sway and its windows), trays.sh (the four
# kinds of tray), program.sh (the program, its settings and its windows), services.sh (buses,
# time servers).
#
# Environment: VELMORA_BUILD_DIR (the build tree), VELMORA_SOURCE_DIR (the sources). The tests run
# inside tests/fixtures/netns-run, so 127.0.0.1 is a private loopback.

set -uo pipefail

E2E_NAME=$(basename "${0%.sh}")
E2E_TMP=$(mktemp -d "/tmp/velmora-e2e-${E2E_NAME}.XXXXXX")
E2E_PIDS=()
E2E_FAILED=0
VELMORA_BUILD_DIR=${VELMORA_BUILD_DIR:?VELMORA_BUILD_DIR must name the build tree}
VELMORA_SOURCE_DIR=${VELMORA_SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
E2E_RESPONDER=${E2E_RESPONDER:-$VELMORA_BUILD_DIR/tests/tools/ntp-responder/ntp-responder}
E2E_PROBE=${E2E_PROBE:-$VELMORA_BUILD_DIR/tests/tools/velmora-probe/velmora-probe}
E2E_TRAY_PROBE=${E2E_TRAY_PROBE:-$VELMORA_BUILD_DIR/tests/tools/tray-probe/tray-probe}
E2E_SHIM=${E2E_SHIM:-$VELMORA_BUILD_DIR/tests/tools/clock-shim/libvelmora-clock-shim.so}
# Makes every fsync and fdatasync of the program wait, as on a slow disk.
E2E_FSYNC_DELAY=${E2E_FSYNC_DELAY:-$VELMORA_BUILD_DIR/tests/tools/fsync-delay/libvelmora-fsync-delay.so}
export VELMORA_PROBE_OUT=$E2E_TMP/velmora-probe.txt
# Runs a command unable to set the clock.
E2E_CLOCK_SAFE=$VELMORA_SOURCE_DIR/scripts/clock-safe
E2E_XCURSOR=${E2E_XCURSOR:-$VELMORA_BUILD_DIR/tests/tools/x-cursor/x-cursor}

e2e_log() { echo "[$E2E_NAME $(date +%H:%M:%S.%N | cut -c1-12)] $*" >&2; }

e2e_fail() {
    e2e_log "FAIL: $*"
    E2E_FAILED=1
    exit 1
}

# A copy of the build's FILE that the ordinary user may read and run, in the test's own folder
# (the build tree may lie in a private home); prints its path.
e2e_readable() {
    local dir=$E2E_TMP/readable
    mkdir -p -m 755 "$dir"
    chmod 755 "$E2E_TMP"
    cp "$1" "$dir/" || e2e_fail "no $1"
    chmod a+rX "$dir/$(basename "$1")"
    echo "$dir/$(basename "$1")"
}

# Records a pid for the clean-up.
e2e_track() { E2E_PIDS+=("$1"); }

# Stops one tracked process: TERM, then KILL after five seconds. A process a test stopped is
# continued, to take the TERM.
e2e_stop_pid() {
    local pid=$1 i
    [[ -n $pid ]] || return 0
    e2e_alive "$pid" || { wait "$pid" 2>/dev/null; return 0; }
    kill -TERM "$pid" 2>/dev/null
    kill -CONT "$pid" 2>/dev/null
    for i in $(seq 1 100); do
        e2e_alive "$pid" || break
        sleep 0.05
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    return 0
}

# Whether PID runs (a process that ended and is not yet collected does not).
e2e_alive() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null) && [[ $state != Z* ]]
}

e2e_cleanup() {
    local rc=$? i
    # Whatever the caller's shell options, every process gets stopped.
    set +e
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        e2e_stop_pid "${E2E_PIDS[i]}"
    done
    if ((rc != 0 || E2E_FAILED)); then
        e2e_log "kept logs in $E2E_TMP"
        for f in "$E2E_TMP"/*.log; do
            [[ -s $f ]] && { echo "--- $f" >&2; tail -n 20 "$f" >&2; }
        done
    else
        rm -rf "$E2E_TMP"
    fi
    exit "$rc"
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM HUP

# Starts CMD... in the background with its output in $E2E_TMP/NAME.log; sets E2E_LAST_PID.
e2e_spawn() {
    local name=$1
    shift
    "$@" >"$E2E_TMP/$name.log" 2>&1 &
    E2E_LAST_PID=$!
    e2e_track "$E2E_LAST_PID"
}

# Waits until CMD... succeeds, polling every 50 ms for at most TIMEOUT seconds.
e2e_wait_for() {
    local timeout=$1
    shift
    local now deadline
    deadline=$(e2e_now_ms)
    deadline=$((deadline + ${timeout%.*} * 1000))
    while true; do
        "$@" >/dev/null 2>&1 && return 0
        now=$(e2e_now_ms)
        ((now >= deadline)) && return 1
        sleep 0.05
    done
}

e2e_now_ms() {
    local t=${EPOCHREALTIME/./}
    echo $((t / 1000))
}

# Like e2e_wait_for, but fails the test with MESSAGE.
e2e_expect() {
    local timeout=$1 message=$2
    shift 2
    e2e_wait_for "$timeout" "$@" || e2e_fail "$message"
}

for part in display wayland trays program services; do
    source "$(dirname "${BASH_SOURCE[0]}")/lib/$part.sh"
done
