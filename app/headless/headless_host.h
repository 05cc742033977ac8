// The window without a window: the LCD picture lives in memory, the two check
// boxes are flags and the lamp is a colour word. What the "user" does between
// passes is up to the subclass's process_messages (a scenario script, a fuzz
// input, a random soak).
#pragma once

#include <vector>

#include "runtime/host.h"
#include "runtime/instrument.h"
#include "workbench/pictures/lcd_picture.h"

class HeadlessHost : public Host {
public:
    // The LCD picture as the window has it (Image1).
    static constexpr int PICTURE_WIDTH = LCD_PICTURE_WIDTH;
    static constexpr int PICTURE_HEIGHT = LCD_PICTURE_HEIGHT;
    static constexpr u32 UNLIT = LCD_UNLIT;

    // Places the sliders as the window's stand when it opens (channel 1 at 1,
    // channel 2 at 0); the inputs stay 0 until a slider moves or power-on.
    HeadlessHost();

    bool calibrate_checked() override { return calibrate; }
    bool keyfast_checked() override { return keyfast; }
    void set_lamp_colour(u32 colour) override { lamp = colour; }
    void hide_lcd_picture() override { picture_hidden = true; }
    void show_lcd_picture() override {
        picture_hidden = false;
        ++passes_shown;
    }
    // A host may run without a picture (lcd_show then only reads the frame
    // buffer's address); the soak and the fuzzer do so for speed.
    const LcdCanvas* lcd_canvas() override { return with_picture ? &canvas : nullptr; }
    // The sliders keep their positions across "OFF" and "ON", as the window's do.
    void power_on_inputs() override {
        set_input(0, slider_position(0));
        set_input(1, slider_position(1));
    }

    // Whether the LCD picture pixel (x, y) of the 228 x 128 area is black.
    bool picture_lit(int x, int y) const { return pixels[y * PICTURE_WIDTH + x] == LCD_BLACK; }
    void fill_picture(u32 colour);

    bool calibrate = false;
    bool keyfast = false;
    bool with_picture = true;
    bool picture_hidden = false;
    u32 lamp = 0;
    // Completed main-loop passes: only a pass shows the picture again, the
    // splash frames do not hide it.
    long passes_shown = 0;

    std::vector<u32> pixels;
    LcdCanvas canvas;
};
