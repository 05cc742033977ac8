// The sender-curve editor: POINTS, value and reading steps with their
// before-the-step limits, and store-and-leave.
#include "tests/firmware/menus/channel_page_fixture.h"

namespace {

class SenderCurveEditor : public ChannelPage {
protected:
    // Opens the editor the way CAL SENDER does, on channel `channel`.
    void open_editor(u8 channel) {
        open_channel(channel);
        if (channel == 0) {
            p().sender = PressureSender::User;
            menu_cursor = 4;
        } else {
            t().sender = TemperatureSender::User;
            menu_cursor = 3;
        }
        pass(KeyCentre);
        ASSERT_EQ(current_page, page_sender_curve);
    }
};

TEST_F(SenderCurveEditor, LastLineComesFromThePointCount) {
    open_editor(0);
    EXPECT_EQ(last_line(), 13);  // factory pressure curve: 6 points
    open_editor(1);
    EXPECT_EQ(last_line(), 21);  // factory temperature curve: 10 points
    pass(KeyRight);
    EXPECT_EQ(menu_cursor, 21);
}

TEST_F(SenderCurveEditor, PointsRunFromTwoToTenWithWrap) {
    open_editor(1);
    change(1, KeyClockwise);
    EXPECT_EQ(curve_work.point_count, 2u);
    change(1, KeyRight);
    EXPECT_EQ(curve_work.point_count, 10u);
    change(1, KeyAnticlockwise);
    EXPECT_EQ(curve_work.point_count, 9u);
    key_step = 10;  // the count moves by one whatever the key step
    change(1, KeyLeft);
    EXPECT_EQ(curve_work.point_count, 10u);
    // A shorter list keeps the hidden points and shows them again later.
    curve_work.point_count = 3;
    change(1, KeyAnticlockwise);
    EXPECT_EQ(curve_work.point_count, 2u);
    EXPECT_EQ(menu_cursor, 1);
    EXPECT_EQ(curve_work.points[9].value, 150);
    menu_edit = 0;
    EXPECT_EQ(last_line(), 5);
    // Counts no menu stores come back into 2..10.
    curve_work.point_count = 0;
    change(1, KeyClockwise);
    EXPECT_EQ(curve_work.point_count, 2u);
    curve_work.point_count = 0x1FF;  // only the low byte counts: 255
    change(1, KeyAnticlockwise);
    EXPECT_EQ(curve_work.point_count, 10u);
}

TEST_F(SenderCurveEditor, ValuesTestTheirLimitsBeforeTheStep) {
    open_editor(0);
    CurvePoint& first = curve_work.points[0];
    key_step = 10;
    first.value = 995;
    change(2, KeyClockwise);
    EXPECT_EQ(first.value, 1005);
    change(2, KeyLeft);
    EXPECT_EQ(first.value, 0);
    first.value = 5;
    change(2, KeyAnticlockwise);
    EXPECT_EQ(first.value, -5);
    change(2, KeyRight);
    EXPECT_EQ(first.value, 999);
    key_step = 1;
    change(2, KeyClockwise);
    EXPECT_EQ(first.value, 0);
    change(2, KeyAnticlockwise);
    EXPECT_EQ(first.value, 999);
    // The last shown point's value is line 2n.
    change(12, KeyClockwise);
    EXPECT_EQ(curve_work.points[5].value, 101);
}

TEST_F(SenderCurveEditor, ReadingsStaySignedThroughTheirUnsignedField) {
    open_editor(1);
    CurvePoint& tenth = curve_work.points[9];
    key_step = 10;
    tenth.reading = 4090;
    change(21, KeyLeft);
    EXPECT_EQ(tenth.reading, 4100u);
    change(21, KeyClockwise);
    EXPECT_EQ(tenth.reading, 0u);
    tenth.reading = 5;
    change(21, KeyAnticlockwise);
    EXPECT_EQ(static_cast<s32>(tenth.reading), -5);
    // -5 is below zero as a signed number: the next step down wraps to the
    // top instead of counting down from four thousand million.
    change(21, KeyRight);
    EXPECT_EQ(tenth.reading, 4096u);
    change(21, KeyClockwise);
    EXPECT_EQ(tenth.reading, 0u);
    tenth.reading = static_cast<u32>(-3);
    change(21, KeyClockwise);
    EXPECT_EQ(tenth.reading, 7u);
}

TEST_F(SenderCurveEditor, CentreTogglesEditOnEveryLineButDone) {
    open_editor(0);
    menu_cursor = 3;
    pass(KeyCentre);
    EXPECT_EQ(menu_edit, 1);
    pass(KeyClockwise);
    EXPECT_EQ(menu_cursor, 3);
    pass(KeyCentre);
    EXPECT_EQ(menu_edit, 0);
    EXPECT_EQ(current_page, page_sender_curve);
}

TEST_F(SenderCurveEditor, NothingReachesTheSettingsBeforeDone) {
    open_editor(0);
    change(2, KeyClockwise);
    change(1, KeyAnticlockwise);
    EXPECT_EQ(p().user_curve.point_count, 6u);
    EXPECT_EQ(p().user_curve.points[0].value, 0);
}

TEST_F(SenderCurveEditor, DoneStoresAllThirteenPointsOfAPressureCurve) {
    open_editor(0);
    curve_work.point_count = 2;
    curve_work.points[0] = {-5, static_cast<u32>(-5)};
    curve_work.points[7] = {123, 456};
    curve_work.points[12] = {9, 4100};
    menu_cursor = 0;
    menu_edit = 0;
    pass(KeyCentre);
    EXPECT_EQ(current_page, page_channel_setup);
    EXPECT_EQ(menu_cursor, 4);
    EXPECT_EQ(menu_edit, 0);
    EXPECT_EQ(pending_key, KeyNone);
    const SenderCurve& c = settings.pressure[0].user_curve;
    EXPECT_EQ(c.point_count, 2u);
    EXPECT_EQ(c.points[0].value, -5);
    EXPECT_EQ(c.points[0].reading, static_cast<u32>(-5));
    EXPECT_EQ(c.points[5].reading, 440u);  // beyond the count, kept
    EXPECT_EQ(c.points[7].reading, 456u);
    EXPECT_EQ(c.points[12].reading, 4100u);
    EXPECT_EQ(settings.pressure[1].user_curve.point_count, 6u);
    EXPECT_EQ(settings.temperature[0].user_curve.point_count, 10u);
}

TEST_F(SenderCurveEditor, DoneStoresATemperatureCurveOnItsOwnChannel) {
    open_editor(1);
    change(1, KeyClockwise);  // 10 -> 2
    menu_cursor = 0;
    menu_edit = 0;
    pass(KeyCentre);
    EXPECT_EQ(current_page, page_channel_setup);
    EXPECT_EQ(menu_cursor, 3);
    EXPECT_EQ(settings.temperature[1].user_curve.point_count, 2u);
    EXPECT_EQ(settings.temperature[0].user_curve.point_count, 10u);
    EXPECT_EQ(settings.pressure[1].user_curve.point_count, 6u);
    // Back on the channel page the cursor sits on CAL SENDER.
    pass(KeyCentre);
    EXPECT_EQ(current_page, page_sender_curve);
    EXPECT_EQ(curve_work.point_count, 2u);
}

TEST_F(SenderCurveEditor, ADamagedCountShowsNoMorePointsThanTheCurveHolds) {
    open_editor(0);
    curve_work.point_count = 200;
    EXPECT_EQ(last_line(), 27);  // 13 points
    change(27, KeyClockwise);    // beyond the ten editable points: nothing
    EXPECT_EQ(curve_work.points[12].reading, 0u);
    curve_work.point_count = 2;  // the count changed behind the page's back
    menu_edit = 0;
    pass();
    EXPECT_EQ(menu_cursor, 5);
}

}  // namespace

