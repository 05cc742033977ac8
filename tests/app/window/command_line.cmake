# dg2's command line, run as a user runs it: what it prints and the status it
# ends with. Without a display unless a case asks for the offscreen platform.
# Run by ctest with -DDG2=<dg2> -DSCENARIO=<dg2_scenario> -DWORK=<folder>
# -DEXAMPLES=<the example settings files>.
file(MAKE_DIRECTORY ${WORK})
set(failures 0)

# run(<status> <regex the output matches> [OFFSCREEN] [ONE_LINE] <arguments>...)
function(run status pattern)
  cmake_parse_arguments(RUN "OFFSCREEN;ONE_LINE" "" "" ${ARGN})
  set(platform --unset=QT_QPA_PLATFORM)
  if(RUN_OFFSCREEN)
    set(platform QT_QPA_PLATFORM=offscreen)
  endif()
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY ${platform}
            ${DG2} ${RUN_UNPARSED_ARGUMENTS}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
  set(text "${out}${err}")
  string(REGEX MATCHALL "\n" lines "${text}")
  list(LENGTH lines count)
  if(NOT rc STREQUAL status OR NOT text MATCHES "${pattern}" OR (RUN_ONE_LINE AND NOT count EQUAL 1))
    message(SEND_ERROR "dg2 ${RUN_UNPARSED_ARGUMENTS}: status ${rc} (wanted ${status}), "
                       "output:\n${text}(wanted to match '${pattern}')")
  endif()
endfunction()

run(0 "--record <FILE>" --help)
run(0 "^dg2 1.16\n$" --version)
run(2 "Unknown option 'bogus'" ONE_LINE --bogus)
run(2 "Missing value after '--play'" ONE_LINE --play)
run(2 "cannot read '${WORK}/none.scn'" ONE_LINE --play ${WORK}/none.scn)
run(2 "--exit goes with --play" ONE_LINE --exit)
file(WRITE ${WORK}/bad.scn "on\nkey sideways\n")
run(2 "bad.scn:2: unknown key 'sideways'" ONE_LINE --play ${WORK}/bad.scn)
run(2 "--speed takes 0.25, 0.5, 1, 2, 4 or 10, not '3'" ONE_LINE --speed 3)
run(1 "no display.*QT_QPA_PLATFORM=offscreen" ONE_LINE)
run(2 "cannot record" ONE_LINE OFFSCREEN --record ${WORK}/no/such/folder/s.scn)

# Played in the window to the end: the scenario's own status.
file(WRITE ${WORK}/menu.scn
     "on\nslider 1 220\nslider 2 220\npasses 1\nkey centre\npasses 1\nexpect page main\n")
file(WRITE ${WORK}/wrong.scn "on\nexpect page max\n")
run(0 "" OFFSCREEN --play ${WORK}/menu.scn --exit --record ${WORK}/played.scn)
run(0 "" OFFSCREEN --speed 4x --play ${WORK}/menu.scn --exit)
run(1 "wrong.scn:2: expected page max, found run" OFFSCREEN --play ${WORK}/wrong.scn --exit)
# --on powers on first; the recording of a played session replays headless
# to its own last frame.
run(0 "" OFFSCREEN --on --play ${WORK}/menu.scn --exit)
# With --settings every power-on ends with the file's settings (PSI and deg F
# here), and so does the replay of its recording: its last frame, drawn in
# those units, checks that.
run(0 "" OFFSCREEN --play ${WORK}/menu.scn --exit --record ${WORK}/with\ settings.scn
    --settings ${EXAMPLES}/oil_psi_coolant_f.toml)
file(WRITE ${WORK}/broken.toml "format = 1\ncontrast = \"high\"\n")
run(2 "broken.toml:[0-9]+: key" ONE_LINE --settings ${WORK}/broken.toml)
foreach(recording played.scn "with settings.scn")
  execute_process(COMMAND ${SCENARIO} ${WORK}/${recording} RESULT_VARIABLE rc
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(SEND_ERROR "replaying ${recording}: status ${rc}\n${out}${err}")
  endif()
endforeach()
