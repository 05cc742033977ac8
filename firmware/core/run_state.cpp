#include "firmware/core/run_state.h"

u32 input_a;
u32 input_b;
u8 power_off_requested;
u8 calibrate_enabled;
u8 blink_count;
u8 blink_phase;
u8 tick_count;
u8 auto_cycle_count;
u8 shown_channel;
