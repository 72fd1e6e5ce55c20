# The installed layout (`cmake --install`, the Debian package): the programs in
# bin/; the shipped pan/tilt command files and default ini file in
# share/ardeviz/, from which an installed viewer fills its per-user working
# folder (viewer/WorkingFolder.h knows that path relative to bin/); the
# desktop entry, icons and AppStream metainfo where freedesktop puts them.
include(GNUInstallDirs)
set(ARDEVIZ_APP_ID org.ardeviz.Ardeviz)
set(ARDEVIZ_ICON_SIZES 16 22 24 32 48 64 128 256)

foreach(program ardeviz dvr-sim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

file(GLOB ARDEVIZ_SHIPPED_PTZ CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/res/PTZ/*.tl)
install(FILES ${ARDEVIZ_SHIPPED_PTZ} DESTINATION ${CMAKE_INSTALL_DATADIR}/ardeviz/PTZ)
install(FILES ${PROJECT_SOURCE_DIR}/res/ini/opt.ini DESTINATION ${CMAKE_INSTALL_DATADIR}/ardeviz/ini)

install(FILES ${PROJECT_SOURCE_DIR}/res/desktop/${ARDEVIZ_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${PROJECT_SOURCE_DIR}/res/desktop/${ARDEVIZ_APP_ID}.metainfo.xml
               ${PROJECT_BINARY_DIR}/${ARDEVIZ_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${ARDEVIZ_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size ${ARDEVIZ_ICON_SIZES})
  install(FILES ${PROJECT_SOURCE_DIR}/res/icons/ardeviz-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${ARDEVIZ_APP_ID}.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/res/icons/ardeviz.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${ARDEVIZ_APP_ID}.svg)
