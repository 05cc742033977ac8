// The run screen: picks the layout from the display settings and the two
// channel kinds, draws it, then handles the front-panel key.
#include "firmware/core/keys.h"
#include "firmware/core/page_handlers.h"
#include "firmware/core/run_state.h"
#include "firmware/core/settings.h"
#include "firmware/lcd/text.h"
#include "firmware/measure/measure.h"
#include "firmware/screens/screens.h"

namespace {

bool channel_off(u8 channel) { return settings.channel_kind[channel] == ChannelKind::Off; }

// shown_channel only ever holds 0 or 1; anything else counts as "not the
// first channel", as the knob and the tick treat it.
u8 single_channel() { return shown_channel == 0 ? 0 : 1; }

bool is_pressure(u8 channel) { return settings.channel_kind[channel] == ChannelKind::Pressure; }

void point_at_settings(u8 channel) {
    if (is_pressure(channel))
        current_pressure_settings = &settings.pressure[channel];
    else
        current_temperature_settings = &settings.temperature[channel];
}

void select_screen() {
    text_normal_centred_const(57, 7, "SELECT", 1, DrawMode::Set, 0);
    text_normal_centred_const(57, 25, "TEMP/PRESSURE", 1, DrawMode::Set, 0);
    text_normal_centred_const(57, 43, "SENDER IN MENU", 1, DrawMode::Set, 0);
}

// With one channel off, the other is shown alone whatever the layout, and
// the choice is kept so the single layout starts from it later.
void force_shown_channel() {
    if (channel_off(0)) shown_channel = 1;
    if (channel_off(1)) shown_channel = 0;
}

// One press acknowledges every active alarm not yet acknowledged and does
// nothing else.
bool acknowledge_alarms() {
    bool acknowledged = false;
    for (u8 bit = 1; bit <= 2; bit = static_cast<u8>(bit << 1)) {
        if ((alarm_active & bit) != 0 && (alarm_acknowledged & bit) == 0) {
            alarm_acknowledged = static_cast<u8>(alarm_acknowledged | bit);
            acknowledged = true;
        }
    }
    return acknowledged;
}

void handle_key() {
    if (pending_key == KeyNone) return;
    if (!acknowledge_alarms()) {
        switch (pending_key) {
            case KeyCentre:
                menu_cursor = 0;
                menu_edit = 0;
                current_page = page_main_menu;
                break;
            case KeyClockwise:
            case KeyAnticlockwise:
                if (settings.display_layout == DisplayLayout::Single)
                    shown_channel = shown_channel < 1 ? static_cast<u8>(shown_channel + 1) : 0;
                auto_cycle_count = 0;
                break;
            case KeyLeft: current_page = page_max_values; break;
            case KeyRight:
                menu_cursor = 0;
                return_page = page_run_screen;
                current_page = page_contrast;
                break;
            default: break;
        }
    }
    pending_key = KeyNone;
}

}  // namespace

void page_run_screen() {
    const bool both_on = !channel_off(0) && !channel_off(1);
    const bool dual = settings.display_layout == DisplayLayout::Dual && both_on;
    if (channel_off(0) && channel_off(1)) {
        select_screen();
    } else if (settings.bar_orientation == BarOrientation::Horizontal) {
        if (dual) {
            show_dual_horizontal();
        } else {
            force_shown_channel();
            show_single_horizontal();
        }
    } else {
        if (dual) {
            show_dual_vertical();
        } else {
            force_shown_channel();
            show_single_vertical();
        }
    }
    handle_key();
}

void show_single_vertical() {
    const u8 channel = single_channel();
    point_at_settings(channel);
    if (is_pressure(channel))
        screen_pressure_large_vbar(channel);
    else
        screen_temperature_large_vbar(channel);
}

void show_single_horizontal() {
    const u8 channel = single_channel();
    point_at_settings(channel);
    if (is_pressure(channel))
        screen_pressure_large_hbar(channel);
    else
        screen_temperature_large_hbar(channel);
}

void show_dual_vertical() {
    for (u8 channel = 0; channel < 2; ++channel) {
        point_at_settings(channel);
        if (is_pressure(channel))
            screen_pressure_half_vbar(channel);
        else
            screen_temperature_half_vbar(channel);
    }
}

void show_dual_horizontal() {
    for (u8 channel = 0; channel < 2; ++channel) {
        point_at_settings(channel);
        if (is_pressure(channel))
            screen_pressure_half_hbar(channel);
        else
            screen_temperature_half_hbar(channel);
    }
}
