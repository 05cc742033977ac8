// Scenarios: a small line-by-line script of what a user does with the window
// (power, keys, sliders, check boxes, the passing of time) and what the LCD
// and the instrument's state must then be. The runner drives the same
// power-on and main loop as the window, through a headless host whose
// process_messages reads the script, so a run is exact and repeatable: time is
// counted in ticks and passes, never measured.
#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "firmware/core/types.h"

// To add a command: an Op below, its words in parse_command() and its action
// in ScenarioHost::execute() (both in scenario.cpp), and its paragraph in
// SCENARIO_HELP. Files it writes go through write_file_atomically or
// AtomicFile (workbench/files/atomic_file.h); file names are checked by
// file_name_word().
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

// A script read one command at a time, so a run holds one command per
// nesting of "ON" whatever the script's length. Lines are cut at
// MAX_LINE_LENGTH bytes: a longer line is a bad line, not a reason to hold a
// whole file in memory.
constexpr size_t MAX_LINE_LENGTH = 4096;

// What one line of a script is.
enum class ScenarioLine {
    Blank,    // nothing but blanks, or a comment
    Command,  // a command, in `command`
    Row,      // a picture row of expect-text ("| ..##.."), in `row`
    Bad,      // what is wrong is in `error`
};

// Parses one line (without its newline). `command.line` is left to the
// caller. A picture row is checked here only for its characters; its place
// after an expect-text is the caller's to check.
ScenarioLine parse_scenario_line(const std::string& text, ScenarioCommand& command,
                                 std::string& row, std::string& error);

// Reads a script from a stream and hands out complete commands: an
// expect-text comes with its picture rows, so only that command reads a line
// ahead.
class ScenarioReader {
public:
    ScenarioReader(std::istream& in, std::string path);

    // The next command. False at the end of the script or at a bad line; then
    // error() holds "<path>:<line>: <what is wrong>" (empty at a plain end).
    // A script without a single command is bad too.
    bool next(ScenarioCommand& command);

    const std::string& error() const { return error_; }
    const std::string& path() const { return path_; }
    const std::string& directory() const { return directory_; }  // files are relative to it

private:
    // Reads and parses the next line; false at the end of the stream.
    bool read_line(ScenarioLine& kind, ScenarioCommand& command, std::string& row,
                   std::string& why);
    bool bad(int line, const std::string& why);

    std::istream& in_;
    std::string path_;
    std::string directory_;
    std::string text_;   // the line being read
    std::string row_;    // the picture row being read
    int line_ = 0;       // number of the last line read
    long commands_ = 0;  // handed out so far
    bool ended_ = false;
    // The command that ended an expect-text's rows, handed out next.
    bool have_ahead_ = false;
    int ahead_line_ = 0;
    ScenarioCommand ahead_command_;
    std::string error_;
};

// The whole script as a list, for checks that parse without running (the
// runner itself reads as it goes). On a bad line returns false with
// "<path>:<line>: <what is wrong>" in `error`.
struct Scenario {
    std::string path;       // as given, for messages
    std::string directory;  // files named in the script are relative to it
    std::vector<ScenarioCommand> commands;
};

// The window's pace: a 100 ms tick against a 20 ms pass.
constexpr int PASSES_PER_TICK = 5;

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

// Runs a script as it is read: a bad line stops the run with SCENARIO_BAD
// (the lines before it have run by then). `path` names the script in
// messages, and its folder is where the script's files are.
int run_scenario(std::istream& in, const std::string& path, const ScenarioOptions& options);

// The same for a file, which must be a regular file: a directory, a device or
// a pipe is refused with SCENARIO_BAD before anything is read.
int run_scenario_file(const std::string& path, const ScenarioOptions& options);

// Checks one expect, expect-golden or expect-text line against the instrument
// as it stands (`lamp`: the lamp's colour word; goldens are relative to
// `directory`). A failure is written to `err` as "<path>:<line>: ..."; returns
// SCENARIO_OK, SCENARIO_FAILED, or SCENARIO_BAD when a golden cannot be read
// or written. The runner and the window's player share it.
int check_expectation(const std::string& path, const std::string& directory,
                      const ScenarioCommand& c, u32 lamp, bool update_goldens, std::ostream& err);

// The frame buffer as 64 lines of 114 characters, '#' lit and '.' unlit,
// each ended by a newline: the golden file format.
std::string frame_as_text();

// What `dg2_scenario --help` prints: the language in full.
extern const char SCENARIO_HELP[];
