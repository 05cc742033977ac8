// Text drawing with the four bitmap fonts (bit layouts in lcd/fonts/fonts.h).
//
// All positions are bytes and wrap modulo 256, so a text starting a little
// left of the screen (x = 256 - n) loses its first columns and one running
// off the right edge is cut, pixel by pixel, by lcd_pixel.
//
// A code outside a font's range has no glyph; it is never looked up in the
// table. FontNormal and FontSmall leave its cell untouched, FontTiny draws it
// as a blank cell (a '-' as the small minus), FontBig draws nothing.
#include "firmware/lcd/text.h"

#include <cstddef>

#include "firmware/lcd/fonts/fonts.h"

namespace {

constexpr u8 NORMAL_ADVANCE = 8;
constexpr u8 NORMAL_CENTRING = 4;  // half a cell per character, also double height

// Room for the longest constant text, 31 characters, and its terminator.
constexpr std::size_t CONST_TEXT_BUFFER = 32;

// Copies a constant text into the working buffer; anything beyond 31
// characters is cut so the copy always fits and stays terminated.
void copy_constant(char (&buffer)[CONST_TEXT_BUFFER], const char* text) {
    std::size_t n = 0;
    if (text != nullptr)
        for (; n + 1 < CONST_TEXT_BUFFER && text[n] != '\0'; ++n)
            buffer[n] = text[n];
    buffer[n] = '\0';
}

// The number of characters as the 8-bit count the centring forms use.
u8 length8(const char* text) {
    u8 n = 0;
    for (; *text != '\0'; ++text)
        n = static_cast<u8>(n + 1);
    return n;
}

const NormalGlyph* normal_glyph(char ch) {
    const u8 index = static_cast<u8>(static_cast<u8>(ch) - FONT_NORMAL_FIRST);
    return index < FONT_NORMAL_GLYPHS ? &FontNormal[index] : nullptr;
}

void draw_normal_tall(u8 x, u8 y, const NormalGlyph& glyph, DrawMode mode) {
    for (u8 c = 0; c < 8; ++c) {
        const u8 px = static_cast<u8>(x + c);
        for (u8 r = 0; r < 8; ++r) {
            if ((glyph[c] & BIT_MASKS[r]) == 0) continue;
            lcd_pixel(px, static_cast<u8>(y + 2 * r), mode);
            lcd_pixel(px, static_cast<u8>(y + 2 * r + 1), mode);
        }
    }
}

void draw_normal(u8 x, u8 y, const NormalGlyph& glyph, bool inverse) {
    for (u8 c = 0; c < 8; ++c) {
        const u8 px = static_cast<u8>(x + c);
        for (u8 r = 0; r < 8; ++r) {
            const bool on = (glyph[c] & BIT_MASKS[r]) != 0;
            const u8 py = static_cast<u8>(y + r);
            if (inverse)
                lcd_pixel(px, py, on ? DrawMode::Clear : DrawMode::Set);
            else if (on)
                lcd_pixel(px, py, DrawMode::Set);
        }
    }
}

}  // namespace

void text_normal(u8 x, u8 y, const char* text, u8 tall, DrawMode tall_mode, u8 inverse) {
    if (text == nullptr) return;
    for (; *text != '\0'; ++text, x = static_cast<u8>(x + NORMAL_ADVANCE)) {
        const NormalGlyph* glyph = normal_glyph(*text);
        if (glyph == nullptr) continue;
        if (tall == 1) {
            // Only clearing and setting are double-height modes; inverting
            // would toggle and is not one of them.
            if (tall_mode == DrawMode::Clear || tall_mode == DrawMode::Set)
                draw_normal_tall(x, y, *glyph, tall_mode);
        } else {
            draw_normal(x, y, *glyph, inverse == 1);
        }
    }
}

void text_normal_centred(u8 x, u8 y, const char* text, u8 tall, DrawMode tall_mode, u8 inverse) {
    if (text == nullptr) return;
    const u8 start = static_cast<u8>(x - NORMAL_CENTRING * length8(text));
    text_normal(start, y, text, tall, tall_mode, inverse);
}

void text_normal_const(u8 x, u8 y, const char* text, u8 tall, DrawMode tall_mode, u8 inverse) {
    char buffer[CONST_TEXT_BUFFER];
    copy_constant(buffer, text);
    text_normal(x, y, buffer, tall, tall_mode, inverse);
}

void text_normal_centred_const(u8 x, u8 y, const char* text, u8 tall, DrawMode tall_mode,
                               u8 inverse) {
    char buffer[CONST_TEXT_BUFFER];
    copy_constant(buffer, text);
    text_normal_centred(x, y, buffer, tall, tall_mode, inverse);
}

// TEMPORARY STUB: the small, tiny and big fonts follow.
void text_small(u8, u8, const char*, u8) {}
void text_small_centred(u8, u8, const char*, u8) {}
void text_small_const(u8, u8, const char*, u8) {}
void text_small_centred_const(u8, u8, const char*, u8) {}
void text_tiny(u8, u8, const char*, u8) {}
void text_big(u8, u8, const char*) {}
