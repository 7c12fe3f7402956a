#!/usr/bin/env bash
# An nts:// entry end to end through the real program: chronyd serves NTS on 127.0.0.1 as
# nts.velmora.test with a certificate of a test CA that only this test's mount namespace trusts
# (it stands in for the system bundle there); "Get time" shows the server's time. A fresh start
# without that trust fails the same entry, although chronyd answers plain SNTP on port 123 all
# along: an NTS entry never falls back.
if [[ ${VELMORA_E2E_MOUNTS:-} != private ]]; then
    exec env VELMORA_E2E_MOUNTS=private unshare --mount --propagation private -- bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"

e2e_start_nts_chronyd

export LC_ALL=C TZ=UTC
e2e_session

# Starts a fresh copy asking only the NTS entry, clicks "Get time", ends it; sets SHOWN to what
# the server field showed.
get_time() {
    local prog
    prog=$(e2e_install_copy "$E2E_TMP/app-$1" "$E2E_PROBE")
    e2e_write_settings "$prog" "GlobalTimeSrvList=nts://nts.velmora.test"
    e2e_start_velmora "$prog"
    e2e_expect 10 "main window not shown" e2e_main_window_shown
    e2e_click_control CheckTimeServerButton
    e2e_wait_for 10 eval '[[ -n $(e2e_probe_field "$prog" TimeServerEdit) ]]' ||
        e2e_fail "server field still empty"
    READ_FROM=$(date +%s)
    SHOWN=$(e2e_probe_field "$prog" TimeServerEdit)
    READ_TO=$(date +%s)
    e2e_log "server field: $SHOWN"
    e2e_screenshot "$E2E_TMP/nts-$1.png"
    e2e_click_control SpeedButton1
    e2e_wait_exit 10 || e2e_fail "the program did not end"
}

get_time trusted
[[ $SHOWN == "Failed to contact time server" ]] && e2e_fail "the NTS server was not reached"
e2e_field_time_between "$SHOWN" "$READ_FROM" "$READ_TO" ||
    e2e_fail "server field '$SHOWN' is not the time it was read (between $READ_FROM and $READ_TO)"

umount "$E2E_NTS_BUNDLE" || e2e_fail "cannot drop the test CA"
get_time untrusted
[[ $SHOWN == "Failed to contact time server" ]] || e2e_fail "an untrusted server gave '$SHOWN'"
e2e_log "ok"
