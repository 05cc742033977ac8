// Text drawing with the instrument's four bitmap fonts (lcd/fonts/).
//
// x and y are unsigned bytes; x advances modulo 256 from character to
// character, so text starting off the left edge or running past the right
// edge is clipped pixel by pixel.
#pragma once

#include "firmware/core/types.h"
#include "firmware/lcd/lcd.h"

// FontNormal, 8 x 8 cells (8 x 16 when tall is 1). tall_mode (tall only):
// Clear clears the glyph's pixels, Set sets them, anything else draws nothing.
// inverse (normal height only): 1 draws a lit cell with the glyph cleared.
void text_normal(u8 x, u8 y, const char* text, u8 tall, DrawMode tall_mode, u8 inverse);
void text_normal_centred(u8 x, u8 y, const char* text, u8 tall, DrawMode tall_mode, u8 inverse);
void text_normal_const(u8 x, u8 y, const char* text, u8 tall, DrawMode tall_mode, u8 inverse);
void text_normal_centred_const(u8 x, u8 y, const char* text, u8 tall, DrawMode tall_mode,
                               u8 inverse);

// The title row every page shares (the setup pages and the max values page):
// the title, cut to 31 characters, centred on column 57 between two rules.
void menu_title(const char* title);

// FontSmall, 6 x 8 cells, glyph rows y..y+6; characters from index
// invert_from on are drawn inverse.
void text_small(u8 x, u8 y, const char* text, u8 invert_from);
void text_small_centred(u8 x, u8 y, const char* text, u8 invert_from);
void text_small_const(u8 x, u8 y, const char* text, u8 invert_from);
void text_small_centred_const(u8 x, u8 y, const char* text, u8 invert_from);

// FontTiny, cell rows y-1..y+3, every pixel of the cell written.
void text_tiny(u8 x, u8 y, const char* text, u8 inverse);

// FontBig, 22 x 32 digits; blank, '+', '-' and '.' drawn with lines.
void text_big(u8 x, u8 y, const char* text);
