#include "firmware/core/settings.h"

#include "firmware/core/hooks.h"
#include "firmware/core/keys.h"
#include "firmware/core/page_handlers.h"

InstrumentSettings settings;

const SenderCurve DEFAULT_PRESSURE_USER_CURVE = {
    6, {{0, 21}, {20, 132}, {40, 220}, {60, 308}, {80, 376}, {100, 440}}};

const SenderCurve DEFAULT_TEMPERATURE_USER_CURVE = {10,
                                                    {{10, 2250},
                                                     {50, 724},
                                                     {66, 436},
                                                     {80, 282},
                                                     {100, 158},
                                                     {110, 123},
                                                     {120, 92},
                                                     {130, 72},
                                                     {140, 56},
                                                     {150, 44}}};

static void pressure_defaults(PressureChannelSettings& p) {
    p.input_type = PressureInput::Resistive;
    p.sender = PressureSender::Vdo;
    p.unit = PressureUnit::Bar;
    p.pressure_at_4ma = 0;
    p.pressure_at_20ma = 100;
    p.label = PressureLabel::Oil;
    p.span = 100;
    p.top_scale = 0;
    p.low_alarm_on = 1;
    p.low_alarm = 15;
    p.high_alarm_on = 1;
    p.high_alarm = 80;
    p.transducer_model = 0;
    p.vdo_range = 2;
    p.user_curve = DEFAULT_PRESSURE_USER_CURVE;
}

static void temperature_defaults(TemperatureChannelSettings& t) {
    t.label = TemperatureLabel::Oil;
    t.span = 150;
    t.top_scale = 1;
    t.low_alarm = 70;
    t.low_alarm_on = 1;
    t.high_alarm = 135;
    t.high_alarm_on = 1;
    t.unit = TemperatureUnit::Celsius;
    t.sender = TemperatureSender::Vdo;
    // lm335_offset is deliberately kept: it is the one setting that outlives a power cycle.
    t.user_curve = DEFAULT_TEMPERATURE_USER_CURVE;
}

void load_factory_defaults() {
    settings.contrast = 37;
    contrast_changed_hook();
    settings.backlight = 1;
    backlight_on_hook();
    settings.display_layout = DisplayLayout::Dual;
    settings.bar_orientation = BarOrientation::Vertical;
    settings.cycle_mode = CycleMode::Manual;
    settings.display_time_index = 1;
    settings.channel_kind[0] = ChannelKind::Pressure;
    settings.channel_kind[1] = ChannelKind::Temperature;
    for (int c = 0; c < 2; ++c) {
        pressure_defaults(settings.pressure[c]);
        temperature_defaults(settings.temperature[c]);
    }
}

void apply_settings(const InstrumentSettings& loaded) {
    settings = loaded;
    if (current_page == page_channel_setup || current_page == page_display_setup) {
        menu_cursor = 0;
        menu_edit = 0;
    }
}
