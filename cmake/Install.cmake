# `cmake --install`: the program, its desktop entry, AppStream metainfo, man page, README, licence and its icons
# in the hicolor theme, all under the one name "halvrick" that the autostart entry and the notifications
# use too.

include(GNUInstallDirs)

install(TARGETS halvrick RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/halvrick.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/org.halvrick.halvrick.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/data/halvrick.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Debian's place for a package's documentation, named after the package rather than the project.
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/halvrick)

# The PNGs and the scalable icon are drawn by the pea renderer at build time; the symbolic one is kept.
set(icon_themes ${CMAKE_BINARY_DIR}/icons)
set(icon_files ${icon_themes}/hicolor/scalable/apps/halvrick.svg)
foreach(side 16 22 24 32 48 64 128 256 512)
  list(APPEND icon_files ${icon_themes}/hicolor/${side}x${side}/apps/halvrick.png
       ${icon_themes}/hicolor/${side}x${side}@2/apps/halvrick.png)
endforeach()
add_custom_command(OUTPUT ${icon_files} COMMAND halvrick_icon_theme ${icon_themes} DEPENDS halvrick_icon_theme
                   COMMENT "Drawing the icon theme")
add_custom_target(halvrick_icons ALL DEPENDS ${icon_files})
install(DIRECTORY ${icon_themes}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/halvrick-symbolic.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/symbolic/apps)

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
