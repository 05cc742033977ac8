// One measurement per channel and pass: read the input, turn it into the
// channel's unit, fold it into the maximum and judge the alarm limits.
//
// The caller points current_pressure_settings / current_temperature_settings
// at the channel's record first; the screens do the same before drawing.
#include "firmware/core/hooks.h"
#include "firmware/core/run_state.h"
#include "firmware/measure/measure.h"

u32 raw_reading[2];
s32 pressure_value[2];
s32 pressure_max[2];
s32 temperature_value[2];
s32 temperature_max[2];
s32 lm335_reading[2];
u8 alarm_active;
u8 alarm_acknowledged;
PressureChannelSettings* current_pressure_settings;
TemperatureChannelSettings* current_temperature_settings;

// Inputs 0 and 1 are the pressure view of the two channels, 2 and 3 the
// temperature view; both read the same physical input of the channel.
u32 read_input(u8 index) { return (index & 1) != 0 ? input_b : input_a; }

// An alarm holds only while the value is strictly beyond an enabled limit.
// When it ends, its acknowledgement goes too, so the next excursion flashes
// the lamp again.
static void judge_alarm(u8 channel, s32 v, s32 low, u8 low_on, s32 high, u8 high_on) {
    const u8 bit = static_cast<u8>(1u << channel);
    if ((v < low && low_on == 1) || (v > high && high_on == 1)) {
        alarm_active = static_cast<u8>(alarm_active | bit);
    } else {
        alarm_active = static_cast<u8>(alarm_active & ~bit);
        alarm_acknowledged = static_cast<u8>(alarm_acknowledged & ~bit);
    }
}

void process_pressure_channel(u8 channel) {
    const PressureChannelSettings& s = *current_pressure_settings;
    const u32 r = read_input(channel);
    raw_reading[channel] = r;

    s32& value = pressure_value[channel];
    switch (s.sender) {
        case PressureSender::User:
            // A user curve is entered in the channel's own unit.
            linearise_pressure(channel);
            break;
        case PressureSender::Standard:
            if (s.input_type == PressureInput::Current) {
                // Both channels share the one calibration taken on channel 1.
                const CurvePoint at_4ma = {s.pressure_at_4ma, settings.cal_reading_4ma};
                const CurvePoint at_20ma = {static_cast<s32>(s.pressure_at_20ma),
                                            settings.cal_reading_20ma};
                value = segment_value(at_4ma, at_20ma, r);
            } else {
                linearise_pressure(channel);
                value = pressure_to_unit(value, transducer_unit(s.transducer_model), s.unit);
            }
            break;
        default:
            linearise_pressure(channel);
            value = pressure_to_unit(value, NativeUnit::BarTenths, s.unit);
            break;
    }

    // Extrapolating below a sender's first point gives small negative
    // pressures at rest; the instrument never shows those.
    if (value < 0) value = 0;
    if (value > pressure_max[channel]) pressure_max[channel] = value;
    judge_alarm(channel, value, s.low_alarm, s.low_alarm_on, s.high_alarm, s.high_alarm_on);
}

void process_temperature_channel(u8 channel) {
    const TemperatureChannelSettings& s = *current_temperature_settings;
    const u32 r = read_input(static_cast<u8>(channel + 2));
    raw_reading[channel] = r;

    s32& value = temperature_value[channel];
    if (s.sender == TemperatureSender::Lm335) {
        const s32 t = lm335_celsius(r) + s.lm335_offset;
        value = t;
        lm335_reading[channel] = t;  // stays in degrees C for the setup line
    } else {
        linearise_temperature(channel);
    }
    // A user curve is entered in the channel's own unit; everything else is C.
    if (s.sender != TemperatureSender::User && s.unit == TemperatureUnit::Fahrenheit)
        value = to_fahrenheit(value);

    if (value > temperature_max[channel]) temperature_max[channel] = value;
    judge_alarm(channel, value, s.low_alarm, s.low_alarm_on, s.high_alarm, s.high_alarm_on);
}

void reset_maxima() {
    for (int c = 0; c < 2; ++c) {
        pressure_max[c] = pressure_value[c];
        temperature_max[c] = temperature_value[c];
    }
    maxima_reset_hook();
}
