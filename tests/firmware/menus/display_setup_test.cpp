#include <gtest/gtest.h>

#include "app/headless/fake_host.h"
#include "firmware/firmware.h"
#include "tests/support/frame_text.h"

namespace {

class DisplaySetup : public ::testing::Test {
protected:
    void SetUp() override {
        reset_all_state();
        load_factory_defaults();
        hook_counts = {};
        settings.display_layout = DisplayLayout::Dual;
        settings.cycle_mode = CycleMode::Manual;
        current_page = page_display_setup;
        key_step = 1;
    }
    static void pass(KeyCode key = KeyNone) {
        pending_key = key;
        lcd_clear();
        current_page();
    }
    // Moves the cursor to `line` from the top and opens it for editing.
    static void edit(u8 line) {
        menu_cursor = line;
        menu_edit = 0;
        pass(KeyCentre);
        ASSERT_EQ(menu_edit, 1);
    }
    // Clockwise until the cursor stops; returns where.
    static u8 bottom() {
        for (int i = 0; i < 10; ++i)
            pass(KeyClockwise);
        return menu_cursor;
    }
};

TEST_F(DisplaySetup, LastLineFollowsLayoutAndMode) {
    EXPECT_EQ(bottom(), 4);  // BAR with the dual layout
    settings.display_layout = DisplayLayout::Single;
    EXPECT_EQ(bottom(), 5);  // MODE
    settings.cycle_mode = CycleMode::Auto;
    EXPECT_EQ(bottom(), 6);  // DISP TIME
    pass(KeyRight);
    EXPECT_EQ(menu_cursor, 6);
    // Both the knob and the left key move up, stopping on DONE.
    pass(KeyAnticlockwise);
    EXPECT_EQ(menu_cursor, 5);
    for (int i = 0; i < 8; ++i)
        pass(KeyLeft);
    EXPECT_EQ(menu_cursor, 0);
    EXPECT_EQ(current_page, page_display_setup);
}

TEST_F(DisplaySetup, DoneReturnsToTheDisplayEntryAndContrastComesBackToItsLine) {
    pass(KeyCentre);
    EXPECT_EQ(current_page, page_main_menu);
    EXPECT_EQ(menu_cursor, 1);
    EXPECT_EQ(menu_edit, 0);

    current_page = page_display_setup;
    menu_cursor = 1;
    pass(KeyCentre);
    EXPECT_EQ(current_page, page_contrast);
    EXPECT_EQ(return_page, page_display_setup);
    EXPECT_EQ(menu_cursor, 0);
    EXPECT_EQ(menu_edit, 0);
    pass(KeyCentre);
    EXPECT_EQ(current_page, page_display_setup);
    EXPECT_EQ(menu_cursor, 1);
}

TEST_F(DisplaySetup, BacklightTogglesAndCallsItsHooks) {
    settings.backlight = 0;
    edit(2);
    pass(KeyClockwise);
    EXPECT_EQ(settings.backlight, 1);
    EXPECT_EQ(hook_counts.backlight_on, 1u);
    pass(KeyRight);
    EXPECT_EQ(settings.backlight, 0);
    EXPECT_EQ(hook_counts.backlight_off, 1u);
    pass(KeyLeft);
    pass(KeyAnticlockwise);
    EXPECT_EQ(hook_counts.backlight_on, 2u);
    EXPECT_EQ(hook_counts.backlight_off, 2u);
    // Editing keeps the cursor on its line; the centre key ends the edit.
    EXPECT_EQ(menu_cursor, 2);
    pass(KeyCentre);
    EXPECT_EQ(menu_edit, 0);
    pass(KeyClockwise);
    EXPECT_EQ(menu_cursor, 3);
    EXPECT_EQ(settings.backlight, 0);
}

TEST_F(DisplaySetup, LayoutBarAndModeToggleEitherWay) {
    edit(3);
    pass(KeyClockwise);
    EXPECT_EQ(settings.display_layout, DisplayLayout::Single);
    pass(KeyAnticlockwise);
    EXPECT_EQ(settings.display_layout, DisplayLayout::Dual);

    edit(4);
    pass(KeyLeft);
    EXPECT_EQ(settings.bar_orientation, BarOrientation::Horizontal);
    pass(KeyRight);
    EXPECT_EQ(settings.bar_orientation, BarOrientation::Vertical);

    settings.display_layout = DisplayLayout::Single;
    edit(5);
    pass(KeyClockwise);
    EXPECT_EQ(settings.cycle_mode, CycleMode::Auto);
    pass(KeyClockwise);
    EXPECT_EQ(settings.cycle_mode, CycleMode::Manual);
    EXPECT_EQ(hook_counts.backlight_on + hook_counts.backlight_off, 0u);
}

TEST_F(DisplaySetup, DisplayTimeWrapsAtBothEndsOneStepAtATime) {
    settings.display_layout = DisplayLayout::Single;
    settings.cycle_mode = CycleMode::Auto;
    key_step = 10;  // "KeyFast" does not speed up list values
    settings.display_time_index = 5;
    edit(6);
    pass(KeyClockwise);
    EXPECT_EQ(settings.display_time_index, 6);
    pass(KeyLeft);
    EXPECT_EQ(settings.display_time_index, 0);  // 60 s -> 1 s
    pass(KeyAnticlockwise);
    EXPECT_EQ(settings.display_time_index, 6);  // 1 s -> 60 s
    pass(KeyRight);
    EXPECT_EQ(settings.display_time_index, 5);

    // An index the menu never sets is drawn without reading past the table
    // and steps back onto it.
    settings.display_time_index = 200;
    pass(KeyClockwise);
    EXPECT_EQ(settings.display_time_index, 0);
    settings.display_time_index = 200;
    pass(KeyAnticlockwise);
    EXPECT_EQ(settings.display_time_index, 6);
}

TEST_F(DisplaySetup, DoneAndContrastLinesHaveNoValueToEdit) {
    for (u8 line = 0; line < 2; ++line) {
        current_page = page_display_setup;
        menu_cursor = line;
        pass(KeyCentre);
        EXPECT_EQ(menu_edit, 0);
        EXPECT_NE(current_page, page_display_setup);
    }
    // Unknown key codes are dropped without effect.
    current_page = page_display_setup;
    menu_cursor = 2;
    pass(static_cast<KeyCode>(7));
    EXPECT_EQ(menu_cursor, 2);
    EXPECT_EQ(pending_key, KeyNone);
}

TEST_F(DisplaySetup, GoldensOfTheThreeShapes) {
    // Dual, editing BACKLIGHT: only "ON" inverse.
    settings.backlight = 1;
    menu_cursor = 2;
    menu_edit = 1;
    pass();
    EXPECT_TRUE(matches_golden("menus/disp_setup_dual_edit_backlight"));

    // Single and manual with horizontal bars, the cursor on BAR.
    settings.display_layout = DisplayLayout::Single;
    settings.bar_orientation = BarOrientation::Horizontal;
    menu_cursor = 4;
    menu_edit = 0;
    pass();
    EXPECT_TRUE(matches_golden("menus/disp_setup_single_manual_on_bar"));

    // Single and automatic, editing DISP TIME.
    settings.bar_orientation = BarOrientation::Vertical;
    settings.cycle_mode = CycleMode::Auto;
    settings.display_time_index = 1;
    menu_cursor = 6;
    menu_edit = 1;
    pass();
    EXPECT_TRUE(matches_golden("menus/disp_setup_single_auto_edit_time"));
}

}  // namespace
