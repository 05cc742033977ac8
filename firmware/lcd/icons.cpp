// TEMPORARY STUB: replaced by the icon artwork.
#include "firmware/lcd/lcd.h"

const u8 IconSheet[1024] = {};

void lcd_icon(u8) {}
