// Run-time state of the power cycle that the pages read: the two sensor
// inputs as the sliders left them, the blink phase and the automatic
// alternation of the single-channel display. All zero at program start.
#pragma once

#include "firmware/core/types.h"

extern u32 input_a;  // channel-1 slider, 0..INPUT_FULL_SCALE (setting_limits.h)
extern u32 input_b;  // channel-2 slider, 0..INPUT_FULL_SCALE
extern u8 power_off_requested;
extern u8 calibrate_enabled;  // "Calibrate" ticked, refreshed every pass
extern u8 blink_count;        // ticks since blink_phase last changed
extern u8 blink_phase;        // alarm indications show while it is 1
extern u8 tick_count;         // ticks toward the next 2-second step
extern u8 auto_cycle_count;   // 2-second steps since shown_channel last changed
extern u8 shown_channel;      // channel of the single layout, 0 or 1
