#!/usr/bin/env bash
# The Windows packages under Wine, in a Wine prefix of the test's own (the run's prefix is shared
# by the other tests): msiexec installs velmora-<version>-x64.msi, the installed program keeps its
# settings in %APPDATA% when it cannot write beside itself, and msiexec /x takes away the files,
# the shortcut, the Add/Remove Programs entry and the autorun values the program wrote, after an
# upgrade to the next version that kept them; the installed program answers an NTS entry with
# the GnuTLS it installed; the portable zip holds the program, GnuTLS and Nettle and their
# licences.
#
# The Wine part runs as an ordinary user (nobody, when started as root): Wine runs every program
# as an administrator and root writes anywhere, so only an ordinary user is kept out of a folder
# made read-only on the Linux side, as a standard user is kept out of Program Files.
#
# Environment: VELMORA_MSI, VELMORA_ZIP, VELMORA_PACKAGED_PROGRAM (the velmora.exe both carry),
# VELMORA_PROGRAM_ICON, VELMORA_VERSION, and VELMORA_NEXT_MSI of VELMORA_NEXT_VERSION with
# VELMORA_NEXT_PROGRAM.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
fixtures=$here/../../fixtures
failed=0
fail() {
    echo "msi_test: $*" >&2
    failed=1
}
# The Windows name of a Linux path: Wine's drive Z: is the root.
winpath() { echo "Z:${1//\//\\}"; }

run_key='Software\Microsoft\Windows\CurrentVersion\Run'
approved_key='Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
autorun_keys=("HKLM\\$run_key" "HKCU\\$run_key" "HKCU\\$approved_key")
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
installed='C:\Program Files\Velmora\velmora.exe'

winerun() { "$fixtures/wine-run" "$@"; }
has_value() { winerun reg query "$1" /v "$2" >/dev/null 2>&1; }

# The Add/Remove Programs key of Velmora with its values, as `reg query` shows it; nothing when
# there is none.
arp_entry() {
    winerun reg query "$uninstall_key" /s 2>/dev/null |
        tr -d '\r' | awk '/^HKEY_/ { if (hit) exit; block = "" } { block = block $0 "\n" }
                          /^ +DisplayName +REG_SZ +Velmora$/ { hit = 1 }
                          END { if (hit) printf "%s", block }'
}

# One entry, of VERSION.
check_entry() {
    local entries entry
    entries=$(winerun reg query "$uninstall_key" /s |
        tr -d '\r' | grep -cE '^ +DisplayName +REG_SZ +Velmora$')
    entry=$(arp_entry)
    ((entries == 1)) && grep -Eq "^ +DisplayVersion +REG_SZ +$1$" <<<"$entry" &&
        grep -Eq '^ +Publisher +REG_SZ +The Velmora developers$' <<<"$entry" ||
        fail "$entries Add/Remove Programs entries, not one of $1:"$'\n'"$entry"
}

# Wine puts a per-machine install's shortcuts among the user's (Windows among everybody's).
shortcuts() {
    local lnk
    for lnk in "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Velmora.lnk" \
        "$WINEPREFIX/drive_c/users/$USER/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Velmora.lnk"; do
        [[ -e $lnk ]] && echo "$lnk"
    done
}

check_installed() {
    local work=$1 folder=$2 entry code lnk key
    cmp -s "$work/velmora.exe" "$folder/velmora.exe" || fail "velmora.exe not installed in $folder"
    cmp -s "$work/LICENSE.txt" "$folder/LICENSE.txt" || fail "no LICENSE.txt beside velmora.exe"
    lnk=$(shortcuts)
    [[ -n $lnk ]] || fail "no Start menu shortcut Velmora.lnk"
    [[ -z $lnk ]] || strings -e l "$lnk" | tr -d '\r' | grep -qiF 'Program Files\Velmora\velmora.exe' ||
        grep -aqiF 'Program Files\Velmora\velmora.exe' "$lnk" || fail "the shortcut leads elsewhere"
    check_entry "$VELMORA_VERSION"
    entry=$(arp_entry)
    # The product's icon is kept in the installer's cache, where Add/Remove Programs takes it.
    code=$(grep -o '{[0-9A-F-]*}$' <<<"$entry" | head -1)
    cmp -s "$work/velmora.ico" "$WINEPREFIX/drive_c/windows/Installer/$code/velmora.ico" ||
        fail "no product icon for $code"
    for key in "${autorun_keys[@]}"; do
        ! has_value "$key" Velmora || fail "installing wrote $key Velmora"
    done
}

