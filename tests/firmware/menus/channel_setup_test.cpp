// The channel setup page frame: MODE, line numbering, navigation, leaving.
#include "tests/firmware/menus/channel_page_fixture.h"

namespace {

using ChannelSetup = ChannelPage;

TEST_F(ChannelSetup, OffChannelHasOnlyDoneAndMode) {
    settings.channel_kind[0] = ChannelKind::Off;
    EXPECT_EQ(last_line(), 1);
    pass(KeyRight);
    EXPECT_EQ(menu_cursor, 1);
    pass(KeyLeft);
    pass(KeyAnticlockwise);
    EXPECT_EQ(menu_cursor, 0);
    pass(KeyAnticlockwise);
    EXPECT_EQ(menu_cursor, 0);
}

TEST_F(ChannelSetup, LastLineFollowsKindAndSender) {
    settings.channel_kind[0] = ChannelKind::Pressure;
    EXPECT_EQ(last_line(), 12);  // resistive VDO
    p().input_type = PressureInput::Voltage;
    p().sender = PressureSender::Standard;
    EXPECT_EQ(last_line(), 12);  // UMA
    p().input_type = PressureInput::Current;
    EXPECT_EQ(last_line(), 13);  // ROTAX adds PRES 20mA
    p().sender = PressureSender::User;
    EXPECT_EQ(last_line(), 12);

    settings.channel_kind[0] = ChannelKind::Temperature;
    t().sender = TemperatureSender::Vdo;
    EXPECT_EQ(last_line(), 10);
    t().sender = TemperatureSender::Lm335;
    EXPECT_EQ(last_line(), 11);
    t().sender = TemperatureSender::User;
    EXPECT_EQ(last_line(), 11);
    t().sender = TemperatureSender::Westach;
    EXPECT_EQ(last_line(), 10);
}

TEST_F(ChannelSetup, DoneReturnsToTheChannelsMainMenuEntry) {
    pass(KeyCentre);
    EXPECT_EQ(current_page, page_main_menu);
    EXPECT_EQ(menu_cursor, 2);
    EXPECT_EQ(menu_edit, 0);
    EXPECT_EQ(pending_key, KeyNone);

    open_channel(1);
    pass(KeyCentre);
    EXPECT_EQ(current_page, page_main_menu);
    EXPECT_EQ(menu_cursor, 3);
    // Leaving with a channel switched off must not pull the cursor back to
    // the page's own last line.
    open_channel(1);
    settings.channel_kind[1] = ChannelKind::Off;
    pass(KeyCentre);
    EXPECT_EQ(menu_cursor, 3);
}

TEST_F(ChannelSetup, CentreTogglesEditModeAndEditingHoldsTheCursor) {
    menu_cursor = 5;
    pass(KeyCentre);
    EXPECT_EQ(menu_edit, 1);
    EXPECT_EQ(current_page, page_channel_setup);
    for (KeyCode key : {KeyClockwise, KeyRight, KeyAnticlockwise, KeyLeft}) {
        pass(key);
        EXPECT_EQ(menu_cursor, 5);
        EXPECT_EQ(pending_key, KeyNone);
    }
    pass(KeyCentre);
    EXPECT_EQ(menu_edit, 0);
    pass(KeyClockwise);
    EXPECT_EQ(menu_cursor, 6);
}

TEST_F(ChannelSetup, EveryKeyIsClearedEvenWithoutEffect) {
    pass(static_cast<KeyCode>(9));
    EXPECT_EQ(pending_key, KeyNone);
    EXPECT_EQ(menu_cursor, 0);
    EXPECT_EQ(current_page, page_channel_setup);
}

TEST_F(ChannelSetup, ModeStepsTheKindOfTheOpenChannelWithWrap) {
    open_channel(1);
    settings.channel_kind[1] = ChannelKind::Off;
    change(1, KeyClockwise);
    EXPECT_EQ(settings.channel_kind[1], ChannelKind::Pressure);
    change(1, KeyLeft);
    EXPECT_EQ(settings.channel_kind[1], ChannelKind::Temperature);
    change(1, KeyClockwise);
    EXPECT_EQ(settings.channel_kind[1], ChannelKind::Off);
    change(1, KeyAnticlockwise);
    EXPECT_EQ(settings.channel_kind[1], ChannelKind::Temperature);
    change(1, KeyRight);
    change(1, KeyRight);
    change(1, KeyRight);
    EXPECT_EQ(settings.channel_kind[1], ChannelKind::Temperature);
    EXPECT_EQ(settings.channel_kind[0], ChannelKind::Pressure);  // channel 1 untouched
    EXPECT_EQ(menu_cursor, 1);
    EXPECT_EQ(menu_edit, 1);
    EXPECT_EQ(pending_key, KeyNone);
}

TEST_F(ChannelSetup, ANewKindsLinesAreReachableAtOnce) {
    settings.channel_kind[0] = ChannelKind::Off;
    change(1, KeyClockwise);
    pass(KeyCentre);
    EXPECT_EQ(menu_edit, 0);
    pass(KeyClockwise);
    EXPECT_EQ(menu_cursor, 2);
}

TEST_F(ChannelSetup, CursorNeverStaysPastTheLastLine) {
    // A list can only shrink below the line being edited, so this takes a
    // change made behind the page's back.
    menu_cursor = 12;
    settings.channel_kind[0] = ChannelKind::Off;
    pass();
    EXPECT_EQ(menu_cursor, 1);
    settings.channel_kind[0] = ChannelKind::Pressure;
    p().input_type = PressureInput::Current;
    p().sender = PressureSender::Standard;
    menu_cursor = 13;
    p().sender = PressureSender::User;
    pass();
    EXPECT_EQ(menu_cursor, 12);
}

TEST_F(ChannelSetup, SenderCurveEditorComesBackOnCalSender) {
    p().sender = PressureSender::User;
    menu_cursor = 4;
    pass(KeyCentre);
    ASSERT_EQ(current_page, page_sender_curve);
    pass(KeyCentre);  // DONE in the editor
    EXPECT_EQ(current_page, page_channel_setup);
    EXPECT_EQ(menu_cursor, 4);
    pass(KeyCentre);  // and CAL SENDER opens it again
    EXPECT_EQ(current_page, page_sender_curve);
}

}  // namespace

