// Display names of the enumerated settings, as fixed-width character slots
// indexed by the setting's code, for the setup pages and the run screens
// alike. Readers must check the code against the table's length before
// indexing (see name_of).
#pragma once

#include "firmware/core/types.h"

// The working text buffers of pages and screens hold 31 characters and the
// terminating zero.
constexpr int NAME_TEXT_SIZE = 32;

constexpr char CHANNEL_KIND_NAMES[3][9] = {"OFF", "PRESSURE", "TEMP"};
constexpr char PRESSURE_INPUT_NAMES[3][10] = {"RESISTIVE", "0-5V", "4-20mA"};
constexpr char PRESSURE_LABEL_NAMES[5][6] = {"OIL", "FUEL", "BOOST", "MAP", "AUX"};
constexpr char TRANSDUCER_MODEL_NAMES[6][8] = {"T1EU07",  "T1EU35",  "T1EU70",
                                               "T1EU70A", "T1EU100", "T1EU150"};
constexpr char VDO_RANGE_NAMES[3][7] = {"2 BAR", "5 BAR", "10 BAR"};
constexpr char OFF_ON_NAMES[2][4] = {"OFF", "ON"};
constexpr char PRESSURE_UNIT_NAMES[4][9] = {"BAR", "PSI", "PSI(0.1)", "\"Hg"};
constexpr char TEMPERATURE_LABEL_NAMES[4][8] = {"OIL", "COOLANT", "WATER", "AUX"};
constexpr char TEMPERATURE_SENDER_NAMES[5][8] = {"KVX NTC", "VDO", "LM335", "USER", "WESTACH"};
constexpr char TEMPERATURE_UNIT_NAMES[2][3] = {"|C", "|F"};

// Entry `code` of a name table, or "" for a code the table does not have.
template <int N, int W>
constexpr const char* name_of(const char (&table)[N][W], u32 code) {
    return code < static_cast<u32>(N) ? table[code] : "";
}

// Both append the channel's unit to a zero-terminated text in a buffer of
// NAME_TEXT_SIZE bytes, as the menus and the max values page spell it.
void append_temp_unit(u8 channel, char* text);
void append_pressure_unit(u8 channel, char* text);
