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

// Each bit of a byte twice over: bit r of the glyph column becomes bits 2r
// and 2r + 1, the two rows of a double-height pixel.
uint16_t doubled(u8 bits) {
    unsigned d = bits;
    d = (d | (d << 4)) & 0x0F0Fu;
    d = (d | (d << 2)) & 0x3333u;
    d = (d | (d << 1)) & 0x5555u;
    return static_cast<uint16_t>(d | (d << 1));
}

void draw_normal_tall(u8 x, u8 y, const NormalGlyph& glyph, DrawMode mode) {
    for (u8 c = 0; c < 8; ++c) {
        const u8 px = static_cast<u8>(x + c);
        const uint16_t rows = doubled(glyph[c]);
        lcd_column(px, y, static_cast<u8>(rows), mode);
        lcd_column(px, static_cast<u8>(y + 8), static_cast<u8>(rows >> 8), mode);
    }
}

// Inverse clears the glyph's pixels and lights the rest of its cell.
void draw_normal(u8 x, u8 y, const NormalGlyph& glyph, bool inverse) {
    for (u8 c = 0; c < 8; ++c) {
        const u8 px = static_cast<u8>(x + c);
        if (inverse) {
            lcd_column(px, y, glyph[c], DrawMode::Clear);
            lcd_column(px, y, static_cast<u8>(~glyph[c]), DrawMode::Set);
        } else {
            lcd_column(px, y, glyph[c], DrawMode::Set);
        }
    }
}

