// Scenarios played in the page, by the workbench's one driver, through the
// page's own controls: "ON" is the ON button's function, a key the key
// area's, a slider is moved as its user would move it (thumb, echo and all),
// the tick is the page's. The lamp and the LCD are read back from what the
// page shows. The instrument runs in this same module (the page switches to
// it before a script starts), so the driver sees the instrument's state as
// the runner's does, and the host hands over to it at every splash frame and
// pass.
//
// "ON" returns here at the loop's first sleep, not once the instrument has
// stopped: the page gives it through click_on_returning() and tells the
// driver when it has stopped. A script with the instrument off goes on from
// the page's timers.
#include <emscripten.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "firmware/lcd/lcd.h"
#include "runtime/instrument.h"
#include "web/web_host.h"
#include "workbench/pictures/lcd_picture.h"
#include "workbench/scenario/scenario.h"

namespace {

// The page's side (player.js puts these functions on the module as `page`).
// No arrow functions: the macro would split "=>" apart.
EM_JS(void, page_on, (), { Module.page.on(); });
EM_JS(void, page_off, (), { Module.page.off(); });
EM_JS(void, page_key, (int code), { Module.page.key(code); });
EM_JS(void, page_slider, (int channel, int position), { Module.page.slider(channel, position); });
EM_JS(void, page_calibrate, (int ticked), { Module.page.calibrate(ticked != 0); });
EM_JS(void, page_keyfast, (int ticked), { Module.page.keyfast(ticked != 0); });
EM_JS(void, page_tick, (), { Module.page.tick(); });
EM_JS(u32, page_lamp, (), { return Module.page.lamp() >>> 0; });
EM_JS(void, page_lcd, (u8 * lit, int width, int height, u32 black),
      { Module.page.lcd(HEAPU8.subarray(lit, lit + width * height), width, black); });
EM_JS(void, page_progress, (int line), { Module.page.progress(line); });
EM_JS(void, page_finished, (int status), { Module.page.finished(status); });
// From the page's event loop, never from inside the instrument's.
EM_JS(void, page_resume_later, (int ms), {
    setTimeout(
        function() { Module._dg2_play_resume(); }, ms);
});
EM_JS(void, page_on_stopped_later, (), {
    setTimeout(
        function() { Module._dg2_play_on_stopped(); }, 0);
});

class PagePlayer : public ScenarioControls, public WebHostObserver {
public:
    // `back_to_back`: the passes without the pace. `check_shown`: at every
    // message point the LCD the page shows must be the frame the instrument
    // drew (the tests).
    PagePlayer(const std::string& path, const std::string& text, bool back_to_back,
               bool check_shown)
        : in_(text),
          driver_(*this, in_, path, options(out_, err_)),
          back_to_back_(back_to_back),
          check_shown_(check_shown) {}

    ~PagePlayer() override {
        if (web_power_on_settings() == &power_on_settings_) set_web_power_on_settings(nullptr);
    }

    void start() {
        set_web_host_steady_sleep(false);
        if (back_to_back_) set_web_pass_period(0);
        set_web_host_observer(this);
        driver_.resume();
        progress();
    }

    // The user stops it: the instrument stays as it is.
    void stop() {
        if (done_) return;
        done_ = true;
        release_host();
    }

    void resume() {
        if (done_) return;
        driver_.resume();
        progress();
    }
    void on_stopped() {
        if (done_) return;
        driver_.on_stopped();
        progress();
    }

    int status() const { return driver_.status(); }
    int line() const { return driver_.line(); }
    std::string output() const { return out_.str(); }
    std::string errors() const { return err_.str(); }
    const std::string& message() const { return message_; }
    bool done() const { return done_; }

    // WebHostObserver.
    void message_point() override {
        if (done_) return;
        driver_.message_point();
        progress();
    }
    void stopped(int depth) override {
        if (done_) return;
        // The outermost "ON" returns inside the page's call of it: the
        // script goes on once that call is over.
        if (depth == 0)
            page_on_stopped_later();
        else
            driver_.on_stopped();
    }

