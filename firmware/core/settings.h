// The instrument's one settings record, its enumerations and the factory defaults.
//
// Enumerated settings are byte codes. The menus keep them in range, but the
// record may hold any byte, so every reader treats unknown codes as the
// instrument does (usually "the first/default choice") and never indexes a
// table with an unchecked code.
#pragma once

#include "firmware/core/types.h"

enum class ChannelKind : u8 { Off = 0, Pressure = 1, Temperature = 2 };
enum class PressureInput : u8 { Resistive = 0, Voltage = 1, Current = 2 };
enum class PressureSender : u8 { Vdo = 0, User = 1, Standard = 2 };
enum class PressureUnit : u8 { Bar = 0, Psi = 1, PsiTenths = 2, InHg = 3 };
enum class PressureLabel : u8 { Oil = 0, Fuel = 1, Boost = 2, Map = 3, Aux = 4 };
enum class TemperatureUnit : u8 { Celsius = 0, Fahrenheit = 1 };
enum class TemperatureSender : u8 { KvxNtc = 0, Vdo = 1, Lm335 = 2, User = 3, Westach = 4 };
enum class TemperatureLabel : u8 { Oil = 0, Coolant = 1, Water = 2, Aux = 3 };
enum class DisplayLayout : u8 { Dual = 0, Single = 1 };
enum class BarOrientation : u8 { Vertical = 0, Horizontal = 1 };
enum class CycleMode : u8 { Manual = 0, Auto = 1 };

constexpr int CURVE_MAX_POINTS = 13;

// Records compare field by field (their padding bytes are no part of them).
struct CurvePoint {
    s32 value;    // engineering value, in the curve's unit
    u32 reading;  // raw input count at which the sender gives that value
    bool operator==(const CurvePoint&) const = default;
};

// Pressure curves list their points with the reading rising, temperature
// curves with it falling. Only the low byte of point_count is ever read.
struct SenderCurve {
    u32 point_count;
    CurvePoint points[CURVE_MAX_POINTS];
    bool operator==(const SenderCurve&) const = default;
};

// Pressure values are tenths of the unit for Bar and PsiTenths, whole units
// for Psi and InHg. Switch fields hold 0 or 1 and are tested against 1.
struct PressureChannelSettings {
    PressureInput input_type;
    PressureSender sender;
    PressureUnit unit;
    s32 pressure_at_4ma;
    u32 pressure_at_20ma;
    PressureLabel label;
    s32 span;
    u8 top_scale;
    u8 low_alarm_on;
    s32 low_alarm;
    u8 high_alarm_on;
    s32 high_alarm;
    u32 transducer_model;  // 0 T1EU07 .. 5 T1EU150
    u8 vdo_range;          // 0 "2 BAR", 1 "5 BAR", 2 "10 BAR"
    SenderCurve user_curve;
    bool operator==(const PressureChannelSettings&) const = default;
};

// Temperatures are whole degrees of the channel's unit.
struct TemperatureChannelSettings {
    TemperatureLabel label;
    s32 span;
    u8 top_scale;
    s32 low_alarm;
    u8 low_alarm_on;
    s32 high_alarm;
    u8 high_alarm_on;
    TemperatureUnit unit;
    TemperatureSender sender;
    s8 lm335_offset;  // survives power cycles: the defaults leave it alone
    SenderCurve user_curve;
    bool operator==(const TemperatureChannelSettings&) const = default;
};

struct InstrumentSettings {
    u32 cal_reading_4ma;   // channel-1 count at 4 mA, set by power-on and CALIBRATE
    u32 cal_reading_20ma;  // channel-1 count at 20 mA
    u8 contrast;           // 0..57
    u8 backlight;          // 0 off, 1 on
    DisplayLayout display_layout;
    BarOrientation bar_orientation;
    CycleMode cycle_mode;
    u8 display_time_index;  // into DISPLAY_TIMES
    ChannelKind channel_kind[2];
    PressureChannelSettings pressure[2];
    TemperatureChannelSettings temperature[2];
    bool operator==(const InstrumentSettings&) const = default;
};

// Seconds per channel in the automatic alternation of the single layout.
constexpr u8 DISPLAY_TIMES[7] = {1, 3, 5, 10, 15, 30, 60};

// Factory user curves: the VDO "10 BAR" pressure curve (tenths of a bar) and
// the VDO temperature curve (degrees C); unused slots are (0, 0).
extern const SenderCurve DEFAULT_PRESSURE_USER_CURVE;
extern const SenderCurve DEFAULT_TEMPERATURE_USER_CURVE;

extern InstrumentSettings settings;

void load_factory_defaults();

// A whole record put in place of the instrument's between two passes (a
// settings file loaded into the running instrument): the next pass measures
// and draws with it, as after setting it up in the menus. An open setup page
// may now have other lines (a channel switched off has two), so its cursor
// goes back to its "*** DONE ***" line, out of editing. The sender-curve
// editor keeps its own copy of the curve, as it always does.
void apply_settings(const InstrumentSettings& loaded);
