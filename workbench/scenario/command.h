// Scenarios: a small line-by-line script of what a user does with the
// instrument (power, keys, sliders, check boxes, the passing of time) and what
// the LCD and the instrument's state must then be. One driver
// (driver.h) runs a script against any front end through its controls, so a
// run is exact and repeatable in each of them: time is counted in ticks and
// passes, never measured.
//
// To add a command: an Op below, its words in parser.cpp, its line in
// writer.cpp if a recording writes it, its action in ScenarioDriver::execute
// (driver.cpp) and its paragraph in SCENARIO_HELP (help.cpp). Files it writes
// go through write_file_atomically or AtomicFile (workbench/files/atomic_file.h).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "firmware/core/keys.h"
#include "firmware/core/types.h"

struct ScenarioCommand {
    enum class Op {
        On,            // a = 1: resume at the first splash frame instead of after the first pass
        Off,           //
        Key,           // a = key code
        Slider,        // a = channel index 0/1, b = position
        Calibrate,     // a = 0/1
        KeyFast,       // a = 0/1
        Ticks,         // a = count
        Passes,        // a = count
        Wait,          // a = ticks, each followed by PASSES_PER_TICK passes
        Expect,        // word = variable, value = expected text
        ExpectGolden,  // word = file
        ExpectText,    // a = x, b = y, rows = picture rows
        Shot,          // word = file, a = scale
        Record,        // word = file, a = scale
        StopRecord,    //
        Dump,
        SaveSettings,     // word = file
        LoadSettings,     // word = file
        Value,            // a = channel index 0/1, word = number in the channel's unit
        Sender,           // a = channel index 0/1, b = count of the fault
        PowerOnSettings,  // word = file
    };
    Op op = Op::Dump;
    int line = 0;
    long a = 0;
    long b = 0;
    std::string word;
    std::string value;
    std::vector<std::string> rows;
};

// Lines are cut at this many bytes: a longer line is a bad line, not a reason
// to hold a whole file in memory.
constexpr size_t MAX_LINE_LENGTH = 4096;

// The window's pace, which `wait` follows: a 100 ms tick against a 20 ms pass.
constexpr int PASSES_PER_TICK = 5;

// Exit status of a run: all expectations held, one failed (or an invariant
// broke), or the script has a bad line or a file could not be read or written.
constexpr int SCENARIO_OK = 0;
constexpr int SCENARIO_FAILED = 1;
constexpr int SCENARIO_BAD = 2;

// The keys as scripts name them ("centre", "cw", ...); nullptr for a code no
// control sends, which a script gives as a number.
const char* scenario_key_name(KeyCode key);

// What `dg2_scenario --help` prints: the language in full.
extern const char SCENARIO_HELP[];