# Closes the installed program started as PID (taskkill without /f sends WM_CLOSE, asked again
# until the window is there to take it); its exit code.
close_installed() {
    local pid=$1 tries
    for ((tries = 0; tries < 120; tries++)); do
        kill -0 "$pid" 2>/dev/null || break
        winerun taskkill /im velmora.exe >/dev/null 2>&1
        sleep 0.5
    done
    kill -0 "$pid" 2>/dev/null && { fail "velmora.exe did not end when closed"; kill "$pid"; }
    wait "$pid"
}

# The installed program in a folder it cannot write: it saves to %APPDATA%\Velmora when closed.
check_settings() {
    local folder=$1 pid code
    chmod a-w "$folder"
    winerun "$installed" &
    pid=$!
    close_installed "$pid"
    code=$?
    ((code == 0)) || fail "velmora.exe ended with $code"
    chmod u+w "$folder"
    [[ ! -e $folder/KXdefault.cfg ]] || fail "the program wrote beside itself in $folder"
    grep -q '^\[Data\]' "$WINEPREFIX/drive_c/users/$USER/AppData/Roaming/Velmora/KXdefault.cfg" ||
        fail "no settings in %APPDATA%\\Velmora"
}

# The clock service's state, as sc tells it, asked until it is STATE (bounded).
wait_service() {
    local tries
    for ((tries = 0; tries < 100; tries++)); do
        winerun sc query Velmora 2>/dev/null | grep -q "STATE.*$1" && return 0
    done
    return 1
}

# The installed program asks an NTS entry at its start (GlobalAutorun) with the GnuTLS and Nettle
# installed beside it: its history records chronyd's answer as authenticated. The clock service
# is stopped meanwhile: with it running, the start-up synchronization would be the service's.
# With the service installed the server list is the machine's: the entry goes there, and the
# machine's list the install wrote comes back after.
check_nts() {
    local folder=$1 pid tries appdata=$WINEPREFIX/drive_c/users/$USER/AppData list
    local history=$appdata/Local/Velmora/history machine='HKLM\Software\Velmora'
    [[ -e $folder/libgnutls-30.dll && -e $folder/GnuTLS/SOURCES.TXT ]] ||
        fail "GnuTLS or its licences are not installed: $(ls -A "$folder")"
    printf '[Data]\r\nGlobalAutorun=1\r\n' >"$appdata/Roaming/Velmora/KXdefault.cfg"
    list=$(winerun reg query "$machine" /v GlobalTimeSrvList 2>/dev/null | tr -d '\r' |
        sed -n 's/.*REG_SZ *//p')
    winerun reg add "$machine" /v GlobalTimeSrvList /t REG_SZ /d nts://nts.velmora.test /f \
        >/dev/null || fail "cannot write the machine's server list"
    winerun sc stop Velmora >/dev/null 2>&1
    wait_service STOPPED || fail "the clock service did not stop"
    # As a standard user: the settings in %APPDATA%, none beside the program.
    chmod a-w "$folder"
    winerun "$installed" &
    pid=$!
    for ((tries = 0; tries < 120; tries++)); do
        grep -q $'\tnts\tnts://nts.velmora.test' "$history" 2>/dev/null && break
        sleep 0.5
    done
    grep -q $'\tnts\tnts://nts.velmora.test' "$history" 2>/dev/null ||
        fail "no authenticated answer in the history: $(cat "$history" 2>&1)"
    close_installed "$pid"
    chmod u+w "$folder"
    if [[ -n $list ]]; then
        winerun reg add "$machine" /v GlobalTimeSrvList /t REG_SZ /d "$list" /f >/dev/null
    else
        winerun reg delete "$machine" /v GlobalTimeSrvList /f >/dev/null
    fi || fail "cannot put the machine's server list back"
    winerun sc start Velmora >/dev/null 2>&1
    wait_service RUNNING || fail "the clock service did not start again"
}

# What the program's autorun writes, and a neighbour that is not Velmora's.
write_autorun() {
    winerun reg add "HKLM\\$run_key" /v Velmora /t REG_SZ /d "\"$installed\"" /f >/dev/null &&
        winerun reg add "HKLM\\$run_key" /v Neighbour /t REG_SZ /d 'C:\other.exe' /f >/dev/null &&
        winerun reg add "HKCU\\$run_key" /v Velmora /t REG_SZ /d "\"$installed\"" /f >/dev/null &&
        winerun reg add "HKCU\\$approved_key" /v Velmora /t REG_BINARY \
            /d 030000000000000000000000 /f >/dev/null || fail "cannot write the autorun values"
}

