// What the page's screen-reader names say of the instrument: the page shown
// and the channels' values, from the instrument's own state (never from the
// picture), and the alarm lamp's state. The page asks at most once a second.
#include <emscripten.h>

#include <cstring>

#include "firmware/core/number_text.h"
#include "firmware/core/page_handlers.h"
#include "firmware/core/setting_names.h"
#include "firmware/firmware.h"
#include "firmware/screens/channel_view.h"
#include "runtime/instrument.h"

namespace {

// On the heap, out of the static memory the host compares between passes:
// writing a name must not count as the instrument changing.
constexpr std::size_t TEXT_SIZE = 256;
char* const description = new char[TEXT_SIZE];

void append(const char* text) {
    const std::size_t used = std::strlen(description);
    std::strncat(description, text, TEXT_SIZE - 1 - used);
}

void append_number(s32 value, bool tenths) {
    char digits[16];
    if (tenths)
        format_tenths(digits, sizeof digits, value, 0);
    else
        format_integer(digits, sizeof digits, value, 0);
    append(digits);
}

// The pages by the firmware's names, spelt out.
const char* page_title(const char* name) {
    static constexpr const char* TITLES[][2] = {
        {"run", "run screen"},        {"max", "maximum values"}, {"main", "main menu"},
        {"display", "display setup"}, {"contrast", "contrast"},  {"channel", "channel setup"},
        {"curve", "sender curve"},    {"adc", "ADC values"},     {"calibrate", "calibration"},
        {"message", "message"},
    };
    for (const auto& title : TITLES)
        if (std::strcmp(title[0], name) == 0) return title[1];
    return nullptr;
}

// "channel 1 oil pressure 4.5 bar, alarm": the value the run screens show
// (or the maximum, on the maximum values page) and what flashes beside it.
void append_channel(u8 channel, bool maxima) {
    append(channel == 0 ? "channel 1 " : "channel 2 ");
    ChannelState state = ChannelState::Normal;
    switch (settings.channel_kind[channel]) {
        case ChannelKind::Pressure: {
            const PressureChannelSettings& p = settings.pressure[channel];
            static constexpr const char* UNITS[] = {" bar", " psi", " psi", " inHg"};
            append(name_of(PRESSURE_LABEL_NAMES, static_cast<u32>(p.label)));
            append(" pressure ");
            append_number(maxima ? pressure_max[channel] : pressure_value[channel],
                          pressure_in_tenths(p));
            append(static_cast<u32>(p.unit) < 4 ? UNITS[static_cast<u32>(p.unit)] : "");
            state = pressure_state(channel, p);
            break;
        }
        case ChannelKind::Temperature: {
            const TemperatureChannelSettings& t = settings.temperature[channel];
            append(name_of(TEMPERATURE_LABEL_NAMES, static_cast<u32>(t.label)));
            append(" temperature ");
            append_number(maxima ? temperature_max[channel] : temperature_value[channel], false);
            append(t.unit == TemperatureUnit::Fahrenheit ? " °F" : " °C");
            state = temperature_state(channel, t);
            break;
        }
        default: append("off"); return;
    }
    if (state == ChannelState::SenderFault) append(", check sender");
    if (state == ChannelState::OverRange) append(", over range");
    const u8 bit = static_cast<u8>(1u << channel);
    if ((alarm_active & bit) != 0)
        append((alarm_acknowledged & bit) != 0 ? ", alarm acknowledged" : ", alarm");
}

}  // namespace

extern "C" {

// The LCD's accessible name.
EMSCRIPTEN_KEEPALIVE const char* dg2_lcd_description() {
    description[0] = '\0';
    append("LCD: ");
    const char* title = page_title(page_name(current_page));
    if (instrument_running_depth() == 0) {
        append("the instrument is off");
    } else if (title == nullptr) {
        append("starting up");
    } else {
        append(title);
        const bool menu = current_page != page_run_screen && current_page != page_max_values;
        if (menu) {
            append(", line ");
            append_number(menu_cursor + 1, false);
        }
        append(". ");
        append_channel(0, current_page == page_max_values);
        append("; ");
        append_channel(1, current_page == page_max_values);
    }
    return description;
}

// The channels whose alarm is active and not acknowledged (bit 0 channel 1,
// bit 1 channel 2): the lamp flashes while any is.
EMSCRIPTEN_KEEPALIVE int dg2_unacknowledged_alarms() {
    return instrument_running_depth() == 0 ? 0 : alarm_active & ~alarm_acknowledged & 3;
}
}
