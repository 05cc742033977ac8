#include "workbench/scenario/driver.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "firmware/firmware.h"
#include "runtime/instrument.h"
#include "workbench/pictures/lcd_picture.h"
#include "workbench/pictures/png_writer.h"
#include "workbench/scenario/expectations.h"
#include "workbench/scenario/writer.h"
#include "workbench/sensors/sensor_value.h"
#include "workbench/settings/settings_file.h"

ScenarioDriver::ScenarioDriver(ScenarioControls& controls, std::istream& in, std::string path,
                               ScenarioOptions options)
    : controls_(controls), reader_(in, std::move(path)), options_(std::move(options)) {}

ScenarioDriver::~ScenarioDriver() = default;

std::ostream& ScenarioDriver::err() { return options_.err != nullptr ? *options_.err : std::cerr; }

// Where one front end's script goes on, every front end's does: at the first
// splash frame after "on splash", after the first pass after "on", at the next
// message point after "off", after the passes a count lets by.
void ScenarioDriver::message_point() {
    if (finished_) return;
    if (options_.at_message_point) options_.at_message_point();
    ++points_since_tick_;
    if (recorder_.recording() && !recorder_.picture(controls_.shown_lcd().data(), clock_ms())) {
        fail(SCENARIO_BAD, recorder_.error());
        return;
    }
    const std::string broken = controls_.check_point();
    if (!broken.empty()) {
        fail(SCENARIO_FAILED, broken);
        return;
    }
    if (await_pass_) {
        if (instrument_message_points() <= points_at_on_ + SPLASH_FRAMES) return;
        await_pass_ = false;
    } else if (skip_points_ > 0) {
        if (--skip_points_ > 0) return;
        if (motion_) {
            if (!motion_step()) return;
            if (motion_) {
                advance_tick();
                skip_points_ = PASSES_PER_TICK;
                return;
            }
        } else if (wait_ticks_ > 0) {
            --wait_ticks_;
            advance_tick();
            skip_points_ = PASSES_PER_TICK;
            return;
        }
    }
    resume();
}

void ScenarioDriver::resume() {
    // Each nesting of "ON" runs the script from here with its own command:
    // the one that powered on is still being executed further out.
    ScenarioCommand c;
    while (!finished_) {
        if (controls_.closed()) {
            const std::string why =
                reader_.path() + ": the window was closed before the scenario ended";
            err() << why << "\n";
            finish(SCENARIO_FAILED, why);
            return;
        }
        if (off_ticks_ > 0) {
            --off_ticks_;
            advance_tick();
            if (controls_.resume_later(TICK_MS)) return;
            continue;
        }
        if (motion_) {
            // A ramp or a log while the instrument is off: nothing draws,
            // the ticks take their time as `wait`'s do.
            advance_tick();
            if (!motion_step()) return;
            if (controls_.resume_later(TICK_MS)) return;
            continue;
        }
        if (!reader_.next(c)) {
            const std::string& error = reader_.error();
            if (!error.empty()) err() << error << "\n";
            finish(error.empty() ? SCENARIO_OK : SCENARIO_BAD, error);
            return;
        }
        line_ = c.line;
        if (execute(c)) return;
    }
}

void ScenarioDriver::run_first(const ScenarioCommand& first) {
    if (!execute(first)) resume();
}

