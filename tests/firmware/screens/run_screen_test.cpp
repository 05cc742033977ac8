#include <gtest/gtest.h>

#include <string>

#include "app/headless/fake_host.h"
#include "firmware/core/keys.h"
#include "firmware/core/run_state.h"
#include "firmware/core/settings.h"
#include "firmware/lcd/lcd.h"
#include "firmware/lcd/text.h"
#include "firmware/measure/measure.h"
#include "firmware/menus/pages.h"
#include "firmware/screens/channel_view.h"
#include "firmware/screens/gauges.h"
#include "firmware/screens/screens.h"
#include "tests/support/frame_text.h"

namespace {

bool lit(int x, int y) { return lcd_get_pixel(static_cast<u8>(x), static_cast<u8>(y)); }

std::string blank(int width, int height) {
    std::string out;
    for (int y = 0; y < height; ++y)
        out += std::string(static_cast<size_t>(width), '.') + "\n";
    return out;
}

// The factory state after power-on with both inputs at 0: channel 1 a
// pressure channel at 0.0 bar, channel 2 a temperature channel whose VDO
// sender extrapolates to 187 |C. Values are set directly, as measurement
// would leave them.
class RunScreen : public ::testing::Test {
protected:
    void SetUp() override {
        reset_all_state();
        load_factory_defaults();
        current_page = page_run_screen;
        blink_phase = 1;
    }

    std::string pass() {
        lcd_clear();
        page_run_screen();
        return frame_to_text();
    }

    void press(KeyCode key) {
        pending_key = key;
        pass();
    }