namespace {

// What the page shows. Rows are 8 pixels from y = 8; values start after
// their label's last character, blanks included.
using ChannelSetupScreen = ChannelPage;

TEST_F(ChannelSetupScreen, OffChannel) {
    open_channel(1);
    settings.channel_kind[1] = ChannelKind::Off;
    menu_cursor = 1;
    pass();
    EXPECT_TRUE(matches_golden("channel/off"));
    EXPECT_TRUE(shows_text(21, 0, "CHANNEL 2"));
    EXPECT_TRUE(shows_text(9, 8, "*** DONE ***", 0));
    EXPECT_TRUE(shows_text(0, 16, "MODE: ", 1));
    EXPECT_TRUE(shows_text(48, 16, "OFF", 1));
    EXPECT_EQ(frame_region(0, 24, 113, 63).find('#'), std::string::npos);
}

TEST_F(ChannelSetupScreen, LineInEditModeShowsOnlyItsValueInverse) {
    // SPAN is line 7: the list has scrolled by one, DONE is gone and SPAN
    // sits on the bottom row.
    menu_cursor = 7;
    menu_edit = 1;
    pass();
    EXPECT_TRUE(matches_golden("channel/pressure_span_editing"));
    EXPECT_TRUE(shows_text(0, 8, "MODE: "));
    EXPECT_TRUE(shows_text(0, 56, "SPAN: ", 0));
    EXPECT_TRUE(shows_text(48, 56, "10.0 BAR", 1));
    menu_edit = 0;
    pass();
    EXPECT_TRUE(shows_text(0, 56, "SPAN: ", 1));
}

TEST_F(ChannelSetupScreen, DoneShowsOnlyWhileUnscrolled) {
    menu_cursor = 6;
    pass();
    EXPECT_TRUE(shows_text(9, 8, "*** DONE ***", 0));
    EXPECT_TRUE(shows_text(0, 56, "UNIT: ", 1));
    menu_cursor = 7;
    pass();
    EXPECT_TRUE(shows_text(0, 8, "MODE: "));
    EXPECT_TRUE(shows_text(48, 8, "PRESSURE"));
}

}  // namespace
