// A scripted stand-in for the window: tests give it actions to run from
// inside process_messages, the way the toolkit delivers clicks, slider moves,
// ticks and "OFF" between passes. It never waits.
#pragma once

#include <functional>
#include <vector>

#include "runtime/host.h"
#include "runtime/instrument.h"
#include "workbench/pictures/lcd_picture.h"

class FakeHost : public Host {
public:
    // Action run on process_messages call number `call` (counting from 1).
    // The splash makes SPLASH_FRAMES calls; pass N of the main loop (from 1)
    // ends with call SPLASH_FRAMES + N.
    using Action = std::function<void(FakeHost&)>;

    FakeHost();

    void at(int call, Action action);
    // Actions run after the pass-ending message call of main-loop pass `pass`.
    void after_pass(int pass, Action action) { at(SPLASH_FRAMES + pass, std::move(action)); }
    // Safety net: "OFF" at this call so a broken loop cannot hang a test.
    int max_calls = 100000;

    // "ON": power-on and the main loop until "OFF".
    void power_on() { power_on_and_run(*this); }

    // Window controls.
    void click(KeyCode key) { press_key(key); }
    void slider(u8 channel, u32 value) { set_input(channel, value); }
    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            tick();
    }
    void off() { request_power_off(); }

    // Host interface.
    void process_messages() override;
    bool calibrate_checked() override { return calibrate; }
    bool keyfast_checked() override { return keyfast; }
    void set_lamp_colour(u32 colour) override;
    void hide_lcd_picture() override { ++hides; }
    void show_lcd_picture() override { ++shows; }
    const LcdCanvas* lcd_canvas() override { return &canvas; }
    void power_on_inputs() override {
        set_input(0, slider_position(0));
        set_input(1, slider_position(1));
    }

    bool calibrate = false;
    bool keyfast = false;
    u32 lamp = 0;
    std::vector<u32> lamp_history;  // one entry per pass
    int calls = 0;
    int hides = 0;
    int shows = 0;

    static constexpr int PICTURE_WIDTH = LCD_PICTURE_WIDTH;
    static constexpr int PICTURE_HEIGHT = LCD_PICTURE_HEIGHT;
    std::vector<u32> pixels;
    LcdCanvas canvas;

private:
    std::vector<std::pair<int, Action>> script_;
};

// The unlit-pixel colour the fake host reports (the classic inactive border).
constexpr u32 FAKE_UNLIT = LCD_UNLIT;
