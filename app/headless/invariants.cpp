#include "app/headless/invariants.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "firmware/firmware.h"

namespace {

// Last line index of the channel setup page for the channel being edited.
int channel_setup_last_line() {
    const u8 channel = edit_channel;
    switch (settings.channel_kind[channel]) {
        case ChannelKind::Off: return 1;
        case ChannelKind::Pressure: {
            const PressureChannelSettings& p = settings.pressure[channel];
            const bool rotax =
                p.sender == PressureSender::Standard && p.input_type == PressureInput::Current;
            return rotax ? 13 : 12;
        }
        case ChannelKind::Temperature: {
            const TemperatureSender s = settings.temperature[channel].sender;
            return s == TemperatureSender::Lm335 || s == TemperatureSender::User ? 11 : 10;
        }
    }
    return -1;
}

int display_setup_last_line() {
    if (settings.display_layout == DisplayLayout::Dual) return 4;
    return settings.cycle_mode == CycleMode::Auto ? 6 : 5;
}

// The curve editor moves values and readings up to 9 past their limits
// before the next step wraps them; nothing else writes a curve.
bool curve_in_range(const SenderCurve& curve) {
    const u8 count = static_cast<u8>(curve.point_count);
    if (count < CURVE_EDIT_MIN_POINTS || count > CURVE_MAX_POINTS) return false;
    for (const CurvePoint& p : curve.points) {
        const s32 reading = static_cast<s32>(p.reading);
        if (p.value < CURVE_VALUE_MIN || p.value > CURVE_VALUE_MAX || reading < CURVE_READING_MIN ||
            reading > CURVE_READING_MAX)
            return false;
    }
    return true;
}

}  // namespace

const char* InvariantChecker::fail(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::vsnprintf(message_, sizeof message_, format, args);
    va_end(args);
    return message_;
}

const char* InvariantChecker::after_pass(const HeadlessHost& host) {
    const char* broken = check_globals(host);
    if (broken == nullptr) broken = check_cursor();
    previous_page_ = current_page;
    previous_cursor_ = menu_cursor;
    return broken;
}

const char* InvariantChecker::check_globals(const HeadlessHost& host) {
    if (pending_key != KeyNone) return fail("pending_key %d left after the pass", pending_key);
    if (key_step != 1 && key_step != 10) return fail("key_step %d", key_step);
    if (std::strcmp(page_name(current_page), "?") == 0) return fail("current_page is no page");
    if (menu_edit > 1) return fail("menu_edit %d", menu_edit);
    if (shown_channel > 1) return fail("shown_channel %d", shown_channel);
    if (blink_phase > 1) return fail("blink_phase %d", blink_phase);
    if (blink_count > 10) return fail("blink_count %d", blink_count);
    if (tick_count > 19) return fail("tick_count %d", tick_count);
    if (calibrate_enabled != (host.calibrate ? 1 : 0)) return fail("calibrate_enabled stale");
    if ((alarm_active & ~3) != 0 || (alarm_acknowledged & ~3) != 0)
        return fail("alarm masks %#x / %#x", alarm_active, alarm_acknowledged);
    if (host.picture_hidden) return fail("LCD picture left hidden");
    if (host.lamp != LAMP_RED && host.lamp != LAMP_MAROON) return fail("lamp %#x", host.lamp);
    if (host.lamp == LAMP_RED && (blink_phase != 1 || alarm_active == 0))
        return fail("lamp red without a flashing alarm");
    if (input_a > INPUT_FULL_SCALE || input_b > INPUT_FULL_SCALE)
        return fail("inputs %u, %u", input_a, input_b);
    if (!any_settings_) {
        const char* broken = check_settings();
        if (broken != nullptr) return broken;
    }

    if (edit_channel > 1) return fail("edit_channel %d", edit_channel);
    if (curve_is_temperature > 1) return fail("curve_is_temperature %d", curve_is_temperature);
    if (return_page != nullptr && return_page != page_run_screen &&
        return_page != page_display_setup && return_page != page_calibrate)
        return fail("return_page is %s", page_name(return_page));
    if ((current_page == page_contrast || current_page == page_message) && return_page == nullptr)
        return fail("%s page with no page to return to", page_name(current_page));
    return nullptr;
}

