#include "firmware/core/hooks.h"

HookCounts hook_counts;

void contrast_changed_hook() { ++hook_counts.contrast_changed; }
void backlight_on_hook() { ++hook_counts.backlight_on; }
void backlight_off_hook() { ++hook_counts.backlight_off; }
void alarm_lamp_on_hook() { ++hook_counts.alarm_lamp_on; }
void alarm_lamp_off_hook() { ++hook_counts.alarm_lamp_off; }
void page_leave_hook() { ++hook_counts.page_leave; }
void maxima_reset_hook() { ++hook_counts.maxima_reset; }
