// Commands written as script lines, as the parser reads them back: the
// session recorder writes its scripts through these.
#pragma once

#include <string>

#include "workbench/scenario/command.h"

// One command as its line (an expect-text with its picture rows), each line
// ended by a newline.
std::string scenario_text(const ScenarioCommand& c);

// expect-text 0 0 with the whole frame buffer as its picture.
std::string whole_frame_expectation();
