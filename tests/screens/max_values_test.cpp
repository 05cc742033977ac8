#include <gtest/gtest.h>

#include "firmware/firmware.h"
#include "tests/support/fake_host.h"
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

}  // namespace
