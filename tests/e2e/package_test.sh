#!/usr/bin/env bash
# The Debian package: it holds the program in /usr/bin with its menu entry and icon, declares
# what the program needs to run so that apt can install it here, and the packaged program runs for
# an ordinary user, keeping the settings in that user's home. The package is the one the package
# test made with scripts/package, in VELMORA_PACKAGE_OUT.
source "$(dirname "$0")/lib.sh"

deb=$(ls "$VELMORA_PACKAGE_OUT"/velmora_*.deb) || e2e_fail "no package made"
contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/velmora ./usr/share/applications/velmora.desktop \
    ./usr/share/icons/hicolor/48x48/apps/velmora.png ./usr/share/man/man1/velmora.1.gz; do
    grep -q " $path\$" <<<"$contents" || e2e_fail "$path not in the package"
done
depends=$(dpkg-deb -f "$deb" Depends)
for need in libqt6widgets6 libsystemd0 libgnutls30 qt6-qpa-plugins fonts-dejavu-extra; do
    [[ $depends == *"$need"* ]] || e2e_fail "the package does not depend on $need: $depends"
done
# apt resolves it on this machine (simulated: nothing is installed).
apt-get install -s "$deb" >"$E2E_TMP/apt.log" 2>&1 || e2e_fail "apt cannot install the package"

e2e_session
e2e_as_user
dpkg-deb -x "$deb" "$E2E_TMP/root"
chmod 755 "$E2E_TMP/root"
e2e_start_velmora "$E2E_TMP/root/usr/bin/velmora"
e2e_expect 10 "the packaged program showed no window" e2e_main_window_shown
kill -TERM "$VELMORA_PID"
e2e_wait_exit 10 || e2e_fail "no end on SIGTERM"
((VELMORA_RC == 0)) || e2e_fail "exit code $VELMORA_RC"
[[ -f $E2E_USER_HOME/.config/velmora/KXdefault.cfg ]] || e2e_fail "no settings in the user's home"
e2e_log "ok"
