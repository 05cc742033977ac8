# Installing the simulator: the window program and the scenario runner, a
# manual page for each, the desktop entry, the icon at each size of the
# hicolor theme and the copyright file; `cpack` in the build folder turns the
# same into a Debian package. Included from the top-level CMakeLists.txt once
# every program's target exists.
include(GNUInstallDirs)
set(DG2_PACKAGE_NAME dg2-simulator)
set(DG2_WINDOW_DIR ${DG2_ROOT}/app/window)

install(TARGETS dg2 dg2_scenario RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${DG2_WINDOW_DIR}/dg2.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${DG2_WINDOW_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${DG2_PACKAGE_NAME})

# The icon at 48, 64, 128 and 256 pixels, scaled from assets/dg2.png.
set(ICON_FOLDER ${CMAKE_BINARY_DIR}/icons)
set(ICON_FILES)
foreach(size 48 64 128 256)
  list(APPEND ICON_FILES ${ICON_FOLDER}/${size}x${size}/apps/dg2.png)
endforeach()
add_custom_command(
  OUTPUT ${ICON_FILES}
  COMMAND dg2_icons ${DG2_ROOT}/assets/dg2.png ${ICON_FOLDER}
  DEPENDS dg2_icons ${DG2_ROOT}/assets/dg2.png
  COMMENT "Scaling the icon for the hicolor theme")
add_custom_target(dg2_icon_sizes ALL DEPENDS ${ICON_FILES})
install(DIRECTORY ${ICON_FOLDER}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# dg2_man_page(target description): a manual page made by help2man from the
# program's --help and --version, compressed as Debian keeps them, installed
# in section 1. The program runs on Qt's offscreen platform so that a window
# program can answer without a display.
find_program(HELP2MAN help2man)
function(dg2_man_page target description)
  if(NOT HELP2MAN)
    message(WARNING "help2man not found: no manual page for ${target}")
    return()
  endif()
  set(page ${CMAKE_BINARY_DIR}/man/${target}.1)
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${HELP2MAN} --no-info
            --no-discard-stderr --section=1 --name=${description} --output=${page}
            $<TARGET_FILE:${target}>
    COMMAND gzip -9nf ${page}
    DEPENDS ${target}
    COMMENT "Manual page of ${target}"
    VERBATIM)
  add_custom_target(${target}_man_page ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

dg2_man_page(dg2_scenario "run a scenario script against the simulated DG-2 without a window")
dg2_man_page(dg2 "simulator of the Corvanta Meridial DG-2 engine gauge")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${DG2_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "DG-2 simulator developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop simulator of the Corvanta Meridial DG-2 engine gauge")
set(CPACK_PACKAGE_DESCRIPTION
    "A two-channel engine gauge with a monochrome LCD, a knob, three keys and an alarm lamp, simulated in one window; sliders stand in for the sensor inputs. dg2_scenario runs scripted sessions without a window.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY dg2)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "DG-2 simulator developers <dg2@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the programs link (Qt, libjpeg) become the package's
# dependencies as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
