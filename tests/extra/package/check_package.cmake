cmake_minimum_required(VERSION 3.25)
# Builds the package with cpack into OUT and checks its list of contents.
#   cmake -DBUILD=build -DOUT=folder -DMAN_PAGES="dg2|dg2_scenario" -P check_package.cmake
find_program(DPKG_DEB dpkg-deb)
if(NOT DPKG_DEB)
  message("dpkg-deb not found: the package is not checked")
  return()
endif()
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND cpack -G DEB -B ${OUT} WORKING_DIRECTORY ${BUILD}
                RESULT_VARIABLE exit_code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT exit_code EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${out}${err}")
endif()
file(GLOB packages ${OUT}/*.deb)
list(LENGTH packages count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one package in ${OUT}, found: ${packages}")
endif()
execute_process(COMMAND ${DPKG_DEB} -c ${packages} RESULT_VARIABLE exit_code OUTPUT_VARIABLE listing)
if(NOT exit_code EQUAL 0)
  message(FATAL_ERROR "dpkg-deb cannot read ${packages}")
endif()

set(expected
    ./usr/bin/dg2
    ./usr/bin/dg2_scenario
    ./usr/share/applications/dg2.desktop
    ./usr/share/doc/dg2-simulator/copyright)
foreach(size 48 64 128 256)
  list(APPEND expected ./usr/share/icons/hicolor/${size}x${size}/apps/dg2.png)
endforeach()
string(REPLACE "|" ";" MAN_PAGES "${MAN_PAGES}")
foreach(program ${MAN_PAGES})
  list(APPEND expected ./usr/share/man/man1/${program}.1.gz)
endforeach()

# Each line of the listing ends with the path; a file, not an empty one.
set(missing)
foreach(path ${expected})
  string(REGEX MATCH "[-l]r[^\n]* ([0-9]+) [0-9-]+ [0-9:]+ ${path}\n" line "${listing}")
  if(NOT line OR CMAKE_MATCH_1 EQUAL 0)
    list(APPEND missing ${path})
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "missing or empty in ${packages}: ${missing}\n${listing}")
endif()
message("${packages}: every expected file present")
