// TEMPORARY STUB: replaced by the channel setup pages.
#include "firmware/core/keys.h"
#include "firmware/menus/pages.h"

void page_channel_setup() {
    if (pending_key != KeyNone) current_page = page_main_menu;
    pending_key = KeyNone;
}
void page_calibrate() { page_channel_setup(); }
void page_sender_curve() { page_channel_setup(); }
void edit_pressure_line(PressureLine, u8) {}
void edit_temperature_line(TemperatureLine, u8) {}
s32 pressure_unit_limit(PressureUnit) { return 100; }
void clamp_pressure_values() {}
