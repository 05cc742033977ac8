// Piecewise-linear sender curves, the curve choices and the fixed unit
// conversions.
//
// Slope and offset of a segment are kept in single precision on purpose: the
// instrument cuts every result to tenths before rounding, and which side of a
// tenth a value lands on depends on that rounding. Each float step below is a
// statement of its own so no compiler fuses a multiply and an add.
#include <cstdint>

#include "firmware/measure/measure.h"

static s32 saturate(std::int64_t v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<s32>(v);
}

// Ten times a segment's value leaves the 32-bit range only on a broken curve
// (a user point whose reading was stepped below zero wraps to about 4.29e9);
// it then pins at the nearest limit instead of being cut to garbage.
static s32 truncate_saturated(double y) {
    if (!(y == y)) return 0;
    if (y >= 2147483647.0) return INT32_MAX;
    if (y <= -2147483648.0) return INT32_MIN;
    return static_cast<s32>(y);
}

s32 segment_value(const CurvePoint& p, const CurvePoint& q, u32 r) {
    const float pv = static_cast<float>(p.value);
    const float pr = static_cast<float>(p.reading);
    const float qv = static_cast<float>(q.value);
    const float qr = static_cast<float>(q.reading);
    // Readings above 2^24 may meet in one float although they differ; such a
    // segment has no usable slope either.
    const float run = qr - pr;
    if (p.reading == q.reading || run == 0.0f) return 0;
    const float rise = qv - pv;
    const float k = rise / run;
    const float kq = k * qr;
    const float c = qv - kq;
    const double y =
        (static_cast<double>(r) * static_cast<double>(k) + static_cast<double>(c)) * 10.0;

    const s32 g = truncate_saturated(y);
    const u32 magnitude = g < 0 ? 0u - static_cast<u32>(g) : static_cast<u32>(g);
    const u32 rounded = magnitude / 10 + (magnitude % 10 >= 5 ? 1 : 0);
    return g < 0 ? -static_cast<s32>(rounded) : static_cast<s32>(rounded);
}

s32 div10_nearest(s32 a) {
    const float x = static_cast<float>(a * 0.1);
    // |x| stays below 2^28, so the sums are exact in double and fit an s32.
    if (x >= 0.0f) return static_cast<s32>(static_cast<double>(x) + 0.5);
    return static_cast<s32>(static_cast<double>(x) - 0.5);
}

s32 to_fahrenheit(s32 t) { return saturate(static_cast<std::int64_t>(t) * 18 / 10 + 32); }

// 0.125 kelvin per count. A reading is at most 4096 from the sliders, but the
// product is taken wide so any u32 count stays defined.
s32 lm335_celsius(u32 r) { return saturate(static_cast<std::int64_t>(r) * 1250 / 10000 - 273); }

// Number of points a curve may be read at: the low byte of its count, never
// more than the slots it has.
static u32 usable_points(const SenderCurve& curve) {
    const u32 n = curve.point_count & 0xFFu;
    return n > CURVE_MAX_POINTS ? CURVE_MAX_POINTS : n;
}

// Temperature curves fall with the reading. Each segment is anchored at its
// lower-index point and the ends are extrapolated, never clamped: a sender
// running hotter than its table still reads as a rising temperature.
static s32 lookup_falling(const SenderCurve& curve, u32 r) {
    const u32 n = usable_points(curve);
    if (n == 0) return 0;
    const CurvePoint* pt = curve.points;
    if (n == 1) return pt[0].value;
    if (r >= pt[0].reading) return segment_value(pt[1], pt[0], r);
    if (r <= pt[n - 1].reading) return segment_value(pt[n - 1], pt[n - 2], r);
    for (u32 k = 0; k + 1 < n; ++k)
        if (pt[k].reading >= r && r >= pt[k + 1].reading) return segment_value(pt[k + 1], pt[k], r);
    // Unreachable: r lies strictly between the end readings, so some segment
    // crosses it.
    return segment_value(pt[n - 1], pt[n - 2], r);
}

// Pressure curves rise with the reading; the anchor is the higher-index point.
static s32 lookup_rising(const SenderCurve& curve, u32 r) {
    const u32 n = usable_points(curve);
    if (n == 0) return 0;
    const CurvePoint* pt = curve.points;
    if (n == 1) return pt[0].value;
    if (r < pt[0].reading) return segment_value(pt[0], pt[1], r);
    if (r > pt[n - 1].reading) return segment_value(pt[n - 2], pt[n - 1], r);
    for (u32 k = 0; k + 1 < n; ++k)
        if (pt[k].reading <= r && r <= pt[k + 1].reading) return segment_value(pt[k], pt[k + 1], r);
    return segment_value(pt[n - 2], pt[n - 1], r);
}

