// Whole run screens as text pictures, one per layout and state.
#include <gtest/gtest.h>

#include "app/headless/fake_host.h"
#include "firmware/core/keys.h"
#include "firmware/core/run_state.h"
#include "firmware/core/settings.h"
#include "firmware/lcd/lcd.h"
#include "firmware/measure/measure.h"
#include "firmware/screens/screens.h"
#include "tests/support/frame_text.h"

namespace {

// Factory settings with both channels inside their limits: 2.5 bar (highest
// 4.0) and 90 |C (highest 110); the messages' and values' visible phase.
class RunScreenGolden : public ::testing::Test {
protected:
    void SetUp() override {
        reset_all_state();
        load_factory_defaults();
        pressure_value[0] = 25;
        pressure_max[0] = 40;
        temperature_value[1] = 90;
        temperature_max[1] = 110;
        raw_reading[0] = 300;
        raw_reading[1] = 400;
        blink_phase = 1;
    }

    static void draw() {
        lcd_clear();
        page_run_screen();
    }
};

TEST_F(RunScreenGolden, DualVertical) {
    draw();
    EXPECT_TRUE(matches_golden("screens/dual_vertical"));
}

TEST_F(RunScreenGolden, DualHorizontal) {
    settings.bar_orientation = BarOrientation::Horizontal;
    draw();
    EXPECT_TRUE(matches_golden("screens/dual_horizontal"));
}

TEST_F(RunScreenGolden, LargePressureVertical) {
    settings.display_layout = DisplayLayout::Single;
    draw();
    EXPECT_TRUE(matches_golden("screens/pressure_large_vbar"));
}

TEST_F(RunScreenGolden, LargeTemperatureVerticalWithTwoLineLabel) {
    settings.display_layout = DisplayLayout::Single;
    settings.temperature[1].label = TemperatureLabel::Coolant;
    shown_channel = 1;
    draw();
    EXPECT_TRUE(matches_golden("screens/temperature_large_vbar"));
}

TEST_F(RunScreenGolden, LargePressureHorizontalInPsi) {
    settings.display_layout = DisplayLayout::Single;
    settings.bar_orientation = BarOrientation::Horizontal;
    PressureChannelSettings& p = settings.pressure[0];
    p.unit = PressureUnit::Psi;
    p.label = PressureLabel::Boost;
    p.span = 150;
    p.low_alarm = 20;
    p.high_alarm = 120;
    pressure_value[0] = 36;
    pressure_max[0] = 58;
    draw();
    EXPECT_TRUE(matches_golden("screens/pressure_large_hbar"));
}

TEST_F(RunScreenGolden, LargeTemperatureHorizontal) {
    settings.display_layout = DisplayLayout::Single;
    settings.bar_orientation = BarOrientation::Horizontal;
    shown_channel = 1;
    draw();
    EXPECT_TRUE(matches_golden("screens/temperature_large_hbar"));
}

TEST_F(RunScreenGolden, FourCharacterTemperatureRunsUnderTheUnit) {
    // An LM335 input at 0 reads -273 |C: printed whole, nothing shortened.
    settings.display_layout = DisplayLayout::Single;
    settings.temperature[1].sender = TemperatureSender::Lm335;
    temperature_value[1] = -273;
    raw_reading[1] = 0;
    shown_channel = 1;
    draw();
    EXPECT_TRUE(matches_golden("screens/temperature_large_vbar_four_digits"));
}

TEST_F(RunScreenGolden, SelectWhenBothChannelsAreOff) {
    settings.channel_kind[0] = ChannelKind::Off;
    settings.channel_kind[1] = ChannelKind::Off;
    draw();
    EXPECT_TRUE(matches_golden("screens/select"));
}

TEST_F(RunScreenGolden, LargeSenderFaultKeepsAnEmptyGauge) {
    settings.display_layout = DisplayLayout::Single;
    raw_reading[0] = 3900;
    pressure_value[0] = 588;
    pressure_max[0] = 588;
    draw();
    EXPECT_TRUE(matches_golden("screens/pressure_large_vbar_sender_fault"));
}

TEST_F(RunScreenGolden, PowerOnStateWithChannelTwoOverRange) {
    // Both inputs at 0: channel 1 reads 0.0 bar, below its low limit;
    // channel 2 extrapolates to 187 |C, above its span of 150.
    pressure_value[0] = 0;
    pressure_max[0] = 0;
    temperature_value[1] = 187;
    temperature_max[1] = 187;
    raw_reading[0] = 0;
    raw_reading[1] = 0;
    alarm_active = 3;
    draw();
    EXPECT_TRUE(matches_golden("screens/dual_vertical_over_range"));
}

TEST_F(RunScreenGolden, DualHorizontalFaultAndOverRange) {
    settings.bar_orientation = BarOrientation::Horizontal;
    raw_reading[0] = 4096;
    temperature_value[1] = 151;
    draw();
    EXPECT_TRUE(matches_golden("screens/dual_horizontal_fault_over_range"));
}

}  // namespace
