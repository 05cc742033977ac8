#include "workbench/sensors/sensor_value.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "firmware/core/run_state.h"
#include "firmware/core/settings.h"
#include "firmware/measure/measure.h"

namespace {

// Everything channel processing writes. The lookup runs the processing on the
// live settings and puts these back, so the instrument never sees it.
struct SavedRunState {
    u32 inputs[2];
    u32 raw[2];
    s32 pressure[2];
    s32 pressure_top[2];
    s32 temperature[2];
    s32 temperature_top[2];
    s32 lm335[2];
    u8 active;
    u8 acknowledged;
    PressureChannelSettings* pressure_settings;
    TemperatureChannelSettings* temperature_settings;

    SavedRunState()
        : inputs{input_a, input_b},
          raw{raw_reading[0], raw_reading[1]},
          pressure{pressure_value[0], pressure_value[1]},
          pressure_top{pressure_max[0], pressure_max[1]},
          temperature{temperature_value[0], temperature_value[1]},
          temperature_top{temperature_max[0], temperature_max[1]},
          lm335{lm335_reading[0], lm335_reading[1]},
          active(alarm_active),
          acknowledged(alarm_acknowledged),
          pressure_settings(current_pressure_settings),
          temperature_settings(current_temperature_settings) {}
    ~SavedRunState() {
        input_a = inputs[0];
        input_b = inputs[1];
        for (int c = 0; c < 2; ++c) {
            raw_reading[c] = raw[c];
            pressure_value[c] = pressure[c];
            pressure_max[c] = pressure_top[c];
            temperature_value[c] = temperature[c];
            temperature_max[c] = temperature_top[c];
            lm335_reading[c] = lm335[c];
        }
        alarm_active = active;
        alarm_acknowledged = acknowledged;
        current_pressure_settings = pressure_settings;
        current_temperature_settings = temperature_settings;
    }
};

// The processing itself, without saving: the caller holds a SavedRunState.
s32 measure(u8 channel, u32 count) {
    (channel == 0 ? input_a : input_b) = count;
    switch (settings.channel_kind[channel]) {
        case ChannelKind::Pressure:
            current_pressure_settings = &settings.pressure[channel];
            process_pressure_channel(channel);
            return pressure_value[channel];
        case ChannelKind::Temperature:
            current_temperature_settings = &settings.temperature[channel];
            process_temperature_channel(channel);
            return temperature_value[channel];
        default: return 0;
    }
}

// The curve whose points bend the channel's reading, or none for the straight
// lines (4-20 mA, LM335).
const SenderCurve* bending_curve(u8 channel) {
    if (settings.channel_kind[channel] == ChannelKind::Pressure) {
        const PressureChannelSettings& p = settings.pressure[channel];
        if (p.sender == PressureSender::Standard && p.input_type == PressureInput::Current)
            return nullptr;
        return &pressure_curve(p);
    }
    const TemperatureChannelSettings& t = settings.temperature[channel];
    if (t.sender == TemperatureSender::Lm335) return nullptr;
    return &temperature_curve(t);
}

// Counts where the reading may change direction or jump: the input's ends and
// each point's reading with its neighbours. Between two of these the curve
// lookup uses one segment throughout, so the shown value is monotonic there.
std::vector<u32> breakpoints(u8 channel) {
    std::vector<u32> b = {0, INPUT_FULL_SCALE};
    if (const SenderCurve* curve = bending_curve(channel)) {
        const u32 n = std::min<u32>(curve->point_count & 0xFFu, CURVE_MAX_POINTS);
        for (u32 i = 0; i < n; ++i) {
            const u32 r = curve->points[i].reading;
            if (r > INPUT_FULL_SCALE) continue;
            if (r > 0) b.push_back(r - 1);
            b.push_back(r);
            if (r < INPUT_FULL_SCALE) b.push_back(r + 1);
        }
    }
    std::sort(b.begin(), b.end());
    b.erase(std::unique(b.begin(), b.end()), b.end());
    return b;
}

struct Piece {
    u32 a, b;
    s32 fa, fb;
};

// The shown value along one monotonic piece, turned so it rises.
struct Rising {
    const Piece& piece;
    u8 channel;
    s32 sign() const { return piece.fa <= piece.fb ? 1 : -1; }
    std::int64_t g(u32 c) const { return static_cast<std::int64_t>(sign()) * measure(channel, c); }
    // The first count of the piece whose turned value is at least v, or b + 1.
    u32 first_at_least(std::int64_t v) const {
        u32 lo = piece.a;
        u32 hi = piece.b + 1;
        while (lo < hi) {
            const u32 mid = lo + (hi - lo) / 2;
            if (g(mid) >= v)
                hi = mid;
            else
                lo = mid + 1;
        }
        return lo;
    }
};

ValueRange unit_of(u8 channel) {
    ValueRange r;
    if (settings.channel_kind[channel] == ChannelKind::Pressure) {
        switch (settings.pressure[channel].unit) {
            case PressureUnit::Psi: r.unit = "psi"; break;
            case PressureUnit::PsiTenths:
                r.unit = "psi";
                r.tenths = true;
                break;
            case PressureUnit::InHg: r.unit = "\"Hg"; break;
            default:
                r.unit = "bar";
                r.tenths = true;
                break;
        }
    } else {
        r.unit = settings.temperature[channel].unit == TemperatureUnit::Fahrenheit ? "°F" : "°C";
    }
    return r;
}

std::vector<Piece> pieces(u8 channel, ValueRange& range) {
    const std::vector<u32> b = breakpoints(channel);
    std::vector<s32> f(b.size());
    for (size_t i = 0; i < b.size(); ++i)
        f[i] = measure(channel, b[i]);
    range.low = *std::min_element(f.begin(), f.end());
    range.high = *std::max_element(f.begin(), f.end());
    std::vector<Piece> list;
    for (size_t i = 0; i + 1 < b.size(); ++i)
        list.push_back({b[i], b[i + 1], f[i], f[i + 1]});
    return list;
}

std::string off_error(u8 channel) {
    return "channel " + std::to_string(channel + 1) + " is OFF: it shows no value";
}

}  // namespace

