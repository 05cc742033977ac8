// Bar-graph gauges of the run screens.
#pragma once

#include "firmware/core/types.h"

// How a gauge prints its scale labels: Whole prints the integer; by pressure
// unit prints tenths ("%.1f") for Bar and PsiTenths and the integer for Psi and
// InHg, reading the unit through current_pressure_settings.
enum class LabelFormat : u8 { Whole = 0, ByPressureUnit = 1 };

void gauge_bar_vertical(s32 value, s32 span, u8 top_scale, s32 low_alarm, u8 low_alarm_on,
                        s32 high_alarm, u8 high_alarm_on, s32 maximum, u8 x, u8 width, u8 top,
                        LabelFormat format);
void gauge_bar_horizontal(s32 value, s32 span, u8 top_scale, s32 low_alarm, u8 low_alarm_on,
                          s32 high_alarm, u8 high_alarm_on, s32 maximum, u8 y, u8 length,
                          LabelFormat format);
