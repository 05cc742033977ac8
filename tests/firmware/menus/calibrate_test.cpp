// CALIBRATE: the 4 mA and 20 mA captures from channel 1, and leaving.
#include "tests/firmware/menus/channel_page_fixture.h"

namespace {

class Calibrate : public ChannelPage {
protected:
    void SetUp() override {
        ChannelPage::SetUp();
        current_page = page_calibrate;
        settings.cal_reading_4ma = 600;
        settings.cal_reading_20ma = 3200;
        raw_reading[0] = 812;
        raw_reading[1] = 2999;
    }
};

TEST_F(Calibrate, CursorStaysOnItsThreeLines) {
    pass(KeyAnticlockwise);
    EXPECT_EQ(menu_cursor, 0);
    pass(KeyClockwise);
    pass(KeyRight);
    EXPECT_EQ(menu_cursor, 2);
    pass(KeyClockwise);
    EXPECT_EQ(menu_cursor, 2);
    pass(KeyLeft);
    EXPECT_EQ(menu_cursor, 1);
    EXPECT_EQ(pending_key, KeyNone);
    EXPECT_EQ(menu_edit, 0);
}

TEST_F(Calibrate, CapturesTakeChannelOneWhateverTheKinds) {
    settings.channel_kind[0] = ChannelKind::Off;
    settings.channel_kind[1] = ChannelKind::Pressure;
    menu_cursor = 2;
    pass(KeyCentre);
    EXPECT_EQ(settings.cal_reading_20ma, 812u);
    EXPECT_EQ(settings.cal_reading_4ma, 600u);
    EXPECT_EQ(current_page, page_message);
    EXPECT_EQ(return_page, page_calibrate);
    EXPECT_EQ(pending_key, KeyNone);

    current_page = page_calibrate;
    raw_reading[0] = 41;
    menu_cursor = 1;
    pass(KeyCentre);
    EXPECT_EQ(settings.cal_reading_4ma, 41u);
    EXPECT_EQ(settings.cal_reading_20ma, 812u);
    EXPECT_EQ(menu_cursor, 1);  // MESSAGE comes back to this line
}

TEST_F(Calibrate, DoneLeavesForTheCalibrateEntryThroughTheLeaveHook) {
    pass(KeyCentre);
    EXPECT_EQ(current_page, page_main_menu);
    EXPECT_EQ(menu_cursor, 5);
    EXPECT_EQ(hook_counts.page_leave, 1u);
    EXPECT_EQ(settings.cal_reading_4ma, 600u);
    EXPECT_EQ(settings.cal_reading_20ma, 3200u);
}

}  // namespace

namespace {

using CalibrateScreen = Calibrate;

TEST_F(CalibrateScreen, ThreeLinesUnderTheTitle) {
    menu_cursor = 1;
    pass();
    EXPECT_TRUE(matches_golden("calibrate/calibrate"));
    EXPECT_TRUE(shows_text(21, 0, "CALIBRATE"));
    EXPECT_TRUE(shows_text(9, 8, "*** DONE ***", 0));
    EXPECT_TRUE(shows_text(0, 16, "CH1 4mA CAL", 1));
    EXPECT_TRUE(shows_text(0, 24, "CH1 20mA CAL", 0));
    EXPECT_EQ(frame_region(0, 32, 113, 63).find('#'), std::string::npos);
}

}  // namespace