namespace {

using SenderCurveScreen = SenderCurveEditor;

TEST_F(SenderCurveScreen, SixPointPressureCurveInTenths) {
    raw_reading[0] = 2048;
    raw_reading[1] = 7;
    open_editor(0);
    pass();
    EXPECT_TRUE(matches_golden("calibrate/curve_pressure_6"));
    // " PRESS: 2048 " has 13 characters: its cells start at x = 5 and the
    // rules reach two pixels into the blank cells at its ends.
    EXPECT_TRUE(shows_text(13, 0, "PRESS: 2048"));
    EXPECT_EQ(frame_region(0, 4, 8, 4), "########.\n");
    EXPECT_EQ(frame_region(106, 4, 113, 4), ".#######\n");
    EXPECT_TRUE(shows_text(9, 8, "*** DONE ***", 1));
    EXPECT_TRUE(shows_text(0, 16, "POINTS: 6"));
    EXPECT_TRUE(shows_text(0, 24, "DISPLAY 1:0.0"));
    EXPECT_TRUE(shows_text(0, 32, "ADC 1: 0021"));
    EXPECT_TRUE(shows_text(0, 40, "DISPLAY 2:2.0"));
    EXPECT_TRUE(shows_text(0, 48, "ADC 2: 0132"));
    EXPECT_TRUE(shows_text(0, 56, "DISPLAY 3:4.0"));
    raw_reading[0] = 2049;  // the title follows the input on every pass
    pass();
    EXPECT_TRUE(shows_text(13, 0, "PRESS: 2049"));
}

TEST_F(SenderCurveScreen, TenPointTemperatureCurveScrolledToTheEnd) {
    raw_reading[1] = 1234;
    open_editor(1);
    menu_cursor = 21;
    pass();
    EXPECT_TRUE(matches_golden("calibrate/curve_temperature_scrolled"));
    EXPECT_TRUE(shows_text(17, 0, "TEMP: 1234"));
    EXPECT_TRUE(shows_text(0, 8, "ADC 7: 0092"));
    EXPECT_TRUE(shows_text(0, 16, "DISPLAY 8:130"));
    EXPECT_TRUE(shows_text(0, 48, "DISPLAY10:150"));
    EXPECT_TRUE(shows_text(0, 56, "ADC 10: ", 1));
    EXPECT_TRUE(shows_text(64, 56, "0044", 1));
}

TEST_F(SenderCurveScreen, WholeUnitsNegativeNumbersAndEditMode) {
    p().unit = PressureUnit::Psi;
    open_editor(0);
    curve_work.points[0] = {5, static_cast<u32>(-5)};
    menu_cursor = 3;
    menu_edit = 1;
    pass();
    EXPECT_TRUE(shows_text(0, 24, "DISPLAY 1:005"));
    EXPECT_TRUE(shows_text(0, 32, "ADC 1: ", 0));
    EXPECT_TRUE(shows_text(56, 32, "-005", 1));
    p().unit = PressureUnit::PsiTenths;
    curve_work.points[0].value = -5;
    pass();
    EXPECT_TRUE(shows_text(0, 24, "DISPLAY 1:-0.5"));
}

}  // namespace
