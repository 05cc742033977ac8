// The lines of a pressure channel on the channel setup page, their editor,
// and the stepping of pressure values within their unit's limits.
//
// Pressure values are whole numbers in the unit's display steps: tenths for
// BAR and PSI(0.1), whole units for PSI and "Hg. A unit change re-labels the
// numbers without converting them (10.0 BAR becomes 100 PSI) and only pulls
// them back into the new unit's range.
#include <cstdint>
#include <cstdio>

#include "firmware/core/keys.h"
#include "firmware/core/setting_limits.h"
#include "firmware/core/setting_names.h"
#include "firmware/core/settings.h"
#include "firmware/lcd/text.h"
#include "firmware/menus/channel_lines.h"
#include "firmware/menus/menu.h"
#include "firmware/menus/pages.h"

using s64 = std::int64_t;

static bool unit_in_tenths(PressureUnit unit) {
    return unit == PressureUnit::Bar || unit == PressureUnit::PsiTenths;
}

void clamp_pressure_values() {
    PressureChannelSettings& p = *edit_pressure;
    const s32 limit = pressure_unit_limit(p.unit);
    if (p.span > limit) p.span = limit;
    if (p.low_alarm > limit) p.low_alarm = limit;
    if (p.high_alarm > limit) p.high_alarm = limit;
    if (p.pressure_at_20ma > static_cast<u32>(limit)) p.pressure_at_20ma = static_cast<u32>(limit);
    if (p.span < 1) p.span = 1;
    if (p.low_alarm < 1) p.low_alarm = 1;
    if (p.high_alarm < 1) p.high_alarm = 1;
    if (p.pressure_at_20ma == 0) p.pressure_at_20ma = 1;
    // pressure_at_4ma may legitimately be 0 and is left for its own line's wrap.
}

// A numeric pressure field stepped by k with wrap between low and limit. The
// limits are tested on the stepped value, in wide signed arithmetic so that
// neither a u32 field (1 - 10) nor an extreme stored value can wrap around.
static s64 step_pressure(s64 value, bool up, s64 low, s64 limit) {
    const s64 k = key_step;
    if (up) return value + k > limit ? low : value + k;
    return value - k < low ? limit : value - k;
}

static void step_s32(s32& field, bool up, s32 low, s32 limit) {
    field = static_cast<s32>(step_pressure(field, up, low, limit));
}

void edit_pressure_line(PressureLine line, u8 index) {
    if (pending_key == KeyNone || menu_cursor != index) return;
    PressureChannelSettings& p = *edit_pressure;

    if (pending_key == KeyCentre) {
        if (line != PressureLine::CalSender) return;  // the page toggles edit mode
        cal_sender_key(p.sender == PressureSender::User, p.user_curve, 0);
        return;
    }

    if (menu_edit != 1) return;
    const bool up = key_raises(pending_key);
    if (!up && !key_lowers(pending_key)) return;
    const s32 limit = pressure_unit_limit(p.unit);

    switch (line) {
        case PressureLine::InputType:
            p.input_type =
                static_cast<PressureInput>(step_code(static_cast<u8>(p.input_type), 2, up));
            break;
        case PressureLine::Sender:
            if (p.input_type == PressureInput::Resistive) {
                p.sender =
                    p.sender == PressureSender::User ? PressureSender::Vdo : PressureSender::User;
            } else if (up) {
                p.sender = p.sender == PressureSender::User ? PressureSender::Standard
                                                            : PressureSender::User;
            } else {
                p.sender = p.sender == PressureSender::Standard ? PressureSender::User
                                                                : PressureSender::Standard;
            }
            break;
        case PressureLine::VdoRange: p.vdo_range = step_code(p.vdo_range, 2, up); break;
        case PressureLine::TransducerModel: {
            const u8 model = p.transducer_model > 255 ? 255 : static_cast<u8>(p.transducer_model);
            p.transducer_model = step_code(model, 5, up);
            break;
        }
        case PressureLine::PressureAt4mA: step_s32(p.pressure_at_4ma, up, 0, limit); break;
        case PressureLine::PressureAt20mA:
            p.pressure_at_20ma = static_cast<u32>(step_pressure(p.pressure_at_20ma, up, 1, limit));
            break;
        case PressureLine::Label:
            p.label = static_cast<PressureLabel>(step_code(static_cast<u8>(p.label), 4, up));
            break;
        case PressureLine::Unit:
            p.unit = static_cast<PressureUnit>(step_code(static_cast<u8>(p.unit), 3, up));
            clamp_pressure_values();
            break;
        case PressureLine::Span: step_s32(p.span, up, 1, limit); break;
        case PressureLine::LowAlarm: step_s32(p.low_alarm, up, 1, limit); break;
        case PressureLine::HighAlarm: step_s32(p.high_alarm, up, 1, limit); break;
        case PressureLine::TopScale: p.top_scale = toggle_switch(p.top_scale); break;
        case PressureLine::LowAlarmOn: p.low_alarm_on = toggle_switch(p.low_alarm_on); break;
        case PressureLine::HighAlarmOn: p.high_alarm_on = toggle_switch(p.high_alarm_on); break;
        case PressureLine::CalSender: break;
    }
    // The key stays pending: the page clears it after the last line.
}

