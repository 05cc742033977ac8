// Run-mode pages: the channel display screens and the maximum values.
#pragma once

#include "firmware/core/page_handlers.h"
#include "firmware/core/types.h"

// Layout choosers (run_screen.cpp).
void show_single_vertical();
void show_single_horizontal();
void show_dual_vertical();
void show_dual_horizontal();

// One channel on the whole screen, or in its half of the dual screen
// (the channel index selects the half). The matching current_*_settings must
// point at that channel's record.
void screen_pressure_large_vbar(u8 channel);
void screen_temperature_large_vbar(u8 channel);
void screen_pressure_large_hbar(u8 channel);
void screen_temperature_large_hbar(u8 channel);
void screen_pressure_half_vbar(u8 channel);
void screen_temperature_half_vbar(u8 channel);
void screen_pressure_half_hbar(u8 channel);
void screen_temperature_half_hbar(u8 channel);
