// TEMPORARY STUB: replaced by the run screens work.
#include "firmware/screens/gauges.h"

void gauge_bar_vertical(s32, s32, u8, s32, u8, s32, u8, s32, u8, u8, u8, LabelFormat) {}
void gauge_bar_horizontal(s32, s32, u8, s32, u8, s32, u8, s32, u8, u8, LabelFormat) {}