// Alarm values print signed; the 4 mA and 20 mA pressures unsigned.
static void pressure_text(char (&text)[MENU_TEXT_SIZE], s64 value, bool as_unsigned) {
    const PressureUnit unit = edit_pressure->unit;
    if (unit_in_tenths(unit))
        std::snprintf(text, sizeof text, "%.1f", static_cast<double>(value) * 0.1);
    else if (as_unsigned)
        std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(value));
    else
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
}

// The sender a channel offers depends on its input: a resistive input takes
// a VDO sender, 0-5V and 4-20mA inputs a standard transducer (UMA, ROTAX);
// any of them may use a user curve. A sender that does not suit the input
// is put right here, while drawing, and the rest of the pass sees the fix.
static const char* sender_name_with_correction(PressureChannelSettings& p) {
    switch (p.sender) {
        case PressureSender::Vdo:
            if (p.input_type != PressureInput::Resistive) p.sender = PressureSender::Standard;
            return "VDO";
        case PressureSender::User: return "USER";
        case PressureSender::Standard:
            switch (p.input_type) {
                case PressureInput::Resistive: p.sender = PressureSender::Vdo; return "VDO";
                case PressureInput::Voltage: return "UMA";
                case PressureInput::Current: return "ROTAX";
                default: return "";
            }
        default: return "";
    }
}

u8 draw_pressure_lines(u8 scroll) {
    PressureChannelSettings& p = *edit_pressure;
    char text[MENU_TEXT_SIZE];
    u8 i = 2;
    auto line = [&](const char* label, const char* value, PressureLine id) {
        menu_line(0, static_cast<u8>(i - scroll), label, value);
        edit_pressure_line(id, i);
        ++i;
    };

    line("TYPE:", name_of(PRESSURE_INPUT_NAMES, static_cast<u8>(p.input_type)),
         PressureLine::InputType);
    line("SENDER: ", sender_name_with_correction(p), PressureLine::Sender);

    switch (p.sender) {
        case PressureSender::Vdo:
            line("MODEL: ", name_of(VDO_RANGE_NAMES, p.vdo_range), PressureLine::VdoRange);
            break;
        case PressureSender::User:
            // Label only: the line opens the curve editor. It is drawn while
            // its row lies in the seven-row window.
            if (menu_cursor < 11)
                text_normal_const(0, static_cast<u8>(8 * (4 - scroll) + 8), "CAL SENDER", 0,
                                  DrawMode::Set, menu_cursor == 4 ? 1 : 0);
            edit_pressure_line(PressureLine::CalSender, i);
            ++i;
            break;
        case PressureSender::Standard:
            if (p.input_type == PressureInput::Voltage) {
                line("MODEL: ", name_of(TRANSDUCER_MODEL_NAMES, p.transducer_model),
                     PressureLine::TransducerModel);
            } else if (p.input_type == PressureInput::Current) {
                pressure_text(text, p.pressure_at_4ma, true);
                line("PRES 4mA: ", text, PressureLine::PressureAt4mA);
                pressure_text(text, p.pressure_at_20ma, true);
                line("PRES 20mA:", text, PressureLine::PressureAt20mA);
            }
            break;
        default: break;
    }

    line("LABEL: ", name_of(PRESSURE_LABEL_NAMES, static_cast<u8>(p.label)), PressureLine::Label);
    line("UNIT: ", name_of(PRESSURE_UNIT_NAMES, static_cast<u8>(p.unit)), PressureLine::Unit);
    if (unit_in_tenths(p.unit))
        std::snprintf(text, sizeof text, "%.1f ", static_cast<double>(p.span) * 0.1);
    else
        std::snprintf(text, sizeof text, "%d ", static_cast<int>(p.span));
    append_pressure_unit(edit_channel_index(), text);
    line("SPAN: ", text, PressureLine::Span);
    line("TOPSCALE: ", off_on_name(p.top_scale), PressureLine::TopScale);
    line("LOW ALARM: ", off_on_name(p.low_alarm_on), PressureLine::LowAlarmOn);
    pressure_text(text, p.low_alarm, false);
    line("LOW ALM: ", text, PressureLine::LowAlarm);
    line("HIGH ALARM:", off_on_name(p.high_alarm_on), PressureLine::HighAlarmOn);
    pressure_text(text, p.high_alarm, false);
    line("HIGH ALM: ", text, PressureLine::HighAlarm);
    return static_cast<u8>(i - 1);
}
