// The sender-curve editor: a table of 2 to 10 points, each a displayed value
// and the raw reading at which the sender gives it, entered while the title
// shows the channel's live reading. It works on a copy (curve_work) filled by
// the CAL SENDER line; "*** DONE ***" stores the whole copy and is the only
// way out. Points are neither sorted nor checked: the user owns the curve.
//
// List lines: 0 DONE, 1 POINTS, then for point p (from 0) its value on line
// 2p + 2 and its reading on line 2p + 3.
#include <cstdio>

#include "firmware/core/keys.h"
#include "firmware/core/setting_limits.h"
#include "firmware/core/settings.h"
#include "firmware/measure/measure.h"
#include "firmware/menus/channel_lines.h"
#include "firmware/menus/menu.h"
#include "firmware/menus/pages.h"

namespace {

constexpr u8 MIN_POINTS = CURVE_EDIT_MIN_POINTS;
constexpr u8 MAX_POINTS = CURVE_EDIT_MAX_POINTS;
constexpr u8 LAST_POINT_LINE = 2 * MAX_POINTS + 1;

// Only the low byte of point_count counts. The editor keeps it at 2..10; a
// larger count is shown no further than the points the curve can hold.
u8 shown_points() {
    const u8 n = static_cast<u8>(curve_work.point_count);
    return n > CURVE_MAX_POINTS ? CURVE_MAX_POINTS : n;
}

bool pressure_in_tenths() {
    if (curve_is_temperature == 1) return false;
    return edit_pressure->unit == PressureUnit::Bar ||
           edit_pressure->unit == PressureUnit::PsiTenths;
}

// Values and readings are compared as signed numbers and the limits are
// tested before the step, so a step of 10 can overshoot by up to 9 (995 ->
// 1005, 5 -> -5); the next step the same way wraps. A reading below zero is
// kept as its 32-bit pattern and reads back as the same negative number.
s32 step_wrapping(s32 v, bool up, s32 limit) {
    const s32 k = key_step;
    if (up) return v < limit ? v + k : 0;
    return v > 0 ? v - k : limit;
}

void change_line(u8 line, bool up) {
    if (line == 1) {
        const u8 n = static_cast<u8>(curve_work.point_count);
        u8 next;
        if (up)
            next = n < MAX_POINTS ? static_cast<u8>(n + 1) : MIN_POINTS;
        else
            next = n > MIN_POINTS ? static_cast<u8>(n - 1) : MAX_POINTS;
        // Counts a damaged record may hold land back in 2..10.
        if (next < MIN_POINTS) next = MIN_POINTS;
        if (next > MAX_POINTS) next = MAX_POINTS;
        curve_work.point_count = next;
        return;
    }
    if (line < 2 || line > LAST_POINT_LINE) return;
    CurvePoint& point = curve_work.points[(line - 2) / 2];
    if (line % 2 == 0)
        point.value = step_wrapping(point.value, up, CURVE_VALUE_LIMIT);
    else
        point.reading = static_cast<u32>(
            step_wrapping(static_cast<s32>(point.reading), up, CURVE_READING_LIMIT));
}

void store_and_leave() {
    menu_edit = 0;
    if (curve_is_temperature == 1) {
        edit_temperature->user_curve = curve_work;
        menu_cursor = 3;  // CAL SENDER of a temperature channel
    } else {
        edit_pressure->user_curve = curve_work;
        menu_cursor = 4;  // CAL SENDER of a pressure channel
    }
    // Settings replaced while the editor was open may have switched the
    // channel off: its page then ends at MODE, and the cursor goes there, as
    // the page keeps it whenever its lines go.
    const ChannelKind kind = settings.channel_kind[edit_channel_index()];
    if (kind != ChannelKind::Pressure && kind != ChannelKind::Temperature) menu_cursor = 1;
    current_page = page_channel_setup;
}

}  // namespace

void page_sender_curve() {
    const u8 s = menu_scroll_offset();
    const u8 n = shown_points();
    const u8 last = static_cast<u8>(2 * n + 1);
    char label[MENU_TEXT_SIZE];
    char value[MENU_TEXT_SIZE];

    std::snprintf(label, sizeof label, curve_is_temperature == 1 ? " TEMP: %u " : " PRESS: %u ",
                  static_cast<unsigned>(raw_reading[edit_channel_index()]));
    menu_title(label);
    menu_done_line();

    std::snprintf(value, sizeof value, "%d", static_cast<int>(curve_work.point_count & 0xFF));
    menu_line(0, static_cast<u8>(1 - s), "POINTS: ", value);

    const bool tenths = pressure_in_tenths();
    for (u8 p = 0; p < n; ++p) {
        const CurvePoint& point = curve_work.points[p];
        const u8 line = static_cast<u8>(2 * p + 2);
        // The tenth point drops the blank so its label keeps ten characters.
        std::snprintf(label, sizeof label, p == 9 ? "DISPLAY%d:" : "DISPLAY %d:", p + 1);
        if (tenths)
            std::snprintf(value, sizeof value, "%.1f", static_cast<double>(point.value) * 0.1);
        else
            std::snprintf(value, sizeof value, "%03d", static_cast<int>(point.value));
        menu_line(0, static_cast<u8>(line - s), label, value);

        std::snprintf(label, sizeof label, "ADC %d: ", p + 1);
        std::snprintf(value, sizeof value, "%04d",
                      static_cast<int>(static_cast<s32>(point.reading)));
        menu_line(0, static_cast<u8>(line + 1 - s), label, value);
    }

    if (pending_key != KeyNone) {
        const KeyCode key = pending_key;
        if (key == KeyCentre) {
            if (menu_edit == 1)
                menu_edit = 0;
            else if (menu_cursor == 0)
                store_and_leave();
            else
                menu_edit = 1;
        } else if (menu_edit == 1) {
            if (key_raises(key)) change_line(menu_cursor, true);
            if (key_lowers(key)) change_line(menu_cursor, false);
        } else {
            move_menu_cursor(key, last);
        }
        pending_key = KeyNone;
    }

    // The count only changes with the cursor on POINTS, above every point
    // line, so a shrinking list never strands the cursor; this keeps it so.
    if (current_page == page_sender_curve) {
        const u8 new_last = static_cast<u8>(2 * shown_points() + 1);
        if (menu_cursor > new_last) {
            menu_cursor = new_last;
            menu_edit = 0;
        }
    }
}
