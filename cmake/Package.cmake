# The Debian package: `cpack -G DEB` in the build tree (scripts/package does it all) makes
# velmora_<version>_<arch>.deb, which installs the program in /usr/bin with its menu entry and
# icon; `apt install ./velmora_*.deb` brings in everything it needs to run.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "Velmora developers")
set(CPACK_PACKAGE_CONTACT "Velmora developers <velmora@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keeps the computer clock in step with network time servers")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Velmora lives in the notification area, asks a list of time servers for the
time (SNTP, or authenticated with Network Time Security), shows the computer
clock and the server clock side by side, and sets the system clock on request,
on a period or once at start-up, asking for the right through systemd-timedated.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries it links come from dpkg-shlibdeps; what it loads or draws with is named here: the
# X11 platform plugin, GnuTLS (loaded with the first NTS entry), and the fonts its fixed layouts
# are measured for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libgnutls30 (>= 3.7), fonts-dejavu-core, fonts-dejavu-extra, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, ca-certificates")
include(CPack)
