// Scenarios: a small line-by-line script of what a user does with the window
// (power, keys, sliders, check boxes, the passing of time) and what the LCD
// and the instrument's state must then be. The runner drives the same
// power-on and main loop as the window, through a headless host whose
// process_messages reads the script, so a run is exact and repeatable: time is
// counted in ticks and passes, never measured.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

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
        Dump,
    };
    Op op = Op::Dump;
    int line = 0;
    long a = 0;
    long b = 0;
    std::string word;
    std::string value;
    std::vector<std::string> rows;
};

struct Scenario {
    std::string path;       // as given, for messages
    std::string directory;  // files named in the script are relative to it
    std::vector<ScenarioCommand> commands;
};

// The window's pace: a 100 ms tick against a 20 ms pass.
constexpr int PASSES_PER_TICK = 5;

// Reads a whole script. On a bad line returns false with
// "<path>:<line>: <what is wrong>" in `error`.
bool parse_scenario(std::istream& in, const std::string& path, Scenario& scenario,
                    std::string& error);

struct ScenarioOptions {
    bool check_invariants = true;  // after every pass
    bool update_goldens = false;   // expect-golden writes its file instead of comparing
    std::ostream* out = nullptr;   // dump output and the summary line
    std::ostream* err = nullptr;   // failures
    // Called at every splash frame and pass, before the script goes on there
    // (tests compare the frames with the window's).
    std::function<void()> at_message_point;
};

// Exit status of a run: all expectations held, one failed (or an invariant
// broke), or a file could not be read or written.
constexpr int SCENARIO_OK = 0;
constexpr int SCENARIO_FAILED = 1;
constexpr int SCENARIO_BAD = 2;

int run_scenario(const Scenario& scenario, const ScenarioOptions& options);

// Checks one expect, expect-golden or expect-text line against the instrument
// as it stands (`lamp`: the lamp's colour word). A failure is written to `err`
// as "<path>:<line>: ..."; returns SCENARIO_OK, SCENARIO_FAILED, or
// SCENARIO_BAD when a golden cannot be read or written.
int check_expectation(const Scenario& scenario, const ScenarioCommand& c, u32 lamp,
                      bool update_goldens, std::ostream& err);

// The frame buffer as 64 lines of 114 characters, '#' lit and '.' unlit,
// each ended by a newline: the golden file format.
std::string frame_as_text();

// What `dg2_scenario --help` prints: the language in full.
extern const char SCENARIO_HELP[];
