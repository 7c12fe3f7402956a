# The Debian 12 packages Velmora needs, and one function that installs the missing ones.

VELMORA_BUILD_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    netbase tzdata locales
)
VELMORA_RUN_PACKAGES=(
    "${VELMORA_BUILD_PACKAGES[@]}"
    libqt6widgets6 qt6-qpa-plugins fonts-dejavu-core fonts-dejavu-extra fonts-liberation fontconfig
    # the demo on a machine without a display
    xvfb openbox trayer xdotool imagemagick x11-utils chrony iproute2 util-linux
)
VELMORA_TEST_PACKAGES=(
    "${VELMORA_RUN_PACKAGES[@]}"
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    clang clang-format libclang-rt-14-dev
    ntpsec-ntpdig libcap2-bin git bc libxfixes-dev
)

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
        local sudo=()
        [[ $(id -u) -eq 0 ]] || sudo=(sudo)
        "${sudo[@]}" apt-get update -qq
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
            "${missing[@]}"
    fi
}
