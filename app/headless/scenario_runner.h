// The headless front end of the scenario language: the instrument in memory
// (HeadlessHost) worked through the driver's controls, with the instrument's
// invariants checked after every pass. The runner dg2_scenario, the tests,
// the fuzzer and the page's test runner use it.
#pragma once

#include <iosfwd>
#include <string>

#include "workbench/scenario/scenario.h"

struct RunnerOptions : ScenarioOptions {
    bool check_invariants = true;  // after every pass
    // `out` also takes the summary line "<path>: ok (N passes)".
};

// Runs a script as it is read: a bad line stops the run with SCENARIO_BAD
// (the lines before it have run by then). `path` names the script in
// messages, and its folder is where the script's files are.
int run_scenario(std::istream& in, const std::string& path, const RunnerOptions& options);

// The same for a file, which must be a regular file: a directory, a device or
// a pipe is refused with SCENARIO_BAD before anything is read.
int run_scenario_file(const std::string& path, const RunnerOptions& options);
