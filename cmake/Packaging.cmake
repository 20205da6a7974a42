# The Debian package of everything installed: "cpack -G DEB" in a build
# folder, after building. Its dependencies are worked out from the
# libraries the programs link (dpkg-shlibdeps, from dpkg-dev).
set(CPACK_PACKAGE_NAME mirrova)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Mirrova developers")
set(CPACK_PACKAGE_CONTACT "Mirrova developers <mirrova-dev@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Copies configuration between company databases of a business-management system")
set(CPACK_PACKAGE_DESCRIPTION
    "Mirrova is an add-on of the Ledgerline client that copies configuration\n"
    "records from one company database to others, with worksheets of what to\n"
    "copy, a log of what was copied and a command-line front end. The package\n"
    "also holds the Ledgerline client and its administration tool.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Plugins are loaded, not linked, so dpkg-shlibdeps cannot see them: the
# SQLite driver the host's data stand-in opens its databases with, and
# (recommended) the Wayland platform and the SVG image reader for the icon.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, libqt6svg6")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)
