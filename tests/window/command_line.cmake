# dg2's command line, run as a user runs it: what it prints and the status it
# ends with. Without a display unless a case asks for the offscreen platform.
# Run by ctest with -DDG2=<dg2> -DSCENARIO=<dg2_scenario> -DWORK=<folder>
# -DEXAMPLES=<the example settings files>.
file(MAKE_DIRECTORY ${WORK})
set(failures 0)

# run(<status> <regex the output matches> [OFFSCREEN] [ONE_LINE] [DISPLAY <display>]
#     <arguments>...)
function(run status pattern)
  cmake_parse_arguments(RUN "OFFSCREEN;ONE_LINE" "DISPLAY" "" ${ARGN})
  set(platform --unset=QT_QPA_PLATFORM)
  if(RUN_OFFSCREEN)
    set(platform QT_QPA_PLATFORM=offscreen)
  endif()
  set(display --unset=DISPLAY)
  if(RUN_DISPLAY)
    set(display DISPLAY=${RUN_DISPLAY})
  endif()
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env ${display} --unset=WAYLAND_DISPLAY ${platform}
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
# A display that nobody answers on is named, with the same way out.
run(1 "cannot open the display ':4791' \\(DISPLAY\\).*QT_QPA_PLATFORM=offscreen" ONE_LINE
    DISPLAY :4791)
run(2 "cannot record" ONE_LINE OFFSCREEN --record ${WORK}/no/such/folder/s.scn)

# Played in the window to the end: the scenario's own status.
file(WRITE ${WORK}/menu.scn
     "on\nslider 1 220\nslider 2 220\npasses 1\nkey centre\npasses 1\nexpect page main\n")
file(WRITE ${WORK}/wrong.scn "on\nexpect page max\n")
run(0 "" OFFSCREEN --play ${WORK}/menu.scn --exit --record ${WORK}/played.scn)
run(0 "" OFFSCREEN --speed 4x --zoom 8 --play ${WORK}/menu.scn --exit)
run(2 "--zoom takes a whole number from 2 to 12, not '13'" ONE_LINE --zoom 13)
run(1 "wrong.scn:2: expected page max, found run" OFFSCREEN --play ${WORK}/wrong.scn --exit)
# --on powers on first; the recording of a played session replays headless
# to its own last frame.
run(0 "" OFFSCREEN --on --play ${WORK}/menu.scn --exit)
# With --settings every power-on ends with the file's settings (PSI and deg F
# here), and so does the replay of its recording: its last frame, drawn in
# those units, checks that.
run(0 "" OFFSCREEN --play ${WORK}/menu.scn --exit --record ${WORK}/with\ settings.scn
    --settings ${EXAMPLES}/oil_psi_coolant_f.toml)
# --log plays a sensor log from the power-on: the sliders it moves are
# recorded, and the recording keeps a copy of the log.
file(WRITE ${WORK}/engine.csv "time,channel1,channel2\n0,3.0,92\n4,2.5,140\n")
file(WRITE ${WORK}/long.scn "on\nwait 60\nkey left\nwait 5\nexpect alarm_acknowledged 2\n")
run(0 "" OFFSCREEN --log ${WORK}/engine.csv --play ${WORK}/long.scn --exit --record ${WORK}/logged.scn)
if(NOT EXISTS ${WORK}/logged-log-1.csv)
  message(SEND_ERROR "no copy of the log beside the recording")
