// The shared look of the setup pages: a title between two rules, then seven
// list rows of "label value" in FontNormal, the cursor line inverse, scrolling
// once the cursor passes the seventh row.
#pragma once

#include "firmware/core/keys.h"
#include "firmware/core/setting_names.h"
#include "firmware/core/settings.h"
#include "firmware/core/types.h"
#include "firmware/lcd/text.h"  // menu_title

// Menu state shared by the setup pages.
extern u8 edit_channel;  // channel whose setup page is open
extern PressureChannelSettings* edit_pressure;
extern TemperatureChannelSettings* edit_temperature;
extern u8 curve_is_temperature;  // sender-curve editor: 0 pressure, 1 temperature
extern SenderCurve curve_work;   // the editor's working copy

// Working text buffers hold 31 characters and the terminating zero.
constexpr int MENU_TEXT_SIZE = NAME_TEXT_SIZE;

u8 menu_scroll_offset();  // menu_cursor - 6 once the cursor is at 7 or beyond
void menu_text(u8 x, u8 y, const char* text, u8 inverse);
void menu_line(u8 x, u8 row, const char* label, const char* value);
void menu_done_line();
// The cursor keys of every list: clockwise and the right key move the cursor
// one line down, anticlockwise and the left key one line up, stopping at 0
// and at `last`. Any other key leaves it where it is.
void move_menu_cursor(KeyCode key, u8 last);  // centred "*** DONE ***", only while unscrolled
