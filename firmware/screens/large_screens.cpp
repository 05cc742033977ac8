// One channel on the whole screen. In the sender-fault state the gauge still
// shows its scale, limits and maximum, with an empty bar; in over-range it
// shows the real value. Either message takes the place of value and unit.
#include "firmware/core/setting_names.h"
#include "firmware/lcd/text.h"
#include "firmware/measure/measure.h"
#include "firmware/screens/channel_view.h"
#include "firmware/screens/gauges.h"
#include "firmware/screens/screens.h"

namespace {

constexpr char PRESSURE_VBAR_WORDS[5][9] = {"OIL", "FUEL", "BOOST", "MANIFOLD", "AUX"};
constexpr char PRESSURE_HBAR_LABELS[5][15] = {"OIL PRESSURE", "FUEL PRESSURE", "BOOST PRESSURE",
                                              "MANIFOLD PRESS", "AUX PRESSURE"};
constexpr char TEMPERATURE_HBAR_LABELS[4][13] = {"OIL TEMP", "COOLANT TEMP", "WATER TEMP",
                                                 "AUX TEMP"};

void normal_centred(u8 x, u8 y, const char* text) {
    text_normal_centred_const(x, y, text, 0, DrawMode::Set, 0);
}
void tall_centred(u8 x, u8 y, const char* text) {
    text_normal_centred_const(x, y, text, 1, DrawMode::Set, 0);
}

// Messages of the screens with the gauge on the left; the text column is
// centred on x 74.
void vbar_message(ChannelState state) {
    if (!message_visible()) return;
    if (state == ChannelState::SenderFault) {
        tall_centred(74, 27, "CHECK");
        tall_centred(74, 43, "SENDER");
    } else if (state == ChannelState::OverRange) {
        tall_centred(74, 35, "OVERRANGE");
    }
}

void hbar_message(ChannelState state) {
    if (!message_visible()) return;
    tall_centred(57, 12, state == ChannelState::SenderFault ? "CHECK SENDER" : "OVERRANGE");
}

// The two-line temperature labels fit the narrow text column in normal
// height; the short ones are drawn tall on one line.
void temperature_vbar_label(TemperatureLabel label) {
    switch (label) {
        case TemperatureLabel::Oil: tall_centred(75, 2, "OIL TEMP"); break;
        case TemperatureLabel::Coolant:
            normal_centred(75, 2, "COOLANT");
            normal_centred(75, 12, "TEMP");
            break;
        case TemperatureLabel::Water:
            normal_centred(75, 2, "WATER");
            normal_centred(75, 12, "TEMP");
            break;
        case TemperatureLabel::Aux: tall_centred(75, 2, "AUX TEMP"); break;
        default: break;
    }
}

}  // namespace

void screen_pressure_large_vbar(u8 channel) {
    if (channel > 1 || current_pressure_settings == nullptr) return;
    const PressureChannelSettings& p = *current_pressure_settings;
    const ChannelState state = pressure_state(channel, p);
    const s32 value = pressure_value[channel];

    normal_centred(74, 2, name_of(PRESSURE_VBAR_WORDS, static_cast<u32>(p.label)));
    normal_centred(74, 12, "PRESSURE");
    gauge_bar_vertical(state == ChannelState::SenderFault ? 0 : value, p.span, p.top_scale,
                       p.low_alarm, p.low_alarm_on, p.high_alarm, p.high_alarm_on,
                       pressure_max[channel], 0, 15, 1, LabelFormat::ByPressureUnit);
    if (state != ChannelState::Normal) {
        vbar_message(state);
        return;
    }
    if (value_visible(channel)) {
        char text[VALUE_TEXT_SIZE];
        format_pressure(text, p, value, 1);
        text_big(pressure_in_tenths(p) ? 14 : 26, 27, text);
    }
    text_normal_const(92, 43, pressure_unit_text(p), 1, DrawMode::Set, 0);
}

void screen_temperature_large_vbar(u8 channel) {
    if (channel > 1 || current_temperature_settings == nullptr) return;
    const TemperatureChannelSettings& t = *current_temperature_settings;
    const ChannelState state = temperature_state(channel, t);
    const s32 value = temperature_value[channel];

    temperature_vbar_label(t.label);
    gauge_bar_vertical(state == ChannelState::SenderFault ? 0 : value, t.span, t.top_scale,
                       t.low_alarm, t.low_alarm_on, t.high_alarm, t.high_alarm_on,
                       temperature_max[channel], 0, 20, 1, LabelFormat::Whole);
    if (state != ChannelState::Normal) {
        vbar_message(state);
        return;
    }
    if (value_visible(channel)) {
        char text[VALUE_TEXT_SIZE];
        format_whole(text, value, 1);
        text_big(31, 27, text);
    }
    text_normal_const(97, 43, temperature_unit_text(t), 1, DrawMode::Set, 0);
}

void screen_pressure_large_hbar(u8 channel) {
    if (channel > 1 || current_pressure_settings == nullptr) return;
    const PressureChannelSettings& p = *current_pressure_settings;
    const ChannelState state = pressure_state(channel, p);
    const s32 value = pressure_value[channel];

    normal_centred(57, 35, name_of(PRESSURE_HBAR_LABELS, static_cast<u32>(p.label)));
    gauge_bar_horizontal(state == ChannelState::SenderFault ? 0 : value, p.span, p.top_scale,
                         p.low_alarm, p.low_alarm_on, p.high_alarm, p.high_alarm_on,
                         pressure_max[channel], 44, 113, LabelFormat::ByPressureUnit);
    if (state != ChannelState::Normal) {
        hbar_message(state);
        return;
    }
    if (value_visible(channel)) {
        char text[VALUE_TEXT_SIZE];
        format_pressure(text, p, value, 1);
        text_big(pressure_in_tenths(p) ? 0 : 10, 3, text);
    }
    text_normal_const(87, 5, pressure_unit_text(p), 1, DrawMode::Set, 0);
}

void screen_temperature_large_hbar(u8 channel) {
    if (channel > 1 || current_temperature_settings == nullptr) return;
    const TemperatureChannelSettings& t = *current_temperature_settings;
    const ChannelState state = temperature_state(channel, t);
    const s32 value = temperature_value[channel];

    normal_centred(57, 35, name_of(TEMPERATURE_HBAR_LABELS, static_cast<u32>(t.label)));
    gauge_bar_horizontal(state == ChannelState::SenderFault ? 0 : value, t.span, t.top_scale,
                         t.low_alarm, t.low_alarm_on, t.high_alarm, t.high_alarm_on,
                         temperature_max[channel], 44, 113, LabelFormat::Whole);
    if (state != ChannelState::Normal) {
        hbar_message(state);
        return;
    }
    if (value_visible(channel)) {
        char text[VALUE_TEXT_SIZE];
        format_whole(text, value, 1);
        text_big(15, 3, text);
    }
    text_normal_const(90, 5, temperature_unit_text(t), 1, DrawMode::Set, 0);
}
