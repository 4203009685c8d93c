# `cmake --install`: the program, its desktop entry and its icon set in the hicolor theme, all under the
# one name "halvrick" that the autostart entry and the notifications use too.

include(GNUInstallDirs)

install(TARGETS halvrick RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/halvrick.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# Each exported icon to the theme folder of its size (points) and scale.
foreach(icon 16x16 16x16@2x 32x32 32x32@2x 128x128 128x128@2x 256x256 256x256@2x 512x512 512x512@2x)
  string(REPLACE "@2x" "@2" folder ${icon})
  install(FILES ${PROJECT_SOURCE_DIR}/data/icons/icon_${icon}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${folder}/apps RENAME halvrick.png)
endforeach()
