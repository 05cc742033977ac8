#include "app/window/colours.h"

u32 inactive_border_colour() { return 0xFFD4D0C8u; }

u32 scroll_bar_colour() { return 0xFFD4D0C8u; }
