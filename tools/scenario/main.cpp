// dg2_scenario: runs a scenario script against the instrument, headless.
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "runtime/instrument.h"
#include "app/headless/scenario_runner.h"

int main(int argc, char** argv) {
    RunnerOptions options;
    options.out = &std::cout;
    options.err = &std::cerr;
    const char* update = std::getenv("DG2_UPDATE_GOLDENS");
    options.update_goldens = update != nullptr && std::strcmp(update, "1") == 0;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << SCENARIO_HELP;
            return SCENARIO_OK;
        } else if (arg == "--version") {
            // The firmware the runner drives, as its splash shows it.
            std::cout << "dg2_scenario " << FIRMWARE_VERSION << "\n";
            return SCENARIO_OK;
        } else if (arg == "--no-invariants") {
            options.check_invariants = false;
        } else if (arg == "--quiet") {
            options.out = nullptr;
        } else if (path == nullptr && !arg.empty() && arg[0] != '-') {
            path = argv[i];
        } else {
            std::cerr << "dg2_scenario: unexpected argument '" << arg << "' (see --help)\n";
            return SCENARIO_BAD;
        }
    }
    if (path == nullptr) {
        std::cerr << "dg2_scenario: no scenario given (see --help)\n";
        return SCENARIO_BAD;
    }
    return run_scenario_file(path, options);
}
