# The Debian package, made by `cpack -G DEB` in the build folder (see
# scripts/package): vantor-message-board_<version>_<arch>.deb.

set(CPACK_PACKAGE_NAME ${VMB_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "Vantor Signs Ltd.")
set(CPACK_PACKAGE_CONTACT "Vantor Message Board developers <info@vantor.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "console for an LED message board on a serial line")
set(CPACK_PACKAGE_DESCRIPTION
    "The console sends the messages an operator types to an LED message board\n"
    "(a sign) on a serial port, with the board number, brightness and\n"
    "presentation mode, and keeps a history of the messages used. A virtual\n"
    "sign that plays the board on a pseudo-terminal lets the console be tried\n"
    "without hardware.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.vantor.example/")
# The libraries come from the programs themselves; the fonts the windows are
# laid out with are only found at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
# Help and the maker's web page open through the desktop's handler; vantor-sign completes on
# the command line where bash-completion is installed.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, bash-completion")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
