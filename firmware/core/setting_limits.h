// The ranges the setup pages keep each setting in, and the full scale of the
// inputs. The pages step against them; whatever checks a record from outside
// (the settings file reader, the scenario invariants) holds it to the same
// ranges, widened only where a page lets a value stray.
#pragma once

#include "firmware/core/keys.h"
#include "firmware/core/settings.h"
#include "firmware/core/types.h"

// An input, and so a raw reading, runs from 0 to this (the sliders' range).
constexpr u32 INPUT_FULL_SCALE = 4096;

// Two pixels per contrast step: 57 fills the contrast page's frame.
constexpr u8 CONTRAST_MAX = 57;

// Span, alarms and the 20 mA pressure run from 1 to this, in the unit's own
// steps. A code the menu never stores is treated as BAR.
constexpr s32 pressure_unit_limit(PressureUnit unit) {
    switch (unit) {
        case PressureUnit::Psi: return 500;
        case PressureUnit::PsiTenths: return 999;
        case PressureUnit::InHg: return 300;
        default: return 100;
    }
}
// The 4 mA pressure steps from 0 to the unit's limit but is not pulled back
// on a unit change, so a record may hold up to the largest limit.
constexpr s32 PRESSURE_AT_4MA_MAX = pressure_unit_limit(PressureUnit::PsiTenths);

// Temperatures step from -40 up to 300 |C or 570 |F. A unit change neither
// converts nor clamps them, so a record holds the Fahrenheit range under both.
constexpr s32 LOWEST_TEMPERATURE = -40;
constexpr s32 highest_temperature(TemperatureUnit unit) {
    return unit == TemperatureUnit::Celsius ? 300 : 570;
}
constexpr s32 STORED_TEMPERATURE_MAX = highest_temperature(TemperatureUnit::Fahrenheit);
constexpr s8 LM335_OFFSET_LIMIT = 30;  // the offset stops at -30 and 30

// The sender-curve editor lists 2 to 10 points; a stored curve may hold up to
// CURVE_MAX_POINTS. Values step between 0 and 999, readings between 0 and the
// full scale, but the limits are tested before a step, so a KeyFast step can
// leave either up to 9 beyond its range (995 -> 1005, 5 -> -5).
constexpr u8 CURVE_EDIT_MIN_POINTS = 2;
constexpr u8 CURVE_EDIT_MAX_POINTS = 10;
constexpr s32 CURVE_VALUE_LIMIT = 999;
constexpr s32 CURVE_READING_LIMIT = static_cast<s32>(INPUT_FULL_SCALE);
constexpr s32 CURVE_OVERSHOOT = KEY_STEP_FAST - 1;
constexpr s32 CURVE_VALUE_MIN = -CURVE_OVERSHOOT;
constexpr s32 CURVE_VALUE_MAX = CURVE_VALUE_LIMIT + CURVE_OVERSHOOT;
constexpr s32 CURVE_READING_MIN = -CURVE_OVERSHOOT;
constexpr s32 CURVE_READING_MAX = CURVE_READING_LIMIT + CURVE_OVERSHOOT;

// The last index into DISPLAY_TIMES.
constexpr u8 DISPLAY_TIME_LAST = sizeof DISPLAY_TIMES - 1;
