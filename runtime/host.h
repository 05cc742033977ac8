// What the instrument's runtime needs from the window around it. TForm1
// implements it on Qt; tests and the headless tools implement it with a
// scripted host that clicks, moves sliders and ticks from inside
// process_messages.
#pragma once

#include "firmware/core/types.h"
#include "firmware/lcd/lcd.h"

// The pass rate: process_messages keeps handling window events until this long
// after the pass (or splash frame) began, so the instrument runs 50 passes a
// second instead of spinning a CPU core.
constexpr int PASS_PERIOD_MS = 20;
// The instrument's tick.
constexpr int TICK_MS = 100;

// Lamp colours as the toolkit's colour word (red in the low byte).
constexpr u32 LAMP_RED = 255;     // RGB 255, 0, 0
constexpr u32 LAMP_MAROON = 128;  // RGB 128, 0, 0

class Host {
public:
    virtual ~Host() = default;
    // Handle pending window events: key clicks, slider moves, the tick, "ON",
    // "OFF" and closing. May re-enter power_on_and_run (nested "ON").
    virtual void process_messages() = 0;
    virtual bool calibrate_checked() = 0;  // "Calibrate"
    virtual bool keyfast_checked() = 0;    // "KeyFast"
    virtual void set_lamp_colour(u32 colour) = 0;
    // The LCD picture is hidden while its pixels are rewritten and shown
    // again afterwards, so it is repainted once per pass.
    virtual void hide_lcd_picture() = 0;
    virtual void show_lcd_picture() = 0;
    virtual const LcdCanvas* lcd_canvas() = 0;
    // Power-on zeroes both inputs while the sliders keep their positions.
    // Once power-on's own steps are done, the host hands the instrument the
    // sliders' current positions (set_input), so that from the first pass on
    // the instrument reads what the sliders show.
    virtual void power_on_inputs() = 0;
    // Power-on has set up everything it sets up (factory settings, the
    // calibration readings) and the first pass comes next: a host that starts
    // every power-on from settings of its own puts them in place here.
    virtual void before_first_pass() {}
};