    // ScenarioControls.
    void click_on() override {}
    bool click_on_returning() override {
        page_on();
        return true;
    }
    void click_off() override { page_off(); }
    void press(KeyCode key) override { page_key(key); }
    void move_slider(u8 channel, u32 position) override {
        page_slider(channel, static_cast<int>(position));
    }
    void set_calibrate(bool ticked) override { page_calibrate(ticked ? 1 : 0); }
    void set_keyfast(bool ticked) override { page_keyfast(ticked ? 1 : 0); }
    void tick() override { page_tick(); }
    u32 lamp_colour() override { return page_lamp(); }
    std::vector<u8> shown_lcd() override {
        std::vector<u8> lit(static_cast<size_t>(LCD_WIDTH) * LCD_HEIGHT);
        page_lcd(lit.data(), LCD_WIDTH, LCD_HEIGHT, LCD_BLACK);
        return lit;
    }
    void set_power_on_settings(const InstrumentSettings& loaded) override {
        power_on_settings_ = loaded;
        set_web_power_on_settings(&power_on_settings_);
    }
    bool resume_later(int milliseconds) override {
        page_resume_later(back_to_back_ ? 0 : milliseconds);
        return true;
    }
    std::string check_point() override {
        if (!check_shown_) return {};
        const std::vector<u8> shown = shown_lcd();
        for (int y = 0; y < LCD_HEIGHT; ++y)
            for (int x = 0; x < LCD_WIDTH; ++x)
                if ((shown[static_cast<size_t>(y) * LCD_WIDTH + x] != 0) !=
                    lcd_get_pixel(static_cast<u8>(x), static_cast<u8>(y)))
                    return "the page shows another frame than the instrument drew (pixel " +
                           std::to_string(x) + "," + std::to_string(y) + ")";
        return {};
    }
    // The instrument is left as the script leaves it, as in the window.
    void finished(int status, const std::string& message) override {
        message_ = message;
        done_ = true;
        release_host();
        page_finished(status);
    }

private:
    static ScenarioOptions options(std::ostream& out, std::ostream& err) {
        ScenarioOptions o;
        o.out = &out;
        o.err = &err;
        return o;
    }

    void release_host() {
        set_web_host_observer(nullptr);
        set_web_host_steady_sleep(true);
        set_web_pass_period(PASS_PERIOD_MS);
    }

    void progress() {
        if (done_ || driver_.line() == shown_line_) return;
        shown_line_ = driver_.line();
        page_progress(shown_line_);
    }

    std::istringstream in_;
    std::ostringstream out_;
    std::ostringstream err_;
    ScenarioDriver driver_;
    InstrumentSettings power_on_settings_{};
    std::string message_;
    bool back_to_back_;
    bool check_shown_;
    bool done_ = false;
    int shown_line_ = -1;
};

std::unique_ptr<PagePlayer> player;
std::string answer;

}  // namespace

extern "C" {

// Plays the script `text` as if read from `path` (files it names are looked
// up beside it in this module's file system). `tests` 1: the passes run
// without the window's pace; 2: every message point checks the LCD shown.
EMSCRIPTEN_KEEPALIVE void dg2_play_start(const char* path, const char* text, int tests) {
    if (player) player->stop();
    player = std::make_unique<PagePlayer>(path != nullptr ? path : "", text != nullptr ? text : "",
                                          (tests & 1) != 0, (tests & 2) != 0);
    player->start();
}

EMSCRIPTEN_KEEPALIVE void dg2_play_resume() {
    if (player) player->resume();
}
EMSCRIPTEN_KEEPALIVE void dg2_play_on_stopped() {
    if (player) player->on_stopped();
}
EMSCRIPTEN_KEEPALIVE void dg2_play_stop() {
    if (player) player->stop();
}
EMSCRIPTEN_KEEPALIVE int dg2_play_status() { return player ? player->status() : SCENARIO_OK; }
EMSCRIPTEN_KEEPALIVE int dg2_play_line() { return player ? player->line() : 0; }
EMSCRIPTEN_KEEPALIVE const char* dg2_play_output() {
    answer = player ? player->output() : "";
    return answer.c_str();
}
EMSCRIPTEN_KEEPALIVE const char* dg2_play_errors() {
    answer = player ? player->errors() : "";
    return answer.c_str();
}
// The first line of what went wrong, empty when the script ran through.
EMSCRIPTEN_KEEPALIVE const char* dg2_play_message() {
    answer = player ? player->message() : "";
    return answer.c_str();
}

// The files a script reads (goldens, settings, logs), one a line, as the
// driver will open them: relative to the script's folder. Reading stops at
// a bad line, which the run reports when it gets there.
EMSCRIPTEN_KEEPALIVE const char* dg2_scenario_needs(const char* path, const char* text) {
    using Op = ScenarioCommand::Op;
    std::istringstream in(text != nullptr ? text : "");
    ScenarioReader reader(in, path != nullptr ? path : "");
    answer.clear();
    for (ScenarioCommand c; reader.next(c);) {
        if (c.op == Op::ExpectGolden || c.op == Op::LoadSettings || c.op == Op::PowerOnSettings ||
            c.op == Op::PlayLog)
            answer += scenario_file(reader.directory(), c.word) + "\n";
    }
    return answer.c_str();
}
}
