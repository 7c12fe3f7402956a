#!/usr/bin/env bash
# The clock service "Velmora Time" under Wine, in a Wine prefix of the test's own (a service lives
# and dies with its prefix), inside the run's network namespace: the installer with SERVERS and
# INTERVAL installs the service (LOCAL SERVICE, automatic start), writes the machine's settings
# and starts it; "synchronize now", sent by the program's own client (which checks that the pipe's
# server is the process the service manager names for Velmora), makes the service ask the
# responder and try to step the clock by its own answer, which Wine refuses (nothing here may set
# the clock): the refusal and the offset it tried come back; a client sending a time, a malformed
# or an oversized message gets a refusal and changes nothing; a process that holds the pipe's
# name in the service's stead (tests/tools/windows/service-host, the service's own code) gets no
# request from the program's client; the service started again, the program's synchronization at
# its start goes to the service, and the service's answer, Wine's refusal of its step and the
# offset it tried come back to the program's window (its error box and the server field's
# status lines), the program asking no server itself; its options dialog shows the machine's
# servers and a new list confirmed at OK reaches the machine's settings; the uninstall removes the
# service.
#
# What Wine cannot show (the LOCAL SERVICE token, the pipe's security descriptor and remote
# refusal, the required privileges, the event log's records) is for a real Windows:
# docs/windows-service.md.
#
# Environment: VELMORA_MSI, VELMORA_SERVICE_ASK, VELMORA_SERVICE_HOST and VELMORA_WIN_PROBE
# (tests/tools/windows), VELMORA_SOURCE_DIR.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
fixtures=$here/../../fixtures
failed=0
fail() {
    echo "service_test: $*" >&2
    failed=1
}
winpath() { echo "Z:${1//\//\\}"; }
winerun() { "$fixtures/wine-run" "$@"; }
ask() { winerun "$VELMORA_SERVICE_ASK" "$@" 2>/dev/null | tr -d '\r'; }
machine_setting() {
    winerun reg query 'HKLM\Software\Velmora' /v "$1" 2>/dev/null | tr -d '\r' |
        awk -v name="$1" '$1 == name { print $3 }'
}
probe() { winerun "$VELMORA_WIN_PROBE" "$@" 2>/dev/null | tr -d '\r'; }
service_state() { winerun sc query Velmora 2>/dev/null | tr -d '\r' | awk '/STATE/ { print $4 }'; }
service_key='HKLM\System\CurrentControlSet\Services\Velmora'
service_value() {
    winerun reg query "$service_key" /v "$1" 2>/dev/null | tr -d '\r' |
        awk -v name="$1" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}

# Waits, a bounded number of times, until the pipe answers.
wait_for_pipe() {
    local tries
    for ((tries = 0; tries < 100; tries++)); do
        ask raw "tell me your state" | grep -q '^times' && return 0
    done
    return 1
}

check_installed() {
    [[ $(service_value ImagePath) == *'\Velmora\velmora-service.exe'* ]] ||
        fail "the service's program: $(service_value ImagePath)"
    [[ $(service_value ObjectName) == 'NT AUTHORITY\LocalService' ]] ||
        fail "the service's account: $(service_value ObjectName)"
    [[ $(service_value Start) == 0x2 ]] || fail "the service's start: $(service_value Start)"
    [[ $(service_value DisplayName) == "Velmora Time" ]] || fail "the service's name"
    [[ $(machine_setting GlobalTimeSrvList) == 127.0.0.2 ]] || fail "SERVERS not in the settings"
    [[ $(machine_setting UpdateClockInterval) == 5400000 ]] || fail "INTERVAL not in the settings"
}

# Services start and stop in their own time: the state is asked until it is the one expected
# (the bound only keeps a broken run from hanging).
wait_state() {
    local tries
    for ((tries = 0; tries < 100; tries++)); do
        [[ $(service_state) == "$1" ]] && return 0
    done
    return 1
}

check_requests() {
    local reply before after message
    reply=$(ask synchronize) || fail "the program's client got no answer from the service"
    grep -q '^Answer from 127.0.0.2, plain SNTP' <<<"$reply" || fail "no answer of the responder: $reply"
    grep -Eiq '^step-refused: \+30\.2[0-9]* .*privilege' <<<"$reply" ||
        fail "the refused step of +30.25 s did not come back: $reply"
    before=$(ask raw "tell me your state")
    for message in "synchronize now 2030-01-01 00:00:00" "set time +3600" "synchronize now|evil" \
        "$(printf 'synchronize now%.0s' {1..10})"; do
        reply=$(ask raw "$message")
        grep -q $'^refusal\tRefused' <<<"$reply" || fail "\"$message\" was not refused: $reply"
    done
    after=$(ask raw "tell me your state")
    [[ $before == "$after" ]] || fail "a refused request changed the state:"$'\n'"$before"$'\n'"$after"
}

# The service stopped, another process takes the pipe's name: the program's client does not talk
# to it, though it answers whoever does.
check_poser() {
    local work=$1 host
    winerun sc stop Velmora >/dev/null 2>&1
    wait_state STOPPED || fail "the service did not stop: $(service_state)"
    mkfifo "$work/host-input"
    winerun "$VELMORA_SERVICE_HOST" <"$work/host-input" >"$work/host.log" 2>&1 &
    host=$!
    exec 3>"$work/host-input"
    wait_for_pipe || fail "the stand-in never answered: $(cat "$work/host.log")"
    ask state >/dev/null && fail "the program's client talked to a process that is not the service"
    exec 3>&-
    wait "$host" || fail "the stand-in ended with $?: $(cat "$work/host.log")"
}

