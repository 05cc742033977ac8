// TEMPORARY STUB: the run screen draws nothing yet and only consumes the key.
#include "firmware/core/keys.h"
#include "firmware/screens/screens.h"

void page_run_screen() { pending_key = KeyNone; }
void show_single_vertical() {}
void show_single_horizontal() {}
void show_dual_vertical() {}
void show_dual_horizontal() {}
void screen_pressure_large_vbar(u8) {}
void screen_temperature_large_vbar(u8) {}
void screen_pressure_large_hbar(u8) {}
void screen_temperature_large_hbar(u8) {}
void screen_pressure_half_vbar(u8) {}
void screen_temperature_half_vbar(u8) {}
void screen_pressure_half_hbar(u8) {}
void screen_temperature_half_hbar(u8) {}
