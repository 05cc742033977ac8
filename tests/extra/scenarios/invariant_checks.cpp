// The invariant checker the runner, the soak and the fuzzer use: each rule
// reported when it is broken, values at the edges of their ranges accepted,
// the cursor's limits per page, and the picture against the frame buffer.
#include <gtest/gtest.h>

#include <string>

#include "app/headless/headless_host.h"
#include "app/headless/invariants.h"
#include "firmware/firmware.h"

namespace {

struct IdleHost : HeadlessHost {
    void process_messages() override {}
};

// A consistent state after a pass on the run screen, for the checker.
class Invariants : public ::testing::Test {
protected:
    void SetUp() override {
        reset_all_state();
        load_factory_defaults();
        current_page = page_run_screen;
        key_step = 1;
        host.lamp = LAMP_MAROON;
        ASSERT_EQ(check(), "");
    }
    void TearDown() override { reset_all_state(); }
    std::string check() {
        const char* broken = checker.after_pass(host);
        return broken == nullptr ? "" : broken;
    }
    IdleHost host;
    InvariantChecker checker;
};

TEST_F(Invariants, EachGlobalOutOfItsRangeIsReported) {
    const struct {
        void (*spoil)();
        const char* report;
    } cases[] = {
        {[] { pending_key = KeyRight; }, "pending_key 5 left after the pass"},
        {[] { key_step = 5; }, "key_step 5"},
        {[] { current_page = nullptr; }, "current_page is no page"},
        {[] { menu_edit = 2; }, "menu_edit 2"},
        {[] { shown_channel = 2; }, "shown_channel 2"},
        {[] { blink_phase = 2; }, "blink_phase 2"},
        {[] { alarm_active = 4; }, "alarm masks"},
        {[] { input_b = 4097; }, "inputs 0, 4097"},
        {[] { settings.contrast = 58; }, "contrast 58"},
        {[] { settings.display_time_index = 7; }, "display_time_index 7"},
        {[] { settings.channel_kind[1] = static_cast<ChannelKind>(3); }, "channel 2 kind 3"},
        {[] { settings.pressure[0].span = 101; }, "channel 1 pressure span"},
        {[] { settings.pressure[1].unit = PressureUnit::Psi, settings.pressure[1].high_alarm = 0; },
         "channel 2 pressure span"},
        {[] { settings.pressure[0].pressure_at_20ma = 0; }, "channel 1 4-20 mA"},
        {[] { settings.temperature[0].span = 571; }, "channel 1 temperature span"},
        {[] { settings.temperature[1].lm335_offset = -31; }, "channel 2 lm335_offset -31"},
        {[] { settings.temperature[0].user_curve.points[12].reading = 4106; },
         "channel 1 temperature curve"},
        {[] { settings.pressure[1].user_curve.point_count = 0x101; },
         "channel 2 pressure curve"},  // only the low byte counts
        {[] { return_page = page_main_menu; }, "return_page is main"},
        {[] { current_page = page_contrast; }, "contrast page with no page to return to"},
        {[] { current_page = page_adc_values, menu_cursor = 1; },
         "menu_cursor 1 past the last line 0 of the adc page"},
        {[] { current_page = page_calibrate, menu_cursor = 3; }, "past the last line 2"},
        {[] { current_page = page_display_setup, menu_cursor = 5; }, "past the last line 4"},
        {[] { current_page = page_main_menu, menu_cursor = 6; }, "past the last line 5"},
        {[] { blink_count = 11; }, "blink_count 11"},
        {[] { tick_count = 20; }, "tick_count 20"},
        {[] { calibrate_enabled = 1; }, "calibrate_enabled stale"},
        {[] { alarm_acknowledged = 8; }, "alarm masks 0 / 0x8"},
        {[] { settings.backlight = 2; }, "backlight 2"},
        {[] { settings.bar_orientation = static_cast<BarOrientation>(2); }, "display settings"},
        {[] { settings.cycle_mode = static_cast<CycleMode>(2); }, "display settings"},
        {[] { settings.pressure[1].transducer_model = 6; }, "channel 2 pressure codes"},
        {[] { settings.pressure[0].high_alarm_on = 2; }, "channel 1 pressure codes"},
        {[] { settings.pressure[0].low_alarm = 0; }, "channel 1 pressure span/alarms"},
        {[] { settings.pressure[1].pressure_at_4ma = -1; }, "channel 2 4-20 mA pressures -1/"},
        {[] { settings.temperature[1].sender = static_cast<TemperatureSender>(5); },
         "channel 2 temperature codes"},
        {[] { settings.temperature[0].high_alarm_on = 2; }, "channel 1 temperature codes"},
        {[] { settings.temperature[1].low_alarm = -41; }, "channel 2 temperature span/alarms"},
        {[] { settings.temperature[0].lm335_offset = 31; }, "channel 1 lm335_offset 31"},
        {[] { settings.pressure[0].user_curve.points[0].value = CURVE_VALUE_MAX + 1; },
         "channel 1 pressure curve"},
        {[] { settings.display_layout = static_cast<DisplayLayout>(2); }, "display settings"},
        {[] { input_a = 4097; }, "inputs 4097, "},
        {[] { settings.pressure[0].input_type = static_cast<PressureInput>(3); },
         "1 pressure codes"},
        {[] { settings.pressure[0].sender = static_cast<PressureSender>(3); }, "1 pressure codes"},
        {[] { settings.pressure[0].unit = static_cast<PressureUnit>(4); }, "1 pressure codes"},
        {[] { settings.pressure[0].label = static_cast<PressureLabel>(5); }, "1 pressure codes"},
        {[] { settings.pressure[0].vdo_range = 3; }, "channel 1 pressure codes"},
        {[] { settings.pressure[0].top_scale = 2; }, "channel 1 pressure codes"},
        {[] { settings.pressure[0].low_alarm_on = 2; }, "channel 1 pressure codes"},
        {[] { settings.pressure[0].span = 0; }, "channel 1 pressure span/alarms 0/"},
        {[] { settings.pressure[0].low_alarm = 101; }, "channel 1 pressure span/alarms"},
        {[] { settings.pressure[0].high_alarm = 101; }, "channel 1 pressure span/alarms"},
        {[] { settings.pressure[0].pressure_at_20ma = 101; }, "channel 1 4-20 mA pressures"},
        {[] { settings.pressure[0].pressure_at_4ma = PRESSURE_AT_4MA_MAX + 1; }, "1 4-20 mA"},
        {[] { settings.temperature[0].label = static_cast<TemperatureLabel>(4); },
         "1 temperature codes"},
        {[] { settings.temperature[0].unit = static_cast<TemperatureUnit>(2); },
         "1 temperature codes"},
        {[] { settings.temperature[0].top_scale = 2; }, "channel 1 temperature codes"},
        {[] { settings.temperature[0].low_alarm_on = 2; }, "channel 1 temperature codes"},
        {[] { settings.temperature[0].high_alarm = STORED_TEMPERATURE_MAX + 1; },
         "1 temperature span"},
        {[] { settings.temperature[0].user_curve.point_count = CURVE_MAX_POINTS + 1; },
         "channel 1 temperature curve"},
        {[] { settings.temperature[0].user_curve.points[1].reading = static_cast<u32>(-10); },
         "channel 1 temperature curve"},
        {[] { edit_channel = 2; }, "edit_channel 2"},
        {[] { curve_is_temperature = 2; }, "curve_is_temperature 2"},
    };
    for (const auto& c : cases) {
        SetUp();
        c.spoil();
        EXPECT_NE(check().find(c.report), std::string::npos) << c.report << ": " << check();
    }
}

TEST_F(Invariants, ValuesAtTheEdgesOfTheirRangesHold) {
    settings.contrast = 57;
    settings.display_time_index = 6;
    settings.pressure[0].unit = PressureUnit::PsiTenths;
    settings.pressure[0].span = 999;
    settings.pressure[0].pressure_at_4ma = 999;  // kept from a larger unit
    settings.temperature[1].span = -40;
    settings.temperature[1].high_alarm = 570;  // kept from Fahrenheit under Celsius
    settings.temperature[1].lm335_offset = 30;
    settings.temperature[0].user_curve.points[0] = {1008, static_cast<u32>(-9)};
    input_a = 4096;
    alarm_active = 3;
    blink_phase = 1;
    host.lamp = LAMP_RED;
    EXPECT_EQ(check(), "");
}

TEST_F(Invariants, CursorLimitsFollowEachPagesLines) {
    current_page = page_display_setup;
    settings.display_layout = DisplayLayout::Single;
    menu_cursor = 5;
    EXPECT_EQ(check(), "");
    settings.cycle_mode = CycleMode::Auto;
    menu_cursor = 6;
    EXPECT_EQ(check(), "");

    current_page = page_channel_setup;
    edit_channel = 1;
    edit_pressure = &settings.pressure[1];
    edit_temperature = &settings.temperature[1];
    menu_cursor = 10;  // channel 2 is a temperature channel with the VDO sender
    EXPECT_EQ(check(), "");
    menu_cursor = 11;
    EXPECT_NE(check().find("past the last line 10"), std::string::npos);
    settings.temperature[1].sender = TemperatureSender::Lm335;
    EXPECT_EQ(check(), "");
    settings.channel_kind[1] = ChannelKind::Pressure;
    menu_cursor = 12;
    EXPECT_EQ(check(), "");
    menu_cursor = 13;
    EXPECT_NE(check().find("past the last line 12"), std::string::npos);
    settings.pressure[1].input_type = PressureInput::Current;
    settings.pressure[1].sender = PressureSender::Standard;
    EXPECT_EQ(check(), "");
    settings.channel_kind[1] = ChannelKind::Off;
    menu_cursor = 1;
    EXPECT_EQ(check(), "");
    edit_pressure = &settings.pressure[0];
    EXPECT_NE(check().find("another channel"), std::string::npos);

    current_page = page_sender_curve;
    curve_work = DEFAULT_PRESSURE_USER_CURVE;
    menu_cursor = 13;
    EXPECT_EQ(check(), "");
    menu_cursor = 14;
    EXPECT_NE(check().find("past the last line 13"), std::string::npos);
    curve_work.point_count = 1;
    EXPECT_NE(check().find("curve editor with 1 points"), std::string::npos);
}

TEST_F(Invariants, ServiceEntriesNeedCalibrateToBeReachedButMayBeKept) {
    current_page = page_main_menu;
    menu_cursor = 3;
    EXPECT_EQ(check(), "");
    menu_cursor = 4;  // moved there from 3 without "Calibrate"
    EXPECT_NE(check().find("moved to 4"), std::string::npos);

    calibrate_enabled = 1;
    host.calibrate = true;
    menu_cursor = 5;
    EXPECT_EQ(check(), "");
    calibrate_enabled = 0;  // cleared while on the CALIBRATE entry
    host.calibrate = false;
    EXPECT_EQ(check(), "");
    menu_cursor = 4;
    EXPECT_EQ(check(), "");

    current_page = page_adc_values;
    menu_cursor = 0;
    EXPECT_EQ(check(), "");
    current_page = page_main_menu;  // ADC VALUES returns to its entry
    menu_cursor = 4;
    EXPECT_EQ(check(), "");
}

TEST_F(Invariants, TheLampAndThePictureFollowTheInstrument) {
    host.lamp = LAMP_RED;
    EXPECT_NE(check().find("lamp red without a flashing alarm"), std::string::npos);
    host.lamp = 0x00FF00;
    EXPECT_NE(check().find("lamp"), std::string::npos);
    host.lamp = LAMP_MAROON;
    host.picture_hidden = true;
    EXPECT_NE(check().find("hidden"), std::string::npos);

    constexpr u32 OUTSIDE = 0x01020304u;
    host.fill_picture(OUTSIDE);
    lcd_clear();
    lcd_pixel(0, 0, DrawMode::Set);
    lcd_pixel(113, 63, DrawMode::Set);
    lcd_attach_canvas(&host.canvas);
    lcd_show();
    const char* broken = checker.check_picture(host, OUTSIDE);
    EXPECT_EQ(broken, nullptr) << broken;
    EXPECT_TRUE(host.picture_lit(227, 127));
    EXPECT_FALSE(host.picture_lit(225, 127));

    host.pixels[130 * HeadlessHost::PICTURE_WIDTH + 5] = LCD_BLACK;
    EXPECT_NE(std::string(checker.check_picture(host, OUTSIDE)).find("5,130 written"),
              std::string::npos);
    lcd_show();
    host.pixels[130 * HeadlessHost::PICTURE_WIDTH + 5] = OUTSIDE;
    lcd_pixel(10, 10, DrawMode::Set);  // the frame changed after the picture was made
    EXPECT_NE(std::string(checker.check_picture(host, OUTSIDE)).find("LCD pixel 10,10"),
              std::string::npos);
    lcd_attach_canvas(nullptr);
}

}  // namespace
