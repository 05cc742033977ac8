#include <gtest/gtest.h>

#include "app/headless/fake_host.h"
#include "firmware/firmware.h"

namespace {

class Settings : public ::testing::Test {
protected:
    void SetUp() override { reset_all_state(); }
};

TEST_F(Settings, FactoryDefaults) {
    settings.cal_reading_4ma = 1;
    settings.cal_reading_20ma = 2;
    load_factory_defaults();
    EXPECT_EQ(settings.contrast, 37);
    EXPECT_EQ(settings.backlight, 1);
    EXPECT_EQ(settings.display_layout, DisplayLayout::Dual);
    EXPECT_EQ(settings.bar_orientation, BarOrientation::Vertical);
    EXPECT_EQ(settings.cycle_mode, CycleMode::Manual);
    EXPECT_EQ(settings.display_time_index, 1);
    EXPECT_EQ(settings.channel_kind[0], ChannelKind::Pressure);
    EXPECT_EQ(settings.channel_kind[1], ChannelKind::Temperature);
    // The calibration counts belong to power-on, not to the defaults.
    EXPECT_EQ(settings.cal_reading_4ma, 1u);
    EXPECT_EQ(settings.cal_reading_20ma, 2u);
    for (int c = 0; c < 2; ++c) {
        const PressureChannelSettings& p = settings.pressure[c];
        EXPECT_EQ(p.input_type, PressureInput::Resistive);
        EXPECT_EQ(p.sender, PressureSender::Vdo);
        EXPECT_EQ(p.unit, PressureUnit::Bar);
        EXPECT_EQ(p.pressure_at_4ma, 0);
        EXPECT_EQ(p.pressure_at_20ma, 100u);
        EXPECT_EQ(p.label, PressureLabel::Oil);
        EXPECT_EQ(p.span, 100);
        EXPECT_EQ(p.top_scale, 0);
        EXPECT_EQ(p.low_alarm_on, 1);
        EXPECT_EQ(p.low_alarm, 15);
        EXPECT_EQ(p.high_alarm_on, 1);
        EXPECT_EQ(p.high_alarm, 80);
        EXPECT_EQ(p.transducer_model, 0u);
        EXPECT_EQ(p.vdo_range, 2);
        EXPECT_EQ(p.user_curve.point_count, 6u);
        EXPECT_EQ(p.user_curve.points[5].value, 100);
        EXPECT_EQ(p.user_curve.points[5].reading, 440u);
        for (int i = 6; i < CURVE_MAX_POINTS; ++i) {
            EXPECT_EQ(p.user_curve.points[i].value, 0);
            EXPECT_EQ(p.user_curve.points[i].reading, 0u);
        }
        const TemperatureChannelSettings& t = settings.temperature[c];
        EXPECT_EQ(t.label, TemperatureLabel::Oil);
        EXPECT_EQ(t.span, 150);
        EXPECT_EQ(t.top_scale, 1);
        EXPECT_EQ(t.low_alarm, 70);
        EXPECT_EQ(t.low_alarm_on, 1);
        EXPECT_EQ(t.high_alarm, 135);
        EXPECT_EQ(t.high_alarm_on, 1);
        EXPECT_EQ(t.unit, TemperatureUnit::Celsius);
        EXPECT_EQ(t.sender, TemperatureSender::Vdo);
        EXPECT_EQ(t.user_curve.point_count, 10u);
        EXPECT_EQ(t.user_curve.points[0].value, 10);
        EXPECT_EQ(t.user_curve.points[0].reading, 2250u);
        EXPECT_EQ(t.user_curve.points[9].value, 150);
        EXPECT_EQ(t.user_curve.points[9].reading, 44u);
        for (int i = 10; i < CURVE_MAX_POINTS; ++i)
            EXPECT_EQ(t.user_curve.points[i].reading, 0u);
    }
    EXPECT_EQ(hook_counts.contrast_changed, 1u);
    EXPECT_EQ(hook_counts.backlight_on, 1u);
}

TEST_F(Settings, Lm335OffsetSurvivesAPowerCycleAndNothingElseDoes) {
    FakeHost host;
    host.after_pass(1, [](FakeHost& h) {
        settings.temperature[1].lm335_offset = 5;
        settings.temperature[1].unit = TemperatureUnit::Fahrenheit;
        settings.contrast = 10;
        settings.pressure[0].user_curve.points[8] = {7, 7};
        h.off();
    });
    host.power_on();
    FakeHost again;
    again.after_pass(1, [](FakeHost& h) {
        EXPECT_EQ(settings.temperature[1].lm335_offset, 5);
        EXPECT_EQ(settings.temperature[1].unit, TemperatureUnit::Celsius);
        EXPECT_EQ(settings.contrast, 37);
        EXPECT_EQ(settings.pressure[0].user_curve.points[8].reading, 0u);
        h.off();
    });
    again.power_on();
}

// A setup page open while settings are loaded starts again at its first line.
TEST_F(Settings, ApplyingPutsAnOpenSetupPageBackToItsFirstLine) {
    for (PageHandler page : {page_channel_setup, page_display_setup, page_main_menu}) {
        load_factory_defaults();
        InstrumentSettings loaded = settings;
        loaded.channel_kind[0] = ChannelKind::Off;
        loaded.temperature[1].user_curve.points[12] = {-9, 4105};
        current_page = page;
        menu_cursor = 3;
        menu_edit = 1;
        apply_settings(loaded);
        EXPECT_TRUE(settings == loaded);
        EXPECT_EQ(menu_cursor, page == page_main_menu ? 3 : 0);
        EXPECT_EQ(menu_edit, page == page_main_menu ? 1 : 0);
    }
}

}  // namespace