bool ScenarioDriver::execute(const ScenarioCommand& c) {
    using Op = ScenarioCommand::Op;
    const bool running = instrument_running_depth() > 0;
    const auto channel = static_cast<u8>(c.a);
    switch (c.op) {
        case Op::On:
            if (instrument_running_depth() >= MAX_POWER_ON_DEPTH)
                return !fail(SCENARIO_BAD,
                             "'on' nested deeper than " + std::to_string(MAX_POWER_ON_DEPTH));
            await_pass_ = c.a == 0;
            points_at_on_ = instrument_message_points();
            skip_points_ = 0;
            wait_ticks_ = 0;
            if (controls_.click_on_returning()) {
                ++ons_returned_;
                return true;
            }
            controls_.click_on();
            return on_ended(running);
        case Op::Off: controls_.click_off(); return running;
        case Op::Key: controls_.press(static_cast<KeyCode>(c.a)); return false;
        case Op::Slider:
        case Op::Sender: controls_.move_slider(channel, static_cast<u32>(c.b)); return false;
        case Op::Calibrate: controls_.set_calibrate(c.a == 1); return false;
        case Op::KeyFast: controls_.set_keyfast(c.a == 1); return false;
        case Op::Ticks:
        case Op::Wait:
            // While off, a front end with a clock lets each tick take its
            // 100 ms; nothing draws, so the frames are the same either way.
            if (!running) {
                off_ticks_ = c.a;
                return false;
            }
            if (c.op == Op::Ticks) {
                for (long i = 0; i < c.a; ++i)
                    advance_tick();
                return false;
            }
            advance_tick();
            skip_points_ = PASSES_PER_TICK;
            wait_ticks_ = c.a - 1;
            return true;
        case Op::Passes:
            if (!running) return false;
            skip_points_ = c.a;
            return true;
        case Op::Expect:
        case Op::ExpectGolden:
        case Op::ExpectText: {
            std::ostringstream failure;
            const int status =
                check_expectation(reader_.path(), reader_.directory(), c, controls_.lamp_colour(),
                                  options_.update_goldens, failure);
            const std::string text = failure.str();
            err() << text;
            if (status == SCENARIO_OK) return false;
            finish(status, text.substr(0, text.find('\n')));
            return true;
        }
        case Op::Shot: return !shot(c);
        case Op::Record: return !record(c);
        case Op::StopRecord: return !end_recording(&c);
        case Op::Dump:
            if (options_.out != nullptr) *options_.out << frame_as_text();
            return false;
        case Op::SaveSettings:
        case Op::LoadSettings:
        case Op::PowerOnSettings:
        case Op::Value: return !workbench(c);
        case Op::Ramp:
        case Op::PlayLog:
            // Paced as `wait` is: the values of a step, then the tick, and
            // the last step's values once the log's time has passed.
            if (!start_motion(c) || !motion_step()) return true;
            if (!motion_ || !running) return false;
            advance_tick();
            skip_points_ = PASSES_PER_TICK;
            return true;
    }
    return false;
}

// Back here once an "ON" has stopped: whatever was being waited for is over.
// The "OFF" that stopped it stops every "ON" around it too, so a nested one
// lets them end before the script goes on, from where the outermost one was
// given.
bool ScenarioDriver::on_ended(bool running) {
    skip_points_ = 0;
    wait_ticks_ = 0;
    await_pass_ = false;
    motion_.reset();
    return running && power_off_requested != 0;
}

// The front end calls this where click_on() would have returned, with the
// "ON"s around the stopped one (if any) still running.
void ScenarioDriver::on_stopped() {
    if (finished_ || ons_returned_ == 0) return;
    --ons_returned_;
    if (!on_ended(instrument_running_depth() > 0)) resume();
}

void ScenarioDriver::advance_tick() {
    controls_.tick();
    ++ticks_;
    points_since_tick_ = 0;
}

// The script's clock: 100 ms a tick, and the message points after a tick at
// the window's pace of a pass per 20 ms (the first at the tick's time), never
// reaching the next tick.
long long ScenarioDriver::clock_ms() const {
    return 100LL * ticks_ + 20LL * std::clamp(points_since_tick_ - 1, 0L, PASSES_PER_TICK - 1L);
}

bool ScenarioDriver::shot(const ScenarioCommand& c) {
    const TwoColourImage image =
        lcd_image(controls_.shown_lcd(), LCD_PICTURE_ZOOM * static_cast<int>(c.a));
    std::string error;
    if (write_png(scenario_file(reader_.directory(), c.word), image, error)) return true;
    return fail(SCENARIO_BAD, "cannot write " + error);
}

bool ScenarioDriver::record(const ScenarioCommand& c) {
    if (recorder_.recording() && !end_recording(&c)) return false;
    // The picture's 2 x 2 blocks are each one LCD pixel.
    if (!recorder_.start(scenario_file(reader_.directory(), c.word), LCD_WIDTH, LCD_HEIGHT,
                         LCD_PICTURE_ZOOM * static_cast<int>(c.a), LCD_UNLIT & 0xFFFFFFu,
                         LCD_BLACK & 0xFFFFFFu))
        return fail(SCENARIO_BAD, "cannot write " + recorder_.error());
    recorder_.picture(controls_.shown_lcd().data(), clock_ms());
    return true;
}

