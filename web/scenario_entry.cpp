// The scenario runner inside the browser: the same runner code, firmware and
// runtime as tools/scenario, compiled to WebAssembly, so a script run here and
// natively can be compared frame for frame. The scripts and the goldens they
// name are embedded under their repository paths.
#include <emscripten.h>

#include <sstream>
#include <string>

#include "app/headless/scenario_runner.h"

namespace {
std::string output;
std::string errors;
}  // namespace

extern "C" {

// Runs the script `text` as if read from `path` and returns its exit status
// (0 ok, 1 failed, 2 bad); what it printed is read with dg2_scenario_output
// and dg2_scenario_errors.
EMSCRIPTEN_KEEPALIVE int dg2_run_scenario(const char* path, const char* text) {
    std::istringstream in(text != nullptr ? text : "");
    std::ostringstream out;
    std::ostringstream err;
    RunnerOptions options;
    options.out = &out;
    options.err = &err;
    const int status = run_scenario(in, path != nullptr ? path : "", options);
    output = out.str();
    errors = err.str();
    return status;
}

EMSCRIPTEN_KEEPALIVE const char* dg2_scenario_output() { return output.c_str(); }
EMSCRIPTEN_KEEPALIVE const char* dg2_scenario_errors() { return errors.c_str(); }
}
