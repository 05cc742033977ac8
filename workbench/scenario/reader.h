// Reading a script as a stream of commands.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "workbench/scenario/parser.h"

// A script read one command at a time, so a run holds one command per
// nesting of "ON" whatever the script's length: an expect-text comes with its
// picture rows, so only that command reads a line ahead.
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
    int lines_read() const { return line_; }

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

// The whole script as a list, for checks that parse without running.
struct Scenario {
    std::string path;       // as given, for messages
    std::string directory;  // files named in the script are relative to it
    std::vector<ScenarioCommand> commands;
};

// On a bad line returns false with "<path>:<line>: <what is wrong>" in `error`.
bool parse_scenario(std::istream& in, const std::string& path, Scenario& scenario,
                    std::string& error);

// Opens a script file for reading. It must be a regular file: a directory, a
// device or a pipe is refused before anything is read (reading /dev/zero
// would never end, opening a pipe would wait for a writer). False with
// "<path> is a directory, not a scenario" or "cannot read <path>: <reason>".
bool open_scenario_file(const std::string& path, std::unique_ptr<std::istream>& in,
                        std::string& error);

// The folder a script's files are relative to: the script's own.
std::string scenario_directory(const std::string& path);
// A file named in a script: absolute, or relative to the script's folder.
std::string scenario_file(const std::string& directory, const std::string& name);
