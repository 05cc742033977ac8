// Hardware hooks: the points where the real instrument drives its contrast
// voltage, backlight, lamp and so on. In the simulator they do nothing, but
// they are called exactly where the hardware would be touched, and tests can
// count the calls through hook_counts.
#pragma once

#include "firmware/core/types.h"

void contrast_changed_hook();
void backlight_on_hook();
void backlight_off_hook();
void alarm_lamp_on_hook();
void alarm_lamp_off_hook();
void page_leave_hook();
void maxima_reset_hook();

// Call counters, for tests only; nothing in the instrument reads them.
struct HookCounts {
    u32 contrast_changed;
    u32 backlight_on;
    u32 backlight_off;
    u32 alarm_lamp_on;
    u32 alarm_lamp_off;
    u32 page_leave;
    u32 maxima_reset;
};
extern HookCounts hook_counts;
