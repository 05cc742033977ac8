// Commands written as script lines, as the parser reads them back: the
// session recorder writes its scripts through these.
#pragma once

#include <string>

#include "workbench/scenario/command.h"

// One command as its line (an expect-text with its picture rows), each line
// ended by a newline.
std::string scenario_text(const ScenarioCommand& c);

// A ramp's length in tenths of a second as its script writes it: "12.5".
std::string ramp_seconds_text(long tenths);

// expect-text 0 0 with the whole frame buffer as its picture.
std::string whole_frame_expectation();
