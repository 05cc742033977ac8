#include <gtest/gtest.h>

#include "app/headless/fake_host.h"
#include "firmware/firmware.h"
#include "tests/support/frame_text.h"

namespace {

class AdcValues : public ::testing::Test {
protected:
    void SetUp() override {
        reset_all_state();
        load_factory_defaults();
        current_page = page_adc_values;
        calibrate_enabled = 1;
    }
    static void pass(KeyCode key = KeyNone) {
        pending_key = key;
        lcd_clear();
        current_page();
    }
};

TEST_F(AdcValues, OnlyTheCentreKeyLeavesAndTheCursorStaysOnDone) {
    const KeyCode ignored[] = {KeyClockwise, KeyAnticlockwise, KeyLeft, KeyRight,
                               static_cast<KeyCode>(6)};
    for (KeyCode key : ignored) {
        pass(key);
        EXPECT_EQ(menu_cursor, 0);
        EXPECT_EQ(current_page, page_adc_values);
        EXPECT_EQ(pending_key, KeyNone);
    }
    pass(KeyCentre);
    EXPECT_EQ(current_page, page_main_menu);
    EXPECT_EQ(menu_cursor, 4);
    EXPECT_EQ(menu_edit, 0);
}

TEST_F(AdcValues, ReadingsOfChannelsThatAreOn) {
    raw_reading[0] = 1234;
    raw_reading[1] = 4096;
    settings.channel_kind[0] = ChannelKind::Off;
    settings.channel_kind[1] = ChannelKind::Temperature;
    pass();
    const std::string shown = frame_to_text();
    EXPECT_TRUE(matches_golden("menus/adc_values_channel_1_off"));

    lcd_clear();
    menu_title(" ADC VALUES ");
    text_normal_centred(57, 8, "*** DONE ***", 0, DrawMode::Set, 1);
    text_normal(0, 16, "CH 1: OFF", 0, DrawMode::Set, 0);
    text_normal(0, 24, "CH 2: 4096", 0, DrawMode::Set, 0);
    EXPECT_EQ(shown, frame_to_text());

    settings.channel_kind[0] = ChannelKind::Pressure;
    pass();
    const std::string both = frame_to_text();
    lcd_clear();
    menu_title(" ADC VALUES ");
    text_normal_centred(57, 8, "*** DONE ***", 0, DrawMode::Set, 1);
    text_normal(0, 16, "CH 1: 1234", 0, DrawMode::Set, 0);
    text_normal(0, 24, "CH 2: 4096", 0, DrawMode::Set, 0);
    EXPECT_EQ(both, frame_to_text());
}

}  // namespace