std::string value_text(const ValueRange& range, s32 value) {
    char text[32];
    if (range.tenths)
        std::snprintf(text, sizeof text, "%.1f", static_cast<double>(value) / 10.0);
    else
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    return std::string(text) + " " + range.unit;
}

bool value_in_range(u8 channel, const ValueRange& range, double number, s32& target,
                    std::string& error) {
    const double scaled = range.tenths ? number * 10.0 : number;
    if (!std::isfinite(scaled) || scaled < range.low - 0.5 || scaled >= range.high + 0.5) {
        char text[40];
        std::snprintf(text, sizeof text, "%g", number);
        error = "channel " + std::to_string(channel + 1) + " shows " +
                value_text(range, range.low) + " to " + value_text(range, range.high) + ", not " +
                text + " " + range.unit;
        return false;
    }
    target = static_cast<s32>(std::lround(scaled));
    return true;
}

bool CountForValue::count(u8 channel, double number, u32& count, std::string& error) {
    if (channel > 1) return count_for_value(channel, number, count, error);
    const std::string now(reinterpret_cast<const char*>(&settings), sizeof settings);
    if (now != settings_) {
        settings_ = now;
        memo_[0] = Memo{};
        memo_[1] = Memo{};
    }
    Memo& m = memo_[channel];
    if (!m.valid) {
        m.valid = true;
        m.off = !channel_value_range(channel, m.range, m.off_error);
    }
    if (m.off) {
        error = m.off_error;
        return false;
    }
    s32 target = 0;
    if (!value_in_range(channel, m.range, number, target, error)) return false;
    if (!m.have_target || target != m.target) {
        if (!count_for_value(channel, number, m.count, error)) return false;
        m.have_target = true;
        m.target = target;
    }
    count = m.count;
    return true;
}

bool channel_value_range(u8 channel, ValueRange& range, std::string& error) {
    if (channel > 1 || settings.channel_kind[channel] == ChannelKind::Off ||
        static_cast<u8>(settings.channel_kind[channel]) > 2) {
        error = off_error(channel);
        return false;
    }
    const SavedRunState saved;
    range = unit_of(channel);
    pieces(channel, range);
    return true;
}

