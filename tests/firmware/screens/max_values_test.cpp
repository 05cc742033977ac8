#include <gtest/gtest.h>

#include "app/headless/fake_host.h"
#include "firmware/firmware.h"
#include "tests/support/frame_text.h"

namespace {

class MaxValues : public ::testing::Test {
protected:
    void SetUp() override {
        reset_all_state();
        load_factory_defaults();
        hook_counts = {};
        current_page = page_max_values;
        settings.channel_kind[0] = ChannelKind::Pressure;
        settings.channel_kind[1] = ChannelKind::Temperature;
        pressure_value[0] = 25;
        pressure_max[0] = 40;
        temperature_value[1] = 80;
        temperature_max[1] = 95;
    }
    static void pass(KeyCode key = KeyNone) {
        pending_key = key;
        lcd_clear();
        current_page();
    }
};

TEST_F(MaxValues, LeftKeyRestartsTheMaximaFromTheCurrentValues) {
    alarm_active = 3;
    pass(KeyLeft);
    EXPECT_EQ(current_page, page_max_values);
    EXPECT_EQ(pressure_max[0], 25);
    EXPECT_EQ(temperature_max[1], 80);
    EXPECT_EQ(hook_counts.maxima_reset, 1u);
    // Not an alarm acknowledgement.
    EXPECT_EQ(alarm_acknowledged, 0);
    EXPECT_EQ(pending_key, KeyNone);

    // With both channels off the key still resets.
    settings.channel_kind[0] = settings.channel_kind[1] = ChannelKind::Off;
    pressure_value[0] = 7;
    pass(KeyLeft);
    EXPECT_EQ(pressure_max[0], 7);
}

TEST_F(MaxValues, EveryOtherKeyReturnsWithoutTouchingTheMaxima) {
    alarm_active = 1;
    const KeyCode keys[] = {KeyCentre, KeyClockwise, KeyAnticlockwise, KeyRight};
    for (KeyCode key : keys) {
        current_page = page_max_values;
        pass(key);
        EXPECT_EQ(current_page, page_run_screen) << "key " << int(key);
        EXPECT_EQ(pressure_max[0], 40);
        EXPECT_EQ(temperature_max[1], 95);
        EXPECT_EQ(alarm_acknowledged, 0);
    }
    current_page = page_max_values;
    pass();
    pass(static_cast<KeyCode>(8));
    EXPECT_EQ(current_page, page_max_values);
    EXPECT_EQ(pending_key, KeyNone);
    EXPECT_EQ(hook_counts.maxima_reset, 0u);
}

TEST_F(MaxValues, PointsTheChannelReferencesAtTheListedRecords) {
    pass();
    EXPECT_EQ(current_pressure_settings, &settings.pressure[0]);
    EXPECT_EQ(current_temperature_settings, &settings.temperature[1]);
}

// The page's frame drawn by hand from its parts, for comparison.
std::string expected_frame(const char* label1, const char* value1, const char* label2,
                           const char* value2) {
    lcd_clear();
    menu_title(" MAX VALUES ");
    u8 row = 9;
    if (label1 != nullptr) {
        text_normal(0, row, label1, 0, DrawMode::Set, 0);
        text_normal_centred(80, static_cast<u8>(row + 8), value1, 1, DrawMode::Set, 0);
        row = 33;
    }
    if (label2 != nullptr) {
        text_normal(0, row, label2, 0, DrawMode::Set, 0);
        text_normal_centred(80, static_cast<u8>(row + 8), value2, 1, DrawMode::Set, 0);
    }
    text_normal(0, 56, " RESET ", 0, DrawMode::Set, 1);
    return frame_to_text();
}

std::string page_frame() {
    pending_key = KeyNone;
    lcd_clear();
    page_max_values();
    return frame_to_text();
}

TEST_F(MaxValues, PressureValueFormatsByUnit) {
    settings.channel_kind[1] = ChannelKind::Off;
    settings.pressure[0].label = PressureLabel::Boost;
    pressure_max[0] = 123;
    const PressureUnit units[] = {PressureUnit::Psi, PressureUnit::PsiTenths, PressureUnit::Bar,
                                  PressureUnit::InHg};
    const char* values[] = {"123 PSI", "12.3 PSI", "12.3 BAR", "123 \"Hg"};
    for (int i = 0; i < 4; ++i) {
        settings.pressure[0].unit = units[i];
        const std::string shown = page_frame();
        EXPECT_EQ(shown, expected_frame("BOOST PRESS:", values[i], nullptr, nullptr)) << values[i];
    }
    // Negative tenths keep their sign below one unit.
    settings.pressure[0].unit = PressureUnit::Bar;
    pressure_max[0] = -5;
    const std::string shown = page_frame();
    EXPECT_EQ(shown, expected_frame("BOOST PRESS:", "-0.5 BAR", nullptr, nullptr));
}

TEST_F(MaxValues, BlocksCloseUpWhenChannelOneIsOff) {
    settings.channel_kind[0] = ChannelKind::Off;
    settings.temperature[1].label = TemperatureLabel::Coolant;
    settings.temperature[1].unit = TemperatureUnit::Fahrenheit;
    temperature_max[1] = -12;
    const std::string shown = page_frame();
    EXPECT_EQ(shown, expected_frame("COOLANT TEMP:", "-12|F", nullptr, nullptr));

    // Both off: title and RESET only.
    settings.channel_kind[1] = ChannelKind::Off;
    const std::string empty = page_frame();
    EXPECT_EQ(empty, expected_frame(nullptr, nullptr, nullptr, nullptr));
}

TEST_F(MaxValues, UnknownCodesDrawWithoutReadingPastTheTables) {
    settings.pressure[0].label = static_cast<PressureLabel>(200);
    settings.pressure[0].unit = static_cast<PressureUnit>(200);
    settings.temperature[1].label = static_cast<TemperatureLabel>(4);
    settings.channel_kind[1] = static_cast<ChannelKind>(3);  // read as temperature
    const std::string shown = page_frame();
    EXPECT_EQ(shown, expected_frame(" PRESS:", "40 ", " TEMP:", "95|C"));
}

TEST_F(MaxValues, Goldens) {
    settings.pressure[0].label = PressureLabel::Oil;
    settings.pressure[0].unit = PressureUnit::Bar;
    pressure_max[0] = 25;
    settings.temperature[1].label = TemperatureLabel::Coolant;
    settings.temperature[1].unit = TemperatureUnit::Celsius;
    temperature_max[1] = 85;
    page_frame();
    EXPECT_TRUE(matches_golden("max_values/both_on"));

    settings.channel_kind[0] = ChannelKind::Off;
    page_frame();
    EXPECT_TRUE(matches_golden("max_values/channel_2_only"));

    settings.channel_kind[1] = ChannelKind::Off;
    page_frame();
    EXPECT_TRUE(matches_golden("max_values/both_off"));
}

}  // namespace
