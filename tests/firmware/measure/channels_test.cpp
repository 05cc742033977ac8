#include <gtest/gtest.h>

#include <vector>

#include "app/headless/fake_host.h"
#include "firmware/firmware.h"

namespace {

// A straight user curve on which the value equals the reading, for alarm
// limits at exact values.
SenderCurve identity_curve() {
    SenderCurve c{};
    c.point_count = 2;
    c.points[0] = {0, 0};
    c.points[1] = {1000, 1000};
    return c;
}

class Channels : public ::testing::Test {
protected:
    void SetUp() override {
        reset_all_state();
        load_factory_defaults();
        settings.cal_reading_4ma = 600;
        settings.cal_reading_20ma = 3200;
    }

    static s32 pressure(u8 channel, u32 input) {
        (channel == 0 ? input_a : input_b) = input;
        current_pressure_settings = &settings.pressure[channel];
        process_pressure_channel(channel);
        return pressure_value[channel];
    }
    static s32 temperature(u8 channel, u32 input) {
        (channel == 0 ? input_a : input_b) = input;
        current_temperature_settings = &settings.temperature[channel];
        process_temperature_channel(channel);
        return temperature_value[channel];
    }
};

TEST_F(Channels, InputsAreTheChannelSlidersForBothViews) {
    input_a = 11;
    input_b = 22;
    EXPECT_EQ(read_input(0), 11u);
    EXPECT_EQ(read_input(2), 11u);
    EXPECT_EQ(read_input(1), 22u);
    EXPECT_EQ(read_input(3), 22u);

    // Each channel reads its own slider through its own record.
    settings.pressure[1].unit = PressureUnit::Psi;
    input_a = 176;
    input_b = 440;
    current_pressure_settings = &settings.pressure[0];
    process_pressure_channel(0);
    current_pressure_settings = &settings.pressure[1];
    process_pressure_channel(1);
    EXPECT_EQ(raw_reading[0], 176u);
    EXPECT_EQ(raw_reading[1], 440u);
    EXPECT_EQ(pressure_value[0], 30);
    EXPECT_EQ(pressure_value[1], 145);

    input_b = 2250;
    current_temperature_settings = &settings.temperature[1];
    process_temperature_channel(1);
    EXPECT_EQ(raw_reading[1], 2250u);
    EXPECT_EQ(temperature_value[1], 10);
    EXPECT_EQ(pressure_value[1], 145);  // the pressure view keeps its last value
}

TEST_F(Channels, VdoSendersAreConvertedFromTenthsOfABar) {
    struct Case {
        u8 range;
        PressureUnit unit;
        u32 reading;
        s32 want;
    };
    const Case cases[] = {
        {2, PressureUnit::Bar, 176, 30},        {2, PressureUnit::Psi, 176, 44},
        {2, PressureUnit::PsiTenths, 176, 435}, {2, PressureUnit::InHg, 176, 89},
        {0, PressureUnit::Bar, 456, 20},        {1, PressureUnit::Bar, 428, 50},
        {9, PressureUnit::Bar, 440, 100},       {2, static_cast<PressureUnit>(7), 440, 100},
        {2, PressureUnit::Bar, 0, 0},  // -4 at rest, clamped
        {2, PressureUnit::Psi, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.range) << " " << int(c.unit) << " " << c.reading);
        settings.pressure[0].vdo_range = c.range;
        settings.pressure[0].unit = c.unit;
        EXPECT_EQ(pressure(0, c.reading), c.want);
        EXPECT_EQ(raw_reading[0], c.reading);
    }
}

TEST_F(Channels, TransducersAreConvertedFromTheirCurvesUnit) {
    struct Case {
        u32 model;
        PressureUnit unit;
        u32 reading;
        s32 want;
    };
    const Case cases[] = {
        {0, PressureUnit::PsiTenths, 3755, 70}, {0, PressureUnit::Psi, 3755, 7},
        {2, PressureUnit::Psi, 3755, 70},       {2, PressureUnit::PsiTenths, 3755, 700},
        {2, PressureUnit::Bar, 3755, 48},       {1, PressureUnit::Psi, 3847, 35},
        {3, PressureUnit::InHg, 3200, 60},      {3, PressureUnit::Bar, 3200, 20},
        {4, PressureUnit::Bar, 3464, 62},       {5, PressureUnit::Psi, 4013, 150},
        {6, PressureUnit::Psi, 3755, 7},        {3, PressureUnit::InHg, 100, 5},
        {0, PressureUnit::Psi, 0, 0},
    };
    settings.pressure[0].sender = PressureSender::Standard;
    for (PressureInput input : {PressureInput::Voltage, PressureInput::Resistive}) {
        settings.pressure[0].input_type = input;
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.model << " " << int(c.unit) << " " << c.reading);
            settings.pressure[0].transducer_model = c.model;
            settings.pressure[0].unit = c.unit;
            EXPECT_EQ(pressure(0, c.reading), c.want);
        }
    }
}