endif()
file(WRITE ${WORK}/broken.toml "format = 1\ncontrast = \"high\"\n")
run(2 "broken.toml:[0-9]+: key" ONE_LINE --settings ${WORK}/broken.toml)
foreach(recording played.scn "with settings.scn" logged.scn)
  execute_process(COMMAND ${SCENARIO} ${WORK}/${recording} RESULT_VARIABLE rc
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(SEND_ERROR "replaying ${recording}: status ${rc}\n${out}${err}")
  endif()
endforeach()

run(0 "--record <FILE>" --help-all)
run(2 "unexpected argument 'extra'" ONE_LINE extra)
run(2 "cannot read '${WORK}' \\(--settings\\)" ONE_LINE --settings ${WORK})
# A file that may not be read (the kernel's write-only one, for root too).
run(2 "cannot read '/proc/sys/vm/compact_memory' \\(--settings\\)" ONE_LINE
    --settings /proc/sys/vm/compact_memory)
# A settings file over 1 MB is refused before it is read (300 MB, sparse).
execute_process(COMMAND truncate -s 300M ${WORK}/big.toml)
run(2 "big.toml: 314572800 bytes; a settings file has at most 1 MB \\(1048576 bytes\\)" ONE_LINE
    --settings ${WORK}/big.toml)
file(REMOVE ${WORK}/big.toml)
foreach(speed 1/0 x/2 1/x 0.3)
  run(2 "--speed takes .*not '${speed}'" ONE_LINE --speed ${speed})
endforeach()
run(2 "--zoom takes .*not 'big'" ONE_LINE --zoom big)
run(2 "--zoom takes .*not '1'" ONE_LINE --zoom 1)
# Qt's own -platform stands in for a display; 20/2 is 10x.
run(0 "" -platform offscreen --speed 20/2 --play ${WORK}/menu.scn --exit)

# Every command of a script, played in the window and headless: both print
# the same frames and save the same settings; the window's pictures and
# animations are written.
file(WRITE ${WORK}/window/all.scn "shot blank.png\nkey acw\nkey right\nticks 2\nwait 1\non\n"
     "slider 1 0\nslider 2 0\nvalue 2 85\nsender 1 open\npasses 2\ndump\nkey acw\nkey right\n"
     "passes 1\nsave-settings saved.toml\npower-on-settings ${EXAMPLES}/oil_psi_coolant_f.toml\n"
     "load-settings ${EXAMPLES}/fuel_rotax_oil_lm335.toml\nrecord anim.gif 2\npasses 3\n"
     "stop-record\nshot lcd.png 2\nrecord open.gif\noff\npasses 2\non\npasses 1\ndump\n")
file(COPY ${WORK}/window/all.scn DESTINATION ${WORK}/headless)
file(REMOVE ${WORK}/window/saved.toml ${WORK}/window/open.gif)
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                        ${DG2} --speed 10 --play ${WORK}/window/all.scn --exit
                RESULT_VARIABLE rc OUTPUT_VARIABLE window ERROR_VARIABLE err)
execute_process(COMMAND ${SCENARIO} ${WORK}/headless/all.scn OUTPUT_VARIABLE headless)
file(READ ${WORK}/window/saved.toml window_saved)
file(READ ${WORK}/headless/saved.toml headless_saved)
string(LENGTH "${window}" dumped)
string(FIND "${headless}" "${window}${WORK}/headless/all.scn: ok" at)
if(NOT rc EQUAL 0 OR NOT dumped EQUAL 14720 OR NOT at EQUAL 0
   OR NOT window_saved STREQUAL headless_saved OR NOT EXISTS ${WORK}/window/open.gif)
  message(SEND_ERROR "all.scn played in the window: status ${rc}, ${dumped} bytes of frames\n"
                     "${err}${window}\nheadless:\n${headless}")
endif()

# What a script asks for and cannot have ends the play with status 2.
foreach(case "shot ${WORK}/no/x.png|x.png" "record no/x.gif|x.gif" "stop-record|without a recording"
             "value 1 5|channel 1 is OFF" "load-settings ${WORK}/none.toml|none.toml"
             "power-on-settings /dev/zero|/dev/zero is a device, not a settings file")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 line)
  list(GET case 1 pattern)
  file(WRITE ${WORK}/failing.scn "${line}\n")
  run(2 "failing.scn:1: .*${pattern}" OFFSCREEN --play ${WORK}/failing.scn --exit)
endforeach()
