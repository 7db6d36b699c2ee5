# What `cmake --install` and `make deb` lay out: the program directory as the
# build tree has it, under lib/mflpx, and what a desktop expects around it (a
# launcher on the PATH, a menu entry, icons). The program finds its folder
# through its real path, so the launcher is a plain symbolic link.
set(MFLPX_PROGRAM_DIRECTORY lib/mflpx)

install(TARGETS mflpx mflpx-crash-notice RUNTIME DESTINATION ${MFLPX_PROGRAM_DIRECTORY})
install(TARGETS amv_encoder RUNTIME DESTINATION ${MFLPX_PROGRAM_DIRECTORY}/Core)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/Lang/ DESTINATION ${MFLPX_PROGRAM_DIRECTORY}/Lang
        FILES_MATCHING PATTERN "*.ini")
install(FILES ${CMAKE_BINARY_DIR}/MFLPX.html DESTINATION ${MFLPX_PROGRAM_DIRECTORY})

file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/launcher)
file(CREATE_LINK ../${MFLPX_PROGRAM_DIRECTORY}/mflpx ${CMAKE_BINARY_DIR}/launcher/mflpx SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/launcher/mflpx DESTINATION bin)

install(FILES ${CMAKE_SOURCE_DIR}/resources/mflpx.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/images/logo.svg
        DESTINATION share/icons/hicolor/scalable/apps RENAME mflpx.svg)
foreach(size ${MFLPX_ICON_SIZES})
  install(FILES ${CMAKE_BINARY_DIR}/icons/${size}x${size}/mflpx.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()

# The Debian package: dependencies come from the libraries the programs link,
# plus Qt's window-system plugins, which its libraries only recommend.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mflpx)
set(CPACK_PACKAGE_VENDOR "Marrowind")
set(CPACK_PACKAGE_CONTACT "MFLPX developers <mflpx@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch converter of videos into AMV files for small portable players")
set(CPACK_PACKAGE_DESCRIPTION "Builds a list of conversion tasks in one window and converts every video\nin turn into the motion-JPEG AMV format of inexpensive media players.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