# A later version replaces this one in place, the user's autorun kept.
check_upgrade() {
    local work=$1 folder=$2 key
    winerun msiexec /i "$(winpath "$work/next.msi")" /qn || fail "the upgrade ended with $?"
    check_entry "$VELMORA_NEXT_VERSION"
    cmp -s "$work/next.exe" "$folder/velmora.exe" || fail "the upgrade did not replace velmora.exe"
    for key in "${autorun_keys[@]}"; do
        has_value "$key" Velmora || fail "the upgrade took $key Velmora"
    done
}

check_removed() {
    local folder=$1 key
    [[ ! -e $folder ]] || fail "$folder is still there: $(ls -A "$folder")"
    [[ -z $(shortcuts) ]] || fail "the shortcut is still there: $(shortcuts)"
    [[ -z $(arp_entry) ]] || fail "the Add/Remove Programs entry is still there"
    for key in "${autorun_keys[@]}"; do
        ! has_value "$key" Velmora || fail "$key Velmora is still there"
    done
    has_value "HKLM\\$run_key" Neighbour || fail "the uninstall took another program's autorun"
}

# As the user, in the Wine session's own prefix.
inside() {
    local work=$1 msi folder="$WINEPREFIX/drive_c/Program Files/Velmora"
    msi=$(winpath "$work/velmora.msi")
    winerun msiexec /i "$msi" /qn || { fail "msiexec /i ended with $?"; return; }
    check_installed "$work" "$folder"
    check_settings "$folder"
    check_nts "$folder"
    write_autorun
    check_upgrade "$work" "$folder"
    winerun msiexec /x "$(winpath "$work/next.msi")" /qn || fail "msiexec /x ended with $?"
    check_removed "$folder"
}

if [[ "${1:-}" == "--inside" ]]; then
    inside "$2"
    exit $failed
fi

# The portable zip: one folder with the program and its licences, GnuTLS and Nettle beside it
# with theirs.
check_zip() {
    local work=$1 list version
    list=$(cd "$work" && cmake -E tar xvf "$VELMORA_ZIP" 2>&1 | sed 's/^x //' | sort | tr '\n' ' ')
    [[ $list == "Velmora/ Velmora/GnuTLS/ Velmora/GnuTLS/GNUTLS.TXT Velmora/GnuTLS/GNUTLSCR.TXT \
Velmora/GnuTLS/GPL2.TXT Velmora/GnuTLS/GPL3.TXT Velmora/GnuTLS/LGPL21.TXT Velmora/GnuTLS/LGPL3.TXT \
Velmora/GnuTLS/MINGWCR.TXT Velmora/GnuTLS/NETTLECR.TXT Velmora/GnuTLS/SOURCES.TXT \
Velmora/LICENSE.txt Velmora/libgnutls-30.dll Velmora/libhogweed-6.dll Velmora/libnettle-8.dll \
Velmora/libwinpthread-1.dll Velmora/third-party-licences.txt Velmora/velmora.exe " ]] ||
        fail "the zip holds: $list"
    cmp -s "$VELMORA_PACKAGED_PROGRAM" "$work/Velmora/velmora.exe" || fail "the zip's velmora.exe"
    # Built from the sources of the GnuTLS this Debian runs (scripts/windows-deps).
    version=$(dpkg-query -W -f='${source:Version}' libgnutls30)
    grep -qF "gnutls28 $version" "$work/Velmora/GnuTLS/SOURCES.TXT" ||
        fail "SOURCES.TXT does not name the source package gnutls28 $version"
}

work=$(mktemp -d /tmp/velmora-msi.XXXXXX)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
check_zip "$work"
mkdir "$work/home"
cp "$VELMORA_MSI" "$work/velmora.msi"
cp "$VELMORA_NEXT_MSI" "$work/next.msi"
cp "$VELMORA_NEXT_PROGRAM" "$work/next.exe"
cp "$VELMORA_PACKAGED_PROGRAM" "$work/velmora.exe"
cp "$(dirname "$VELMORA_PACKAGED_PROGRAM")/LICENSE.txt" "$work/LICENSE.txt"
cp "$VELMORA_PROGRAM_ICON" "$work/velmora.ico"
as_user=()
user=$(id -un)
if (($(id -u) == 0)); then
    chown -R 65534:65534 "$work"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
    user=$(id -un 65534)
fi
src=$("$fixtures/readable-copy" "$work/src" tests/fixtures/wine-session tests/fixtures/wine-run \
    scripts/clock-safe tests/e2e/windows/msi_test.sh)
"${as_user[@]}" env HOME="$work/home" USER="$user" LOGNAME="$user" \
    "$src/tests/fixtures/wine-session" bash "$src/tests/e2e/windows/msi_test.sh" --inside "$work" ||
    failed=1
((failed == 0)) && echo "msi_test: passed"
exit $failed
