// A sensor by value for the web page: the "Channel N value..." dialog, the
// sender presets and the sliders' tooltips, by the same lookups as the
// window's. Part of the page's workbench module, loaded on first use; the
// page copies the instrument's settings record into dg2_sensor_settings()
// before each call (the lookups read the channels' configuration from it), so
// the answers agree with the running instrument to the count.
#include <emscripten.h>

#include <string>

#include "firmware/core/settings.h"
#include "workbench/sensors/sensor_value.h"

namespace {

std::string answer;

// A channel the page names: 0 or 1; anything else is no channel (2), which
// every lookup refuses.
u8 channel_of(int channel) { return channel == 1 ? 1 : channel == 0 ? 0 : 2; }

}  // namespace

extern "C" {

// The settings the lookups work with: this module's copy of the instrument's.
EMSCRIPTEN_KEEPALIVE InstrumentSettings* dg2_sensor_settings() { return &settings; }

// The dialog's first line: "Channel 1 shows 0.0 bar to 124.3 bar.\nValue in
// bar:", the number shown at `count` alone, tab-separated; or, for a channel
// switched off, "!" and the reason.
EMSCRIPTEN_KEEPALIVE const char* dg2_value_prompt(int channel, double count) {
    const u8 c = channel_of(channel);
    ValueRange range;
    std::string why;
    if (!channel_value_range(c, range, why)) {
        answer = "!" + why;
        return answer.c_str();
    }
    const u32 at = count > 0 ? static_cast<u32>(count < 1e9 ? count : 1e9) : 0;
    const std::string now = value_text(range, value_at_count(c, at));
    answer = "Channel " + std::to_string(c + 1) + " shows " + value_text(range, range.low) +
             " to " + value_text(range, range.high) + ".\nValue in " + range.unit + ":\t" +
             now.substr(0, now.find(' '));
    return answer.c_str();
}

// The count at which the channel shows `number`, or -1 with the reason in
// dg2_answer().
EMSCRIPTEN_KEEPALIVE double dg2_count_for_value(int channel, double number) {
    u32 count = 0;
    if (!count_for_value(channel_of(channel), number, count, answer)) return -1;
    return count;
}

// What the channel shows at `count`, as the window's status bar says it after
// the dialog: "4.5 bar".
EMSCRIPTEN_KEEPALIVE const char* dg2_value_text(int channel, double count) {
    const u8 c = channel_of(channel);
    ValueRange range;
    if (!channel_value_range(c, range, answer)) return answer.c_str();
    answer = value_text(range, value_at_count(c, count > 0 ? static_cast<u32>(count) : 0));
    return answer.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* dg2_answer() { return answer.c_str(); }

EMSCRIPTEN_KEEPALIVE double dg2_sender_fault_count(int open) {
    return sender_fault_count(open != 0 ? SenderFault::Open : SenderFault::Short);
}

EMSCRIPTEN_KEEPALIVE int dg2_sender_fault_reported(int channel) {
    return sender_fault_reported(channel_of(channel)) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE const char* dg2_slider_tooltip(int channel, double count) {
    answer = slider_tooltip(channel_of(channel), count > 0 ? static_cast<u32>(count) : 0);
    return answer.c_str();
}
}
