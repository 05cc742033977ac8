// The instrument in a web page. The page's controls call the exported
// functions below (they only write the instrument's small shared variables,
// as the window's handlers do); the main loop runs inside "ON" and, once per
// pass, yields to the browser in process_messages until the pass period is
// over or a key or a nested "ON" arrives (after a pass that changed nothing,
// until any event arrives; a tick then runs its pass in place, and wakes the
// loop only if that pass changed something). Compiled with Emscripten and
// ASYNCIFY, which lets the loop sleep without returning.
#include <emscripten.h>

#include <cstring>
#include <utility>

#include "web/web_host.h"

#include "firmware/firmware.h"
#include "runtime/instrument.h"
#include "workbench/pictures/lcd_picture.h"

namespace {

// A position the page hands in, within the sliders' range.
u32 slider_clamp(int position) {
    if (position < 0) return 0;
    return static_cast<u32>(position) > INPUT_FULL_SCALE ? INPUT_FULL_SCALE
                                                         : static_cast<u32>(position);
}

// The LCD picture as the window has it (Image1); the margin keeps the fill
// colour of a new picture.
constexpr int PICTURE_WIDTH = LCD_PICTURE_WIDTH;
constexpr int PICTURE_HEIGHT = LCD_PICTURE_HEIGHT;
constexpr int PICTURE_PIXELS = PICTURE_WIDTH * PICTURE_HEIGHT;
constexpr u32 MARGIN = 0xFFFFFFFFu;
constexpr u32 UNLIT = LCD_UNLIT;

u32 unlit_colour() { return UNLIT; }

// Sleeps until `ms` milliseconds have passed, or forever when `ms` is
// negative, or until the page calls wake(urgent): a key or "ON" (urgent) cuts
// any wait short, every other event only an endless one.
// (No arrow functions here: the macro would split "=>" apart.)
EM_ASYNC_JS(void, wait_for_input, (double ms), {
    await new Promise(function(resolve) {
        var timer = 0;
        function done() {
            clearTimeout(timer);
            Module.wake = null;
            resolve();
        }
        if (ms >= 0) timer = setTimeout(done, ms);
        Module.wake = function(urgent) {
            if (urgent || ms < 0) done();
        };
    });
});

// The page copies the picture into its canvas (RGBA bytes at `rgba`).
EM_JS(void, present_picture, (const u8* rgba, int size),
      { Module.onPicture(HEAPU8.subarray(rgba, rgba + size)); });

EM_JS(void, present_lamp, (u32 colour), { Module.onLamp(colour); });

// The sliders' labels echo the positions handed to the instrument at power-on.
EM_JS(void, present_inputs, (u32 channel1, u32 channel2), { Module.onInputs(channel1, channel2); });

// The instrument's whole static memory (firmware, runtime and the C library's
// globals): from the linker's first data address to the end of the data and
// zero-initialised sections. The host keeps its own state on the heap.
extern "C" char __global_base;
extern "C" char __data_end;

class WebHost : public Host {
public:
    WebHost()
        : pixels_(new u32[PICTURE_PIXELS]),
          rgba_(new u8[4 * PICTURE_PIXELS]),
          statics_size_(static_cast<size_t>(&__data_end - &__global_base)),
          statics_(new char[statics_size_]) {
        for (int i = 0; i < PICTURE_PIXELS; ++i)
            pixels_[i] = MARGIN;
        canvas_ = LcdCanvas{pixels_, PICTURE_WIDTH, PICTURE_WIDTH, PICTURE_HEIGHT, unlit_colour};
    }

    // Between passes the instrument waits for the pass period, as the window
    // does, and a key cuts the wait short. One thing the window cannot do:
    // a pass that left every static byte as it found it (the hooks' call
    // counts aside) is a fixed point, since a pass reads nothing but that
    // memory and the two check boxes. Until an event arrives, every further
    // pass would draw and compute exactly the same, so the page sleeps until
    // one does (the tick, ten times a second, at the latest), and an idle
    // tab costs next to nothing.
    void process_messages() override {
        hand_over_begins();
        for (;;) {
            // "ON" while on: a full power-on nested in the running loop, as
            // the window's click handler does inside its message processing.
            while (ons_waiting_ > 0) {
                --ons_waiting_;
                begin_pass();
                power_on_and_run(*this);
                if (observer != nullptr) observer->stopped(instrument_running_depth());
            }
            // Paused, only "OFF" or a single pass lets the next one run; a
            // key waits, pending, for the instrument to run again.
            if (paused) {
                if (power_off_requested != 0) break;
                if (single_passes > 0) {
                    --single_passes;
                    break;
                }
                sleep(-1);
                continue;
            }
            if (steady_ && !event_) {
                waiting_steady_ = true;
                sleep(-1);
                waiting_steady_ = false;
                continue;
            }
            // Back to back: the browser gets its turn every so many passes.
            if (pass_period <= 0) {
                if (++passes_unyielded_ >= PASSES_BETWEEN_YIELDS) {
                    passes_unyielded_ = 0;
                    sleep(0);
                }
                break;
            }
            // A pass that took a key drew the screen before acting on it; the
            // next pass, run at once, shows what the key did.
            const double remaining = pass_period / speed - (emscripten_get_now() - pass_start_);
            if (remaining <= 0 || last_pass_took_key() || pending_key != KeyNone) break;
            sleep(remaining);
        }
        begin_pass();
        take_snapshot();
    }

