#include "app/window/colours.h"

#include "workbench/pictures/lcd_picture.h"

u32 inactive_border_colour() { return LCD_UNLIT; }

// The same grey as the LCD's unlit pixels in the classic scheme.
u32 scroll_bar_colour() { return LCD_UNLIT; }
