#include <gtest/gtest.h>

#include "app/headless/fake_host.h"
#include "firmware/firmware.h"
#include "tests/support/frame_text.h"

namespace {

class Message : public ::testing::Test {
protected:
    void SetUp() override {
        reset_all_state();
        load_factory_defaults();
    }
    static void pass(KeyCode key = KeyNone) {
        pending_key = key;
        lcd_clear();
        current_page();
    }
};

TEST_F(Message, AnyKeyGoesBackWithTheCursorWhereItWas) {
    for (u8 key = KeyCentre; key <= KeyRight; ++key) {
        current_page = page_message;
        return_page = page_calibrate;
        menu_cursor = 3;
        menu_edit = 0;
        pass(static_cast<KeyCode>(key));
        EXPECT_EQ(current_page, page_calibrate) << "key " << int(key);
        EXPECT_EQ(menu_cursor, 3);
        EXPECT_EQ(pending_key, KeyNone);
    }
}

TEST_F(Message, StaysWithoutAKeyOrWithAnUnknownOne) {
    current_page = page_message;
    return_page = page_calibrate;
    pass();
    EXPECT_EQ(current_page, page_message);
    pass(static_cast<KeyCode>(6));
    EXPECT_EQ(current_page, page_message);
    EXPECT_EQ(pending_key, KeyNone);

    // With no page to return to, the run screen takes over instead of a
    // page that would never run again.
    return_page = nullptr;
    pass(KeyCentre);
    EXPECT_EQ(current_page, page_run_screen);
}

TEST_F(Message, DrawsTitleIconAndDone) {
    current_page = page_message;
    return_page = page_calibrate;
    pass();
    const std::string shown = frame_to_text();
    lcd_clear();
    menu_title(" MESSAGE ");
    lcd_icon(ICON_MESSAGE);
    text_normal_centred(78, 26, "DONE", 1, DrawMode::Set, 0);
    EXPECT_EQ(shown, frame_to_text());
    // "DONE" centred on 78 starts at x 62 and ends with column 93.
    EXPECT_NE(frame_region(62, 26, 69, 41).find('#'), std::string::npos);
    EXPECT_EQ(frame_region(94, 26, 113, 41).find('#'), std::string::npos);
    EXPECT_TRUE(matches_golden("menus/message"));
}

}  // namespace