    PressureChannelSettings& p1 = settings.pressure[0];
    TemperatureChannelSettings& t2 = settings.temperature[1];
};

// --- Layout choice ---------------------------------------------------------

// The gauges' frames tell the layouts apart without any text.
bool dual_vertical_frames() { return lit(3, 20) && lit(12, 61) && lit(60, 20) && lit(69, 61); }
bool dual_horizontal_frames() { return lit(0, 13) && lit(80, 20) && lit(0, 47) && lit(80, 54); }
bool large_vertical_frame(int width) { return lit(3, 1) && lit(width, 61) && !lit(width + 1, 40); }
bool large_horizontal_frame() { return lit(0, 47) && lit(113, 54) && !lit(0, 13); }

TEST_F(RunScreen, LayoutFollowsSettingsAndChannelKinds) {
    pass();
    EXPECT_TRUE(dual_vertical_frames());
    settings.bar_orientation = BarOrientation::Horizontal;
    pass();
    EXPECT_TRUE(dual_horizontal_frames());

    settings.display_layout = DisplayLayout::Single;
    pass();
    EXPECT_TRUE(large_horizontal_frame());
    settings.bar_orientation = BarOrientation::Vertical;
    pass();
    EXPECT_TRUE(large_vertical_frame(15));  // channel 1, pressure
    shown_channel = 1;
    pass();
    EXPECT_TRUE(large_vertical_frame(20));  // channel 2, temperature
    EXPECT_EQ(current_temperature_settings, &settings.temperature[1]);

    // A channel's kind picks the screen: channel 2 as pressure uses the
    // pressure screen and its own pressure record.
    settings.channel_kind[1] = ChannelKind::Pressure;
    pass();
    EXPECT_TRUE(large_vertical_frame(15));
    EXPECT_EQ(current_pressure_settings, &settings.pressure[1]);
    // An unknown kind is drawn as a temperature channel, never indexed.
    settings.channel_kind[1] = static_cast<ChannelKind>(7);
    pass();
    EXPECT_TRUE(large_vertical_frame(20));
}

TEST_F(RunScreen, BothChannelsOffShowsTheSelectMessageInEveryLayout) {
    settings.channel_kind[0] = ChannelKind::Off;
    settings.channel_kind[1] = ChannelKind::Off;
    for (u8 layout = 0; layout < 2; ++layout)
        for (u8 orientation = 0; orientation < 2; ++orientation) {
            settings.display_layout = static_cast<DisplayLayout>(layout);
            settings.bar_orientation = static_cast<BarOrientation>(orientation);
            pass();
            EXPECT_FALSE(lit(3, 61) || lit(0, 54) || lit(0, 20)) << "no gauge";
        }
    // The keys still lead to the pages.
    press(KeyLeft);
    EXPECT_EQ(current_page, page_max_values);
    press(KeyRight);
    EXPECT_EQ(current_page, page_contrast);
    press(KeyCentre);
    EXPECT_EQ(current_page, page_main_menu);
}

TEST_F(RunScreen, OneChannelOffIsShownAloneAndTheChoiceIsKept) {
    settings.channel_kind[1] = ChannelKind::Off;
    shown_channel = 1;
    pass();
    EXPECT_EQ(shown_channel, 0);
    EXPECT_TRUE(large_vertical_frame(15));

    settings.channel_kind[0] = ChannelKind::Off;
    settings.channel_kind[1] = ChannelKind::Temperature;
    settings.bar_orientation = BarOrientation::Horizontal;
    pass();
    EXPECT_EQ(shown_channel, 1);
    EXPECT_TRUE(large_horizontal_frame());
    EXPECT_EQ(current_temperature_settings, &settings.temperature[1]);

    // Channel 1 back on in the single layout: the forced channel stays.
    settings.channel_kind[0] = ChannelKind::Pressure;
    settings.display_layout = DisplayLayout::Single;
    settings.bar_orientation = BarOrientation::Vertical;
    pass();
    EXPECT_EQ(shown_channel, 1);
    EXPECT_TRUE(large_vertical_frame(20));
}

// --- Keys ------------------------------------------------------------------

TEST_F(RunScreen, KeysOpenThePages) {
    menu_cursor = 3;
    menu_edit = 1;
    press(KeyCentre);
    EXPECT_EQ(current_page, page_main_menu);
    EXPECT_EQ(menu_cursor, 0);
    EXPECT_EQ(menu_edit, 0);
    EXPECT_EQ(pending_key, KeyNone);

    current_page = page_run_screen;
    press(KeyLeft);
    EXPECT_EQ(current_page, page_max_values);

    current_page = page_run_screen;
    menu_cursor = 2;
    return_page = page_display_setup;
    press(KeyRight);
    EXPECT_EQ(current_page, page_contrast);
    EXPECT_EQ(return_page, page_run_screen);
    EXPECT_EQ(menu_cursor, 0);
    EXPECT_EQ(pending_key, KeyNone);

    // A code no page uses is cleared without effect.
    current_page = page_run_screen;
    menu_cursor = 2;
    press(static_cast<KeyCode>(9));
    EXPECT_EQ(current_page, page_run_screen);
    EXPECT_EQ(menu_cursor, 2);
    EXPECT_EQ(pending_key, KeyNone);
}

TEST_F(RunScreen, KnobSwitchesChannelsOnlyInTheSingleLayout) {
    settings.display_layout = DisplayLayout::Single;
    for (KeyCode knob : {KeyClockwise, KeyAnticlockwise}) {
        auto_cycle_count = 4;
        press(knob);
        EXPECT_EQ(shown_channel, 1);
        EXPECT_EQ(auto_cycle_count, 0);
        EXPECT_TRUE(large_vertical_frame(15)) << "the change shows from the next pass";
        pass();
        EXPECT_TRUE(large_vertical_frame(20));
        press(knob);
        EXPECT_EQ(shown_channel, 0);
        EXPECT_EQ(current_page, page_run_screen);
    }

    settings.display_layout = DisplayLayout::Dual;
    const std::string before = pass();
    auto_cycle_count = 4;
    press(KeyClockwise);
    EXPECT_EQ(shown_channel, 0);
    EXPECT_EQ(auto_cycle_count, 0);
    EXPECT_EQ(pass(), before);
}

TEST_F(RunScreen, KeyAcknowledgesAlarmsFirstAndIsSwallowed) {
    alarm_active = 2;  // channel 2 only
    press(KeyCentre);
    EXPECT_EQ(alarm_acknowledged, 2);
    EXPECT_EQ(current_page, page_run_screen);
    EXPECT_EQ(pending_key, KeyNone);
    press(KeyCentre);
    EXPECT_EQ(current_page, page_main_menu);

    // One press acknowledges both channels; a knob step is swallowed too.
    current_page = page_run_screen;
    settings.display_layout = DisplayLayout::Single;
    alarm_active = 3;
    alarm_acknowledged = 0;
    auto_cycle_count = 5;
    press(KeyClockwise);
    EXPECT_EQ(alarm_acknowledged, 3);
    EXPECT_EQ(shown_channel, 0);
    EXPECT_EQ(auto_cycle_count, 5);

    // Channel 1 newly in alarm while channel 2's is already acknowledged.
    alarm_acknowledged = 2;
    press(KeyLeft);
    EXPECT_EQ(alarm_acknowledged, 3);
    EXPECT_EQ(current_page, page_run_screen);

    // An acknowledged alarm keeps the value flashing.
    blink_phase = 0;
    EXPECT_FALSE(value_visible(0));
    EXPECT_FALSE(value_visible(1));
}

// --- Channel states and texts -----------------------------------------------

TEST_F(RunScreen, SenderFaultComesBeforeOverRange) {
    const struct {
        PressureSender sender;
        u32 reading;
        s32 value;
        ChannelState state;
    } pressure_cases[] = {
        {PressureSender::Vdo, 3899, 100, ChannelState::Normal},
        {PressureSender::Vdo, 3899, 101, ChannelState::OverRange},
        {PressureSender::Vdo, 3900, 50, ChannelState::SenderFault},
        {PressureSender::Vdo, 4096, 588, ChannelState::SenderFault},
        {PressureSender::User, 3900, 50, ChannelState::Normal},
        {PressureSender::User, 4096, 101, ChannelState::OverRange},
        {PressureSender::Standard, 3900, 50, ChannelState::Normal},
        {static_cast<PressureSender>(9), 3900, 50, ChannelState::SenderFault},
    };
    for (const auto& c : pressure_cases) {
        p1.sender = c.sender;
        raw_reading[0] = c.reading;
        pressure_value[0] = c.value;
        EXPECT_EQ(pressure_state(0, p1), c.state)
            << int(c.sender) << " " << c.reading << " " << c.value;
    }

    const struct {
        TemperatureSender sender;
        u32 reading;
        s32 value;
        ChannelState state;
    } temperature_cases[] = {
        {TemperatureSender::Vdo, 3899, 150, ChannelState::Normal},
        {TemperatureSender::Vdo, 3899, 151, ChannelState::OverRange},
        {TemperatureSender::Vdo, 3900, 20, ChannelState::SenderFault},
        {TemperatureSender::KvxNtc, 3900, 20, ChannelState::SenderFault},
        {TemperatureSender::Lm335, 3900, 20, ChannelState::SenderFault},
        {TemperatureSender::Westach, 3900, 200, ChannelState::SenderFault},
        {TemperatureSender::User, 3900, 20, ChannelState::Normal},
        {TemperatureSender::User, 4000, 151, ChannelState::OverRange},
    };
    for (const auto& c : temperature_cases) {
        t2.sender = c.sender;
        raw_reading[1] = c.reading;
        temperature_value[1] = c.value;
        EXPECT_EQ(temperature_state(1, t2), c.state)
            << int(c.sender) << " " << c.reading << " " << c.value;
    }
}

TEST_F(RunScreen, ValueAndUnitTexts) {
    char text[VALUE_TEXT_SIZE];
    const struct {
        PressureUnit unit;
        s32 value;
        const char* padded;
        const char* bare;
        const char* unit_text;
    } pressure_cases[] = {
        {PressureUnit::Bar, 25, " 2.5", " 2.5", "bar"},
        {PressureUnit::Bar, 0, " 0.0", " 0.0", "bar"},
        {PressureUnit::Bar, 588, "58.8", "58.8", "bar"},
        {PressureUnit::Bar, -3, "-0.3", "-0.3", "bar"},
        {PressureUnit::PsiTenths, 1234, "123.4", "123.4", "psi"},
        {PressureUnit::Psi, 25, " 25", "25", "psi"},
        {PressureUnit::InHg, 7, "  7", "7", "\"Hg"},
        {static_cast<PressureUnit>(6), 25, " 2.5", " 2.5", ""},
    };
    for (const auto& c : pressure_cases) {
        p1.unit = c.unit;
        format_pressure(text, p1, c.value, 1);
        EXPECT_STREQ(text, c.padded);
        format_pressure(text, p1, c.value, 0);
        EXPECT_STREQ(text, c.bare);
        EXPECT_STREQ(pressure_unit_text(p1), c.unit_text);
    }
    format_whole(text, -5, 1);
    EXPECT_STREQ(text, " -5");
    format_whole(text, -273, 1);
    EXPECT_STREQ(text, "-273");
    format_whole(text, 187, 0);
    EXPECT_STREQ(text, "187");
    format_whole(text, INT32_MIN, 1);
    EXPECT_STREQ(text, "-2147483648");
    p1.unit = PressureUnit::Bar;
    format_pressure(text, p1, INT32_MIN, 1);
    EXPECT_STREQ(text, "-214748364.8");

    t2.unit = TemperatureUnit::Fahrenheit;
    EXPECT_STREQ(temperature_unit_text(t2), "|F");
    t2.unit = TemperatureUnit::Celsius;
    EXPECT_STREQ(temperature_unit_text(t2), "|C");
    t2.unit = static_cast<TemperatureUnit>(2);
    EXPECT_STREQ(temperature_unit_text(t2), "");
}

TEST_F(RunScreen, OutOfRangeCodesReadNoTable) {
    p1.label = static_cast<PressureLabel>(200);
    p1.unit = static_cast<PressureUnit>(200);
    t2.label = static_cast<TemperatureLabel>(200);
    t2.unit = static_cast<TemperatureUnit>(200);
    shown_channel = 7;  // counts as the second channel
    for (u8 layout = 0; layout < 2; ++layout)
        for (u8 orientation = 0; orientation < 2; ++orientation) {
            settings.display_layout = static_cast<DisplayLayout>(layout);
            settings.bar_orientation = static_cast<BarOrientation>(orientation);
            pass();
        }
    EXPECT_EQ(current_temperature_settings, &settings.temperature[1]);
    // The screens refuse a channel index they have no record for.
    lcd_clear();
    screen_pressure_large_vbar(2);
    screen_temperature_half_hbar(5);
    EXPECT_EQ(frame_to_text(), blank(LCD_WIDTH, LCD_HEIGHT));
}

// --- What the screens draw in the fault and over-range states ---------------

// The gauge as the large vertical pressure screen draws it, alone.
std::string pressure_gauge_alone(s32 value) {
    const PressureChannelSettings& p = settings.pressure[0];
    lcd_clear();
    gauge_bar_vertical(value, p.span, p.top_scale, p.low_alarm, p.low_alarm_on, p.high_alarm,
                       p.high_alarm_on, pressure_max[0], 0, 15, 1, LabelFormat::ByPressureUnit);
    return frame_region(0, 0, 37, 63);
}

TEST_F(RunScreen, LargeScreenKeepsItsGaugeInFaultAndOverRange) {
    settings.display_layout = DisplayLayout::Single;
    pressure_value[0] = 60;
    pressure_max[0] = 90;
    raw_reading[0] = 3950;
    pass();
    const std::string fault = frame_region(0, 0, 37, 63);
    EXPECT_EQ(fault, pressure_gauge_alone(0)) << "empty bar, marks, labels and pointer";
    EXPECT_NE(fault, pressure_gauge_alone(60));

    raw_reading[0] = 3000;
    pressure_value[0] = 140;
    pass();
    const std::string over = frame_region(0, 0, 37, 63);
    EXPECT_EQ(over, pressure_gauge_alone(140));
    EXPECT_FALSE(lit(8, 1)) << "full bar";
}

TEST_F(RunScreen, HalfScreensDropGaugeValueAndUnitInFaultAndOverRange) {
    // Channel 1 sender fault, channel 2 over its span: with the messages in
    // their dark phase only the two labels remain, on rows 0..15.
    raw_reading[0] = 3900;
    temperature_value[1] = 187;
    blink_phase = 0;
    pass();
    EXPECT_EQ(frame_region(0, 16, 113, 63), blank(LCD_WIDTH, 48));
    settings.bar_orientation = BarOrientation::Horizontal;
    pass();
    EXPECT_EQ(frame_region(0, 8, 113, 33), blank(LCD_WIDTH, 26));
    EXPECT_EQ(frame_region(0, 42, 113, 63), blank(LCD_WIDTH, 22));

    // Back in range, both halves draw their gauges again.
    raw_reading[0] = 100;
    temperature_value[1] = 150;
    pass();
    EXPECT_TRUE(dual_horizontal_frames());
}

// --- Blinking (needs the fonts) --------------------------------------------

TEST_F(RunScreen, ValueFlashesWithTheAlarmButTheUnitNever) {
    settings.display_layout = DisplayLayout::Single;
    p1.high_alarm_on = 0;
    p1.low_alarm_on = 0;
    pressure_value[0] = 25;
    alarm_active = 1;
    alarm_acknowledged = 1;
    blink_phase = 1;
    pass();
    const std::string unit_shown = frame_region(92, 43, 113, 58);
    // Right of the gauge's frame and scale labels.
    const std::string value_shown = frame_region(19, 27, 91, 58);
    ASSERT_NE(value_shown.find('#'), std::string::npos);
    blink_phase = 0;
    pass();
    EXPECT_EQ(frame_region(92, 43, 113, 58), unit_shown);
    EXPECT_EQ(frame_region(19, 27, 91, 58), blank(73, 32));
    lcd_clear();
    text_big(14, 27, " 2.5");
    EXPECT_EQ(frame_region(19, 27, 91, 58), value_shown);
    lcd_clear();
    text_normal(92, 43, "bar", 1, DrawMode::Set, 0);
    EXPECT_EQ(frame_region(92, 43, 113, 58), unit_shown);

    // Without an alarm the value shows in both phases.
    alarm_active = 0;
    pass();
    EXPECT_EQ(frame_region(19, 27, 91, 58), value_shown);
}

TEST_F(RunScreen, MessagesFlashWithoutAnAlarm) {
    settings.display_layout = DisplayLayout::Single;
    pressure_value[0] = 101;
    for (u8 phase : {u8{1}, u8{0}}) {
        blink_phase = phase;
        pass();
        const std::string message = frame_region(38, 35, 109, 50);
        EXPECT_EQ(message.find('#') != std::string::npos, phase == 1);
        lcd_clear();
        if (phase == 1) text_normal_centred(74, 35, "OVERRANGE", 1, DrawMode::Set, 0);
        EXPECT_EQ(message, frame_region(38, 35, 109, 50)) << int(phase);
    }
}

// --- Through power-on and the main loop -------------------------------------

TEST(PoweredRunScreen, FirstKeyAcknowledgesThenTheCentreKeyOpensTheMenu) {
    reset_all_state();
    FakeHost host;
    u8 acknowledged_after_first = 0;
    bool still_run_screen = false;
    host.after_pass(1, [](FakeHost& h) { h.click(KeyCentre); });
    host.after_pass(2, [&](FakeHost& h) {
        acknowledged_after_first = alarm_acknowledged;
        still_run_screen = current_page == page_run_screen;
        h.click(KeyCentre);
    });
    host.after_pass(3, [](FakeHost& h) { h.off(); });
    host.power_on();
    EXPECT_EQ(acknowledged_after_first, 3);
    EXPECT_TRUE(still_run_screen);
    EXPECT_EQ(current_page, page_main_menu);
}

TEST(PoweredRunScreen, ChannelOneSliderThroughRangeOverRangeAndSenderFault) {
    reset_all_state();
    FakeHost host;
    // The left half's gauge frame shows only while channel 1 is in range.
    bool gauge_at[4] = {};
    const u32 readings[4] = {300, 2000, 3899, 3900};
    host.after_pass(1, [](FakeHost& h) { h.slider(0, 300); });
    for (int i = 0; i < 4; ++i) {
        host.after_pass(2 + i, [&, i](FakeHost& h) {
            gauge_at[i] = lit(3, 61) && lit(12, 20);
            if (i < 3) h.slider(0, readings[i + 1]);
        });
    }
    host.after_pass(6, [](FakeHost& h) { h.off(); });
    host.power_on();
    EXPECT_TRUE(gauge_at[0]);   // 3.0 bar
    EXPECT_FALSE(gauge_at[1]);  // 58.8 bar: over the span of 10.0
    EXPECT_FALSE(gauge_at[2]);  // still over the span
    EXPECT_FALSE(gauge_at[3]);  // sender fault
    EXPECT_EQ(raw_reading[0], 3900u);
}

}  // namespace
