// Temperature lines of the channel setup page: sender, LM335 offset, CAL
// SENDER, label, unit and the -40 .. 300 |C / 570 |F limits.
#include "tests/firmware/menus/channel_page_fixture.h"

namespace {

// Factory channel 2: temperature, VDO sender, Celsius.
// Lines: 2 SENDER, 3 LABEL, 4 UNIT, 5 SPAN, 6 TOPSCALE, 7 LOW ALARM (switch),
// 8 LOW ALARM (value), 9 HIGH ALARM (switch), 10 HIGH ALARM (value); the
// LM335 and USER senders insert a line at 3 and move the rest down by one.
class TemperatureLines : public ChannelPage {
protected:
    void SetUp() override {
        ChannelPage::SetUp();
        open_channel(1);
    }
};

TEST_F(TemperatureLines, SenderStepsThroughAllFiveWithWrap) {
    t().sender = TemperatureSender::KvxNtc;
    const TemperatureSender order[] = {TemperatureSender::Vdo, TemperatureSender::Lm335,
                                       TemperatureSender::User, TemperatureSender::Westach,
                                       TemperatureSender::KvxNtc};
    for (TemperatureSender next : order) {
        change(2, KeyClockwise);
        EXPECT_EQ(t().sender, next);
    }
    change(2, KeyRight);
    EXPECT_EQ(t().sender, TemperatureSender::Westach);
    key_step = 10;
    change(2, KeyAnticlockwise);
    EXPECT_EQ(t().sender, TemperatureSender::User);
}

TEST_F(TemperatureLines, SenderDecidesWhatLineThreeIs) {
    t().label = TemperatureLabel::Oil;
    change(3, KeyClockwise);  // VDO: LABEL is line 3
    EXPECT_EQ(t().label, TemperatureLabel::Coolant);

    t().sender = TemperatureSender::User;
    change(3, KeyClockwise);  // CAL SENDER has no value
    EXPECT_EQ(t().label, TemperatureLabel::Coolant);
    change(4, KeyClockwise);
    EXPECT_EQ(t().label, TemperatureLabel::Water);

    t().sender = TemperatureSender::Lm335;
    t().lm335_offset = 0;
    change(3, KeyClockwise);
    EXPECT_EQ(t().lm335_offset, 1);
    change(4, KeyClockwise);
    EXPECT_EQ(t().label, TemperatureLabel::Aux);
    change(4, KeyClockwise);
    EXPECT_EQ(t().label, TemperatureLabel::Oil);
    change(4, KeyAnticlockwise);
    EXPECT_EQ(t().label, TemperatureLabel::Aux);
}

TEST_F(TemperatureLines, Lm335OffsetMovesByOneAndStopsAtThirty) {
    t().sender = TemperatureSender::Lm335;
    key_step = 10;
    t().lm335_offset = 28;
    change(3, KeyClockwise);
    EXPECT_EQ(t().lm335_offset, 29);
    change(3, KeyLeft);
    change(3, KeyLeft);
    EXPECT_EQ(t().lm335_offset, 30);
    t().lm335_offset = -29;
    change(3, KeyRight);
    EXPECT_EQ(t().lm335_offset, -30);
    change(3, KeyAnticlockwise);
    EXPECT_EQ(t().lm335_offset, -30);
    EXPECT_EQ(pending_key, KeyNone);
    // The offset belongs to the LM335 only.
    t().sender = TemperatureSender::Vdo;
    menu_cursor = 3;
    pending_key = KeyClockwise;
    edit_temperature_line(TemperatureLine::Lm335Offset, 3);
    EXPECT_EQ(t().lm335_offset, -30);
}

TEST_F(TemperatureLines, ValuesWrapBetweenMinusFortyAndTheUnitsTop) {
    struct Case {
        u8 line;
        s32 TemperatureChannelSettings::*field;
    };
    for (Case c : {Case{5, &TemperatureChannelSettings::span},
                   Case{8, &TemperatureChannelSettings::low_alarm},
                   Case{10, &TemperatureChannelSettings::high_alarm}}) {
        SCOPED_TRACE(c.line);
        s32& v = t().*c.field;
        t().unit = TemperatureUnit::Celsius;
        key_step = 10;
        v = 295;
        change(c.line, KeyClockwise);
        EXPECT_EQ(v, -40);
        v = -35;
        change(c.line, KeyAnticlockwise);
        EXPECT_EQ(v, 300);
        v = -30;
        change(c.line, KeyRight);
        EXPECT_EQ(v, -40);  // the bottom itself is allowed
        key_step = 1;
        v = 300;
        change(c.line, KeyLeft);
        EXPECT_EQ(v, -40);
        change(c.line, KeyRight);
        EXPECT_EQ(v, 300);
        t().unit = TemperatureUnit::Fahrenheit;
        change(c.line, KeyClockwise);
        EXPECT_EQ(v, 301);
        v = 570;
        change(c.line, KeyClockwise);
        EXPECT_EQ(v, -40);
        change(c.line, KeyAnticlockwise);
        EXPECT_EQ(v, 570);
    }
}

TEST_F(TemperatureLines, UnitChangeNeitherConvertsNorClamps) {
    t().unit = TemperatureUnit::Fahrenheit;
    t().span = 500;
    t().high_alarm = 450;
    change(4, KeyClockwise);
    EXPECT_EQ(t().unit, TemperatureUnit::Celsius);
    EXPECT_EQ(t().span, 500);
    EXPECT_EQ(t().high_alarm, 450);
    change(5, KeyClockwise);
    EXPECT_EQ(t().span, -40);
    change(4, KeyAnticlockwise);
    EXPECT_EQ(t().unit, TemperatureUnit::Fahrenheit);
    t().unit = static_cast<TemperatureUnit>(5);  // shown and stepped as |F
    change(4, KeyClockwise);
    EXPECT_EQ(t().unit, TemperatureUnit::Celsius);
}

TEST_F(TemperatureLines, SwitchesToggle) {
    t().top_scale = 1;
    t().low_alarm_on = 0;
    t().high_alarm_on = 1;
    change(6, KeyClockwise);
    change(7, KeyAnticlockwise);
    change(9, KeyLeft);
    EXPECT_EQ(t().top_scale, 0);
    EXPECT_EQ(t().low_alarm_on, 1);
    EXPECT_EQ(t().high_alarm_on, 0);
}

TEST_F(TemperatureLines, CalSenderOpensTheEditorOnATemperatureCopy) {
    t().sender = TemperatureSender::User;
    menu_cursor = 3;
    pass(KeyCentre);
    EXPECT_EQ(current_page, page_sender_curve);
    EXPECT_EQ(curve_is_temperature, 1);
    EXPECT_EQ(menu_cursor, 0);
    EXPECT_EQ(menu_edit, 0);
    EXPECT_EQ(curve_work.point_count, 10u);
    EXPECT_EQ(curve_work.points[9].value, 150);

    // Elsewhere the centre key toggles edit mode as usual.
    current_page = page_channel_setup;
    menu_cursor = 4;
    pass(KeyCentre);
    EXPECT_EQ(menu_edit, 1);
    EXPECT_EQ(current_page, page_channel_setup);
    // A CAL SENDER line of another sender uses the key up and stays put.
    t().sender = TemperatureSender::Vdo;
    menu_cursor = 3;
    pending_key = KeyCentre;
    edit_temperature_line(TemperatureLine::CalSender, 3);
    EXPECT_EQ(pending_key, KeyNone);
    EXPECT_EQ(current_page, page_channel_setup);
}

TEST_F(TemperatureLines, DamagedCodesStepBackIntoTheirLists) {
    t().sender = static_cast<TemperatureSender>(8);
    t().label = static_cast<TemperatureLabel>(9);
    settings.channel_kind[1] = static_cast<ChannelKind>(5);
    pass();  // an unknown kind shows MODE only
    EXPECT_EQ(last_line(), 1);
    change(1, KeyAnticlockwise);
    EXPECT_EQ(settings.channel_kind[1], ChannelKind::Temperature);
    change(2, KeyClockwise);
    EXPECT_EQ(t().sender, TemperatureSender::KvxNtc);
    change(3, KeyAnticlockwise);
    EXPECT_EQ(t().label, TemperatureLabel::Aux);
}

}  // namespace

