// Bar-graph gauges: a vertical bar rising from row 61 with its scale labels
// to the right, and a horizontal bar growing from column 0 with its labels
// underneath.
//
// A value v lands at (v - B) / k pixels from the bottom of the scale, where B
// is 0 (or span / 2 in top-scale mode) and k is the range per pixel step held
// in single precision. The division runs in double with that rounded k and
// the result is truncated toward zero; the float rounding decides on which
// side of a pixel boundary a value falls (span 100 fills to row 2, not 3).
#include "firmware/screens/gauges.h"

#include <cstring>

#include "firmware/core/number_text.h"
#include "firmware/core/run_state.h"
#include "firmware/lcd/lcd.h"
#include "firmware/lcd/text.h"
#include "firmware/measure/measure.h"

namespace {

// Positions further out than this are far off the screen whatever the
// gauge's geometry; clamping keeps the double-to-int conversion defined for
// values that sit at the s32 limits on a fine scale.
constexpr double POSITION_LIMIT = 100000.0;

struct Scale {
    s32 bottom;
    float k;
    // A range of zero or below (a span of 1 in top-scale mode, a temperature
    // span below 1) has no pixel scale at all: such a gauge shows its frame,
    // end ticks and labels and nothing that needs a position.
    bool usable;
};

Scale make_scale(s32 span, u8 top_scale, int steps) {
    Scale s{};
    s.bottom = top_scale == 0 ? 0 : (span >> 1);
    const s32 range = top_scale == 0 ? span : s.bottom;
    s.usable = range > 0 && steps > 0;
    if (s.usable) s.k = static_cast<float>(static_cast<double>(range) / steps);
    return s;
}

s32 truncate_position(double p) {
    if (p > POSITION_LIMIT) return static_cast<s32>(POSITION_LIMIT);
    if (p < -POSITION_LIMIT) return static_cast<s32>(-POSITION_LIMIT);
    return static_cast<s32>(p);
}

// Pixels from the bottom of the scale, before truncation.
double offset(const Scale& s, s32 v) {
    return (static_cast<double>(v) - static_cast<double>(s.bottom)) / static_cast<double>(s.k);
}

s32 row_of(const Scale& s, s32 v) { return truncate_position(61.0 - offset(s, v)); }
s32 column_of(const Scale& s, s32 v) { return truncate_position(offset(s, v)); }

bool pressure_in_whole_units() {
    if (current_pressure_settings == nullptr) return false;
    const PressureUnit unit = current_pressure_settings->unit;
    return unit == PressureUnit::Psi || unit == PressureUnit::InHg;
}

// Long enough for "%.1f" of any s32 in tenths ("-214748364.8").
constexpr int LABEL_SIZE = 16;

void format_label(char (&text)[LABEL_SIZE], s32 n, LabelFormat format) {
    if (format == LabelFormat::ByPressureUnit && !pressure_in_whole_units())
        format_tenths(text, sizeof text, n, 0);
    else
        format_integer(text, sizeof text, n, 0);
}

bool in_alarm(s32 value, s32 low_alarm, u8 low_alarm_on, s32 high_alarm, u8 high_alarm_on) {
    return (high_alarm_on == 1 && value > high_alarm) || (low_alarm_on == 1 && value < low_alarm);
}

bool on_screen_row(s32 row) { return row >= 0 && row < LCD_HEIGHT; }
bool on_screen_column(s32 column) { return column >= 0 && column < LCD_WIDTH; }

// Limit mark of the vertical gauge: its label to the right, then the line
// through the bar (which the fill later inverts into a gap).
void vertical_mark(const Scale& s, s32 limit, u8 x, u8 width, LabelFormat format) {
    const s32 row = row_of(s, limit);
    if (!on_screen_row(row)) return;
    char label[LABEL_SIZE];
    format_label(label, limit, format);
    text_tiny(static_cast<u8>(x + width + 4), static_cast<u8>(row), label, 0);
    lcd_line(x + 1, row, x + width + 2, row, DrawMode::Set);
}

void horizontal_mark(const Scale& s, s32 limit, u8 y) {
    const s32 column = column_of(s, limit);
    if (!on_screen_column(column)) return;
    lcd_line(column, y + 2, column, y + 10, DrawMode::Set);
}

}  // namespace

