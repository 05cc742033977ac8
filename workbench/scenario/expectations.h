// What a script expects of the instrument: a variable's value, a whole frame
// (a golden file), or a block of pixels.
#pragma once

#include <iosfwd>
#include <string>

#include "workbench/scenario/command.h"

// Whether `expect NAME VALUE` names a variable and a value it can hold;
// false with what is wrong in `why`. The parser calls it, so a typo is a bad
// line, not a failed expectation.
bool valid_expectation(const std::string& name, const std::string& value, std::string& why);

// Checks one expect, expect-golden or expect-text line against the instrument
// as it stands (`lamp`: the lamp's colour word; goldens are relative to
// `directory`). A failure is written to `err` as "<path>:<line>: ..."; returns
// SCENARIO_OK, SCENARIO_FAILED, or SCENARIO_BAD when a golden cannot be read
// or written.
int check_expectation(const std::string& path, const std::string& directory,
                      const ScenarioCommand& c, u32 lamp, bool update_goldens, std::ostream& err);

// The frame buffer as 64 lines of 114 characters, '#' lit and '.' unlit,
// each ended by a newline: the golden file format.
std::string frame_as_text();
