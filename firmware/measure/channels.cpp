// TEMPORARY STUB: replaced by the measurement work.
#include "firmware/core/hooks.h"
#include "firmware/measure/measure.h"

u32 raw_reading[2];
s32 pressure_value[2];
s32 pressure_max[2];
s32 temperature_value[2];
s32 temperature_max[2];
s32 lm335_reading[2];
u8 alarm_active;
u8 alarm_acknowledged;
PressureChannelSettings* current_pressure_settings;
TemperatureChannelSettings* current_temperature_settings;

u32 read_input(u8) { return 0; }
void process_pressure_channel(u8) {}
void process_temperature_channel(u8) {}
void reset_maxima() {
    for (int c = 0; c < 2; ++c) {
        pressure_max[c] = pressure_value[c];
        temperature_max[c] = temperature_value[c];
    }
    maxima_reset_hook();
}