TEST_F(Channels, FourToTwentyMilliampsFollowsTheCalibrationLine) {
    PressureChannelSettings& s = settings.pressure[0];
    s.sender = PressureSender::Standard;
    s.input_type = PressureInput::Current;
    const std::pair<u32, s32> cases[] = {{600, 0}, {1900, 50}, {3200, 100}, {4096, 134}, {0, 0}};
    for (auto [reading, want] : cases)
        EXPECT_EQ(pressure(0, reading), want) << reading;

    // The line is already in the channel's unit.
    s.unit = PressureUnit::Psi;
    s.pressure_at_4ma = 20;
    s.pressure_at_20ma = 300;
    EXPECT_EQ(pressure(0, 600), 20);
    EXPECT_EQ(pressure(0, 1900), 160);
    EXPECT_EQ(pressure(0, 3200), 300);

    // Channel 2 has no calibration of its own: it uses channel 1's counts.
    settings.pressure[1] = s;
    settings.cal_reading_20ma = 1900;
    EXPECT_EQ(pressure(1, 1900), 300);
    EXPECT_EQ(raw_reading[1], 1900u);
    // Both calibration steps taken at one reading leave no line.
    settings.cal_reading_4ma = 1900;
    EXPECT_EQ(pressure(1, 1900), 0);
    EXPECT_EQ(pressure(0, 4096), 0);
}

TEST_F(Channels, UserCurvesAreInTheChannelsUnit) {
    settings.pressure[0].sender = PressureSender::User;
    settings.pressure[0].unit = PressureUnit::Psi;
    EXPECT_EQ(pressure(0, 176), 30);

    TemperatureChannelSettings& t = settings.temperature[0];
    t.unit = TemperatureUnit::Fahrenheit;
    EXPECT_EQ(temperature(0, 2250), 50);  // built-in VDO curve, converted
    t.sender = TemperatureSender::User;
    EXPECT_EQ(temperature(0, 2250), 10);  // the same points as the user's own, in F
    EXPECT_EQ(temperature(0, 3000), -10);
    t.sender = TemperatureSender::KvxNtc;
    EXPECT_EQ(temperature(0, 1740), 68);
    t.sender = TemperatureSender::Westach;
    EXPECT_EQ(temperature(0, 4096), 5);  // -15 C, not clamped
    t.unit = TemperatureUnit::Celsius;
    EXPECT_EQ(temperature(0, 4096), -15);
}

TEST_F(Channels, Lm335AddsItsOffsetAndKeepsCelsiusForTheSetupLine) {
    TemperatureChannelSettings& t = settings.temperature[1];
    t.sender = TemperatureSender::Lm335;
    t.lm335_offset = 3;
    t.unit = TemperatureUnit::Fahrenheit;
    EXPECT_EQ(temperature(1, 2400), 86);
    EXPECT_EQ(lm335_reading[1], 30);
    EXPECT_EQ(lm335_reading[0], 0);

    t.unit = TemperatureUnit::Celsius;
    t.lm335_offset = -30;
    EXPECT_EQ(temperature(1, 0), -303);
    EXPECT_EQ(lm335_reading[1], -303);

    // Other senders leave the LM335 reading alone.
    t.sender = TemperatureSender::Vdo;
    EXPECT_EQ(temperature(1, 2250), 10);
    EXPECT_EQ(lm335_reading[1], -303);
}