# Asks COMMAND... (a probe) a bounded number of times until it prints something matching PATTERN;
# prints what it printed last.
wait_for_output() {
    local pattern=$1 tries output
    shift
    for ((tries = 0; tries < 300; tries++)); do
        output=$("$@")
        grep -Eq "$pattern" <<<"$output" && break
    done
    echo "$output"
}

# Clicks the middle of control ID of WINDOW.
click() {
    local left top right bottom
    read -r left top right bottom < <(probe rect "$1" "$2")
    xdotool mousemove "$(((left + right) / 2))" "$(((top + bottom) / 2))" click 1 2>/dev/null
}

# The options dialog shows the machine's servers, not the copy's own, and an administrator's new
# list reaches the machine's settings at OK, through the elevated copy.
check_options() {
    local memo
    click TTimeForm 103
    memo=$(wait_for_output '^127' probe text "#32770:Options" 1011)
    [[ $memo == 127.0.0.2 ]] || fail "the options dialog shows \"$memo\", not the machine's servers"
    probe settext "#32770:Options" 1011 127.0.0.9 >/dev/null
    click "#32770:Options" 1
    [[ $(wait_for_output 127.0.0.9 machine_setting GlobalTimeSrvList) == 127.0.0.9 ]] ||
        fail "the new server list did not reach the machine's settings"
}

# A copy of the installed program, set to synchronize at its start and with a server list of
# nobody's: with the service there, it asks the service and no server itself.
check_program() {
    local work=$1 folder="$WINEPREFIX/drive_c/Program Files/Velmora" pid box tips left top right
    local bottom tries
    mkdir "$work/program"
    cp "$folder/velmora.exe" "$folder"/*.dll "$work/program/"
    printf '[Data]\r\nGlobalAutorun=1\r\nGlobalTimeSrvList=127.0.0.3\r\n' \
        >"$work/program/KXdefault.cfg"
    wait_for_pipe || fail "the service's pipe does not answer after its start"
    winerun "$work/program/velmora.exe" &
    pid=$!
    box=$(wait_for_output 'computer clock' probe text "#32770:Velmora" 65535)
    grep -Eiq '^Unable to set the computer clock: .*privilege.*\(a step of \+30\.2[0-9]* s\)' \
        <<<"$box" || fail "the service's refused step did not come to the program: $box"
    probe post "#32770:Velmora" WM_CLOSE >/dev/null
    # The status lines show while the pointer rests on the server field; it leaves the field
    # each time, so that a tip that timed out before the probe looked shows again.
    read -r left top right bottom < <(probe rect TTimeForm 114)
    tips=""
    for ((tries = 0; tries < 100; tries++)); do
        xdotool mousemove "$((left - 10))" "$((top - 10))" mousemove \
            "$(((left + right) / 2))" "$(((top + bottom) / 2))" 2>/dev/null
        tips=$(probe tips)
        grep -q '^Answer from 127.0.0.2, plain SNTP' <<<"$tips" && break
    done
    grep -q '^Answer from 127.0.0.2, plain SNTP' <<<"$tips" ||
        fail "the service's answer is not in the status lines: $tips"
    grep -Eq '^Unable to set the computer clock: .*\(a step of \+30\.2[0-9]* s\)' <<<"$tips" ||
        fail "the refused step is not in the status lines: $tips"
    check_options
    for ((tries = 0; tries < 100; tries++)); do
        kill -0 "$pid" 2>/dev/null || break
        winerun taskkill /im velmora.exe >/dev/null 2>&1
    done
    wait "$pid" || fail "the program ended with $?"
    # The service's answers joined the user's history, which the History window draws.
    cat "$WINEPREFIX"/drive_c/users/*/AppData/Local/Velmora/history 2>/dev/null |
        grep -q '127\.0\.0\.2' ||
        fail "the service's answer is not in the user's history"
}

inside() {
    local work=$1 tries
    python3 "$VELMORA_SOURCE_DIR/tests/e2e/windows/sntp-responder.py" 127.0.0.2 30.25 \
        >"$work/responder.log" 2>&1 &
    responder=$!
    # Stopped however the checks end, a script error included: the trap runs after this function
    # has returned, so the variable is not the function's own.
    trap 'kill "$responder" 2>/dev/null' EXIT
    for ((tries = 0; tries < 100; tries++)); do
        grep -q ready "$work/responder.log" && break
        sleep 0.1
    done
    winerun msiexec /i "$(winpath "$work/velmora.msi")" /qn SERVERS=127.0.0.2 INTERVAL=90 ||
        fail "msiexec /i ended with $?"
    check_installed
    if wait_state RUNNING; then
        check_requests
        check_poser "$work"
        # Started again, the service takes "synchronize now" at once.
        winerun sc start Velmora >/dev/null 2>&1
        if wait_state RUNNING; then
            check_program "$work"
        else
            fail "the service did not start again: $(service_state)"
        fi
    else
        fail "the service is $(service_state), not RUNNING"
    fi
    winerun msiexec /x "$(winpath "$work/velmora.msi")" /qn || fail "msiexec /x ended with $?"
    [[ -z $(service_state) ]] || fail "the service is still there: $(service_state)"
    kill "$responder" 2>/dev/null
    wait "$responder" 2>/dev/null
}

if [[ "${1:-}" == "--inside" ]]; then
    inside "$2"
    exit $failed
fi

work=$(mktemp -d /tmp/velmora-service.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp "$VELMORA_MSI" "$work/velmora.msi"
"$fixtures/wine-session" bash "$0" --inside "$work" || failed=1
((failed == 0)) && echo "service_test: passed"
exit $failed
