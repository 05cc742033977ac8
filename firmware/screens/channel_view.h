// What the eight channel screens share: a channel's display state, its value
// and unit texts, and the blinking rules. Private to firmware/screens.
#pragma once

#include "firmware/core/settings.h"
#include "firmware/core/types.h"

enum class ChannelState : u8 { Normal = 0, OverRange = 1, SenderFault = 2 };

// A broken sender shows before an over-range value: its reading is
// meaningless, so the value it produced says nothing.
ChannelState pressure_state(u8 channel, const PressureChannelSettings& p);
ChannelState temperature_state(u8 channel, const TemperatureChannelSettings& t);

// The value text is drawn on every pass unless the channel's alarm is active;
// then only while blink_phase is 1.
bool value_visible(u8 channel);
// The over-range and sender messages flash whatever the alarm state.
bool message_visible();

// Bar and PsiTenths hold tenths and print with a decimal point.
bool pressure_in_tenths(const PressureChannelSettings& p);

// Long enough for any s32 in either format.
constexpr int VALUE_TEXT_SIZE = 32;

// Whole values print "%3d", or "%d" where the screen centres them itself
// (padded 0). Pressures in tenths print "%4.1f" of the value over 10.
void format_whole(char (&text)[VALUE_TEXT_SIZE], s32 value, u8 padded);
void format_pressure(char (&text)[VALUE_TEXT_SIZE], const PressureChannelSettings& p, s32 value,
                     u8 padded);

// Lower-case unit texts of the run screens; "" for a code without one.
const char* pressure_unit_text(const PressureChannelSettings& p);
const char* temperature_unit_text(const TemperatureChannelSettings& t);