namespace {

class TemperatureScreen : public ChannelPage {
protected:
    void SetUp() override {
        ChannelPage::SetUp();
        open_channel(1);
    }
};

TEST_F(TemperatureScreen, Vdo) {
    menu_cursor = 2;
    pass();
    EXPECT_TRUE(matches_golden("channel/temperature_vdo"));
    EXPECT_TRUE(shows_text(21, 0, "CHANNEL 2"));
    EXPECT_TRUE(shows_text(0, 16, "MODE: TEMP"));
    EXPECT_TRUE(shows_text(0, 24, "SENDER: VDO", 1));
    EXPECT_TRUE(shows_text(0, 32, "LABEL: OIL"));
    EXPECT_TRUE(shows_text(0, 40, "UNIT: |C"));
    EXPECT_TRUE(shows_text(0, 48, "SPAN: 150|C"));
    EXPECT_TRUE(shows_text(0, 56, "TOPSCALE: ON"));
    menu_cursor = 10;  // the alarm lines carry their switch's label and no unit
    t().unit = TemperatureUnit::Fahrenheit;
    pass();
    EXPECT_TRUE(shows_text(0, 16, "SPAN: 150|F"));
    EXPECT_TRUE(shows_text(0, 32, "LOW ALARM: ON"));
    EXPECT_TRUE(shows_text(0, 40, "LOW ALARM: 70"));
    EXPECT_TRUE(shows_text(0, 48, "HIGH ALARM:ON"));
    EXPECT_TRUE(shows_text(0, 56, "HIGH ALARM:135", 1));
}

TEST_F(TemperatureScreen, Lm335ShowsOffsetAndReading) {
    t().sender = TemperatureSender::Lm335;
    t().lm335_offset = 0;
    lm335_reading[1] = 27;
    lm335_reading[0] = 99;  // the other channel's
    menu_cursor = 3;
    pass();
    EXPECT_TRUE(matches_golden("channel/temperature_lm335"));
    EXPECT_TRUE(shows_text(0, 24, "SENDER: LM335"));
    EXPECT_TRUE(shows_text(0, 32, "LM335:", 1));
    EXPECT_TRUE(shows_text(48, 32, "+0 27|C", 1));
    EXPECT_TRUE(shows_text(0, 40, "LABEL: OIL"));
    t().lm335_offset = -30;
    lm335_reading[1] = -5;
    pass();
    EXPECT_TRUE(shows_text(48, 32, "-30 -5|C", 1));
}

TEST_F(TemperatureScreen, UserWithCalSender) {
    t().sender = TemperatureSender::User;
    menu_cursor = 3;
    pass();
    EXPECT_TRUE(matches_golden("channel/temperature_user_cal_sender"));
    EXPECT_TRUE(shows_text(0, 24, "SENDER: USER"));
    EXPECT_TRUE(shows_text(0, 32, "CAL SENDER", 1));
    EXPECT_EQ(frame_region(80, 32, 113, 39).find('#'), std::string::npos);
    EXPECT_TRUE(shows_text(0, 40, "LABEL: OIL"));
    menu_cursor = 9;  // scrolled by 3: CAL SENDER on row 0
    pass();
    EXPECT_TRUE(shows_text(0, 8, "CAL SENDER", 0));
    menu_cursor = 10;
    pass();
    EXPECT_TRUE(shows_text(0, 8, "LABEL: OIL"));
}

TEST_F(TemperatureScreen, SevenLetterSendersFillTheLine) {
    t().sender = TemperatureSender::Westach;
    pass();
    EXPECT_TRUE(shows_text(0, 24, "SENDER:WESTACH"));
    t().sender = TemperatureSender::KvxNtc;
    pass();
    EXPECT_TRUE(shows_text(0, 24, "SENDER:KVX NTC"));
}

}  // namespace
