// How a settings file spells the enumerated settings: by the names the menus
// show, from the firmware's own tables, indexed by the setting's code.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "firmware/core/setting_names.h"
#include "firmware/core/settings.h"

using Names = std::span<const std::string_view>;

template <int N, int W>
constexpr std::array<std::string_view, N> names(const char (&table)[N][W]) {
    std::array<std::string_view, N> list{};
    for (int i = 0; i < N; ++i)
        list[i] = table[i];
    return list;
}

inline constexpr auto OFF_ON = names(OFF_ON_NAMES);
inline constexpr auto CHANNEL_KINDS = names(CHANNEL_KIND_NAMES);
inline constexpr auto INPUT_TYPES = names(PRESSURE_INPUT_NAMES);
inline constexpr auto PRESSURE_UNITS = names(PRESSURE_UNIT_NAMES);
inline constexpr auto PRESSURE_LABELS = names(PRESSURE_LABEL_NAMES);
inline constexpr auto TRANSDUCER_MODELS = names(TRANSDUCER_MODEL_NAMES);
inline constexpr auto VDO_RANGES = names(VDO_RANGE_NAMES);
inline constexpr auto TEMPERATURE_LABELS = names(TEMPERATURE_LABEL_NAMES);
inline constexpr auto TEMPERATURE_SENDERS = names(TEMPERATURE_SENDER_NAMES);
// The display setup page spells these out in its own lines.
inline constexpr std::string_view LAYOUTS[] = {"DUAL", "SINGLE"};
inline constexpr std::string_view ORIENTATIONS[] = {"VERTICAL", "HORIZONTAL"};
inline constexpr std::string_view CYCLE_MODES[] = {"MANUAL", "AUTO"};
// The menus print the degree sign with the LCD font's '|' ("|C"); a file says
// "C" or "F" and reads the LCD spelling too (plain ASCII: see ascii_guard.h).
inline constexpr std::string_view TEMPERATURE_UNITS[] = {"C", "F"};

// The pressure sender is named as the SENDER line shows it, which depends on
// the input type: a resistive input has VDO or USER, a 0-5V input UMA (the
// standard transducer) or USER, a 4-20mA input ROTAX or USER.
constexpr std::string_view standard_sender_name(PressureInput input) {
    switch (input) {
        case PressureInput::Voltage: return "UMA";
        case PressureInput::Current: return "ROTAX";
        default: return "";
    }
}