    // A tick while the loop waits on a steady screen: the pass the loop would
    // run now is run here, without waking it (waking the loop means unwinding
    // and rebuilding its stack, which costs more than the pass). Each step is
    // the loop's own, in its order, so the frames and the message points are
    // the same. False (nothing done) where the loop must run it: anything but
    // ticks since it went to sleep, a pause, or a pass period not yet over.
    bool pass_in_place() {
        if (!waiting_steady_ || event_ || paused || ons_waiting_ > 0 || pending_key != KeyNone ||
            power_off_requested != 0)
            return false;
        if (pass_period > 0 && pass_period / speed - (emscripten_get_now() - pass_start_) > 0)
            return false;
        begin_pass();
        take_snapshot();
        run_pass_for_waiting_loop(*this);
        hand_over_begins();
        return true;
    }

    // Whether the loop still sleeps where only an event can wake it (after a
    // pass in place that changed something, it must go on at its pace).
    bool sleeping_steady() const { return waiting_steady_ && steady_; }

    void before_first_pass() override {
        if (power_on_settings != nullptr) settings = *power_on_settings;
    }

    bool calibrate_checked() override { return calibrate; }
    bool keyfast_checked() override { return keyfast; }

    void set_lamp_colour(u32 colour) override {
        if (colour == lamp_) return;
        lamp_ = colour;
        present_lamp(colour);
    }

    void hide_lcd_picture() override {}
    // Only a pass of the main loop ends here; splash frames do not.
    void show_lcd_picture() override { pass_ended_ = true; }
    const LcdCanvas* lcd_canvas() override { return &canvas_; }

    // Power-on zeroes the inputs; the sliders keep their positions, which
    // reach the instrument again here, as in the window.
    void power_on_inputs() override {
        set_input(0, sliders[0]);
        set_input(1, sliders[1]);
        present_inputs(sliders[0], sliders[1]);
    }

    void begin_pass() { pass_start_ = emscripten_get_now(); }

    // Something the next pass may see differently: a key, a slider, a check
    // box, the tick, "ON" or "OFF".
    void note_event() { event_ = true; }

    bool calibrate = false;
    bool keyfast = false;
    // Time on the workbench, as the window's Time menu sets it: the speed
    // divides the pass period (the page's tick timer divides the tick);
    // paused, passes run only as single passes.
    double speed = 1.0;
    bool paused = false;
    int single_passes = 0;
    u32 sliders[2] = {};  // the page's slider positions
    int ons_waiting_ = 0;
    WebHostObserver* observer = nullptr;
    const InstrumentSettings* power_on_settings = nullptr;
    bool steady_sleep = true;
    double pass_period = PASS_PERIOD_MS;
    long ticks = 0;
    long wakes = 0;  // times the loop woke from a sleep

private:
    static constexpr int PASSES_BETWEEN_YIELDS = 50;

    void sleep(double ms) {
        wait_for_input(ms);
        ++wakes;
    }

    // What every hand-over does first: a pass that changed nothing makes the
    // screen steady; the picture goes to the page.
    void hand_over_begins() {
        steady_ = steady_sleep && pass_ended_ && statics_unchanged();
        pass_ended_ = false;
        present();
        if (observer != nullptr) observer->message_point();
    }

    // The page only repaints what changed: a steady screen costs the browser
    // nothing. The picture's serial moves whenever lcd_show paints another
    // picture.
    void present() {
        const u32 serial = lcd_picture_serial();
        if (presented_ && serial == presented_serial_) return;
        presented_serial_ = serial;
        presented_ = true;
        for (int i = 0; i < PICTURE_PIXELS; ++i) {
            const u32 p = pixels_[i];
            rgba_[4 * i + 0] = static_cast<u8>(p >> 16);
            rgba_[4 * i + 1] = static_cast<u8>(p >> 8);
            rgba_[4 * i + 2] = static_cast<u8>(p);
            rgba_[4 * i + 3] = static_cast<u8>(p >> 24);
        }
        present_picture(rgba_, 4 * PICTURE_PIXELS);
    }

