// One line of a script into a command.
#pragma once

#include <string>

#include "workbench/scenario/command.h"

// What one line of a script is.
enum class ScenarioLine {
    Blank,    // nothing but blanks, or a comment
    Command,  // a command, in `command`
    Row,      // a picture row of expect-text ("| ..##.."), in `row`
    Bad,      // what is wrong is in `error`
};

// Parses one line (without its newline). `command.line` is left to the
// caller. A picture row is checked here only for its characters; its place
// after an expect-text is the caller's to check. Every command's arguments
// are checked here, so a typo is a bad line rather than a failure halfway
// through a run.
ScenarioLine parse_scenario_line(const std::string& text, ScenarioCommand& command,
                                 std::string& row, std::string& error);
