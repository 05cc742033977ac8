// A front end whose "ON" returns at once, as the page's does (its loop
// sleeps between passes): the driver gives "ON" through click_on_returning()
// and goes on when the front end says that "ON" has stopped. It must see the
// headless runner's frames at the same points, nested "ON"s and "OFF"s in the
// splash and in the main loop included.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/headless/headless_host.h"
#include "app/headless/scenario_runner.h"
#include "firmware/firmware.h"
#include "runtime/instrument.h"

namespace {

class ReturningOn : public HeadlessHost, public ScenarioControls {
public:
    ReturningOn(std::istream& in, std::ostream& out) : driver_(*this, in, "on.scn", options(out)) {}

    // The front end's event loop: an "ON" asked for while off runs from here.
    int run() {
        driver_.resume();
        while (!driver_.finished() && ons_asked_ > 0)
            run_asked_ons();
        return driver_.status();
    }

    void process_messages() override {
        driver_.message_point();
        if (driver_.finished()) request_power_off();
        // One asked for while on nests here, as the page's loop runs it.
        run_asked_ons();
    }

    bool click_on_returning() override {
        ++ons_asked_;
        return true;
    }
    void click_on() override { ADD_FAILURE() << "click_on() where ON returns at once"; }
    void click_off() override { request_power_off(); }
    void press(KeyCode key) override { press_key(key); }
    void move_slider(u8 channel, u32 position) override { set_input(channel, position); }
    void set_calibrate(bool ticked) override { calibrate = ticked; }
    void set_keyfast(bool ticked) override { keyfast = ticked; }
    void tick() override { ::tick(); }
    u32 lamp_colour() override { return lamp; }
    std::vector<u8> shown_lcd() override { return {}; }
    void set_power_on_settings(const InstrumentSettings&) override {}
    void finished(int, const std::string&) override {
        if (instrument_running_depth() > 0) request_power_off();
    }

private:
    static ScenarioOptions options(std::ostream& out) {
        ScenarioOptions o;
        o.out = &out;
        return o;
    }

    void run_asked_ons() {
        while (ons_asked_ > 0) {
            --ons_asked_;
            power_on_and_run(*this);
            driver_.on_stopped();
        }
    }

    ScenarioDriver driver_;
    int ons_asked_ = 0;
};

std::string headless(const std::string& script, int& status) {
    reset_all_state();
    std::istringstream in(script);
    std::ostringstream out;
    RunnerOptions options;
    options.out = &out;
    status = run_scenario(in, "on.scn", options);
    std::string text = out.str();
    // Less the runner's summary line.
    text.erase(text.rfind("on.scn: ok"));
    return text;
}

TEST(ReturningOn, GivesTheRunnersFramesAtTheSamePoints) {
    const std::string script =
        "slider 1 220\nslider 2 220\non splash\npasses 3\ndump\non\nexpect depth 2\ndump\n"
        "key centre\npasses 2\ndump\noff\nexpect depth 0\ndump\nwait 3\non\nticks 11\n"
        "passes 1\ndump\non splash\npasses 2\noff\nexpect depth 0\ndump\non\npasses 4\ndump\n";
    int runner_status = -1;
    const std::string expected = headless(script, runner_status);
    ASSERT_EQ(runner_status, SCENARIO_OK);

    reset_all_state();
    std::istringstream in(script);
    std::ostringstream out;
    int status = -1;
    {
        ReturningOn front_end(in, out);
        status = front_end.run();
    }
    lcd_attach_canvas(nullptr);
    reset_all_state();
    EXPECT_EQ(status, SCENARIO_OK);
    EXPECT_EQ(out.str(), expected);
}

}  // namespace