    void take_snapshot() {
        std::memcpy(statics_, &__global_base, statics_size_);
        event_ = false;
    }

    // Memory that only counts: the hooks' call counts (once or more every
    // pass) and the runtime's count of message points (one every pass).
    // Neither is ever read by the instrument, so they are left out of the
    // comparison, or no pass would ever look like the one before.
    struct Range {
        size_t begin;
        size_t end;
    };
    Range counted(const void* at, size_t size) const {
        const size_t begin = static_cast<size_t>(static_cast<const char*>(at) - &__global_base);
        return {begin, begin + size};
    }

    bool statics_unchanged() const {
        Range skip[] = {counted(&hook_counts, sizeof hook_counts),
                        counted(instrument_message_points_location(), sizeof(long))};
        if (skip[1].begin < skip[0].begin) std::swap(skip[0], skip[1]);
        const char* now = &__global_base;
        size_t from = 0;
        for (const Range& range : skip) {
            if (range.begin > from &&
                std::memcmp(statics_ + from, now + from, range.begin - from) != 0)
                return false;
            if (range.end > from) from = range.end;
        }
        return from >= statics_size_ ||
               std::memcmp(statics_ + from, now + from, statics_size_ - from) == 0;
    }

    u32* const pixels_;
    u8* const rgba_;
    const size_t statics_size_;
    char* const statics_;
    u32 presented_serial_ = 0;
    bool presented_ = false;
    bool pass_ended_ = false;
    bool event_ = false;
    bool steady_ = false;          // the latest pass changed nothing
    bool waiting_steady_ = false;  // the loop sleeps until an event
    LcdCanvas canvas_;
    u32 lamp_ = 0xFFFFFFFFu;  // no colour word: the first one is shown
    double pass_start_ = 0;
    int passes_unyielded_ = 0;
};

// Made once at start-up, on the heap, so its state stays out of the static
// memory it watches.
WebHost& host = *new WebHost;

}  // namespace

void set_web_host_observer(WebHostObserver* observer) { host.observer = observer; }
void set_web_power_on_settings(const InstrumentSettings* loaded) {
    host.power_on_settings = loaded;
}
const InstrumentSettings* web_power_on_settings() { return host.power_on_settings; }
void set_web_host_steady_sleep(bool allowed) { host.steady_sleep = allowed; }
void set_web_pass_period(double milliseconds) {
    host.pass_period = milliseconds > 0 ? milliseconds : 0;
}

