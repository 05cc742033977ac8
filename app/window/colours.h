// Colours the window borrows from the classic desktop look the instrument's
// host was drawn with. This platform has no system colour table, so the
// classic values stand in.
#pragma once

#include "firmware/core/types.h"

// Unlit LCD pixels: the classic inactive-border colour, RGB 212, 208, 200, as
// 0xAARRGGBB for the LCD canvas. lcd_show asks for it once per picture.
u32 inactive_border_colour();

// The LCD frame (Panel1): the classic scroll-bar colour, the same grey.
u32 scroll_bar_colour();
