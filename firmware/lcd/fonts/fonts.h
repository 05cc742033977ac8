// The instrument's four bitmap fonts.
//
// Every glyph is drawn as a picture in its font's source file, one string per
// pixel row ('#' lit, '.' unlit), and packed into the byte layout the text
// routines read when the firmware is compiled. To change a glyph, edit its
// picture. Each table's bit order is stated where the table is declared.
#pragma once

#include <array>
#include <cstddef>

#include "firmware/core/types.h"

// FontNormal: codes 32 to 138, glyph index = code - 32. Eight column bytes
// per glyph, left column first; bit r is glyph row r, bit 0 the top row.
constexpr int FONT_NORMAL_FIRST = 32;
constexpr int FONT_NORMAL_GLYPHS = 107;
using NormalGlyph = std::array<u8, 8>;
extern const std::array<NormalGlyph, FONT_NORMAL_GLYPHS> FontNormal;

// FontSmall: codes 32 to 127, glyph index = code - 32. Five column bytes per
// glyph, left column first; bit 6 is glyph row 0 (the top), bit 0 glyph row 6,
// and bit 7 (the blank row above the glyph) is always 0.
constexpr int FONT_SMALL_FIRST = 32;
constexpr int FONT_SMALL_GLYPHS = 96;
using SmallGlyph = std::array<u8, 5>;
extern const std::array<SmallGlyph, FONT_SMALL_GLYPHS> FontSmall;

// FontTiny: column bytes, left column first; bit 5 is the top row and bit 1
// the bottom row of the five-row glyph (bits 0, 6 and 7 are always 0). The
// table covers the codes '0' to '<' (index = code - '0'): the digits, ':' a
// small plus, ';' a small minus and '<' a blank. Six wider or rarer glyphs are
// kept apart and recognised by their code.
constexpr char FONT_TINY_FIRST = '0';
constexpr char FONT_TINY_LAST = '<';
constexpr int FONT_TINY_GLYPHS = FONT_TINY_LAST - FONT_TINY_FIRST + 1;
using TinyGlyph = std::array<u8, 3>;
extern const std::array<TinyGlyph, FONT_TINY_GLYPHS> FontTiny;
extern const std::array<u8, 3> FontTinyPoint;   // '.'
extern const std::array<u8, 3> FontTinyLowerT;  // 't'
extern const std::array<u8, 4> FontTinyK;       // 'K'
extern const std::array<u8, 4> FontTinyN;       // 'N'
extern const std::array<u8, 5> FontTinyM;       // 'M'
extern const std::array<u8, 5> FontTinyLowerM;  // 'm'

// FontBig: the digits '0' to '9', glyph index = code - '0'. 22 x 32 pixels as
// 4 page rows of 22 column bytes, page row 0 first (byte = page row * 22 +
// column), in the frame buffer's bit order: bit 0 is the top row of the page
// row.
constexpr int FONT_BIG_WIDTH = 22;
constexpr int FONT_BIG_HEIGHT = 32;
constexpr int FONT_BIG_GLYPHS = 10;
using BigGlyph = std::array<u8, FONT_BIG_WIDTH * FONT_BIG_HEIGHT / 8>;
extern const std::array<BigGlyph, FONT_BIG_GLYPHS> FontBig;