TEST_F(Channels, MaximaOnlyRiseUntilReset) {
    pressure(0, 176);
    temperature(1, 158);
    EXPECT_EQ(pressure_max[0], 30);
    EXPECT_EQ(temperature_max[1], 100);
    pressure(0, 132);
    temperature(1, 2250);
    EXPECT_EQ(pressure_max[0], 30);
    EXPECT_EQ(temperature_max[1], 100);
    pressure(0, 440);
    EXPECT_EQ(pressure_max[0], 100);

    // A temperature below zero never raises a maximum of 0.
    settings.temperature[0].sender = TemperatureSender::Lm335;
    temperature(0, 0);
    EXPECT_EQ(temperature_value[0], -273);
    EXPECT_EQ(temperature_max[0], 0);

    pressure(0, 132);
    const u32 hooks_before = hook_counts.maxima_reset;
    reset_maxima();
    EXPECT_EQ(hook_counts.maxima_reset, hooks_before + 1);
    EXPECT_EQ(pressure_max[0], 20);
    EXPECT_EQ(temperature_max[0], -273);
    EXPECT_EQ(temperature_max[1], 10);
    EXPECT_EQ(pressure_max[1], 0);
    temperature(0, 8);  // -272
    EXPECT_EQ(temperature_max[0], -272);
}

TEST_F(Channels, AlarmsNeedAValueStrictlyBeyondAnEnabledLimit) {
    struct Case {
        u32 value;
        u8 low_on;
        u8 high_on;
        bool alarm;
    };
    // Factory limits: low 15, high 80.
    const Case cases[] = {
        {15, 1, 1, false}, {14, 1, 1, true},  {80, 1, 1, false}, {81, 1, 1, true},
        {14, 0, 1, false}, {81, 1, 0, false}, {14, 2, 1, false}, {81, 1, 2, false},
        {0, 1, 0, true},   {50, 1, 1, false}, {999, 0, 1, true},
    };
    for (u8 channel : {0, 1}) {
        PressureChannelSettings& s = settings.pressure[channel];
        s.sender = PressureSender::User;
        s.user_curve = identity_curve();
        const u8 bit = static_cast<u8>(1 << channel);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << int(channel) << ": " << c.value << " low "
                                            << int(c.low_on) << " high " << int(c.high_on));
            s.low_alarm_on = c.low_on;
            s.high_alarm_on = c.high_on;
            alarm_active = static_cast<u8>(~bit);  // the other channel's bit must survive
            alarm_acknowledged = 0xFF;
            EXPECT_EQ(pressure(channel, c.value), static_cast<s32>(c.value));
            EXPECT_EQ((alarm_active & bit) != 0, c.alarm);
            EXPECT_EQ(alarm_acknowledged & bit, c.alarm ? bit : 0);
            EXPECT_EQ(alarm_active | bit, 0xFF);
            EXPECT_EQ(alarm_acknowledged | bit, 0xFF);
        }
    }

    // Temperatures the same way, below zero too (LM335: 8 counts a degree).
    TemperatureChannelSettings& t = settings.temperature[0];
    t.sender = TemperatureSender::Lm335;
    t.low_alarm = -40;
    alarm_active = 0;
    EXPECT_EQ(temperature(0, 1864), -40);
    EXPECT_EQ(alarm_active, 0);
    EXPECT_EQ(temperature(0, 1856), -41);
    EXPECT_EQ(alarm_active, 1);
    EXPECT_EQ(temperature(0, 3264), 135);
    EXPECT_EQ(alarm_active, 0);
    EXPECT_EQ(temperature(0, 3272), 136);
    EXPECT_EQ(alarm_active, 1);
    // Limits are compared in the channel's unit after conversion: 136 C is 276 F.
    t.unit = TemperatureUnit::Fahrenheit;
    t.high_alarm = 276;
    EXPECT_EQ(temperature(0, 3272), 276);
    EXPECT_EQ(alarm_active, 0);
}

TEST_F(Channels, AnAcknowledgementLastsUntilTheAlarmEnds) {
    PressureChannelSettings& s = settings.pressure[0];
    s.sender = PressureSender::User;
    s.user_curve = identity_curve();

    pressure(0, 14);
    EXPECT_EQ(alarm_active, 1);
    EXPECT_EQ(alarm_acknowledged, 0);
    alarm_acknowledged = 1;  // a key on the run screen
    pressure(0, 10);
    EXPECT_EQ(alarm_active, 1);
    EXPECT_EQ(alarm_acknowledged, 1);
    pressure(0, 90);  // straight from low to high: still one alarm
    EXPECT_EQ(alarm_active, 1);
    EXPECT_EQ(alarm_acknowledged, 1);
    pressure(0, 50);
    EXPECT_EQ(alarm_active, 0);
    EXPECT_EQ(alarm_acknowledged, 0);
    pressure(0, 14);  // a new excursion waits for a new key
    EXPECT_EQ(alarm_active, 1);
    EXPECT_EQ(alarm_acknowledged, 0);

    // Switching the limit off ends the alarm on the next pass.
    alarm_acknowledged = 1;
    s.low_alarm_on = 0;
    pressure(0, 14);
    EXPECT_EQ(alarm_active, 0);
    EXPECT_EQ(alarm_acknowledged, 0);
}

