// Shared set-up for the channel setup, calibration and sender-curve page
// tests: factory settings, the page open on a channel, and one-pass drivers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "app/headless/fake_host.h"
#include "firmware/firmware.h"
#include "tests/support/frame_text.h"

class ChannelPage : public ::testing::Test {
protected:
    void SetUp() override {
        reset_all_state();
        load_factory_defaults();
        key_step = 1;
        open_channel(0);
    }

    // As the main menu opens CHANNEL 1 / CHANNEL 2 SETUP.
    void open_channel(u8 channel) {
        edit_channel = channel;
        edit_pressure = &settings.pressure[channel];
        edit_temperature = &settings.temperature[channel];
        current_page = page_channel_setup;
        menu_cursor = 0;
        menu_edit = 0;
    }

    // One pass of the current page with `key` pending, on a cleared frame.
    void pass(KeyCode key = KeyNone) {
        pending_key = key;
        lcd_clear();
        current_page();
    }

    // One key on line `index` in edit mode.
    void change(u8 index, KeyCode key) {
        menu_cursor = index;
        menu_edit = 1;
        pass(key);
    }

    // The cursor's stop when walked down from line 0; the cursor is left there.
    u8 last_line() {
        menu_cursor = 0;
        menu_edit = 0;
        for (int i = 0; i < 40; ++i)
            pass(KeyClockwise);
        return menu_cursor;
    }

    PressureChannelSettings& p() { return *edit_pressure; }
    TemperatureChannelSettings& t() { return *edit_temperature; }
};

// Whether the FontNormal cells at (x, y) show exactly `text` as text_normal
// draws it on its own, inverse or not. Compares the cells only; the frame is
// left as it was.
inline ::testing::AssertionResult shows_text(int x, int y, const char* text, u8 inverse = 0) {
    const int x1 = std::min(x + 8 * static_cast<int>(std::strlen(text)), int{LCD_WIDTH}) - 1;
    u8 saved[FRAME_BUFFER_SIZE];
    std::memcpy(saved, frame_buffer, sizeof saved);
    const std::string actual = frame_region(x, y, x1, y + 7);
    lcd_clear();
    text_normal(static_cast<u8>(x), static_cast<u8>(y), text, 0, DrawMode::Set, inverse);
    const std::string expected = frame_region(x, y, x1, y + 7);
    std::memcpy(frame_buffer, saved, sizeof saved);
    if (actual == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "\"" << text << "\" not at (" << x << ", " << y << "):\n"
           << actual << "expected:\n"
           << expected;
}
