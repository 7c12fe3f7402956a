#!/usr/bin/env bash
# The Debian package as Debian checks it: scripts/package builds it in a clean folder; lintian
# --pedantic finds nothing to say; its dependencies match scripts/packages.sh both ways; dpkg
# installs it into a fresh root, where its metainfo, desktop entry, icons and manual page pass
# their own validators. The package is left in OUT for the end-to-end test of the program.
# Environment: VELMORA_SOURCE_DIR, VELMORA_VERSION (the build's), VELMORA_PACKAGE_OUT (a folder
# this test may empty).
set -uo pipefail
source "$VELMORA_SOURCE_DIR/scripts/packages.sh"
failed=0
fail() {
    echo "deb_test: $*" >&2
    failed=1
}

out=$VELMORA_PACKAGE_OUT
rm -rf "$out"
VELMORA_PACKAGE_BUILD_DIR=$out "$VELMORA_SOURCE_DIR/scripts/package" >/dev/null ||
    { echo "deb_test: scripts/package failed" >&2; exit 1; }
deb=$(ls "$out"/velmora_*.deb) || { echo "deb_test: no package made" >&2; exit 1; }

# Package names of a dependency field, without versions and alternatives' bars.
names() {
    tr ',|' '\n\n' | sed 's/(.*//; s/\[.*//; s/[[:space:]]//g' | grep -v '^\${\|^$' | sort -u
}
# The package names of debian/control's FIELD.
control_field() {
    awk -v f="$1:" '$1 == f { on = 1; sub(/^[^:]*:/, ""); print; next }
                    on && /^ / { print; next } { on = 0 }' \
        "$VELMORA_SOURCE_DIR/debian/control" | names
}
words() { printf '%s\n' "$@" | sort -u; }

# Build-Depends are scripts/packages.sh's build packages (build-essential Debian takes for
# granted); the explicit run dependencies are its run packages, and every run package is among
# what the built package depends on or recommends.
diff <(control_field Build-Depends | grep -v '^debhelper-compat$') \
    <(words "${VELMORA_BUILD_PACKAGES[@]}" | grep -v '^build-essential$') >&2 ||
    fail "debian/control's Build-Depends (<) and VELMORA_BUILD_PACKAGES (>) differ"
for name in $(control_field Depends; control_field Recommends); do
    [[ " ${VELMORA_RUN_ONLY_PACKAGES[*]} " == *" $name "* ]] ||
        fail "debian/control names $name, which VELMORA_RUN_ONLY_PACKAGES lacks"
done
declared=$( (dpkg-deb -f "$deb" Depends; echo ,; dpkg-deb -f "$deb" Recommends) | names)
for name in "${VELMORA_RUN_ONLY_PACKAGES[@]}"; do
    grep -qx "$name" <<<"$declared" || fail "the package neither depends on nor recommends $name"
done

# Anything lintian says at any level fails, but for what debian/velmora.lintian-overrides
# explains.
lintian --pedantic --info --display-experimental "$deb" >"$out/lintian.log" 2>&1
grep -E '^[EWIPX]: ' "$out/lintian.log" >&2 && fail "lintian has something to say"

# A fresh root that dpkg knows nothing of: the package's files land where dpkg says they are.
root=$out/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
dpkg --root="$root" --force-depends --force-not-root --log=/dev/null -i "$deb" \
    >"$out/dpkg.log" 2>&1 ||
    fail "dpkg could not install the package: $(cat "$out/dpkg.log")"
# Built with the hardening flags: a position-independent program, its relocations bound at once.
readelf -d "$root/usr/bin/velmora" | grep -q "Flags: NOW PIE" || fail "velmora: no PIE, BIND_NOW"
usr=$root/usr/share
# Offline: the screenshots' addresses are checked for their form only.
metainfo=$usr/metainfo/org.velmora.velmora.metainfo.xml
appstream=$(appstreamcli validate --pedantic --no-net "$metainfo")
(($? == 0)) && ! grep -E '^[EWIP]: ' <<<"$appstream" >&2 || fail "appstreamcli validate --pedantic"
desktop-file-validate "$usr/applications/velmora.desktop" >&2 || fail "desktop-file-validate"
for size in 16 22 24 32 48 64 128 256; do
    [[ $(identify -format %wx%h "$usr/icons/hicolor/${size}x${size}/apps/velmora.png" 2>&1) == \
        "${size}x${size}" ]] || fail "no ${size}x${size} icon"
done
warnings=$(MANPATH=$usr/man man --warnings velmora 2>&1 >"$out/man.txt")
[[ -z $warnings ]] || fail "man velmora: $warnings"
grep -q 'velmora - keep the computer clock in step' "$out/man.txt" ||
    fail "man velmora shows no page"
lexgrog "$usr/man/man1/velmora.1.gz" >/dev/null || fail "lexgrog finds no whatis line"
cmp -s "$VELMORA_SOURCE_DIR/debian/copyright" "$usr/doc/velmora/copyright" ||
    fail "no copyright file"

# One version and one home: the build's, debian/changelog's and the metainfo's newest release.
version=$(dpkg-deb -f "$deb" Version)
[[ $version == "$VELMORA_VERSION" ]] || fail "debian/changelog's $version is not $VELMORA_VERSION"
grep -m1 -o '<release version="[^"]*"' "$metainfo" | grep -qF "\"$version\"" ||
    fail "the metainfo's newest release is not $version"
grep -qF "<url type=\"homepage\">$(dpkg-deb -f "$deb" Homepage)</url>" "$metainfo" ||
    fail "the metainfo's home page is not the package's"
((failed == 0)) && echo "deb_test: passed"
exit $failed
