// A sensor by value: which raw input count makes a channel show a given
// number, with the channel's configuration as it stands (kind, sender, curve,
// unit, calibration, LM335 offset), and the other way round.
//
// Every answer comes from the firmware's own channel processing, run on a
// copy of the run-time values, so it agrees with the instrument to the count.
// The inverse does not try every count: a channel's reading is piecewise
// linear between its curve's points, so it is searched per piece.
#pragma once

#include <string>

#include "firmware/core/setting_limits.h"
#include "firmware/core/types.h"

// What a channel can show over the whole input range, in its record units
// (tenths for bar and PSI(0.1) channels, whole units otherwise).
struct ValueRange {
    s32 low = 0;
    s32 high = 0;
    bool tenths = false;  // one decimal: bar and PSI(0.1)
    std::string unit;     // "bar", "psi", "\"Hg", "°C", "°F"
};

// The range of channel 0 or 1; false (with the reason) for an Off channel.
bool channel_value_range(u8 channel, ValueRange& range, std::string& error);

// The value the channel shows at `count`, in record units (the channel must
// not be Off; an Off channel gives 0).
s32 value_at_count(u8 channel, u32 count);

// The count at which the channel shows `number` (in its display unit: 4.5 for
// 4.5 bar). Of the counts that show the nearest value it can show, the one in
// the middle (at the ends of the input range, the one next to the other
// values). False for an Off channel or a number beyond what the channel can
// show, with an error that gives that range.
bool count_for_value(u8 channel, double number, u32& count, std::string& error);

// "4.5 bar", "-12 °F": a value in record units as the channel's unit reads.
std::string value_text(const ValueRange& range, s32 value);

// Whether `number` (in the display unit) is one the channel shows, given its
// range; false with count_for_value's error ("channel 1 shows 0.0 bar to
// 124.3 bar, not 200 bar"). `target` is the value in record units.
bool value_in_range(u8 channel, const ValueRange& range, double number, s32& target,
                    std::string& error);

// count_for_value for a stream of values (a ramp, a log): the channel's range
// is worked out again only when the settings change, and a value that comes
// to the same record units as the one before gives the same count at once.
class CountForValue {
public:
    bool count(u8 channel, double number, u32& count, std::string& error);

private:
    struct Memo {
        bool valid = false;
        bool off = false;
        std::string off_error;
        ValueRange range;
        bool have_target = false;
        s32 target = 0;
        u32 count = 0;
    } memo_[2];
    std::string settings_;  // the settings the memos hold for, as bytes
};

// The ends of the input: an open sender wire reads full scale, a shorted one
// zero. The instrument reports the open end as "CHECK SENDER" for the senders
// that can fail that way.
enum class SenderFault { Open, Short };
u32 sender_fault_count(SenderFault fault);
// Whether the channel's sender shows "CHECK SENDER" at full scale.
bool sender_fault_reported(u8 channel);

// One line for a slider's tooltip: what the channel shows at `count`.
std::string slider_tooltip(u8 channel, u32 count);