void gauge_bar_vertical(s32 value, s32 span, u8 top_scale, s32 low_alarm, u8 low_alarm_on,
                        s32 high_alarm, u8 high_alarm_on, s32 maximum, u8 x, u8 width, u8 top,
                        LabelFormat format) {
    constexpr s32 BOTTOM_ROW = 61;
    const Scale s = make_scale(span, top_scale, 59 - top);
    const u8 right = static_cast<u8>(x + width);
    auto clamp_row = [&](s32 row) {
        if (row < top) row = top;
        if (row > BOTTOM_ROW) row = BOTTOM_ROW;
        return row;
    };

    lcd_rect(static_cast<u8>(x + 3), top, right, BOTTOM_ROW, DrawMode::Set);

    if (s.usable) {
        if (low_alarm_on == 1 && low_alarm > s.bottom)
            vertical_mark(s, low_alarm, x, width, format);
        if (high_alarm_on == 1 && high_alarm > s.bottom)
            vertical_mark(s, high_alarm, x, width, format);

        const bool alarm = in_alarm(value, low_alarm, low_alarm_on, high_alarm, high_alarm_on);
        if (value > s.bottom && (!alarm || blink_phase == 1)) {
            const s32 row = clamp_row(value > span ? top : row_of(s, value));
            lcd_fill(static_cast<u8>(x + 5), static_cast<u8>(row), static_cast<u8>(x + width - 1),
                     60, DrawMode::Invert);
        }

        if (maximum >= s.bottom) {
            const s32 m = clamp_row(maximum > span ? top : row_of(s, maximum));
            lcd_line(x + 3, m, x + width - 1, m, DrawMode::Set);
            lcd_line(x, m - 2, x, m + 2, DrawMode::Set);
            lcd_line(x + 1, m - 1, x + 1, m + 1, DrawMode::Set);
            lcd_pixel(static_cast<u8>(x + 2), static_cast<u8>(m), DrawMode::Set);
        }
    }

    char label[LABEL_SIZE];
    lcd_line(right, top, right + 2, top, DrawMode::Set);
    format_label(label, span, format);
    text_tiny(static_cast<u8>(x + width + 4), top, label, 0);

    lcd_line(right, BOTTOM_ROW, right + 2, BOTTOM_ROW, DrawMode::Set);
    format_label(label, s.bottom, format);
    text_tiny(static_cast<u8>(x + width + 4), 60, label, 0);
}

void gauge_bar_horizontal(s32 value, s32 span, u8 top_scale, s32 low_alarm, u8 low_alarm_on,
                          s32 high_alarm, u8 high_alarm_on, s32 maximum, u8 y, u8 length,
                          LabelFormat format) {
    const Scale s = make_scale(span, top_scale, length);

    lcd_rect(0, static_cast<u8>(y + 3), length, static_cast<u8>(y + 10), DrawMode::Set);

    if (s.usable) {
        if (low_alarm_on == 1) horizontal_mark(s, low_alarm, y);
        if (high_alarm_on == 1) horizontal_mark(s, high_alarm, y);

        if (maximum >= s.bottom) {
            s32 m = maximum > span ? length : column_of(s, maximum);
            if (m > length) m = length;
            lcd_line(m, y + 2, m, y + 10, DrawMode::Set);
            lcd_line(m - 2, y, m + 2, y, DrawMode::Set);
            lcd_line(m - 1, y + 1, m + 1, y + 1, DrawMode::Set);
            lcd_pixel(static_cast<u8>(m), static_cast<u8>(y + 2), DrawMode::Set);
        }
    }

    char label[LABEL_SIZE];
    lcd_line(0, y, 0, y + 3, DrawMode::Set);
    format_label(label, s.bottom, format);
    text_normal(0, static_cast<u8>(y + 12), label, 0, DrawMode::Set, 0);

    lcd_line(length, y, length, y + 3, DrawMode::Set);
    format_label(label, span, format);
    // A 4-character label such as 10.0 sits further in so that it ends
    // inside the screen.
    const u8 centre = static_cast<u8>(length - (std::strlen(label) > 3 ? 14 : 10));
    text_normal_centred(centre, static_cast<u8>(y + 12), label, 0, DrawMode::Set, 0);

    // The fill comes last and inverts: it cuts gaps where it crosses the
    // alarm marks and the maximum pointer.
    const bool alarm = in_alarm(value, low_alarm, low_alarm_on, high_alarm, high_alarm_on);
    if (s.usable && (!alarm || blink_phase == 1)) {
        s32 end = 0;
        if (value > span)
            end = length;
        else if (value >= s.bottom)
            end = column_of(s, value);
        // Columns past the right edge are dropped anyway; an odd span in
        // top-scale mode can reach twice the length, beyond 8 bits.
        if (end > LCD_WIDTH) end = LCD_WIDTH;
        lcd_fill(1, static_cast<u8>(y + 5), static_cast<u8>(end), static_cast<u8>(y + 8),
                 DrawMode::Invert);
    }
}
