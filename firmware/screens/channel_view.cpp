#include "firmware/screens/channel_view.h"

#include "firmware/core/number_text.h"
#include "firmware/core/run_state.h"
#include "firmware/core/setting_names.h"
#include "firmware/measure/measure.h"

// The run screens spell units in lower case, unlike the menus. The inch mark
// and "Hg" make the three characters of inches of mercury.
constexpr char PRESSURE_UNIT_TEXTS[4][4] = {"bar", "psi", "psi", "\"Hg"};
constexpr char TEMPERATURE_UNIT_TEXTS[2][3] = {"|C", "|F"};  // '|' is the degree sign

ChannelState pressure_state(u8 channel, const PressureChannelSettings& p) {
    // Only the resistive senders read near full scale when their wire breaks;
    // a user curve and the 0-5 V / 4-20 mA inputs may legitimately go there.
    const bool can_fail = p.sender != PressureSender::User && p.sender != PressureSender::Standard;
    if (can_fail && raw_reading[channel] >= CHECK_SENDER_THRESHOLD)
        return ChannelState::SenderFault;
    if (pressure_value[channel] > p.span) return ChannelState::OverRange;
    return ChannelState::Normal;
}

ChannelState temperature_state(u8 channel, const TemperatureChannelSettings& t) {
    if (t.sender != TemperatureSender::User && raw_reading[channel] >= CHECK_SENDER_THRESHOLD)
        return ChannelState::SenderFault;
    if (temperature_value[channel] > t.span) return ChannelState::OverRange;
    return ChannelState::Normal;
}

bool value_visible(u8 channel) {
    const u8 bit = static_cast<u8>(1u << channel);
    return (alarm_active & bit) == 0 || blink_phase == 1;
}

bool message_visible() { return blink_phase == 1; }

bool pressure_in_tenths(const PressureChannelSettings& p) {
    return p.unit != PressureUnit::Psi && p.unit != PressureUnit::InHg;
}

void format_whole(char (&text)[VALUE_TEXT_SIZE], s32 value, u8 padded) {
    format_integer(text, sizeof text, value, padded == 1 ? 3 : 0);
}

void format_pressure(char (&text)[VALUE_TEXT_SIZE], const PressureChannelSettings& p, s32 value,
                     u8 padded) {
    if (pressure_in_tenths(p))
        format_tenths(text, sizeof text, value, 4);
    else
        format_whole(text, value, padded);
}

const char* pressure_unit_text(const PressureChannelSettings& p) {
    return name_of(PRESSURE_UNIT_TEXTS, static_cast<u32>(p.unit));
}

const char* temperature_unit_text(const TemperatureChannelSettings& t) {
    return name_of(TEMPERATURE_UNIT_TEXTS, static_cast<u32>(t.unit));
}
