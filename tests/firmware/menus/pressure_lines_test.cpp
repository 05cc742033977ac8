// Pressure lines of the channel setup page: senders and their corrections,
// list steps, numeric limits by unit, the unit-change clamp, CAL SENDER.
#include "tests/firmware/menus/channel_page_fixture.h"

namespace {

// Factory channel 1: pressure, resistive VDO "10 BAR", BAR.
// Lines: 2 TYPE, 3 SENDER, 4 MODEL, 5 LABEL, 6 UNIT, 7 SPAN, 8 TOPSCALE,
// 9 LOW ALARM, 10 LOW ALM, 11 HIGH ALARM, 12 HIGH ALM.
class PressureLines : public ChannelPage {
protected:
    void rotax() {
        p().input_type = PressureInput::Current;
        p().sender = PressureSender::Standard;
    }
};

TEST_F(PressureLines, UnitLimits) {
    EXPECT_EQ(pressure_unit_limit(PressureUnit::Bar), 100);
    EXPECT_EQ(pressure_unit_limit(PressureUnit::Psi), 500);
    EXPECT_EQ(pressure_unit_limit(PressureUnit::PsiTenths), 999);
    EXPECT_EQ(pressure_unit_limit(PressureUnit::InHg), 300);
    EXPECT_EQ(pressure_unit_limit(static_cast<PressureUnit>(7)), 100);
}

TEST_F(PressureLines, SpanAndAlarmsWrapBetweenOneAndTheLimitAfterTheStep) {
    struct Case {
        u8 line;
        s32 PressureChannelSettings::*field;
    };
    for (Case c :
         {Case{7, &PressureChannelSettings::span}, Case{10, &PressureChannelSettings::low_alarm},
          Case{12, &PressureChannelSettings::high_alarm}}) {
        SCOPED_TRACE(c.line);
        s32& v = p().*c.field;
        key_step = 10;
        v = 95;
        change(c.line, KeyClockwise);
        EXPECT_EQ(v, 1);  // 105 > 100
        v = 90;
        change(c.line, KeyLeft);
        EXPECT_EQ(v, 100);  // the limit itself is allowed
        v = 5;
        change(c.line, KeyAnticlockwise);
        EXPECT_EQ(v, 100);
        v = 11;
        change(c.line, KeyRight);
        EXPECT_EQ(v, 1);
        key_step = 1;
        v = 100;
        change(c.line, KeyClockwise);
        EXPECT_EQ(v, 1);
        change(c.line, KeyAnticlockwise);
        EXPECT_EQ(v, 100);
        EXPECT_EQ(pending_key, KeyNone);
    }
}

TEST_F(PressureLines, LimitsFollowTheUnit) {
    key_step = 1;
    p().unit = PressureUnit::PsiTenths;
    p().span = 999;
    change(7, KeyClockwise);
    EXPECT_EQ(p().span, 1);
    change(7, KeyAnticlockwise);
    EXPECT_EQ(p().span, 999);
    p().unit = PressureUnit::Psi;
    p().span = 1;
    change(7, KeyAnticlockwise);
    EXPECT_EQ(p().span, 500);
    p().unit = PressureUnit::InHg;
    p().high_alarm = 1;
    change(12, KeyAnticlockwise);
    EXPECT_EQ(p().high_alarm, 300);
}

TEST_F(PressureLines, FourMilliampPressureWrapsBetweenZeroAndTheLimit) {
    rotax();
    key_step = 10;
    p().pressure_at_4ma = 5;
    change(4, KeyRight);
    EXPECT_EQ(p().pressure_at_4ma, 100);
    change(4, KeyLeft);
    EXPECT_EQ(p().pressure_at_4ma, 0);
    key_step = 1;
    change(4, KeyAnticlockwise);
    EXPECT_EQ(p().pressure_at_4ma, 100);
}

TEST_F(PressureLines, TwentyMilliampPressureStepsAsASignedNumber) {
    // The field is unsigned; 1 - 10 must read as below 1 and wrap to the
    // limit, not as a huge count.
    rotax();
    key_step = 10;
    p().pressure_at_20ma = 1;
    change(5, KeyAnticlockwise);
    EXPECT_EQ(p().pressure_at_20ma, 100u);
    p().pressure_at_20ma = 5;
    change(5, KeyRight);
    EXPECT_EQ(p().pressure_at_20ma, 100u);
    p().pressure_at_20ma = 95;
    change(5, KeyClockwise);
    EXPECT_EQ(p().pressure_at_20ma, 1u);
    key_step = 1;
    p().pressure_at_20ma = 1;
    change(5, KeyAnticlockwise);
    EXPECT_EQ(p().pressure_at_20ma, 100u);
    change(5, KeyClockwise);
    EXPECT_EQ(p().pressure_at_20ma, 1u);
}

TEST_F(PressureLines, UnitChangeClampsWithoutConverting) {
    p().unit = PressureUnit::Psi;
    p().span = 450;
    p().low_alarm = 0;
    p().high_alarm = 400;
    p().pressure_at_20ma = 300;
    p().pressure_at_4ma = 300;
    change(6, KeyClockwise);  // PSI -> PSI(0.1): everything fits
    EXPECT_EQ(p().unit, PressureUnit::PsiTenths);
    EXPECT_EQ(p().span, 450);
    EXPECT_EQ(p().low_alarm, 1);  // below 1 is raised whatever the unit
    change(6, KeyClockwise);      // -> "Hg
    EXPECT_EQ(p().unit, PressureUnit::InHg);
    EXPECT_EQ(p().span, 300);
    EXPECT_EQ(p().high_alarm, 300);
    change(6, KeyClockwise);  // -> BAR
    EXPECT_EQ(p().unit, PressureUnit::Bar);
    EXPECT_EQ(p().span, 100);
    EXPECT_EQ(p().high_alarm, 100);
    EXPECT_EQ(p().pressure_at_20ma, 100u);
    EXPECT_EQ(p().pressure_at_4ma, 300);  // never clamped...
    rotax();
    change(4, KeyClockwise);
    EXPECT_EQ(p().pressure_at_4ma, 0);  // ...but its next increase wraps
    // Backward through the units: BAR -> "Hg -> ... , and no conversion.
    p().input_type = PressureInput::Resistive;
    p().sender = PressureSender::Vdo;
    p().span = 100;
    change(6, KeyAnticlockwise);
    EXPECT_EQ(p().unit, PressureUnit::InHg);
    EXPECT_EQ(p().span, 100);
    change(6, KeyRight);
    change(6, KeyRight);
    EXPECT_EQ(p().unit, PressureUnit::Psi);
    change(6, KeyRight);
    EXPECT_EQ(p().unit, PressureUnit::Bar);
}

TEST_F(PressureLines, ClampRaisesZeroTwentyMilliampAndLeavesFourMilliamp) {
    p().unit = PressureUnit::Bar;
    p().pressure_at_20ma = 0;
    p().pressure_at_4ma = -7;
    p().span = -3;
    p().low_alarm = 500;
    clamp_pressure_values();
    EXPECT_EQ(p().pressure_at_20ma, 1u);
    EXPECT_EQ(p().pressure_at_4ma, -7);
    EXPECT_EQ(p().span, 1);
    EXPECT_EQ(p().low_alarm, 100);
    p().pressure_at_20ma = 0xFFFFFFF6u;  // a pattern no menu produces
    clamp_pressure_values();
    EXPECT_EQ(p().pressure_at_20ma, 100u);
}

TEST_F(PressureLines, SenderIsPutRightForItsInputWhileDrawing) {
    p().sender = PressureSender::Standard;  // resistive
    pass();
    EXPECT_EQ(p().sender, PressureSender::Vdo);
    p().input_type = PressureInput::Voltage;
    pass();
    EXPECT_EQ(p().sender, PressureSender::Standard);
    p().sender = PressureSender::User;
    for (PressureInput in :
         {PressureInput::Resistive, PressureInput::Voltage, PressureInput::Current}) {
        p().input_type = in;
        pass();
        EXPECT_EQ(p().sender, PressureSender::User);
    }
}

TEST_F(PressureLines, NewInputTypeReachesTheSenderInTheSamePass) {
    change(2, KeyClockwise);  // RESISTIVE -> 0-5V under VDO
    EXPECT_EQ(p().input_type, PressureInput::Voltage);
    EXPECT_EQ(p().sender, PressureSender::Standard);
    change(2, KeyAnticlockwise);  // back to RESISTIVE: UMA becomes VDO
    EXPECT_EQ(p().input_type, PressureInput::Resistive);
    EXPECT_EQ(p().sender, PressureSender::Vdo);
    change(2, KeyAnticlockwise);
    EXPECT_EQ(p().input_type, PressureInput::Current);
    change(2, KeyLeft);
    EXPECT_EQ(p().input_type, PressureInput::Resistive);
    key_step = 10;  // lists step by one entry whatever the key step
    change(2, KeyClockwise);
    EXPECT_EQ(p().input_type, PressureInput::Voltage);
}

TEST_F(PressureLines, SenderChoicesByInput) {
    // Resistive: VDO and USER.
    change(3, KeyClockwise);
    EXPECT_EQ(p().sender, PressureSender::User);
    change(3, KeyClockwise);
    EXPECT_EQ(p().sender, PressureSender::Vdo);
    change(3, KeyRight);
    EXPECT_EQ(p().sender, PressureSender::User);
    change(3, KeyRight);
    EXPECT_EQ(p().sender, PressureSender::Vdo);
    // 0-5V and 4-20mA: the standard transducer and USER.
    p().input_type = PressureInput::Current;
    p().sender = PressureSender::Standard;
    change(3, KeyLeft);
    EXPECT_EQ(p().sender, PressureSender::User);
    change(3, KeyLeft);
    EXPECT_EQ(p().sender, PressureSender::Standard);
    change(3, KeyAnticlockwise);
    EXPECT_EQ(p().sender, PressureSender::User);
    change(3, KeyAnticlockwise);
    EXPECT_EQ(p().sender, PressureSender::Standard);
    // A VDO sender on a 0-5V input, met by the editor alone.
    p().input_type = PressureInput::Voltage;
    menu_cursor = 3;
    menu_edit = 1;
    p().sender = PressureSender::Vdo;
    pending_key = KeyClockwise;
    edit_pressure_line(PressureLine::Sender, 3);
    EXPECT_EQ(p().sender, PressureSender::User);
    p().sender = PressureSender::Vdo;
    pending_key = KeyRight;
    edit_pressure_line(PressureLine::Sender, 3);
    EXPECT_EQ(p().sender, PressureSender::Standard);
    EXPECT_EQ(pending_key, KeyRight);  // left for the page to clear
}

TEST_F(PressureLines, ListsWrapAtBothEnds) {
    p().vdo_range = 2;
    change(4, KeyClockwise);
    EXPECT_EQ(p().vdo_range, 0);
    change(4, KeyAnticlockwise);
    EXPECT_EQ(p().vdo_range, 2);

    p().label = PressureLabel::Aux;
    change(5, KeyLeft);
    EXPECT_EQ(p().label, PressureLabel::Oil);
    change(5, KeyRight);
    EXPECT_EQ(p().label, PressureLabel::Aux);

    p().input_type = PressureInput::Voltage;
    p().sender = PressureSender::Standard;
    p().transducer_model = 5;
    change(4, KeyClockwise);
    EXPECT_EQ(p().transducer_model, 0u);
    change(4, KeyAnticlockwise);
    EXPECT_EQ(p().transducer_model, 5u);
    change(4, KeyAnticlockwise);
    EXPECT_EQ(p().transducer_model, 4u);
}

TEST_F(PressureLines, SwitchesToggle) {
    const u8 before[3] = {p().top_scale, p().low_alarm_on, p().high_alarm_on};
    change(8, KeyClockwise);
    change(9, KeyRight);
    change(11, KeyLeft);
    EXPECT_EQ(p().top_scale, 1 - before[0]);
    EXPECT_EQ(p().low_alarm_on, 1 - before[1]);
    EXPECT_EQ(p().high_alarm_on, 1 - before[2]);
    p().top_scale = 7;  // anything but 1 is off
    change(8, KeyAnticlockwise);
    EXPECT_EQ(p().top_scale, 1);
}

TEST_F(PressureLines, EditorActsOnlyOnItsLineInEditMode) {
    p().span = 50;
    menu_cursor = 7;
    menu_edit = 0;
    pass(KeyLeft);  // moves the cursor instead
    EXPECT_EQ(p().span, 50);
    EXPECT_EQ(menu_cursor, 6);

    menu_cursor = 6;
    menu_edit = 1;
    pending_key = KeyClockwise;
    edit_pressure_line(PressureLine::Span, 7);
    EXPECT_EQ(p().span, 50);
    EXPECT_EQ(pending_key, KeyClockwise);

    pending_key = KeyCentre;  // centre on a value line is the page's
    edit_pressure_line(PressureLine::Unit, 6);
    EXPECT_EQ(pending_key, KeyCentre);
}

TEST_F(PressureLines, CalSenderOpensTheEditorOnACopy) {
    p().sender = PressureSender::User;
    p().user_curve.points[12] = {77, 88};  // beyond the count, copied too
    curve_is_temperature = 1;
    menu_cursor = 4;
    pass(KeyCentre);
    EXPECT_EQ(current_page, page_sender_curve);
    EXPECT_EQ(menu_cursor, 0);
    EXPECT_EQ(menu_edit, 0);  // not toggled
    EXPECT_EQ(curve_is_temperature, 0);
    EXPECT_EQ(pending_key, KeyNone);
    EXPECT_EQ(curve_work.point_count, 6u);
    EXPECT_EQ(curve_work.points[5].reading, 440u);
    EXPECT_EQ(curve_work.points[12].value, 77);
    curve_work.points[0].value = 999;  // a copy, not the record
    EXPECT_EQ(p().user_curve.points[0].value, 0);

    // Other senders have no CAL SENDER line, but the key is used up anyway.
    current_page = page_channel_setup;
    p().sender = PressureSender::Vdo;
    pending_key = KeyCentre;
    menu_cursor = 4;
    edit_pressure_line(PressureLine::CalSender, 4);
    EXPECT_EQ(pending_key, KeyNone);
    EXPECT_EQ(current_page, page_channel_setup);
    EXPECT_EQ(menu_cursor, 4);
}

TEST_F(PressureLines, DamagedCodesStepBackIntoTheirLists) {
    p().unit = static_cast<PressureUnit>(9);
    p().label = static_cast<PressureLabel>(200);
    p().transducer_model = 0xFFFFFFFFu;
    p().input_type = static_cast<PressureInput>(6);
    p().sender = static_cast<PressureSender>(9);
    pass();                      // drawing must not read past any name table
    EXPECT_EQ(last_line(), 11);  // no line 4 for an unknown sender: LABEL 4, UNIT 5
    change(5, KeyAnticlockwise);
    EXPECT_EQ(p().unit, PressureUnit::InHg);
    change(4, KeyClockwise);
    EXPECT_EQ(p().label, PressureLabel::Oil);
    change(2, KeyClockwise);
    EXPECT_EQ(p().input_type, PressureInput::Resistive);
    p().input_type = PressureInput::Voltage;
    p().sender = PressureSender::Standard;
    change(4, KeyAnticlockwise);
    EXPECT_EQ(p().transducer_model, 5u);
}

}  // namespace

