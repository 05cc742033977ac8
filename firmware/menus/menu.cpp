// TEMPORARY STUB: replaced by the menu framework.
#include "firmware/menus/menu.h"

u8 edit_channel;
PressureChannelSettings* edit_pressure;
TemperatureChannelSettings* edit_temperature;
u8 curve_is_temperature;
SenderCurve curve_work;

u8 menu_scroll_offset() { return 0; }
void menu_title(const char*) {}
void menu_text(u8, u8, const char*, u8) {}
void menu_line(u8, u8, const char*, const char*) {}
void menu_done_line() {}
void append_temp_unit(u8, char*) {}
void append_pressure_unit(u8, char*) {}
