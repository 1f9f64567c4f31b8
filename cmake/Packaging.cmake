# A Debian package with `cpack -G DEB` from the build folder.
set(CPACK_PACKAGE_NAME "kivora")
set(CPACK_PACKAGE_VENDOR "${KIVORA_MAKER}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Lotto Kivora - draws lottery tickets and prints them")
# One string: separate quoted strings would make a list, joined with ";".
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Kivora draws tickets of lottery numbers for Lotto games (distinct numbers\n"
    "up to a chosen highest number, with an optional bonus number) and Daily\n"
    "games (digits that may repeat). It can include and exclude numbers, prefer\n"
    "low or high numbers, and print the tickets. kivora --draw prints tickets\n"
    "without opening the window.")
set(CPACK_PACKAGE_CONTACT "Brandell <support@kivora.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Brandell <support@kivora.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.kivora.example/lotto")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The shared-library scan gives the libraries, and with them the xcb platform plugin
# (libqt6gui6) and the SVG plugins (libqt6svg6). What it cannot see: the font the window is laid
# out for. The package test holds Depends to exactly these.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
# Help and the About window's links open through xdg-open; without it the program says so.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
