#include "firmware/core/program_start.h"

#include <cstring>

#include "firmware/firmware.h"

void reset_firmware_state() {
    std::memset(&settings, 0, sizeof settings);
    std::memset(&hook_counts, 0, sizeof hook_counts);
    pending_key = KeyNone;
    key_step = 0;
    current_page = nullptr;
    return_page = nullptr;
    menu_cursor = 0;
    menu_edit = 0;
    input_a = input_b = 0;
    power_off_requested = 0;
    calibrate_enabled = 0;
    blink_count = blink_phase = tick_count = auto_cycle_count = shown_channel = 0;
    for (int c = 0; c < 2; ++c) {
        raw_reading[c] = 0;
        pressure_value[c] = pressure_max[c] = 0;
        temperature_value[c] = temperature_max[c] = 0;
        lm335_reading[c] = 0;
    }
    alarm_active = alarm_acknowledged = 0;
    current_pressure_settings = nullptr;
    current_temperature_settings = nullptr;
    edit_channel = 0;
    edit_pressure = nullptr;
    edit_temperature = nullptr;
    curve_is_temperature = 0;
    std::memset(&curve_work, 0, sizeof curve_work);
    lcd_clear();
    lcd_attach_canvas(nullptr);
}
