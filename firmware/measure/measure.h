// Measurement: sender linearisation, unit conversion, channel processing,
// alarms and maxima. Run-time values are indexed by channel (0 = channel 1).
#pragma once

#include "firmware/core/settings.h"
#include "firmware/core/types.h"

// Raw counts at or above this mean a broken sender for the senders that can
// fail that way (the run screens show "CHECK SENDER").
constexpr u32 CHECK_SENDER_THRESHOLD = 3900;

// Native unit of a built-in pressure curve, for pressure_to_unit.
enum class NativeUnit : u8 { BarTenths = 0, PsiTenths = 1, Psi = 2, InHg = 3 };

extern u32 raw_reading[2];
extern s32 pressure_value[2];
extern s32 pressure_max[2];
extern s32 temperature_value[2];
extern s32 temperature_max[2];
extern s32 lm335_reading[2];
extern u8 alarm_active;        // bit 0 channel 1, bit 1 channel 2
extern u8 alarm_acknowledged;  // same bits
extern PressureChannelSettings* current_pressure_settings;
extern TemperatureChannelSettings* current_temperature_settings;

// Built-in sender curves (measure/curves.cpp).
extern const SenderCurve CURVE_KVX_NTC;
extern const SenderCurve CURVE_VDO_TEMP;
extern const SenderCurve CURVE_WESTACH;
extern const SenderCurve CURVE_VDO_2BAR;
extern const SenderCurve CURVE_VDO_5BAR;
extern const SenderCurve CURVE_VDO_10BAR;
extern const SenderCurve CURVE_T1EU07;
extern const SenderCurve CURVE_T1EU35;
extern const SenderCurve CURVE_T1EU70A;
extern const SenderCurve CURVE_T1EU100;
extern const SenderCurve CURVE_T1EU150;

// Linearisation and conversions (measure/linearise.cpp).
s32 segment_value(const CurvePoint& p, const CurvePoint& q, u32 r);
s32 div10_nearest(s32 a);
s32 to_fahrenheit(s32 t);
s32 lm335_celsius(u32 r);
void linearise_temperature(u8 channel);
void linearise_pressure(u8 channel);
s32 pressure_to_unit(s32 p, NativeUnit from, PressureUnit to);

// Curve choices. A range or model code the menus never produce reads as the
// factory choice ("10 BAR", "T1EU07") instead of past the table.
const SenderCurve& temperature_curve(const TemperatureChannelSettings& s);
const SenderCurve& pressure_curve(const PressureChannelSettings& s);
const SenderCurve& vdo_curve(u8 vdo_range);
const SenderCurve& transducer_curve(u32 model);
NativeUnit transducer_unit(u32 model);

// Channel processing (measure/channels.cpp).
u32 read_input(u8 index);
void process_pressure_channel(u8 channel);
void process_temperature_channel(u8 channel);
void reset_maxima();
