# Installing the simulator: the program, its desktop entry and its icon;
# `cpack` in the build folder turns the same into a Debian package.
include(GNUInstallDirs)
install(TARGETS dg2 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/dg2.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${DG2_ROOT}/assets/dg2.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dg2-simulator)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "DG-2 simulator developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop simulator of the Corvanta Meridial DG-2 engine gauge")
set(CPACK_PACKAGE_DESCRIPTION
    "A two-channel engine gauge with a monochrome LCD, a knob, three keys and an alarm lamp, simulated in one window; sliders stand in for the sensor inputs.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY dg2)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "DG-2 simulator developers <dg2@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the program links (Qt, libjpeg) become the package's
# dependencies as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