namespace {

using PressureScreen = ChannelPage;

TEST_F(PressureScreen, ResistiveVdo) {
    pass();
    EXPECT_TRUE(matches_golden("channel/pressure_vdo"));
    EXPECT_TRUE(shows_text(21, 0, "CHANNEL 1"));
    EXPECT_TRUE(shows_text(9, 8, "*** DONE ***", 1));
    EXPECT_TRUE(shows_text(48, 16, "PRESSURE"));
    EXPECT_TRUE(shows_text(0, 24, "TYPE:RESISTIVE"));
    EXPECT_TRUE(shows_text(0, 32, "SENDER: VDO"));
    EXPECT_TRUE(shows_text(0, 40, "MODEL: 10 BAR"));
    EXPECT_TRUE(shows_text(0, 48, "LABEL: OIL"));
    EXPECT_TRUE(shows_text(0, 56, "UNIT: BAR"));
}

TEST_F(PressureScreen, VoltageUma) {
    p().input_type = PressureInput::Voltage;
    p().sender = PressureSender::Standard;
    p().transducer_model = 3;
    p().unit = PressureUnit::Psi;
    p().label = PressureLabel::Boost;
    menu_cursor = 4;
    pass();
    EXPECT_TRUE(matches_golden("channel/pressure_uma"));
    EXPECT_TRUE(shows_text(0, 24, "TYPE:0-5V"));
    EXPECT_TRUE(shows_text(0, 32, "SENDER: UMA"));
    EXPECT_TRUE(shows_text(0, 40, "MODEL: T1EU70A", 1));
    EXPECT_TRUE(shows_text(0, 48, "LABEL: BOOST"));
    EXPECT_TRUE(shows_text(0, 56, "UNIT: PSI"));
    menu_cursor = 8;  // scrolled by 2: SPAN on row 5 in whole PSI
    pass();
    EXPECT_TRUE(shows_text(0, 48, "SPAN: 100 PSI"));
    EXPECT_TRUE(shows_text(0, 56, "TOPSCALE: OFF", 1));
}

TEST_F(PressureScreen, CurrentRotaxScrolledToHighAlarm) {
    p().input_type = PressureInput::Current;
    p().sender = PressureSender::Standard;
    p().pressure_at_4ma = 5;
    p().pressure_at_20ma = 95;
    EXPECT_EQ(last_line(), 13);
    pass();
    EXPECT_TRUE(matches_golden("channel/pressure_rotax_high_alm"));
    EXPECT_TRUE(shows_text(0, 8, "UNIT: BAR"));
    EXPECT_TRUE(shows_text(0, 16, "SPAN: 10.0 BAR"));
    EXPECT_TRUE(shows_text(0, 24, "TOPSCALE: OFF"));
    EXPECT_TRUE(shows_text(0, 32, "LOW ALARM: ON"));
    EXPECT_TRUE(shows_text(0, 40, "LOW ALM: 1.5"));
    EXPECT_TRUE(shows_text(0, 48, "HIGH ALARM:ON"));
    EXPECT_TRUE(shows_text(0, 56, "HIGH ALM: 8.0", 1));
    // The two current lines, with the title row left alone.
    menu_cursor = 5;
    pass();
    EXPECT_TRUE(shows_text(0, 32, "SENDER: ROTAX"));
    EXPECT_TRUE(shows_text(0, 40, "PRES 4mA: 0.5"));
    EXPECT_TRUE(shows_text(0, 48, "PRES 20mA:9.5", 1));
}

TEST_F(PressureScreen, ValueTextsByUnit) {
    p().input_type = PressureInput::Current;
    p().sender = PressureSender::Standard;
    p().unit = PressureUnit::Psi;
    p().pressure_at_4ma = 0;
    p().pressure_at_20ma = 500;
    menu_cursor = 5;
    pass();
    EXPECT_TRUE(shows_text(0, 40, "PRES 4mA: 0"));
    EXPECT_TRUE(shows_text(0, 48, "PRES 20mA:500", 1));
    p().unit = PressureUnit::PsiTenths;
    p().high_alarm = 999;
    menu_cursor = 13;
    pass();
    EXPECT_TRUE(shows_text(0, 8, "UNIT: PSI(0.1)"));
    EXPECT_TRUE(shows_text(0, 56, "HIGH ALM: 99.9", 1));
    p().unit = PressureUnit::InHg;
    p().span = 300;
    pass();
    EXPECT_TRUE(shows_text(0, 8, "UNIT: \"Hg"));
    EXPECT_TRUE(shows_text(0, 16, "SPAN: 300 \"Hg"));
}

TEST_F(PressureScreen, NewInputShowsItsSenderOnTheNextPass) {
    change(2, KeyClockwise);  // VDO on a 0-5V input
    EXPECT_TRUE(shows_text(0, 24, "TYPE:", 0));
    // The edited line was drawn before its editor ran; the lines below it
    // already see the new input.
    EXPECT_TRUE(shows_text(40, 24, "RESISTIVE", 1));
    EXPECT_TRUE(shows_text(0, 32, "SENDER: VDO"));
    EXPECT_TRUE(shows_text(0, 40, "MODEL: T1EU07"));  // already the transducer
    pass();
    EXPECT_TRUE(shows_text(40, 24, "0-5V", 1));
    EXPECT_TRUE(shows_text(0, 32, "SENDER: UMA"));
}

TEST_F(PressureScreen, CalSenderIsALabelOnlyLine) {
    p().sender = PressureSender::User;
    menu_cursor = 4;
    pass();
    EXPECT_TRUE(shows_text(0, 32, "SENDER: USER"));
    EXPECT_TRUE(shows_text(0, 40, "CAL SENDER", 1));
    EXPECT_EQ(frame_region(80, 40, 113, 47).find('#'), std::string::npos);
    EXPECT_TRUE(shows_text(0, 48, "LABEL: OIL"));
    menu_cursor = 10;  // scrolled by 4: CAL SENDER on row 0
    pass();
    EXPECT_TRUE(shows_text(0, 8, "CAL SENDER", 0));
    menu_cursor = 11;  // out of the window
    pass();
    EXPECT_TRUE(shows_text(0, 8, "LABEL: OIL"));
}

}  // namespace
