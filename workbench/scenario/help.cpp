#include "workbench/scenario/command.h"

const char SCENARIO_HELP[] = R"(Usage: dg2_scenario [--no-invariants] [--quiet] SCENARIO

Runs a scenario against the instrument without a window and exits with 0 when
every expectation held, 1 when one failed (the run stops there), 2 when the
script has a bad line (named with its line; the lines before it have run),
when SCENARIO is no script (a directory, a device, a pipe, or a file without a
single command) or when a file cannot be read or written.

A scenario has one command per line, of at most 4096 bytes; it is read as it
runs, so its length costs no memory. '#' at the start of a line or after a
blank (space or tab) starts a comment, so "shot a#b.png" writes a#b.png.
Blank lines are ignored; a UTF-8 byte-order mark at the start is skipped.
Files are named relative to the scenario's own folder, and their names hold no
control characters. A file is written to a temporary file beside it and
renamed over it when complete, so a failed write leaves the old file as it was.

  on                 press "ON" (also while on: a nested power-on). The script
                     goes on once the splash is over and the first pass of the
                     main loop has been drawn.
  on splash          the same, but the script goes on after the first splash
                     frame (80 frames make the splash).
  off                press "OFF". The instrument stops at the end of the pass;
                     the script goes on at the next splash frame or pass, or
                     once the instrument has stopped.
  key NAME           click a key: centre, cw (knob clockwise), acw (knob
                     anticlockwise), left ("F1"), right ("F2"), or a raw code
                     1..255. Dropped while another key is pending.
  slider 1|2 VALUE   move the channel's slider to VALUE (0..4096). The
                     sliders start where the window's do: 1 at 1, 2 at 0.
  calibrate on|off   tick or clear "Calibrate".
  keyfast on|off     tick or clear "KeyFast".
  ticks N            N ticks of the 100 ms timer at once, with no pass between.
  passes N           let N passes run (splash frames count as passes).
                     While the instrument is off nothing happens.
  wait N             N ticks, each followed by 5 passes: the window's own pace
                     of one tick per 100 ms and one pass per 20 ms.
  expect NAME VALUE  a variable of the instrument has that value. NAME is one
                     of: page (run, max, main, display, contrast, channel,
                     curve, adc, calibrate, message), lamp (red, maroon),
                     depth (nesting of "ON", 0 when off), pending_key,
                     key_step, menu_cursor, menu_edit, shown_channel,
                     blink_phase, auto_cycle_count, alarm_active,
                     alarm_acknowledged, input_a, input_b, raw_reading1/2,
                     pressure1/2, pressure_max1/2, temperature1/2,
                     temperature_max1/2, channel_kind1/2, contrast, backlight,
                     display_layout, bar_orientation, cycle_mode,
                     display_time_index, edit_channel, calibrate_enabled,
                     cal_reading_4ma, cal_reading_20ma.
  expect-golden FILE the frame buffer equals FILE: 64 lines of 114 characters,
                     '#' lit, '.' unlit. With DG2_UPDATE_GOLDENS=1 in the
                     environment the file is written instead (look at it
                     before committing it).
  expect-text X Y    the pixels from column X, row Y on equal the picture rows
  | ..##..#.         that follow, one row per line starting with '|' ('#' lit,
  | .#..#.#.         '.' unlit); all rows have the same width.
  shot FILE [SCALE]  write the LCD picture as the window shows it (228 x 128,
                     each LCD pixel a 2 x 2 block) to a PNG file, enlarged
                     SCALE times (1..8, default 1).
  record FILE [SCALE]
                     start an animated GIF of the LCD picture as `shot`
                     shows it: a frame at each change, delayed by the time
                     the picture stood on the script's clock (100 ms a tick;
                     the passes after a tick 20 ms each, as the window paces
                     them, up to the next tick). A running recording is
                     ended first. The file appears when the recording ends.
  stop-record        end the recording; the end of the script ends one too.
  dump               print the frame buffer as text.
  save-settings FILE write the instrument's settings to FILE (a TOML
                     settings file, as the window's "Save settings...").
  load-settings FILE put the settings of FILE into the instrument; the next
                     pass uses them. A file that does not load (unknown,
                     missing or out-of-range key, bad TOML) is a bad line
                     naming the file's line and key. While the instrument
                     is off, the next "on" replaces them with the factory
                     settings.
  power-on-settings FILE
                     every later power-on ends with the settings of FILE
                     instead of the factory ones, applied after the splash
                     just before the first pass (as dg2 --settings FILE).
  value 1|2 NUMBER   move the channel's slider to the count at which the
                     channel shows NUMBER in its unit (4.5 for 4.5 bar), as
                     it is set up now. A number it cannot show, or an OFF
                     channel, is a bad line giving the range it shows.
  sender 1|2 open|short
                     move the slider to an end of the input: open (4096,
                     "CHECK SENDER" for the senders that report it) or
                     short (0).

Unless --no-invariants is given, the instrument's globals are checked after
every pass (pending key consumed, cursor on one of the page's lines, settings
in range, picture equal to the frame buffer); a broken rule fails the run.
)";
