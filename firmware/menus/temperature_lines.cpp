// The lines of a temperature channel on the channel setup page, and their
// editor, which also steps the MODE line of every channel kind.
//
// Temperatures are whole degrees of the channel's unit, settable from -40 up
// to 300 |C or 570 |F. A unit change re-labels the numbers without
// converting or clamping them.
#include <cstdint>
#include <cstdio>

#include "firmware/core/keys.h"
#include "firmware/core/setting_limits.h"
#include "firmware/core/setting_names.h"
#include "firmware/core/settings.h"
#include "firmware/lcd/text.h"
#include "firmware/measure/measure.h"
#include "firmware/menus/channel_lines.h"
#include "firmware/menus/menu.h"
#include "firmware/menus/pages.h"

namespace {

// Limits are tested on the stepped value; wide arithmetic keeps a damaged
// record's extreme value from overflowing.
void step_temperature(s32& field, bool up, s32 limit) {
    const std::int64_t k = key_step;
    const std::int64_t v = field;
    if (up)
        field = v + k > limit ? LOWEST_TEMPERATURE : static_cast<s32>(v + k);
    else
        field = v - k < LOWEST_TEMPERATURE ? limit : static_cast<s32>(v - k);
}

}  // namespace

void edit_temperature_line(TemperatureLine line, u8 index) {
    if (pending_key == KeyNone || menu_cursor != index) return;
    TemperatureChannelSettings& t = *edit_temperature;

    if (pending_key == KeyCentre) {
        if (line != TemperatureLine::CalSender) return;  // the page toggles edit mode
        cal_sender_key(t.sender == TemperatureSender::User, t.user_curve, 1);
        return;
    }

    if (menu_edit != 1) return;
    const bool up = key_raises(pending_key);
    if (!up && !key_lowers(pending_key)) return;
    const s32 limit = highest_temperature(t.unit);

    switch (line) {
        case TemperatureLine::Mode: {
            ChannelKind& kind = settings.channel_kind[edit_channel_index()];
            kind = static_cast<ChannelKind>(step_code(static_cast<u8>(kind), 2, up));
            break;
        }
        case TemperatureLine::Sender:
            t.sender = static_cast<TemperatureSender>(step_code(static_cast<u8>(t.sender), 4, up));
            break;
        case TemperatureLine::Lm335Offset:
            // The offset trims a sensor by a few degrees: it moves by one
            // whatever the key step and stops at its ends.
            if (t.sender != TemperatureSender::Lm335) break;
            if (up && t.lm335_offset < LM335_OFFSET_LIMIT) ++t.lm335_offset;
            if (!up && t.lm335_offset > -LM335_OFFSET_LIMIT) --t.lm335_offset;
            break;
        case TemperatureLine::Label:
            t.label = static_cast<TemperatureLabel>(step_code(static_cast<u8>(t.label), 3, up));
            break;
        case TemperatureLine::Unit:
            t.unit = t.unit == TemperatureUnit::Celsius ? TemperatureUnit::Fahrenheit
                                                        : TemperatureUnit::Celsius;
            break;
        case TemperatureLine::Span: step_temperature(t.span, up, limit); break;
        case TemperatureLine::LowAlarm: step_temperature(t.low_alarm, up, limit); break;
        case TemperatureLine::HighAlarm: step_temperature(t.high_alarm, up, limit); break;
        case TemperatureLine::TopScale: t.top_scale = toggle_switch(t.top_scale); break;
        case TemperatureLine::LowAlarmOn: t.low_alarm_on = toggle_switch(t.low_alarm_on); break;
        case TemperatureLine::HighAlarmOn: t.high_alarm_on = toggle_switch(t.high_alarm_on); break;
        case TemperatureLine::CalSender: break;
    }
    // The key stays pending: the page clears it after the last line.
}

u8 draw_temperature_lines(u8 scroll) {
    TemperatureChannelSettings& t = *edit_temperature;
    const u8 ch = edit_channel_index();
    char text[MENU_TEXT_SIZE];
    u8 i = 2;
    auto line = [&](const char* label, const char* value, TemperatureLine id) {
        menu_line(0, static_cast<u8>(i - scroll), label, value);
        edit_temperature_line(id, i);
        ++i;
    };

    // The seven-letter sender names follow the label without its blank, so
    // the line fills its 14 characters exactly.
    const bool long_name =
        t.sender == TemperatureSender::KvxNtc || t.sender == TemperatureSender::Westach;
    line(long_name ? "SENDER:" : "SENDER: ",
         name_of(TEMPERATURE_SENDER_NAMES, static_cast<u8>(t.sender)), TemperatureLine::Sender);

    if (t.sender == TemperatureSender::Lm335) {
        // lm335_reading already includes the offset shown beside it.
        std::snprintf(text, sizeof text, "%+d %d|C", static_cast<int>(t.lm335_offset),
                      static_cast<int>(lm335_reading[ch]));
        line("LM335:", text, TemperatureLine::Lm335Offset);
    } else if (t.sender == TemperatureSender::User) {
        // Label only: the line opens the curve editor. It is drawn while its
        // row lies in the seven-row window.
        if (menu_cursor < 10)
            text_normal_const(0, static_cast<u8>(8 * (3 - scroll) + 8), "CAL SENDER", 0,
                              DrawMode::Set, menu_cursor == 3 ? 1 : 0);
        edit_temperature_line(TemperatureLine::CalSender, i);
        ++i;
    }

    line("LABEL: ", name_of(TEMPERATURE_LABEL_NAMES, static_cast<u8>(t.label)),
         TemperatureLine::Label);
    line("UNIT: ", t.unit == TemperatureUnit::Celsius ? "|C" : "|F", TemperatureLine::Unit);
    std::snprintf(text, sizeof text, "%d", static_cast<int>(t.span));
    append_temp_unit(ch, text);
    line("SPAN: ", text, TemperatureLine::Span);
    line("TOPSCALE: ", off_on_name(t.top_scale), TemperatureLine::TopScale);
    line("LOW ALARM: ", off_on_name(t.low_alarm_on), TemperatureLine::LowAlarmOn);
    std::snprintf(text, sizeof text, "%d", static_cast<int>(t.low_alarm));
    line("LOW ALARM: ", text, TemperatureLine::LowAlarm);
    line("HIGH ALARM:", off_on_name(t.high_alarm_on), TemperatureLine::HighAlarmOn);
    std::snprintf(text, sizeof text, "%d", static_cast<int>(t.high_alarm));
    line("HIGH ALARM:", text, TemperatureLine::HighAlarm);
    return static_cast<u8>(i - 1);
}
