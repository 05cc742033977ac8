// libFuzzer target: an input is the text of a scenario script. Whatever the
// bytes, the reader either hands back commands that the writer writes back to
// the same commands, or names a bad line; it never crashes, hangs or
// reads past its input. A script that parses and only presses, slides, sets
// values and sender faults, ramps, ticks and lets passes run, within a small
// budget, is then run as well, with the instrument's invariants checked after
// every pass: such a script cannot fail an expectation, so a failed run is a broken
// rule and aborts. (It may still stop at a bad line: a value the channel
// cannot show, an "on" nested too deep.) Scripts that name files (shot,
// record, expect-golden, save-settings, load-settings, power-on-settings,
// play-log) are never run: their names are arbitrary.
//
// Seeds: fuzz/corpus/scenario and the test scripts in tests/scenarios.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app/headless/scenario_runner.h"
#include "firmware/firmware.h"
#include "runtime/instrument.h"

namespace {

constexpr char PATH[] = "fuzz.scn";
// A run stays short: its passes (splash frames included) and ticks. The
// passes allow for "on" nested past the runner's limit, which is a bad line.
constexpr long PASS_BUDGET = (MAX_POWER_ON_DEPTH + 2) * (SPLASH_FRAMES + 1);
constexpr long TICK_BUDGET = 5000;

[[noreturn]] void broken(const char* what, int line) {
    std::fprintf(stderr, "%s (line %d)\n", what, line);
    std::abort();
}

// What the parser hands out, the writer writes back as lines that parse to
// the same command: the recorder and the parser speak one language.
// No word a command keeps (a file name above all) holds a control character.
void check_round_trip(const ScenarioCommand& c) {
    for (const char ch : c.word)
        if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F)
            broken("control character in a word", c.line);
    std::istringstream in(scenario_text(c));
    ScenarioReader reader(in, PATH);
    ScenarioCommand again;
    if (!reader.next(again)) broken(reader.error().c_str(), c.line);
    if (again.op != c.op || again.a != c.a || again.b != c.b || again.word != c.word ||
        again.value != c.value || again.rows != c.rows)
        broken("the written command reads back differently", c.line);
}

// Whether the script only acts and lets time pass, within the budget.
bool runnable(const Scenario& scenario) {
    using Op = ScenarioCommand::Op;
    long passes = 0, ticks = 0;
    for (const ScenarioCommand& c : scenario.commands) {
        switch (c.op) {
            case Op::On: passes += SPLASH_FRAMES + 1; break;
            case Op::Passes: passes += c.a; break;
            case Op::Ticks: ticks += c.a; break;
            case Op::Wait:
                ticks += c.a;
                passes += c.a * PASSES_PER_TICK;
                break;
            case Op::Ramp:
                ticks += c.b;
                passes += c.b * PASSES_PER_TICK;
                break;
            case Op::Off:
            case Op::Key:
            case Op::Slider:
            case Op::Calibrate:
            case Op::KeyFast:
            case Op::Value:
            case Op::Sender: break;
            default: return false;
        }
        if (passes > PASS_BUDGET || ticks > TICK_BUDGET) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    int lines = 1;
    for (const char ch : text)
        lines += ch == '\n' ? 1 : 0;

    std::istringstream in(text);
    Scenario scenario;
    std::string error;
    const bool parsed = parse_scenario(in, PATH, scenario, error);
    if (parsed != error.empty()) broken("the result and the error disagree", 0);
    if (!parsed) {
        if (error.rfind(std::string(PATH) + ":", 0) != 0) broken("error without the path", 0);
        return 0;
    }
    int previous = 0;
    for (const ScenarioCommand& c : scenario.commands) {
        if (c.line <= previous || c.line > lines) broken("line number out of order", c.line);
        previous = c.line;
        check_round_trip(c);
    }

    if (!runnable(scenario)) return 0;
    reset_all_state();
    std::istringstream script(text);
    std::ostringstream out, err;
    RunnerOptions options;
    options.out = &out;
    options.err = &err;
    const int status = run_scenario(script, PATH, options);
    lcd_attach_canvas(nullptr);
    if (status == SCENARIO_FAILED) {
        std::fprintf(stderr, "%s", err.str().c_str());
        broken("a script of actions alone did not run", 0);
    }
    if (instrument_running_depth() != 0) broken("the instrument is still on", 0);
    return 0;
}