// The bits of a byte in the opposite order: bit r becomes bit 7 - r.
u8 reversed(u8 bits) {
    unsigned r = bits;
    r = ((r & 0xF0u) >> 4) | ((r & 0x0Fu) << 4);
    r = ((r & 0xCCu) >> 2) | ((r & 0x33u) << 2);
    r = ((r & 0xAAu) >> 1) | ((r & 0x55u) << 1);
    return static_cast<u8>(r);
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

namespace {

constexpr u8 SMALL_ADVANCE = 6;
constexpr u8 SMALL_CENTRING = 3;

const SmallGlyph* small_glyph(char ch) {
    const u8 index = static_cast<u8>(static_cast<u8>(ch) - FONT_SMALL_FIRST);
    return index < FONT_SMALL_GLYPHS ? &FontSmall[index] : nullptr;
}

}  // namespace

void text_small(u8 x, u8 y, const char* text, u8 invert_from) {
    if (text == nullptr) return;
    // The cell's top row is y - 1 (bit 7 of the glyph bytes, always blank).
    const u8 top = static_cast<u8>(y - 1);
    bool inverse = false;
    for (std::size_t i = 0; text[i] != '\0'; ++i, x = static_cast<u8>(x + SMALL_ADVANCE)) {
        if (i == invert_from) inverse = true;
        const SmallGlyph* glyph = small_glyph(text[i]);
        if (glyph == nullptr) continue;
        for (u8 c = 0; c < SMALL_ADVANCE; ++c) {
            // Glyph bit 7 - r is cell row r. Inverse lights the cell around
            // the glyph and leaves the glyph's own pixels as they are.
            const u8 rows = reversed(c < glyph->size() ? (*glyph)[c] : 0);
            lcd_column(static_cast<u8>(x + c), top, inverse ? static_cast<u8>(~rows) : rows,
                       DrawMode::Set);
        }
    }
}

void text_small_centred(u8 x, u8 y, const char* text, u8 invert_from) {
    if (text == nullptr) return;
    text_small(static_cast<u8>(x - SMALL_CENTRING * length8(text)), y, text, invert_from);
}

void text_small_const(u8 x, u8 y, const char* text, u8 invert_from) {
    char buffer[CONST_TEXT_BUFFER];
    copy_constant(buffer, text);
    text_small(x, y, buffer, invert_from);
}

void text_small_centred_const(u8 x, u8 y, const char* text, u8 invert_from) {
    char buffer[CONST_TEXT_BUFFER];
    copy_constant(buffer, text);
    text_small_centred(x, y, buffer, invert_from);
}

namespace {

struct TinyCell {
    const u8* columns;  // glyph columns; the cell adds one blank column
    u8 width;           // glyph columns plus the blank one
};

TinyCell tiny_cell(char ch) {
    switch (ch) {
        case '.': return {FontTinyPoint.data(), 4};
        case 't': return {FontTinyLowerT.data(), 4};
        case 'K': return {FontTinyK.data(), 5};
        case 'N': return {FontTinyN.data(), 5};
        case 'M': return {FontTinyM.data(), 6};
        case 'm': return {FontTinyLowerM.data(), 6};
        // A negative scale label reaches here: show it with the small minus.
        case '-': return {FontTiny[';' - FONT_TINY_FIRST].data(), 4};
        default: break;
    }
    if (ch >= FONT_TINY_FIRST && ch <= FONT_TINY_LAST)
        return {FontTiny[static_cast<u8>(ch - FONT_TINY_FIRST)].data(), 4};
    return {FontTiny['<' - FONT_TINY_FIRST].data(), 4};
}

constexpr u8 TINY_CELL = 0x1F;  // the five rows of a cell
constexpr u8 TINY_TOP_BIT = 5;

}  // namespace

void text_tiny(u8 x, u8 y, const char* text, u8 inverse) {
    if (text == nullptr) return;
    // The cell starts one row above y: its top row is the glyph's bit 5.
    const u8 top = static_cast<u8>(y - 1);
    for (; *text != '\0'; ++text) {
        const TinyCell cell = tiny_cell(*text);
        for (u8 c = 0; c < cell.width; ++c) {
            // Glyph bit 5 - r is cell row r; every row of the cell is
            // written, dark or light.
            const u8 bits = c + 1 < cell.width ? cell.columns[c] : 0;
            const u8 on = static_cast<u8>((reversed(bits) >> (7 - TINY_TOP_BIT)) & TINY_CELL);
            const u8 dark = inverse == 0 ? on : static_cast<u8>(~on & TINY_CELL);
            const u8 px = static_cast<u8>(x + c);
            lcd_column(px, top, dark, DrawMode::Set);
            lcd_column(px, top, static_cast<u8>(~dark & TINY_CELL), DrawMode::Clear);
        }
        x = static_cast<u8>(x + cell.width);
    }
}

namespace {

constexpr u8 BIG_ADVANCE = 22;
constexpr u8 BIG_SIGN_ADVANCE = 14;
constexpr u8 BIG_POINT_ADVANCE = 12;

// The bar of '-' and '+': 12 columns, rows 13 to 16 of the cell. Lines take
// wide coordinates and reduce each point to a byte, so a bar that runs past
// x 255 continues from 0 exactly as glyph pixels do.
void big_bar(s32 x, s32 y) {
    for (s32 k = 13; k <= 16; ++k)
        lcd_line(x, y + k, x + 11, y + k, DrawMode::Set);
}

void big_digit(u8 x, u8 y, const BigGlyph& glyph) {
    for (u8 p = 0; p < FONT_BIG_HEIGHT / 8; ++p)
        for (u8 c = 0; c < FONT_BIG_WIDTH; ++c)
            lcd_column(static_cast<u8>(x + c), static_cast<u8>(y + 8 * p),
                       glyph[p * FONT_BIG_WIDTH + c], DrawMode::Set);
}

}  // namespace

void text_big(u8 x, u8 y, const char* text) {
    if (text == nullptr) return;
    for (; *text != '\0'; ++text) {
        const char ch = *text;
        if (ch == '-' || ch == '+') {
            if (ch == '+')
                for (s32 k = 4; k <= 7; ++k)
                    lcd_line(x + k, y + 9, x + k, y + 20, DrawMode::Set);
            big_bar(x, y);
            x = static_cast<u8>(x + BIG_SIGN_ADVANCE);
        } else if (ch == '.') {
            lcd_line(x + 2, y + 27, x + 2, y + 28, DrawMode::Set);
            for (s32 k = 3; k <= 5; ++k)
                lcd_line(x + k, y + 26, x + k, y + 29, DrawMode::Set);
            lcd_line(x + 6, y + 27, x + 6, y + 28, DrawMode::Set);
            x = static_cast<u8>(x + BIG_POINT_ADVANCE);
        } else {
            // A blank, or a code without a glyph, leaves its cell empty.
            if (ch >= '0' && ch <= '9') big_digit(x, y, FontBig[static_cast<u8>(ch - '0')]);
            x = static_cast<u8>(x + BIG_ADVANCE);
        }
    }
}

// The title is centred on column 57 and flanked by two rules on row 4. Their
// inner ends are computed in 8-bit arithmetic like every coordinate here; a
// title longer than 14 characters would wrap the left rule's end past 255.
// The title passes through a working buffer of 32 bytes, as every page text
// does, so it is cut to 31 characters.
void menu_title(const char* title) {
    constexpr u8 TITLE_MAX = 31;
    char buffer[TITLE_MAX + 1];
    u8 n = 0;
    if (title != nullptr) {
        while (n < TITLE_MAX && title[n] != '\0') {
            buffer[n] = title[n];
            ++n;
        }
    }
    buffer[n] = '\0';
    text_normal(static_cast<u8>(57 - 4 * n), 0, buffer, 0, DrawMode::Set, 0);
    lcd_line(0, 4, static_cast<u8>(59 - 4 * n), 4, DrawMode::Set);
    lcd_line(static_cast<u8>(55 + 4 * n), 4, 118, 4, DrawMode::Set);
}
