# The Debian 12 packages Velmora needs, and the functions that install the missing ones. Nothing
# here installs a package that replaces a service of the machine: chronyd, which the tests and the
# demo use as a time server, is unpacked from its package instead of installed (the chrony package
# would remove systemd-timesyncd).

# What building the program takes (ImageMagick draws the icons). debian/control's Build-Depends
# name the same packages but build-essential, which Debian takes for granted; the package test
# compares the two.
VELMORA_BUILD_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev libsystemd-dev libgnutls28-dev nettle-dev
    imagemagick
)
# What running it on a desktop takes, besides the build: the libraries, the service names
# (netbase) and zone rules (tzdata) it reads, the plugins and fonts it draws with. Each is among
# the Debian package's dependencies (the package test checks it), named in debian/control or
# found by dpkg-shlibdeps.
VELMORA_RUN_ONLY_PACKAGES=(
    libqt6widgets6 libqt6dbus6 qt6-qpa-plugins qt6-wayland libsystemd0 libgnutls30 libnettle8
    netbase tzdata fonts-dejavu-core fonts-dejavu-extra fonts-liberation fontconfig ca-certificates
)
VELMORA_RUN_PACKAGES=("${VELMORA_BUILD_PACKAGES[@]}" "${VELMORA_RUN_ONLY_PACKAGES[@]}")
# What making the Debian package takes, besides the build (dpkg-buildpackage and dh).
VELMORA_PACKAGE_PACKAGES=("${VELMORA_BUILD_PACKAGES[@]}" dpkg-dev debhelper)
# What the package test checks the package and the files it installs with.
VELMORA_PACKAGE_CHECK_PACKAGES=(lintian appstream desktop-file-utils man-db)
# The libraries of the unpacked chronyd.
VELMORA_CHRONYD_LIBRARIES=(libcap2 libgnutls30 libnettle8 libseccomp2)
# The demo on a machine without a display: a private session bus, a virtual X server, a window
# manager, a tray, the e2e harness's tools (xdotool, x11-utils, ImageMagick, ps), and a time
# server in a private network namespace (unshare and setpriv, ip).
VELMORA_DEMO_PACKAGES=(
    "${VELMORA_RUN_PACKAGES[@]}" "${VELMORA_CHRONYD_LIBRARIES[@]}"
    dbus-daemon xvfb openbox trayer xdotool imagemagick x11-utils procps iproute2 util-linux
)
# Cross-building the Windows program (mingw-w64's -posix flavour has std::thread) and running it
# under Wine (wine64 and, for its wrappers, wine; without recommends, but with Wine's own fonts:
# "MS Sans Serif", which the forms are drawn for, and Marlett, which draws the title bar's
# buttons). The build makes the program's pictures with ImageMagick's convert, and the installer
# with wixl, whose File table msibuild (msitools) completes.
VELMORA_WINDOWS_BUILD_PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64-posix imagemagick wixl msitools)
VELMORA_WINDOWS_PACKAGES=("${VELMORA_WINDOWS_BUILD_PACKAGES[@]}" wine64 wine fonts-wine)
VELMORA_TEST_PACKAGES=(
    "${VELMORA_DEMO_PACKAGES[@]}" "${VELMORA_PACKAGE_PACKAGES[@]}" "${VELMORA_WINDOWS_PACKAGES[@]}"
    "${VELMORA_PACKAGE_CHECK_PACKAGES[@]}"
    googletest libgtest-dev libgmock-dev libbenchmark-dev locales
    clang clang-format libclang-rt-14-dev
    ntpsec-ntpdig git bc libxfixes-dev
    dbus-bin python3 python3-dbus python3-dbusmock systemd
    haskell-gtk-sni-tray-utils haskell-status-notifier-item-utils gnutls-bin
    valgrind
    qt6-wayland xfce4-panel xfconf sway waybar grim
)

# The time services installed on this machine, one line; set-up must leave it as it was.
velmora_time_services() {
    local p
    for p in systemd-timesyncd chrony ntp ntpsec openntpd; do
        if dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            printf '%s ' "$p"
        fi
    done
}

velmora_sudo() {
    if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi
}

velmora_install_packages() {
    local missing=()
    local p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        velmora_sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive velmora_sudo apt-get install -y -qq --no-install-recommends \
            "${missing[@]}"
    fi
}

# Unpacks chronyd from Debian's chrony package into ${VELMORA_DEPS_DIR:-.deps}/chrony (once);
# tests/fixtures/chronyd.sh finds it there.
velmora_fetch_chronyd() {
    local deps=${VELMORA_DEPS_DIR:-$PWD/.deps}
    [[ -x $deps/chrony/usr/sbin/chronyd ]] && return 0
    velmora_install_packages "${VELMORA_CHRONYD_LIBRARIES[@]}"
    local download
    download=$(mktemp -d)
    chmod 755 "$download"
    if ! (cd "$download" && apt-get download -qq chrony 2>/dev/null); then
        velmora_sudo apt-get update -qq
        (cd "$download" && apt-get download -qq chrony) || { rm -rf "$download"; return 1; }
    fi
    mkdir -p "$deps"
    rm -rf "$deps/chrony"
    dpkg-deb -x "$download"/chrony_*.deb "$deps/chrony"
    rm -rf "$download"
    [[ -x $deps/chrony/usr/sbin/chronyd ]]
}