// `c` is the stop-record command, or null at the end of the script.
bool ScenarioDriver::end_recording(const ScenarioCommand* c) {
    if (!recorder_.recording()) return fail(SCENARIO_BAD, "stop-record without a recording");
    if (recorder_.stop(clock_ms())) return true;
    const std::string why = "cannot write " + recorder_.error();
    if (c != nullptr) return fail(SCENARIO_BAD, why);
    err() << reader_.path() << ": " << why << "\n";
    status_ = SCENARIO_BAD;
    return false;
}

// Settings files and setting a sensor by value. What goes wrong here is the
// script's fault (a file that does not load, a number the channel cannot
// show), so it ends the run as a bad line.
bool ScenarioDriver::workbench(const ScenarioCommand& c) {
    using Op = ScenarioCommand::Op;
    const std::string file = scenario_file(reader_.directory(), c.word);
    std::string error;
    bool done = false;
    if (c.op == Op::SaveSettings) {
        done = save_settings_file(file, settings, error);
    } else if (c.op == Op::LoadSettings || c.op == Op::PowerOnSettings) {
        InstrumentSettings loaded;
        done = load_settings_file(file, loaded, error);
        if (done && c.op == Op::LoadSettings) apply_settings(loaded);
        if (done && c.op == Op::PowerOnSettings) controls_.set_power_on_settings(loaded);
    } else {
        u32 count = 0;
        const auto channel = static_cast<u8>(c.a);
        done = count_for_value(channel, std::strtod(c.word.c_str(), nullptr), count, error);
        if (done) controls_.move_slider(channel, count);
    }
    return done || fail(SCENARIO_BAD, error);
}

// A ramp is a log of two rows. A log file is read whole first, so a bad
// line stops the run before a single value has been set.
bool ScenarioDriver::start_motion(const ScenarioCommand& c) {
    auto player = std::make_unique<SensorLogPlayer>();
    std::string error;
    std::unique_ptr<std::istream> in;
    if (c.op == ScenarioCommand::Op::Ramp) {
        const auto channel = static_cast<u8>(c.a);
        u32 count = 0;
        for (const std::string* end : {&c.word, &c.value})
            if (!count_for_value(channel, std::strtod(end->c_str(), nullptr), count, error))
                return fail(SCENARIO_BAD, error);
        if (!player->start(ramp_as_log(channel, c.word, c.value, ramp_seconds_text(c.b)), "ramp",
                           static_cast<double>(c.b) / 10.0, error))
            return fail(SCENARIO_BAD, error);
    } else {
        const std::string file = scenario_file(reader_.directory(), c.word);
        double seconds = 0.0;
        if (!open_sensor_log(file, in, error) || !check_sensor_log(*in, c.word, seconds, error) ||
            !open_sensor_log(file, in, error) ||
            !player->start(std::move(in), c.word, seconds, error))
            return fail(SCENARIO_BAD, error);
    }
    motion_ = std::move(player);
    return true;
}

bool ScenarioDriver::motion_step() {
    SensorCounts counts;
    std::string error;
    if (!motion_->step(counts, error)) {
        motion_.reset();
        return fail(SCENARIO_BAD, error);
    }
    for (u8 channel = 0; channel < 2; ++channel)
        if (counts.set[channel]) controls_.move_slider(channel, counts.count[channel]);
    if (motion_->ended()) motion_.reset();
    return true;
}

bool ScenarioDriver::fail(int status, const std::string& why) {
    const std::string message = reader_.path() + ":" + std::to_string(line_) + ": " + why;
    err() << message << "\n";
    finish(status, message);
    return false;
}

void ScenarioDriver::finish(int status, const std::string& message) {
    if (finished_) return;
    finished_ = true;
    status_ = status;
    // The end of the script ends an open recording.
    if (recorder_.recording()) end_recording(nullptr);
    controls_.finished(status_, message);
}
