// The sensor-log reader and player on arbitrary bytes, with the factory
// channels (bar, degrees C): reading must never crash, hang or trip a
// sanitizer; every refusal names the log and its line; and a log the whole-
// file check accepts plays to its end without a bad line, in as many steps as
// its length in ticks.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "app/headless/fake_host.h"
#include "firmware/firmware.h"
#include "workbench/sensors/sensor_log.h"

namespace {

// Longer logs take their time to play and find nothing new.
constexpr double PLAYED_SECONDS_MAX = 2000.0;

void refused_well(const std::string& error) {
    if (error.rfind("fuzz.csv:", 0) != 0) {
        std::fprintf(stderr, "a refusal without the log's name: %s\n", error.c_str());
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size > 1 << 16) return 0;
    reset_all_state();
    load_factory_defaults();
    const std::string text(reinterpret_cast<const char*>(data), size);

    std::istringstream whole(text);
    double seconds = -1.0;
    std::string error;
    const bool checked = check_sensor_log(whole, "fuzz.csv", seconds, error);
    if (!checked) refused_well(error);
    if (checked && (seconds < 0.0 || seconds > SENSOR_LOG_SECONDS_MAX)) std::abort();

    SensorLogPlayer player;
    if (!player.start(std::make_unique<std::istringstream>(text), "fuzz.csv",
                      checked ? seconds : -1.0, error)) {
        refused_well(error);
        if (checked) std::abort();
        return 0;
    }
    const long steps_max = static_cast<long>(PLAYED_SECONDS_MAX * 10.0) + 2;
    long steps = 0;
    SensorCounts counts;
    while (!player.ended() && steps < steps_max) {
        ++steps;
        if (!player.step(counts, error)) {
            refused_well(error);
            if (checked) {
                std::fprintf(stderr, "checked, then refused while playing: %s\n", error.c_str());
                std::abort();
            }
            return 0;
        }
        for (int c = 0; c < 2; ++c)
            if (counts.set[c] && counts.count[c] > INPUT_FULL_SCALE) std::abort();
    }
    // A checked log ends at its last row: a step at its first row and one
    // at every tick up to the last.
    if (checked && seconds <= PLAYED_SECONDS_MAX &&
        (!player.ended() || std::fabs(player.position() - seconds) > 1e-6 ||
         steps != static_cast<long>(std::ceil(seconds * 10.0 - 1e-5)) + 1)) {
        std::fprintf(stderr, "%ld steps for %g s, ended at %g\n", steps, seconds,
                     player.position());
        std::abort();
    }
    return 0;
}