const SenderCurve& temperature_curve(const TemperatureChannelSettings& s) {
    switch (s.sender) {
        case TemperatureSender::KvxNtc: return CURVE_KVX_NTC;
        case TemperatureSender::User: return s.user_curve;
        case TemperatureSender::Westach: return CURVE_WESTACH;
        default: return CURVE_VDO_TEMP;
    }
}

const SenderCurve& vdo_curve(u8 vdo_range) {
    switch (vdo_range) {
        case 0: return CURVE_VDO_2BAR;
        case 1: return CURVE_VDO_5BAR;
        // The menu never leaves another range; a stray one reads as the
        // factory 10 bar sender rather than whatever lies past the choices.
        default: return CURVE_VDO_10BAR;
    }
}

const SenderCurve& transducer_curve(u32 model) {
    switch (model) {
        case 1: return CURVE_T1EU35;
        case 3: return CURVE_T1EU70A;
        case 4: return CURVE_T1EU100;
        case 5: return CURVE_T1EU150;
        // 0 T1EU07, 2 T1EU70 (same points in psi), and any stray model as
        // the factory T1EU07.
        default: return CURVE_T1EU07;
    }
}

NativeUnit transducer_unit(u32 model) {
    switch (model) {
        case 1:
        case 2:
        case 4:
        case 5: return NativeUnit::Psi;
        case 3: return NativeUnit::InHg;
        default: return NativeUnit::PsiTenths;
    }
}

const SenderCurve& pressure_curve(const PressureChannelSettings& s) {
    switch (s.sender) {
        case PressureSender::User: return s.user_curve;
        case PressureSender::Standard: return transducer_curve(s.transducer_model);
        default: return vdo_curve(s.vdo_range);
    }
}

void linearise_temperature(u8 channel) {
    temperature_value[channel] =
        lookup_falling(temperature_curve(*current_temperature_settings), raw_reading[channel]);
}

void linearise_pressure(u8 channel) {
    pressure_value[channel] =
        lookup_rising(pressure_curve(*current_pressure_settings), raw_reading[channel]);
}

// p * mul / div with the quotient truncated toward zero. Curves give small
// values at real readings, but a curve extrapolated far out can give values
// whose product no longer fits 32 bits; the product is taken wide and the
// quotient pinned to the s32 range.
static s32 scaled(s32 p, std::int64_t mul, std::int64_t div) {
    return saturate(static_cast<std::int64_t>(p) * mul / div);
}

s32 pressure_to_unit(s32 p, NativeUnit from, PressureUnit to) {
    switch (from) {
        case NativeUnit::BarTenths:
            switch (to) {
                case PressureUnit::Psi: return div10_nearest(scaled(p, 145, 10));
                case PressureUnit::PsiTenths: return div10_nearest(scaled(p, 145, 1));
                // 29.53 "Hg per bar this way, 29.52 the other: the firmware
                // has always used both.
                case PressureUnit::InHg: return div10_nearest(scaled(p, 2953, 100));
                default: return p;
            }
        case NativeUnit::PsiTenths:
            switch (to) {
                case PressureUnit::Psi: return div10_nearest(p);
                case PressureUnit::PsiTenths: return p;
                case PressureUnit::InHg: return div10_nearest(scaled(p, 1000, 491));
                default: return div10_nearest(scaled(p, 100, 145));
            }
        case NativeUnit::Psi:
            switch (to) {
                case PressureUnit::Psi: return p;
                case PressureUnit::PsiTenths: return scaled(p, 10, 1);
                case PressureUnit::InHg: return div10_nearest(scaled(p, 10000, 491));
                default: return div10_nearest(scaled(p, 1000, 145));
            }
        default:
            switch (to) {
                case PressureUnit::Psi: return div10_nearest(scaled(p, 10000, 2036));
                case PressureUnit::PsiTenths: return div10_nearest(scaled(p, 100000, 2036));
                case PressureUnit::InHg: return p;
                default: return div10_nearest(scaled(p, 10000, 2952));
            }
    }
}
