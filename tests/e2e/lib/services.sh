# The services around the program in an end-to-end test: the private system bus with timedated
# and polkit, the project's NTP responder and chronyd. Sourced by lib.sh.

e2e_system_bus_pointed_away() {
    [[ -n ${DBUS_SYSTEM_BUS_ADDRESS:-} && $DBUS_SYSTEM_BUS_ADDRESS != *"/run/dbus/system_bus_socket"* ]]
}

# A private system bus with timedated and polkit mocked (tests/fixtures/private-system-bus),
# exported as DBUS_SYSTEM_BUS_ADDRESS for what starts after; its logs are in $E2E_BUS_DIR.
e2e_start_system_bus() {
    E2E_BUS_DIR=$E2E_TMP/system-bus
    e2e_spawn system-bus "$VELMORA_SOURCE_DIR/tests/fixtures/private-system-bus" "$E2E_BUS_DIR"
    e2e_expect 60 "the private system bus did not come up" test -s "$E2E_BUS_DIR/address"
    DBUS_SYSTEM_BUS_ADDRESS=$(cat "$E2E_BUS_DIR/address")
    export DBUS_SYSTEM_BUS_ADDRESS
}

# Calls METHOD of a mock on the private bus with dbus-send ARGS: SERVICE is timedated or polkit.
e2e_bus_call() {
    local service=$1 method=$2 dest path
    shift 2
    case $service in
    timedated) dest=org.freedesktop.timedate1 path=/org/freedesktop/timedate1 ;;
    polkit) dest=org.freedesktop.PolicyKit1 path=/org/freedesktop/PolicyKit1/Authority ;;
    *) e2e_fail "no mock $service" ;;
    esac
    dbus-send --system --print-reply --dest="$dest" "$path" "$method" "$@" >/dev/null ||
        e2e_fail "$service did not take $method"
}

# The NTP responder on 127.0.0.1:123 with ARGS (e.g. --offset 3600.25 --delay-ms 3000).
e2e_start_responder() {
    [[ -x $E2E_RESPONDER ]] || e2e_fail "no responder at $E2E_RESPONDER"
    e2e_spawn responder "$E2E_RESPONDER" --address 127.0.0.1 --port 123 "$@"
    E2E_RESPONDER_PID=$E2E_LAST_PID
    e2e_expect 10 "responder did not start" grep -q ready "$E2E_TMP/responder.log"
}

# A real chronyd as the time server on 127.0.0.1:123 (it never touches the clock); extra chrony
# directives as arguments. With E2E_CHRONYD_SHIFT set it serves a time that many seconds ahead
# of the machine's clock (tests/tools/time-shift).
e2e_start_chronyd() {
    local dir=$E2E_TMP/chronyd bin env=()
    source "$VELMORA_SOURCE_DIR/tests/fixtures/chronyd.sh"
    bin=$(velmora_chronyd_bin) || e2e_fail "no chronyd"
    velmora_chronyd_config "$dir" "$@"
    [[ -n ${E2E_CHRONYD_SHIFT:-} ]] &&
        env=("LD_PRELOAD=$VELMORA_BUILD_DIR/tests/tools/time-shift/libvelmora-time-shift.so"
            "VELMORA_TIME_SHIFT=$E2E_CHRONYD_SHIFT")
    e2e_spawn chronyd env "${env[@]}" "$bin" -x -d -u root -f "$dir/chrony.conf"
    e2e_expect 10 "chronyd did not bind 127.0.0.1:123" velmora_ntp_port_bound
}

# chronyd serving Network Time Security as nts.velmora.test on 127.0.0.1 (NTS-KE on 4460), with a
# certificate of a test CA that only this test's mount namespace trusts: it stands in for the
# system bundle there. The test must run in a mount namespace of its own. Sets E2E_NTS_BUNDLE.
e2e_start_nts_chronyd() {
    local nts=$E2E_TMP/nts directives
    E2E_NTS_BUNDLE=/etc/ssl/certs/ca-certificates.crt
    source "$VELMORA_SOURCE_DIR/tests/fixtures/chronyd.sh"
    velmora_nts_credentials "$nts" || e2e_fail "certtool could not make the credentials"
    { cat /etc/hosts; echo "127.0.0.1 nts.velmora.test"; } >"$E2E_TMP/hosts"
    mount --bind "$E2E_TMP/hosts" /etc/hosts || e2e_fail "cannot name nts.velmora.test"
    mount --bind "$nts/ca.crt" "$E2E_NTS_BUNDLE" || e2e_fail "cannot trust the test CA"
    mapfile -t directives < <(velmora_nts_directives "$nts")
    e2e_start_chronyd "${directives[@]}"
    e2e_expect 10 "chronyd serves no NTS-KE on 4460" velmora_ntske_port_bound
}
