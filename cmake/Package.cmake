# `cpack` in the build folder makes a Debian package of what `cmake --install` installs, under /usr.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME halvrick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pea in the tray that sweats when the computer works hard")
# The long description, in lines of a terminal's width.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "Halvrick is a small desktop companion that lives in the tray as a pea. Its"
       "face follows how hard the machine works, and it says which applications are"
       "to blame. It keeps a daily ledger of sweat time, active time and breaks,"
       "coaches breaks, shows reminders and keeps an eye on memory, storage and the"
       "growth of folders.")
set(HALVRICK_PACKAGE_CONTACT "Halvrick developers" CACHE STRING "Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT ${HALVRICK_PACKAGE_CONTACT})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Libraries come from dpkg-shlibdeps; Qt's SVG plugins draw the applications' icons, which nothing links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
# The rounded face of drawn text (DejaVu Sans stands in), emoji in the lines, and Wayland without X11.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-quicksand, fonts-noto-color-emoji, qt6-wayland")

include(CPack)
