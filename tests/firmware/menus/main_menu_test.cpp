#include <gtest/gtest.h>

#include "app/headless/fake_host.h"
#include "firmware/firmware.h"
#include "tests/support/frame_text.h"

namespace {

class MainMenu : public ::testing::Test {
protected:
    void SetUp() override {
        reset_all_state();
        load_factory_defaults();
        hook_counts = {};
        current_page = page_main_menu;
        key_step = 1;
    }
    // One pass of the current page with `key` pending.
    static void pass(KeyCode key = KeyNone) {
        pending_key = key;
        lcd_clear();
        current_page();
    }
};

// Top row of the scroll bar's thumb: the first lit row of column 109 below
// the title's rule.
int thumb_top() {
    for (int y = 8; y < LCD_HEIGHT; ++y)
        if (lcd_get_pixel(109, static_cast<u8>(y))) return y;
    return -1;
}

TEST_F(MainMenu, CursorStopsAtTheLastUserEntryWithoutCalibrate) {
    for (int i = 0; i < 5; ++i)
        pass(KeyClockwise);
    EXPECT_EQ(menu_cursor, 3);
    pass(KeyRight);
    EXPECT_EQ(menu_cursor, 3);
    pass(KeyLeft);
    EXPECT_EQ(menu_cursor, 2);
    pass(KeyAnticlockwise);
    pass(KeyAnticlockwise);
    pass(KeyAnticlockwise);
    EXPECT_EQ(menu_cursor, 0);
    EXPECT_EQ(current_page, page_main_menu);
    EXPECT_EQ(pending_key, KeyNone);
}

TEST_F(MainMenu, CursorReachesCalibrateWhileTicked) {
    calibrate_enabled = 1;
    for (int i = 0; i < 4; ++i)
        pass(KeyRight);
    EXPECT_EQ(menu_cursor, 4);
    pass(KeyClockwise);
    EXPECT_EQ(menu_cursor, 5);
    pass(KeyClockwise);
    EXPECT_EQ(menu_cursor, 5);
}

TEST_F(MainMenu, ScrollBarThumbTopsForSixAndFourEntries) {
    calibrate_enabled = 1;
    const int six[] = {8, 17, 26, 35, 45, 54};
    for (u8 c = 0; c < 6; ++c) {
        menu_cursor = c;
        pass();
        EXPECT_EQ(thumb_top(), six[c]) << "entry " << int(c);
        // 560 / 6 / 10: ten rows high, columns 109..113.
        EXPECT_TRUE(lcd_get_pixel(113, static_cast<u8>(six[c] + 9)));
        EXPECT_FALSE(lcd_get_pixel(113, static_cast<u8>(six[c] + 10)));
    }
    calibrate_enabled = 0;
    const int four[] = {8, 22, 36, 50};
    for (u8 c = 0; c < 4; ++c) {
        menu_cursor = c;
        pass();
        EXPECT_EQ(thumb_top(), four[c]) << "entry " << int(c);
    }
    EXPECT_TRUE(lcd_get_pixel(111, 8));
    EXPECT_TRUE(lcd_get_pixel(111, 63));
}

TEST_F(MainMenu, UntickingCalibrateOnAServiceEntryKeepsTheCursor) {
    calibrate_enabled = 1;
    menu_cursor = 5;
    pass();
    calibrate_enabled = 0;
    pass();
    // Thumb computed for four entries starts at y 78: off the screen.
    EXPECT_EQ(thumb_top(), -1);
    EXPECT_TRUE(lcd_get_pixel(111, 40));
    pass(KeyClockwise);
    EXPECT_EQ(menu_cursor, 5);
    pass(KeyRight);
    EXPECT_EQ(menu_cursor, 5);
    pass(KeyLeft);
    EXPECT_EQ(menu_cursor, 4);
    pass(KeyClockwise);
    EXPECT_EQ(menu_cursor, 4);
    // The entry still opens its page.
    pass(KeyCentre);
    EXPECT_EQ(current_page, page_adc_values);
    EXPECT_EQ(menu_cursor, 0);
}

TEST_F(MainMenu, CentreOpensEachEntryOnItsDoneLine) {
    calibrate_enabled = 1;
    const PageHandler pages[] = {page_run_screen,    page_display_setup, page_channel_setup,
                                 page_channel_setup, page_adc_values,    page_calibrate};
    for (u8 entry = 0; entry < 6; ++entry) {
        current_page = page_main_menu;
        menu_cursor = entry;
        menu_edit = 1;
        hook_counts = {};
        pass(KeyCentre);
        EXPECT_EQ(current_page, pages[entry]) << "entry " << int(entry);
        EXPECT_EQ(menu_cursor, 0);
        EXPECT_EQ(menu_edit, 0);
        EXPECT_EQ(pending_key, KeyNone);
        // Only EXIT counts as leaving the menus.
        EXPECT_EQ(hook_counts.page_leave, entry == 0 ? 1u : 0u);
    }
}

TEST_F(MainMenu, ChannelEntriesSelectTheChannelRecords) {
    menu_cursor = 3;
    pass(KeyCentre);
    EXPECT_EQ(edit_channel, 1);
    EXPECT_EQ(edit_pressure, &settings.pressure[1]);
    EXPECT_EQ(edit_temperature, &settings.temperature[1]);

    current_page = page_main_menu;
    menu_cursor = 2;
    pass(KeyCentre);
    EXPECT_EQ(edit_channel, 0);
    EXPECT_EQ(edit_pressure, &settings.pressure[0]);
    EXPECT_EQ(edit_temperature, &settings.temperature[0]);
}

TEST_F(MainMenu, UnknownKeysAndCursorsAreHarmless) {
    menu_cursor = 2;
    pass(static_cast<KeyCode>(6));
    pass(static_cast<KeyCode>(255));
    EXPECT_EQ(menu_cursor, 2);
    EXPECT_EQ(current_page, page_main_menu);
    EXPECT_EQ(pending_key, KeyNone);

    // A cursor beyond the table draws no entry and opens nothing; the knob
    // brings it back.
    menu_cursor = 200;
    pass(KeyCentre);
    EXPECT_EQ(current_page, page_main_menu);
    const std::string picture = frame_region(0, 8, 105, 63);
    EXPECT_EQ(picture.find('#'), std::string::npos);
    pass(KeyAnticlockwise);
    EXPECT_EQ(menu_cursor, 199);
}

TEST_F(MainMenu, PagesReturnToTheirOwnEntries) {
    // DISP SETUP and ADC VALUES through their DONE lines.
    menu_cursor = 1;
    pass(KeyCentre);
    ASSERT_EQ(current_page, page_display_setup);
    pass(KeyCentre);
    EXPECT_EQ(current_page, page_main_menu);
    EXPECT_EQ(menu_cursor, 1);
    EXPECT_EQ(menu_edit, 0);

    calibrate_enabled = 1;
    menu_cursor = 4;
    pass(KeyCentre);
    ASSERT_EQ(current_page, page_adc_values);
    pass(KeyCentre);
    EXPECT_EQ(current_page, page_main_menu);
    EXPECT_EQ(menu_cursor, 4);

    // The channel pages and CALIBRATE, which also counts as leaving.
    for (u8 entry = 2; entry <= 5; ++entry) {
        if (entry == 4) continue;
        current_page = page_main_menu;
        menu_cursor = entry;
        hook_counts = {};
        pass(KeyCentre);
        ASSERT_NE(current_page, page_main_menu);
        pass(KeyCentre);
        EXPECT_EQ(current_page, page_main_menu) << "entry " << int(entry);
        EXPECT_EQ(menu_cursor, entry);
        EXPECT_EQ(menu_edit, 0);
        EXPECT_EQ(hook_counts.page_leave, entry == 5 ? 1u : 0u);
    }
}

TEST_F(MainMenu, CaptionsAndIconsOfEachEntry) {
    struct Entry {
        const char* upper;
        const char* lower;
        u8 icon;
    } entries[] = {
        {"EXIT", "MENU", ICON_EXIT},          {"DISPLAY", "SETUP", ICON_DISPLAY},
        {"CHANNEL 1", "SETUP", ICON_CHANNEL}, {"CHANNEL 2", "SETUP", ICON_CHANNEL},
        {"ADC", "VALUES", ICON_ADC},          {"CALIBRATE", nullptr, ICON_CALIBRATE},
    };
    calibrate_enabled = 1;
    for (u8 c = 0; c < 6; ++c) {
        menu_cursor = c;
        pass();
        const std::string shown = frame_to_text();
        lcd_clear();
        menu_title(" MAIN MENU ");
        lcd_scroll_bar(c, 6);
        if (entries[c].lower != nullptr) {
            text_normal_centred(73, 18, entries[c].upper, 1, DrawMode::Set, 0);
            text_normal_centred(73, 36, entries[c].lower, 1, DrawMode::Set, 0);
        } else {
            text_normal_centred(73, 26, entries[c].upper, 1, DrawMode::Set, 0);
        }
        lcd_icon(entries[c].icon);
        EXPECT_EQ(shown, frame_to_text()) << "entry " << int(c);
    }
}

TEST_F(MainMenu, GoldensOfEveryEntryWithFourAndSixEntries) {
    for (u8 ticked = 0; ticked < 2; ++ticked) {
        calibrate_enabled = ticked;
        const u8 count = ticked == 1 ? 6 : 4;
        for (u8 c = 0; c < count; ++c) {
            menu_cursor = c;
            pass();
            EXPECT_TRUE(matches_golden("menus/main_menu_" + std::to_string(count) + "_entries_at_" +
                                       std::to_string(c)));
        }
    }
}

}  // namespace