// The page's controls. Each only writes a shared variable, so it may be
// called while the main loop sleeps in process_messages.
extern "C" {

// "ON": while the instrument is off the page calls dg2_power_on (which returns
// once it is off again); while on, it asks for a nested power-on, which the
// sleeping loop runs from its message processing.
EMSCRIPTEN_KEEPALIVE void dg2_power_on() {
    if (host.observer != nullptr) host.observer->took_on();
    host.begin_pass();
    power_on_and_run(host);
    if (host.observer != nullptr) host.observer->stopped(instrument_running_depth());
}

// Each "ON" waiting nests inside the one before it, so one that would go
// past the deepest nesting is refused here (0), as the window ignores it.
EMSCRIPTEN_KEEPALIVE int dg2_request_nested_on() {
    if (instrument_running_depth() + host.ons_waiting_ >= MAX_POWER_ON_DEPTH) return 0;
    if (host.observer != nullptr) host.observer->took_on();
    ++host.ons_waiting_;
    host.note_event();
    return 1;
}

EMSCRIPTEN_KEEPALIVE void dg2_power_off() {
    if (host.observer != nullptr) host.observer->took_off();
    request_power_off();
    host.note_event();
}

// Key areas, knob buttons and their shortcuts; codes 1..5 as KeyCode. Other
// codes of a byte arrive as a key would (a script may give them); values
// beyond a byte are ignored.
EMSCRIPTEN_KEEPALIVE void dg2_key(int code) {
    if (code > KeyNone && code <= 255) {
        if (host.observer != nullptr) host.observer->took_key(static_cast<KeyCode>(code));
        press_key(static_cast<KeyCode>(code));
    }
    host.note_event();
}

// Sliders: channel 0 or 1, position clamped to the slider's range.
EMSCRIPTEN_KEEPALIVE void dg2_slider(int channel, int position) {
    if (channel != 0 && channel != 1) return;
    const u32 clamped = slider_clamp(position);
    host.sliders[channel] = clamped;
    if (host.observer != nullptr) host.observer->took_slider(static_cast<u8>(channel), clamped);
    set_input(static_cast<u8>(channel), clamped);
    host.note_event();
}

// The sliders' positions when the page starts, before either has moved: the
// instrument's inputs stay untouched until a slider moves or "ON" hands them
// over.
EMSCRIPTEN_KEEPALIVE void dg2_slider_positions(int channel1, int channel2) {
    host.sliders[0] = slider_clamp(channel1);
    host.sliders[1] = slider_clamp(channel2);
}

EMSCRIPTEN_KEEPALIVE void dg2_calibrate(int checked) {
    host.calibrate = checked != 0;
    if (host.observer != nullptr) host.observer->took_calibrate(host.calibrate);
    host.note_event();
}

EMSCRIPTEN_KEEPALIVE void dg2_keyfast(int checked) {
    host.keyfast = checked != 0;
    if (host.observer != nullptr) host.observer->took_keyfast(host.keyfast);
    host.note_event();
}

// 1 when the sleeping loop must be woken for the tick; 0 when its pass has
// run in place and the screen stayed steady.
EMSCRIPTEN_KEEPALIVE int dg2_tick() {
    if (host.observer != nullptr) host.observer->took_tick();
    tick();
    ++host.ticks;
    if (host.pass_in_place() && host.sleeping_steady()) return 0;
    host.note_event();
    return 1;
}

// Passes and splash frames run, and ticks given, since the page started: a
// steady screen runs about one pass a tick, not five.
EMSCRIPTEN_KEEPALIVE double dg2_message_points() {
    return static_cast<double>(instrument_message_points());
}
EMSCRIPTEN_KEEPALIVE double dg2_ticks() { return static_cast<double>(host.ticks); }
// Times the sleeping loop woke: on a steady screen the ticks do not wake it.
EMSCRIPTEN_KEEPALIVE double dg2_loop_wakes() { return static_cast<double>(host.wakes); }

// Time: 0.25, 0.5, 1, 2, 4 or 10 times the instrument's pace (the page
// offers no other; anything else is ignored), pause, and one pass while
// paused (none while off, so none is saved up for the next power-on).
EMSCRIPTEN_KEEPALIVE void dg2_set_speed(double factor) {
    for (const double offered : {0.25, 0.5, 1.0, 2.0, 4.0, 10.0})
        if (factor == offered) host.speed = factor;
    host.note_event();
}

EMSCRIPTEN_KEEPALIVE void dg2_set_paused(int paused) {
    host.paused = paused != 0;
    host.single_passes = 0;
    host.note_event();
}

EMSCRIPTEN_KEEPALIVE void dg2_single_pass() {
    if (host.paused && instrument_running_depth() > 0) ++host.single_passes;
    host.note_event();
}

EMSCRIPTEN_KEEPALIVE int dg2_running_depth() { return instrument_running_depth(); }
EMSCRIPTEN_KEEPALIVE int dg2_pending_key() { return pending_key; }

// Settings files. The text (the same TOML the window and the scenario runner
// read and write, by the same reader) is made and read by a module of its own
// that the page loads only when asked (dg2_workbench.wasm), which hands records
// to and from this one byte for byte: both are built from the same sources.
EMSCRIPTEN_KEEPALIVE const InstrumentSettings* dg2_settings_record() { return &settings; }
EMSCRIPTEN_KEEPALIVE int dg2_settings_record_size() {
    return static_cast<int>(sizeof(InstrumentSettings));
}

// Where the page puts a record read from a file before dg2_apply_settings.
EMSCRIPTEN_KEEPALIVE InstrumentSettings* dg2_incoming_record() {
    static InstrumentSettings incoming;
    return &incoming;
}

// Puts the incoming record into the running instrument between two passes.
// Refused (0) while the instrument is off: "ON" starts from the factory
// settings (or those of dg2_power_on_settings).
EMSCRIPTEN_KEEPALIVE int dg2_apply_settings() {
    if (instrument_running_depth() == 0) return 0;
    apply_settings(*dg2_incoming_record());
    if (host.observer != nullptr) host.observer->took_settings(*dg2_incoming_record());
    host.note_event();
    return 1;
}

// Every later power-on ends with the incoming record (a link's settings), or
// again with the factory's (0).
EMSCRIPTEN_KEEPALIVE void dg2_power_on_settings(int use) {
    static InstrumentSettings kept;
    kept = *dg2_incoming_record();
    set_web_power_on_settings(use != 0 ? &kept : nullptr);
}
}
