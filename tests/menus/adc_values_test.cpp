#include <gtest/gtest.h>

#include "firmware/firmware.h"
#include "tests/support/fake_host.h"
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

}  // namespace
