// One channel in its half of the dual screen: channel 1 left (vertical bars)
// or on top (horizontal bars), channel 2 right or below. A half has no room
// for a gauge beside a message, so in the fault and over-range states only
// the label and the flashing message are drawn.
#include "firmware/core/setting_names.h"
#include "firmware/lcd/text.h"
#include "firmware/measure/measure.h"
#include "firmware/screens/channel_view.h"
#include "firmware/screens/gauges.h"
#include "firmware/screens/screens.h"

namespace {

// Positions by channel index.
struct VerticalHalf {
    u8 gauge_x;
    u8 label_x;  // centre
    u8 value_x;  // centre
    u8 unit_x;
};
constexpr VerticalHalf VERTICAL_HALVES[2] = {{0, 28, 41, 33}, {57, 88, 99, 92}};

struct HorizontalHalf {
    u8 label_y;
    u8 value_y;
    u8 gauge_y;
    u8 message_y;
    u8 unit_y;
};
constexpr HorizontalHalf HORIZONTAL_HALVES[2] = {{0, 2, 10, 12, 20}, {34, 38, 44, 47, 56}};

constexpr char PRESSURE_HBAR_LABELS[5][12] = {"OIL PRESS", "FUEL PRESS", "BOOST PRESS", "MAP PRESS",
                                              "AUX PRESS"};
constexpr char TEMPERATURE_HBAR_LABELS[4][12] = {"OIL TEMP", "COOLANT TMP", "WATER TEMP",
                                                 "AUX TEMP"};

void tall_centred(u8 x, u8 y, const char* text) {
    text_normal_centred_const(x, y, text, 1, DrawMode::Set, 0);
}

void vertical_message(const VerticalHalf& half, ChannelState state) {
    if (!message_visible()) return;
    const bool fault = state == ChannelState::SenderFault;
    tall_centred(half.label_x, 27, fault ? "CHECK" : "OVER");
    tall_centred(half.label_x, 43, fault ? "SENDER" : "RANGE");
}

void horizontal_message(const HorizontalHalf& half, ChannelState state) {
    if (!message_visible()) return;
    tall_centred(57, half.message_y,
                 state == ChannelState::SenderFault ? "CHECK SENDER" : "OVERRANGE");
}

void vertical_labels(const VerticalHalf& half, const char* word, const char* caption) {
    text_normal_centred_const(half.label_x, 0, word, 0, DrawMode::Set, 0);
    text_normal_centred_const(half.label_x, 8, caption, 0, DrawMode::Set, 0);
}

}  // namespace

void screen_pressure_half_vbar(u8 channel) {
    if (channel > 1 || current_pressure_settings == nullptr) return;
    const PressureChannelSettings& p = *current_pressure_settings;
    const VerticalHalf& half = VERTICAL_HALVES[channel];
    const ChannelState state = pressure_state(channel, p);

    vertical_labels(half, name_of(PRESSURE_LABEL_NAMES, static_cast<u32>(p.label)), "PRESS");
    if (state != ChannelState::Normal) {
        vertical_message(half, state);
        return;
    }
    gauge_bar_vertical(pressure_value[channel], p.span, p.top_scale, p.low_alarm, p.low_alarm_on,
                       p.high_alarm, p.high_alarm_on, pressure_max[channel], half.gauge_x, 12, 20,
                       LabelFormat::ByPressureUnit);
    if (value_visible(channel)) {
        char text[VALUE_TEXT_SIZE];
        format_pressure(text, p, pressure_value[channel], 1);
        text_normal_centred(half.value_x, 35, text, 1, DrawMode::Set, 0);
    }
    text_normal_const(half.unit_x, 56, pressure_unit_text(p), 0, DrawMode::Set, 0);
}

void screen_temperature_half_vbar(u8 channel) {
    if (channel > 1 || current_temperature_settings == nullptr) return;
    const TemperatureChannelSettings& t = *current_temperature_settings;
    const VerticalHalf& half = VERTICAL_HALVES[channel];
    const ChannelState state = temperature_state(channel, t);

    vertical_labels(half, name_of(TEMPERATURE_LABEL_NAMES, static_cast<u32>(t.label)), "TEMP");
    if (state != ChannelState::Normal) {
        vertical_message(half, state);
        return;
    }
    gauge_bar_vertical(temperature_value[channel], t.span, t.top_scale, t.low_alarm, t.low_alarm_on,
                       t.high_alarm, t.high_alarm_on, temperature_max[channel], half.gauge_x, 12,
                       20, LabelFormat::Whole);
    if (value_visible(channel)) {
        char text[VALUE_TEXT_SIZE];
        format_whole(text, temperature_value[channel], 1);
        text_normal_centred(half.value_x, 35, text, 1, DrawMode::Set, 0);
    }
    text_normal_const(half.unit_x, 56, temperature_unit_text(t), 0, DrawMode::Set, 0);
}

void screen_pressure_half_hbar(u8 channel) {
    if (channel > 1 || current_pressure_settings == nullptr) return;
    const PressureChannelSettings& p = *current_pressure_settings;
    const HorizontalHalf& half = HORIZONTAL_HALVES[channel];
    const ChannelState state = pressure_state(channel, p);

    text_normal_const(0, half.label_y, name_of(PRESSURE_HBAR_LABELS, static_cast<u32>(p.label)), 0,
                      DrawMode::Set, 0);
    if (state != ChannelState::Normal) {
        horizontal_message(half, state);
        return;
    }
    gauge_bar_horizontal(pressure_value[channel], p.span, p.top_scale, p.low_alarm, p.low_alarm_on,
                         p.high_alarm, p.high_alarm_on, pressure_max[channel], half.gauge_y, 80,
                         LabelFormat::ByPressureUnit);
    if (value_visible(channel)) {
        char text[VALUE_TEXT_SIZE];
        format_pressure(text, p, pressure_value[channel], 0);
        // Tenths fill the column from its left edge; whole values, of any
        // width, are centred in it.
        if (pressure_in_tenths(p))
            text_normal(82, half.value_y, text, 1, DrawMode::Set, 0);
        else
            text_normal_centred(102, half.value_y, text, 1, DrawMode::Set, 0);
    }
    text_normal_const(90, half.unit_y, pressure_unit_text(p), 0, DrawMode::Set, 0);
}

void screen_temperature_half_hbar(u8 channel) {
    if (channel > 1 || current_temperature_settings == nullptr) return;
    const TemperatureChannelSettings& t = *current_temperature_settings;
    const HorizontalHalf& half = HORIZONTAL_HALVES[channel];
    const ChannelState state = temperature_state(channel, t);

    text_normal_const(0, half.label_y, name_of(TEMPERATURE_HBAR_LABELS, static_cast<u32>(t.label)),
                      0, DrawMode::Set, 0);
    if (state != ChannelState::Normal) {
        horizontal_message(half, state);
        return;
    }
    gauge_bar_horizontal(temperature_value[channel], t.span, t.top_scale, t.low_alarm,
                         t.low_alarm_on, t.high_alarm, t.high_alarm_on, temperature_max[channel],
                         half.gauge_y, 80, LabelFormat::Whole);
    if (value_visible(channel)) {
        char text[VALUE_TEXT_SIZE];
        format_whole(text, temperature_value[channel], 0);
        text_normal_centred(102, half.value_y, text, 1, DrawMode::Set, 0);
    }
    text_normal_centred_const(100, half.unit_y, temperature_unit_text(t), 0, DrawMode::Set, 0);
}