s32 value_at_count(u8 channel, u32 count) {
    if (channel > 1) return 0;
    const SavedRunState saved;
    return measure(channel, std::min(count, INPUT_FULL_SCALE));
}

bool count_for_value(u8 channel, double number, u32& count, std::string& error) {
    if (channel > 1 || settings.channel_kind[channel] == ChannelKind::Off ||
        static_cast<u8>(settings.channel_kind[channel]) > 2) {
        error = off_error(channel);
        return false;
    }
    const SavedRunState saved;
    ValueRange range = unit_of(channel);
    const std::vector<Piece> list = pieces(channel, range);

    s32 target = 0;
    if (!value_in_range(channel, range, number, target, error)) return false;

    // The nearest value any piece shows, and the first piece and count that
    // show it.
    std::int64_t best_distance = -1;
    size_t best_piece = 0;
    s32 best_value = 0;
    auto consider = [&](size_t piece, s32 v) {
        const std::int64_t d = std::llabs(static_cast<std::int64_t>(v) - target);
        if (best_distance < 0 || d < best_distance) {
            best_distance = d;
            best_piece = piece;
            best_value = v;
        }
    };
    for (size_t i = 0; i < list.size() && best_distance != 0; ++i) {
        const Piece& p = list[i];
        const Rising r{p, channel};
        const std::int64_t g_target = static_cast<std::int64_t>(r.sign()) * target;
        if (g_target <= r.g(p.a)) {
            consider(i, p.fa);
        } else if (g_target > r.g(p.b)) {
            consider(i, p.fb);
        } else {
            // g(a) < g_target, so c > a: the count before it is in the piece.
            const u32 c = r.first_at_least(g_target);
            consider(i, measure(channel, c));
            consider(i, measure(channel, c - 1));
        }
    }

    // The run of counts showing that value, followed into the pieces after
    // it where it carries on over their shared end. It never began in the
    // piece before: that piece ends on the count this one starts with, so it
    // would have shown the value first and been chosen.
    auto run_in = [&](size_t i, u32& lo, u32& hi) {
        const Rising r{list[i], channel};
        const std::int64_t g = static_cast<std::int64_t>(r.sign()) * best_value;
        lo = r.first_at_least(g);
        hi = r.first_at_least(g + 1) - 1;
    };
    u32 lo = 0;
    u32 hi = 0;
    run_in(best_piece, lo, hi);
    for (size_t i = best_piece;
         i + 1 < list.size() && hi == list[i].b && list[i + 1].fa == best_value; ++i) {
        u32 l = 0;
        u32 h = 0;
        run_in(i + 1, l, h);
        hi = h;
    }
    if (lo == 0 && hi < INPUT_FULL_SCALE)
        count = hi;
    else if (hi == INPUT_FULL_SCALE && lo > 0)
        count = lo;
    else
        count = lo + (hi - lo) / 2;
    return true;
}

u32 sender_fault_count(SenderFault fault) {
    return fault == SenderFault::Open ? INPUT_FULL_SCALE : 0;
}

bool sender_fault_reported(u8 channel) {
    if (channel > 1) return false;
    switch (settings.channel_kind[channel]) {
        case ChannelKind::Pressure: {
            const PressureSender s = settings.pressure[channel].sender;
            return s != PressureSender::User && s != PressureSender::Standard;
        }
        case ChannelKind::Temperature:
            return settings.temperature[channel].sender != TemperatureSender::User;
        default: return false;
    }
}

std::string slider_tooltip(u8 channel, u32 count) {
    if (channel > 1 || settings.channel_kind[channel] == ChannelKind::Off ||
        static_cast<u8>(settings.channel_kind[channel]) > 2)
        return "Channel " + std::to_string(channel + 1) + " is OFF";
    std::string text = "Channel " + std::to_string(channel + 1) + " shows " +
                       value_text(unit_of(channel), value_at_count(channel, count));
    if (count >= CHECK_SENDER_THRESHOLD && sender_fault_reported(channel))
        text += " (CHECK SENDER)";
    return text;
}