// Power-on through the runtime with both sliders at 0.
class PoweredChannels : public ::testing::Test {
protected:
    void SetUp() override { reset_all_state(); }
    FakeHost host;
};

TEST_F(PoweredChannels, FactoryStateAtRestIsInAlarmOnBothChannelsAndTheLampFlashes) {
    s32 seen_pressure = -1;
    s32 seen_temperature = -1;
    u8 seen_active = 0;
    // 11 ticks turn blink_phase over.
    host.after_pass(1, [&](FakeHost& h) {
        seen_pressure = pressure_value[0];
        seen_temperature = temperature_value[1];
        seen_active = alarm_active;
        h.ticks(11);
    });
    host.after_pass(2, [](FakeHost& h) { h.ticks(11); });
    host.after_pass(3, [](FakeHost& h) { h.ticks(11); });
    host.after_pass(4, [](FakeHost& h) { h.off(); });
    host.power_on();

    EXPECT_EQ(seen_pressure, 0);  // -4 clamped, below the 1.5 bar low alarm
    EXPECT_EQ(seen_temperature, 187);
    EXPECT_EQ(seen_active, 3);
    EXPECT_EQ(raw_reading[0], 0u);
    EXPECT_EQ(raw_reading[1], 0u);
    EXPECT_EQ(pressure_max[0], 0);
    EXPECT_EQ(temperature_max[1], 187);
    EXPECT_EQ(alarm_acknowledged, 0);
    const std::vector<u32> flashing = {LAMP_MAROON, LAMP_RED, LAMP_MAROON, LAMP_RED};
    EXPECT_EQ(host.lamp_history, flashing);
}

TEST_F(PoweredChannels, ValuesFollowTheSlidersAndMaximaStay) {
    s32 at_2000 = 0;
    u8 active_at_2000 = 0;
    host.after_pass(1, [](FakeHost& h) { h.slider(0, 2000); });
    host.after_pass(2, [&](FakeHost& h) {
        at_2000 = pressure_value[0];
        active_at_2000 = alarm_active;
        h.slider(0, 176);
        h.slider(1, 158);
    });
    host.after_pass(3, [](FakeHost& h) { h.off(); });
    host.power_on();

    EXPECT_EQ(at_2000, 588);
    EXPECT_EQ(active_at_2000, 3);
    EXPECT_EQ(pressure_value[0], 30);
    EXPECT_EQ(pressure_max[0], 588);
    EXPECT_EQ(temperature_value[1], 100);
    EXPECT_EQ(temperature_max[1], 187);
    EXPECT_EQ(alarm_active, 0);
}

TEST_F(PoweredChannels, AChannelSwitchedOffDropsItsAlarmAndFreezesItsValue) {
    u8 before_active = 0;
    host.after_pass(1, [&](FakeHost& h) {
        before_active = alarm_active;
        alarm_acknowledged = 3;  // both seen; then channel 1 recovers
        h.slider(0, 176);
    });
    host.after_pass(2, [](FakeHost& h) {
        settings.channel_kind[1] = ChannelKind::Off;
        h.slider(0, 0);  // channel 1 low again: a new, unacknowledged alarm
        h.slider(1, 2250);
        h.ticks(11);
    });
    host.after_pass(3, [](FakeHost& h) { h.off(); });
    host.power_on();

    EXPECT_EQ(before_active, 3);
    EXPECT_EQ(alarm_active, 1);
    EXPECT_EQ(alarm_acknowledged, 0);
    EXPECT_EQ(temperature_value[1], 187);
    EXPECT_EQ(raw_reading[1], 0u);
    // Pass 2: channel 2 acknowledged, channel 1 clear; pass 3: channel 1's new
    // alarm flashes on its own.
    ASSERT_EQ(host.lamp_history.size(), 3u);
    EXPECT_EQ(host.lamp_history[1], LAMP_MAROON);
    EXPECT_EQ(host.lamp_history[2], LAMP_RED);
}

}  // namespace
