// The LCD picture as every front end shows it: each LCD pixel a 2 x 2 block,
// the 228 x 128 area inside a 229 x 133 picture, unlit pixels in the grey of
// an inactive window border and lit ones black.
#pragma once

#include <vector>

#include "firmware/lcd/lcd.h"
#include "workbench/pictures/two_colour_image.h"

constexpr int LCD_PICTURE_WIDTH = 229;
constexpr int LCD_PICTURE_HEIGHT = 133;
// Screen pixels per LCD pixel in the picture.
constexpr int LCD_PICTURE_ZOOM = 2;
constexpr u32 LCD_UNLIT = 0xFFD4D0C8u;

// The LCD's pixels (LCD_WIDTH * LCD_HEIGHT, 1 = lit) as an image of `zoom`
// pixels per LCD pixel, in the given colours (0xRRGGBB).
TwoColourImage lcd_image(const std::vector<u8>& lit, int zoom, u32 unlit = LCD_UNLIT & 0xFFFFFFu,
                         u32 lit_colour = LCD_BLACK & 0xFFFFFFu);
