#include "workbench/sensors/sensor_value.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

#include "app/headless/fake_host.h"
#include "firmware/firmware.h"

namespace {

struct ChannelSetup {
    const char* name;
    u8 channel;
    std::function<void()> apply;
};

// For every whole value from below the channel's range to above it: the
// count found shows the nearest value any count shows (checked against all
// 4097 counts), and values beyond the range are refused with the range.
TEST(SensorValue, InverseAgreesWithEveryCountOfTheForwardConversion) {
    const ChannelSetup setups[] = {
        {"factory VDO 10 bar", 0, [] {}},
        {"T1EU70A in psi, a curve that doubles back", 0,
         [] {
             PressureChannelSettings& p = settings.pressure[0];
             p.input_type = PressureInput::Voltage;
             p.sender = PressureSender::Standard;
             p.transducer_model = 3;
             p.unit = PressureUnit::Psi;
         }},
        {"4-20 mA in psi(0.1)", 0,
         [] {
             PressureChannelSettings& p = settings.pressure[0];
             p.input_type = PressureInput::Current;
             p.sender = PressureSender::Standard;
             p.unit = PressureUnit::PsiTenths;
             p.pressure_at_4ma = 50;
             p.pressure_at_20ma = 999;
         }},
        {"user pressure curve with a flat part", 1,
         [] {
             settings.channel_kind[1] = ChannelKind::Pressure;
             PressureChannelSettings& p = settings.pressure[1];
             p.sender = PressureSender::User;
             p.unit = PressureUnit::InHg;
             p.user_curve.point_count = 4;
             p.user_curve.points[0] = {10, 100};
             p.user_curve.points[1] = {40, 1000};
             p.user_curve.points[2] = {40, 2000};
             p.user_curve.points[3] = {90, 2100};
         }},
        {"user pressure curve from end to end of the input, a reading wrapped below 0", 1,
         [] {
             settings.channel_kind[1] = ChannelKind::Pressure;
             PressureChannelSettings& p = settings.pressure[1];
             p.sender = PressureSender::User;
             p.user_curve.point_count = 4;
             p.user_curve.points[0] = {0, 0};
             p.user_curve.points[1] = {50, 2000};
             p.user_curve.points[2] = {100, INPUT_FULL_SCALE};
             p.user_curve.points[3] = {110, static_cast<u32>(-9)};
         }},
        {"flat user temperature curve", 1,
         [] {
             TemperatureChannelSettings& t = settings.temperature[1];
             t.sender = TemperatureSender::User;
             t.user_curve.point_count = 2;
             t.user_curve.points[0] = {60, INPUT_FULL_SCALE};
             t.user_curve.points[1] = {60, 0};
         }},
        {"VDO temperature in deg F", 1,
         [] { settings.temperature[1].unit = TemperatureUnit::Fahrenheit; }},
        {"LM335 with an offset", 1,
         [] {
             settings.temperature[1].sender = TemperatureSender::Lm335;
             settings.temperature[1].lm335_offset = -7;
         }},
    };
    for (const ChannelSetup& setup : setups) {
        SCOPED_TRACE(setup.name);
        reset_all_state();
        load_factory_defaults();
        settings.cal_reading_4ma = 600;
        settings.cal_reading_20ma = 3200;
        setup.apply();

        std::vector<s32> shown(INPUT_FULL_SCALE + 1);
        for (u32 c = 0; c <= INPUT_FULL_SCALE; ++c)
            shown[c] = value_at_count(setup.channel, c);
        ValueRange range;
        std::string error;
        ASSERT_TRUE(channel_value_range(setup.channel, range, error));
        EXPECT_EQ(range.low, *std::min_element(shown.begin(), shown.end()));
        EXPECT_EQ(range.high, *std::max_element(shown.begin(), shown.end()));

        const double unit = range.tenths ? 0.1 : 1.0;
        for (s32 target = range.low - 2; target <= range.high + 2; ++target) {
            u32 count = 0;
            const bool found = count_for_value(setup.channel, target * unit, count, error);
            if (target < range.low || target > range.high) {
                EXPECT_FALSE(found) << target;
                EXPECT_NE(error.find(" shows " + value_text(range, range.low) + " to " +
                                     value_text(range, range.high)),
                          std::string::npos)
                    << error;
                continue;
            }
            ASSERT_TRUE(found) << target << ": " << error;
            ASSERT_LE(count, INPUT_FULL_SCALE);
            long nearest = -1;
            for (s32 v : shown)
                if (nearest < 0 || std::labs(v - target) < nearest) nearest = std::labs(v - target);
            EXPECT_EQ(std::labs(shown[count] - target), nearest) << target << " at " << count;
        }
    }
}

TEST(SensorValue, LookupsLeaveTheInstrumentAsItWasAndOffChannelsAreRefused) {
    reset_all_state();
    load_factory_defaults();
    input_a = 1234;
    raw_reading[0] = 77;
    pressure_value[0] = 5;
    alarm_active = 2;
    u32 count = 0;
    std::string error;
    ASSERT_TRUE(count_for_value(0, 4.5, count, error));
    EXPECT_EQ(value_at_count(0, count), 45);
    EXPECT_EQ(input_a, 1234u);
    EXPECT_EQ(raw_reading[0], 77u);
    EXPECT_EQ(pressure_value[0], 5);
    EXPECT_EQ(alarm_active, 2);

    settings.channel_kind[1] = ChannelKind::Off;
    EXPECT_FALSE(count_for_value(1, 20, count, error));
    EXPECT_EQ(error, "channel 2 is OFF: it shows no value");
    EXPECT_EQ(slider_tooltip(1, 100), "Channel 2 is OFF");
    EXPECT_EQ(slider_tooltip(0, 4096), "Channel 1 shows 124.3 bar (CHECK SENDER)");
}

// Channel 3, a kind no menu sets, and numbers that are none: nothing is
// shown, nothing found. The open-wire fault is only reported for the senders
// that can fail that way.
TEST(SensorValue, ChannelsThatShowNothingAndNumbersThatAreNone) {
    reset_all_state();
    load_factory_defaults();
    for (int c = 0; c < 3; ++c) {
        const u8 channel = c < 2 ? 1 : 2;
        settings.channel_kind[1] = c == 0 ? ChannelKind::Off : static_cast<ChannelKind>(3);
        const std::string name = std::to_string(channel + 1);
        ValueRange range;
        std::string error;
        u32 count = 0;
        EXPECT_FALSE(channel_value_range(channel, range, error));
        EXPECT_EQ(error, "channel " + name + " is OFF: it shows no value");
        EXPECT_FALSE(count_for_value(channel, 1, count, error));
        EXPECT_EQ(value_at_count(channel, 100), 0);
        EXPECT_FALSE(sender_fault_reported(channel));
        EXPECT_EQ(slider_tooltip(channel, 100), "Channel " + name + " is OFF");
    }
    u32 count = 0;
    std::string error;
    EXPECT_FALSE(count_for_value(0, NAN, count, error));
    EXPECT_EQ(error, "channel 1 shows 0.0 bar to 124.3 bar, not nan bar");
    EXPECT_FALSE(count_for_value(0, -INFINITY, count, error));
    EXPECT_EQ(error, "channel 1 shows 0.0 bar to 124.3 bar, not -inf bar");

    settings.channel_kind[1] = ChannelKind::Temperature;
    EXPECT_TRUE(sender_fault_reported(1));
    EXPECT_EQ(slider_tooltip(1, 4000), "Channel 2 shows -36 °C (CHECK SENDER)");
    settings.temperature[1].sender = TemperatureSender::User;
    EXPECT_FALSE(sender_fault_reported(1));
    for (PressureSender sender : {PressureSender::User, PressureSender::Standard}) {
        settings.pressure[0].sender = sender;
        EXPECT_FALSE(sender_fault_reported(0));
    }
}

// A stream of values (a ramp, a log) keeps what it worked out only while the
// settings stay as they were: a unit or kind changed midway is followed at
// the next value, as a single lookup would follow it.
TEST(SensorValue, StreamedLookupsFollowSettingsChangedMidway) {
    reset_all_state();
    load_factory_defaults();
    CountForValue stream;
    u32 streamed = 0, single = 0;
    std::string error;
    const auto same = [&](u8 channel, double number) {
        const bool found = stream.count(channel, number, streamed, error);
        return found && count_for_value(channel, number, single, error) && streamed == single;
    };
    EXPECT_TRUE(same(0, 4.5));
    EXPECT_TRUE(same(0, 4.5));
    const u32 bar = streamed;
    settings.pressure[0].unit = PressureUnit::Psi;
    settings.pressure[0].span = 150;
    EXPECT_TRUE(same(0, 4.5));
    EXPECT_NE(streamed, bar);
    settings.channel_kind[0] = ChannelKind::Off;
    for (int twice = 0; twice < 2; ++twice) {
        EXPECT_FALSE(stream.count(0, 4.5, streamed, error));
        EXPECT_EQ(error, "channel 1 is OFF: it shows no value");
    }
    settings.channel_kind[0] = ChannelKind::Pressure;
    EXPECT_TRUE(same(0, 20));
    EXPECT_FALSE(stream.count(0, 1e9, streamed, error));
    EXPECT_EQ(error.rfind("channel 1 shows 0 psi to ", 0), 0u) << error;
    EXPECT_FALSE(stream.count(2, 1, streamed, error));
    EXPECT_EQ(error, "channel 3 is OFF: it shows no value");
}

}  // namespace