const char* InvariantChecker::check_settings() {
    if (settings.contrast > CONTRAST_MAX) return fail("contrast %d", settings.contrast);
    if (settings.backlight > 1) return fail("backlight %d", settings.backlight);
    if (settings.display_time_index > DISPLAY_TIME_LAST)
        return fail("display_time_index %d", settings.display_time_index);
    if (static_cast<u8>(settings.display_layout) > 1 ||
        static_cast<u8>(settings.bar_orientation) > 1 || static_cast<u8>(settings.cycle_mode) > 1)
        return fail("display settings out of range");
    for (int c = 0; c < 2; ++c) {
        if (static_cast<u8>(settings.channel_kind[c]) > 2)
            return fail("channel %d kind %d", c + 1, static_cast<int>(settings.channel_kind[c]));
        const PressureChannelSettings& p = settings.pressure[c];
        if (static_cast<u8>(p.input_type) > 2 || static_cast<u8>(p.sender) > 2 ||
            static_cast<u8>(p.unit) > 3 || static_cast<u8>(p.label) > 4 || p.transducer_model > 5 ||
            p.vdo_range > 2 || p.top_scale > 1 || p.low_alarm_on > 1 || p.high_alarm_on > 1)
            return fail("channel %d pressure codes out of range", c + 1);
        const s32 limit = pressure_unit_limit(p.unit);
        if (p.span < 1 || p.span > limit || p.low_alarm < 1 || p.low_alarm > limit ||
            p.high_alarm < 1 || p.high_alarm > limit)
            return fail("channel %d pressure span/alarms %d/%d/%d above the unit's %d", c + 1,
                        p.span, p.low_alarm, p.high_alarm, limit);
        if (p.pressure_at_20ma < 1 || p.pressure_at_20ma > static_cast<u32>(limit) ||
            p.pressure_at_4ma < 0 || p.pressure_at_4ma > PRESSURE_AT_4MA_MAX)
            return fail("channel %d 4-20 mA pressures %d/%u", c + 1, p.pressure_at_4ma,
                        p.pressure_at_20ma);
        if (!curve_in_range(p.user_curve)) return fail("channel %d pressure curve", c + 1);

        const TemperatureChannelSettings& t = settings.temperature[c];
        if (static_cast<u8>(t.label) > 3 || static_cast<u8>(t.unit) > 1 ||
            static_cast<u8>(t.sender) > 4 || t.top_scale > 1 || t.low_alarm_on > 1 ||
            t.high_alarm_on > 1)
            return fail("channel %d temperature codes out of range", c + 1);
        const auto stored = [](s32 v) {
            return v >= LOWEST_TEMPERATURE && v <= STORED_TEMPERATURE_MAX;
        };
        if (!stored(t.span) || !stored(t.low_alarm) || !stored(t.high_alarm))
            return fail("channel %d temperature span/alarms %d/%d/%d", c + 1, t.span, t.low_alarm,
                        t.high_alarm);
        if (t.lm335_offset < -LM335_OFFSET_LIMIT || t.lm335_offset > LM335_OFFSET_LIMIT)
            return fail("channel %d lm335_offset %d", c + 1, t.lm335_offset);
        if (!curve_in_range(t.user_curve)) return fail("channel %d temperature curve", c + 1);
    }
    return nullptr;
}

const char* InvariantChecker::check_cursor() {
    const u8 cursor = menu_cursor;
    const char* page = page_name(current_page);
    int last = -1;  // the page does not use the cursor
    if (current_page == page_main_menu) {
        last = 5;
        // Without "Calibrate" the cursor may still sit on the two service
        // entries it was on, or came back to, but never move onto them.
        const bool came_back = previous_page_ != page_main_menu;
        if (calibrate_enabled == 0 && cursor > 3 && !came_back && cursor > previous_cursor_)
            return fail("main menu cursor moved to %d without \"Calibrate\"", cursor);
    } else if (current_page == page_display_setup) {
        // A layout changed behind the page's back leaves the cursor where it
        // was; only the page's own lines bound it then.
        last = any_settings_ ? 6 : display_setup_last_line();
    } else if (current_page == page_channel_setup) {
        last = channel_setup_last_line();
        if (edit_pressure != &settings.pressure[edit_channel] ||
            edit_temperature != &settings.temperature[edit_channel])
            return fail("channel setup edits another channel's records");
    } else if (current_page == page_sender_curve) {
        // The editor opens on a copy of the stored curve, whatever count it
        // holds, and lists no more points than the curve has room for.
        const u8 count = static_cast<u8>(curve_work.point_count);
        if (!any_settings_ && (count < CURVE_EDIT_MIN_POINTS || count > CURVE_EDIT_MAX_POINTS))
            return fail("curve editor with %d points", count);
        last = 2 * (count > CURVE_MAX_POINTS ? CURVE_MAX_POINTS : count) + 1;
    } else if (current_page == page_adc_values) {
        last = 0;
    } else if (current_page == page_calibrate || current_page == page_message) {
        last = 2;
    }
    if (last >= 0 && cursor > last)
        return fail("menu_cursor %d past the last line %d of the %s page", cursor, last, page);
    return nullptr;
}

const char* InvariantChecker::check_picture(const HeadlessHost& host, u32 outside) {
    for (int y = 0; y < HeadlessHost::PICTURE_HEIGHT; ++y) {
        for (int x = 0; x < HeadlessHost::PICTURE_WIDTH; ++x) {
            const u32 pixel = host.pixels[y * HeadlessHost::PICTURE_WIDTH + x];
            if (x >= LCD_PICTURE_ZOOM * LCD_WIDTH || y >= LCD_PICTURE_ZOOM * LCD_HEIGHT) {
                if (pixel != outside) return fail("picture pixel %d,%d written", x, y);
                continue;
            }
            const bool lit = lcd_get_pixel(static_cast<u8>(x / 2), static_cast<u8>(y / 2));
            if (pixel != (lit ? LCD_BLACK : HeadlessHost::UNLIT))
                return fail("picture pixel %d,%d does not show LCD pixel %d,%d", x, y, x / 2,
                            y / 2);
        }
    }
    return nullptr;
}

const char* InvariantChecker::after_pass_sampled(const HeadlessHost& host, bool& picture_pass,
                                                 u32 outside) {
    const char* broken = after_pass(host);
    if (picture_pass) {
        if (broken == nullptr) broken = check_picture(host, outside);
        lcd_attach_canvas(nullptr);
        picture_pass = false;
    }
    return broken;
}
