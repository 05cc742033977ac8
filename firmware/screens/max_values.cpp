#include <cstdio>

#include "firmware/core/keys.h"
#include "firmware/core/setting_names.h"
#include "firmware/core/settings.h"
#include "firmware/lcd/lcd.h"
#include "firmware/lcd/text.h"
#include "firmware/measure/measure.h"
#include "firmware/screens/screens.h"

// The highest values since the last reset, one block per channel that is on:
// the label line, then the value in double height centred on column 80. The
// blocks close up, so a lone channel 2 takes the upper place.
namespace {

void list_pressure(u8 channel, u8 row) {
    const PressureChannelSettings& p = settings.pressure[channel];
    current_pressure_settings = &settings.pressure[channel];
    char text[NAME_TEXT_SIZE];
    std::snprintf(text, sizeof text,
                  "%s PRESS:", name_of(PRESSURE_LABEL_NAMES, static_cast<u32>(p.label)));
    text_normal(0, row, text, 0, DrawMode::Set, 0);

    // Tenths for BAR and PSI(0.1); the blank before the unit is part of both
    // formats.
    const s32 max = pressure_max[channel];
    if (p.unit == PressureUnit::Bar || p.unit == PressureUnit::PsiTenths)
        std::snprintf(text, sizeof text, "%.1f ", static_cast<double>(max) / 10.0);
    else
        std::snprintf(text, sizeof text, "%d ", static_cast<int>(max));
    append_pressure_unit(channel, text);
    text_normal_centred(80, static_cast<u8>(row + 8), text, 1, DrawMode::Set, 0);
}

void list_temperature(u8 channel, u8 row) {
    const TemperatureChannelSettings& t = settings.temperature[channel];
    current_temperature_settings = &settings.temperature[channel];
    char text[NAME_TEXT_SIZE];
    std::snprintf(text, sizeof text,
                  "%s TEMP:", name_of(TEMPERATURE_LABEL_NAMES, static_cast<u32>(t.label)));
    text_normal(0, row, text, 0, DrawMode::Set, 0);

    std::snprintf(text, sizeof text, "%d", static_cast<int>(temperature_max[channel]));
    append_temp_unit(channel, text);
    text_normal_centred(80, static_cast<u8>(row + 8), text, 1, DrawMode::Set, 0);
}

// A kind code other than Off and Pressure reads as Temperature, as in the
// channel processing of the main loop.
void list_channel(u8 channel, u8 row) {
    if (settings.channel_kind[channel] == ChannelKind::Pressure)
        list_pressure(channel, row);
    else
        list_temperature(channel, row);
}

}  // namespace

void page_max_values() {
    menu_title(" MAX VALUES ");
    u8 row = 9;
    if (settings.channel_kind[0] != ChannelKind::Off) {
        list_channel(0, row);
        row = 33;
    }
    if (settings.channel_kind[1] != ChannelKind::Off) list_channel(1, row);
    // Above the left key, which is the one that resets.
    text_normal_const(0, 56, " RESET ", 0, DrawMode::Set, 1);

    // No alarm acknowledgement here: that belongs to the run screen.
    switch (pending_key) {
        case KeyLeft: reset_maxima(); break;
        case KeyCentre:
        case KeyClockwise:
        case KeyAnticlockwise:
        case KeyRight: current_page = page_run_screen; break;
        default: break;
    }
    pending_key = KeyNone;
}
