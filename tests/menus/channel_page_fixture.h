// Shared set-up for the channel setup, calibration and sender-curve page
// tests: factory settings, the page open on a channel, and one-pass drivers.
#pragma once

#include <gtest/gtest.h>

#include "firmware/firmware.h"
#include "tests/support/fake_host.h"

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
