// Sessions recorded in the page, and sensor logs played into its sliders, by
// the workbench's recorder and log player.
//
// The recorder sees every control as the instrument takes it (the host's
// observer), in this module, which is then the page's instrument; it writes
// the scenario and the settings files it depends on into the module's file
// system, from where the page downloads them.
//
// A log is read here too, but the instrument may be the page's smaller
// module: the page copies the instrument's settings record in before every
// step (a log's values are read in the channels' units as they are set up),
// and moves the sliders with the counts a step gives.
#include <emscripten.h>

#include <cstdio>
#include <istream>
#include <memory>
#include <string>

#include "runtime/instrument.h"
#include "web/web_host.h"
#include "workbench/controls/controls.h"
#include "workbench/sensors/sensor_log.h"
#include "workbench/session/recorder.h"
#include "workbench/settings/settings_file.h"

namespace {

class PageRecorder : public WebHostObserver {
public:
    SessionRecorder recorder;

    void took_on() override { recorder.power_on(); }
    void took_off() override { recorder.power_off(); }
    void took_key(KeyCode key) override { recorder.key(key); }
    void took_slider(u8 channel, u32 position) override { recorder.slider(channel, position); }
    void took_calibrate(bool ticked) override { recorder.calibrate(ticked); }
    void took_keyfast(bool ticked) override { recorder.keyfast(ticked); }
    void took_tick() override { recorder.tick(); }
    void took_settings(const InstrumentSettings& loaded) override {
        recorder.settings_loaded(loaded);
    }
};

std::unique_ptr<PageRecorder> page_recorder;
std::unique_ptr<SensorLogPlayer> log_player;
SensorCounts log_counts;
std::string answer;

}  // namespace

extern "C" {

// Starts recording into `path` with the instrument off, the controls as
// the page has them now: a slider away from where the window opens with it,
// a ticked check box and settings every power-on ends with are the
// recording's first lines. Returns "" or what is wrong.
EMSCRIPTEN_KEEPALIVE const char* dg2_record_start(const char* path, int slider1, int slider2,
                                                  int calibrate, int keyfast) {
    answer.clear();
    auto made = std::make_unique<PageRecorder>();
    if (!made->recorder.start(path != nullptr ? path : "", answer)) return answer.c_str();
    if (const InstrumentSettings* loaded = web_power_on_settings())
        made->recorder.power_on_settings(*loaded);
    const int positions[2] = {slider1, slider2};
    for (u8 channel = 0; channel < 2; ++channel)
        if (static_cast<u32>(positions[channel]) != channel_slider(channel).initial)
            made->recorder.slider(channel, static_cast<u32>(positions[channel]));
    if (calibrate != 0) made->recorder.calibrate(true);
    if (keyfast != 0) made->recorder.keyfast(true);
    page_recorder = std::move(made);
    set_web_host_observer(page_recorder.get());
    return answer.c_str();
}

// A log started while recording: `source` is a copy in this module's files.
EMSCRIPTEN_KEEPALIVE void dg2_record_sensor_log(const char* source) {
    if (page_recorder) page_recorder->recorder.sensor_log(source != nullptr ? source : "");
}

// Ends the recording with the frame shown last. Returns "" or what went wrong
// (a write that failed on the way included).
EMSCRIPTEN_KEEPALIVE const char* dg2_record_stop() {
    answer.clear();
    if (!page_recorder) return answer.c_str();
    set_web_host_observer(nullptr);
    std::string error = page_recorder->recorder.write_error();
    std::string last;
    if (!page_recorder->recorder.finish(last) && error.empty()) error = last;
    page_recorder.reset();
    answer = error;
    return answer.c_str();
}

EMSCRIPTEN_KEEPALIVE int dg2_recording() { return page_recorder ? 1 : 0; }

// The largest log the reader takes, for the page to refuse a larger file
// before reading it.
EMSCRIPTEN_KEEPALIVE double dg2_log_size_max() { return static_cast<double>(SENSOR_LOG_SIZE_MAX); }

// Reads and checks the whole log at `path` (named `name` in messages), then
// starts it and gives its first step. Returns "" or what is wrong; nothing
// has been set then.
EMSCRIPTEN_KEEPALIVE const char* dg2_log_start(const char* path, const char* name) {
    const std::string file = path != nullptr ? path : "";
    const std::string shown = name != nullptr ? name : "";
    answer.clear();
    // Before the first "ON" the channels are set up as nothing at all.
    InstrumentSettings set_up;
    if (!settings_from_toml(settings_to_toml(settings), "", set_up, answer)) {
        answer =
            "Switch the instrument on first: a log's values are read in the channels' units "
            "as they are set up.";
        return answer.c_str();
    }
    answer.clear();
    std::unique_ptr<std::istream> in;
    double seconds = 0.0;
    auto made = std::make_unique<SensorLogPlayer>();
    if (!open_sensor_log(file, in, answer) || !check_sensor_log(*in, shown, seconds, answer) ||
        !open_sensor_log(file, in, answer) || !made->start(std::move(in), shown, seconds, answer))
        return answer.c_str();
    log_player = std::move(made);
    return answer.c_str();
}

// The next step: 1 with its counts (dg2_log_count), 0 at a bad line
// (dg2_log_error) or with no log playing. The log ends after its last step.
EMSCRIPTEN_KEEPALIVE int dg2_log_step() {
    if (!log_player) return 0;
    log_counts = SensorCounts{};
    answer.clear();
    if (!log_player->step(log_counts, answer)) {
        log_player.reset();
        return 0;
    }
    return 1;
}

// The count the last step set for channel 0 or 1, or -1 where it set none.
EMSCRIPTEN_KEEPALIVE double dg2_log_count(int channel) {
    if ((channel != 0 && channel != 1) || !log_counts.set[channel]) return -1;
    return log_counts.count[channel];
}

EMSCRIPTEN_KEEPALIVE const char* dg2_log_error() { return answer.c_str(); }
EMSCRIPTEN_KEEPALIVE int dg2_log_ended() { return log_player && log_player->ended() ? 1 : 0; }

// "warm_up.csv 12.4 / 600.0 s", as the window's status bar shows it.
EMSCRIPTEN_KEEPALIVE const char* dg2_log_progress() {
    answer.clear();
    if (!log_player) return answer.c_str();
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, " %.1f / %.1f s", log_player->position(),
                  log_player->length());
    answer = log_player->name() + numbers;
    return answer.c_str();
}

EMSCRIPTEN_KEEPALIVE void dg2_log_stop() { log_player.reset(); }
}
