#include <gtest/gtest.h>

#include "app/headless/fake_host.h"
#include "firmware/firmware.h"
#include "tests/support/frame_text.h"

namespace {

class Contrast : public ::testing::Test {
protected:
    void SetUp() override {
        reset_all_state();
        load_factory_defaults();
        hook_counts = {};
        current_page = page_contrast;
        return_page = page_run_screen;
        key_step = 1;
    }
    static void pass(KeyCode key = KeyNone) {
        pending_key = key;
        lcd_clear();
        current_page();
    }
};

// Row 20 across the frame: the bar's middle row.
std::string bar_row() {
    std::string row = frame_region(0, 20, LCD_WIDTH - 1, 20);
    row.pop_back();
    return row;
}

TEST_F(Contrast, BarIsTwoPixelsPerStepInsideTheFrame) {
    settings.contrast = 0;
    pass();
    EXPECT_EQ(bar_row(), "#" + std::string(112, '.') + "#");
    EXPECT_EQ(frame_region(0, 15, 113, 15), std::string(114, '#') + "\n");
    EXPECT_EQ(frame_region(0, 25, 113, 25), std::string(114, '#') + "\n");
    EXPECT_FALSE(lcd_get_pixel(5, 14));
    EXPECT_FALSE(lcd_get_pixel(5, 26));

    settings.contrast = 37;
    pass();
    EXPECT_EQ(bar_row(), std::string(74, '#') + std::string(39, '.') + "#");
    // The last bar column, 73, then the frame's top and bottom only.
    EXPECT_EQ(frame_region(73, 15, 74, 25), "##\n#.\n#.\n#.\n#.\n#.\n#.\n#.\n#.\n#.\n##\n");

    settings.contrast = 57;
    pass();
    EXPECT_EQ(bar_row(), std::string(114, '#'));
}

TEST_F(Contrast, KeysMoveByOneAndStopAtTheEnds) {
    key_step = 10;
    settings.contrast = 56;
    pass(KeyClockwise);
    EXPECT_EQ(settings.contrast, 57);
    pass(KeyLeft);
    EXPECT_EQ(settings.contrast, 57);
    EXPECT_EQ(hook_counts.contrast_changed, 2u);

    settings.contrast = 1;
    pass(KeyAnticlockwise);
    EXPECT_EQ(settings.contrast, 0);
    pass(KeyRight);
    EXPECT_EQ(settings.contrast, 0);
    EXPECT_EQ(hook_counts.contrast_changed, 4u);

    pass(KeyLeft);
    EXPECT_EQ(settings.contrast, 1);
    EXPECT_EQ(hook_counts.contrast_changed, 5u);
    EXPECT_EQ(current_page, page_contrast);
    EXPECT_EQ(hook_counts.page_leave, 0u);
}

TEST_F(Contrast, CentreGoesBackWithTheCursorOnLineOne) {
    menu_cursor = 0;
    pass(KeyCentre);
    EXPECT_EQ(current_page, page_run_screen);
    EXPECT_EQ(menu_cursor, 1);
    EXPECT_EQ(hook_counts.page_leave, 1u);
    EXPECT_EQ(hook_counts.contrast_changed, 0u);
    EXPECT_EQ(pending_key, KeyNone);

    // Neither "no key" nor an unknown code leaves or touches the hooks.
    current_page = page_contrast;
    pass();
    pass(static_cast<KeyCode>(9));
    EXPECT_EQ(current_page, page_contrast);
    EXPECT_EQ(hook_counts.contrast_changed, 0u);
    EXPECT_EQ(pending_key, KeyNone);
}

TEST_F(Contrast, Goldens) {
    const u8 levels[] = {0, 37, 57};
    for (u8 level : levels) {
        settings.contrast = level;
        pass();
        EXPECT_TRUE(matches_golden("menus/contrast_" + std::to_string(level)));
    }
}

}  // namespace
