#include "app/headless/scenario_runner.h"

#include <iostream>
#include <optional>

#include "app/headless/headless_host.h"
#include "app/headless/invariants.h"
#include "firmware/firmware.h"
#include "runtime/instrument.h"

namespace {

// The controls are the host's flags and the runtime's procedures; the
// script goes on inside process_messages, where the window's event loop
// would take the user's clicks.
class HeadlessControls : public HeadlessHost, public ScenarioControls {
public:
    HeadlessControls(std::istream& in, const std::string& path, const RunnerOptions& options)
        : options_(options), driver_(*this, in, path, options) {}

    int run() {
        driver_.resume();
        const int status = driver_.status();
        if (status == SCENARIO_OK && options_.out != nullptr)
            *options_.out << driver_.path() << ": ok (" << passes_ << " passes)\n";
        return status;
    }

    // Host.
    void process_messages() override {
        // Set afresh at every point: a nested "ON" comes back here from
        // inside the script before the outer call returns.
        pass_ended_ = passes_shown != shows_checked_;
        if (pass_ended_) {
            shows_checked_ = passes_shown;
            ++passes_;
        }
        driver_.message_point();
        // A run that has ended stops the instrument at every level.
        if (driver_.finished()) request_power_off();
    }
    void before_first_pass() override {
        if (power_on_settings_) settings = *power_on_settings_;
    }

    // ScenarioControls.
    void click_on() override {
        checker_.restart();
        power_on_and_run(*this);
    }
    void click_off() override { request_power_off(); }
    void press(KeyCode key) override { press_key(key); }
    void move_slider(u8 channel, u32 position) override { set_input(channel, position); }
    void set_calibrate(bool ticked) override { calibrate = ticked; }
    void set_keyfast(bool ticked) override { keyfast = ticked; }
    void tick() override { ::tick(); }
    u32 lamp_colour() override { return lamp; }
    std::vector<u8> shown_lcd() override {
        std::vector<u8> lit(static_cast<size_t>(LCD_WIDTH) * LCD_HEIGHT);
        for (int y = 0; y < LCD_HEIGHT; ++y)
            for (int x = 0; x < LCD_WIDTH; ++x)
                lit[static_cast<size_t>(y) * LCD_WIDTH + x] = picture_lit(2 * x, 2 * y) ? 1 : 0;
        return lit;
    }
    void set_power_on_settings(const InstrumentSettings& loaded) override {
        power_on_settings_ = loaded;
    }
    std::string check_point() override {
        if (!options_.check_invariants || !pass_ended_) return {};
        const char* broken = checker_.after_pass(*this);
        if (broken == nullptr) return {};
        return "after pass " + std::to_string(passes_) + ", on the " + page_name(current_page) +
               " page: " + broken;
    }
    void finished(int /*status*/, const std::string& /*message*/) override {
        if (instrument_running_depth() > 0) request_power_off();
    }

private:
    const RunnerOptions& options_;
    ScenarioDriver driver_;
    InvariantChecker checker_;
    std::optional<InstrumentSettings> power_on_settings_;
    long shows_checked_ = 0;
    long passes_ = 0;
    bool pass_ended_ = false;
};

}  // namespace

int run_scenario(std::istream& in, const std::string& path, const RunnerOptions& options) {
    int status = SCENARIO_OK;
    {
        HeadlessControls controls(in, path, options);
        status = controls.run();
    }
    // The host's picture goes away with it.
    lcd_attach_canvas(nullptr);
    return status;
}

int run_scenario_file(const std::string& path, const RunnerOptions& options) {
    std::unique_ptr<std::istream> in;
    std::string error;
    if (!open_scenario_file(path, in, error)) {
        (options.err != nullptr ? *options.err : std::cerr) << "dg2_scenario: " << error << "\n";
        return SCENARIO_BAD;
    }
    return run_scenario(*in, path, options);
}
