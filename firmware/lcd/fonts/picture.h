// Compile-time packing of pixel pictures into the byte layouts of the fonts
// and the icon sheet. A picture is an array of strings, one per pixel row,
// '#' for a lit pixel and '.' for an unlit one. Glyph pictures follow one
// another in the array, each with the same number of rows.
#pragma once

#include <array>
#include <cstddef>

#include "firmware/core/types.h"

namespace picture {

// Deliberately never defined: a malformed picture calls one of these during
// compile-time packing, which stops the build at the faulty row.
void row_has_the_wrong_number_of_pixels();
void row_has_a_character_other_than_hash_or_dot();

consteval bool lit(const char* row, int column, int width) {
    int length = 0;
    while (row[length] != '\0')
        ++length;
    if (length != width) row_has_the_wrong_number_of_pixels();
    const char ch = row[column];
    if (ch != '#' && ch != '.') row_has_a_character_other_than_hash_or_dot();
    return ch == '#';
}

// Column bytes: glyph picture row r becomes bit (top_bit + r * bit_step) of
// each column's byte, so a font stored top row in bit 0 uses (0, +1) and one
// stored top row in bit 6 uses (6, -1).
template <std::size_t GLYPHS, std::size_t WIDTH, std::size_t ROWS, std::size_t N>
consteval std::array<std::array<u8, WIDTH>, GLYPHS> columns(const char* const (&rows)[N],
                                                            int top_bit, int bit_step) {
    static_assert(N == GLYPHS * ROWS, "picture has the wrong number of rows for its glyphs");
    static_assert(WIDTH > 0 && ROWS > 0 && ROWS <= 8);
    std::array<std::array<u8, WIDTH>, GLYPHS> out{};
    for (std::size_t g = 0; g < GLYPHS; ++g)
        for (std::size_t r = 0; r < ROWS; ++r)
            for (std::size_t c = 0; c < WIDTH; ++c)
                if (lit(rows[g * ROWS + r], static_cast<int>(c), static_cast<int>(WIDTH)))
                    out[g][c] = static_cast<u8>(out[g][c] |
                                                (1u << (top_bit + static_cast<int>(r) * bit_step)));
    return out;
}

// Page rows in the frame buffer's layout: a picture ROWS pixels tall (a
// multiple of 8) becomes ROWS / 8 page rows of WIDTH column bytes each, page
// row first (byte = page row * WIDTH + column), bit 0 the top row of a page
// row.
template <std::size_t GLYPHS, std::size_t WIDTH, std::size_t ROWS, std::size_t N>
consteval std::array<std::array<u8, WIDTH * ROWS / 8>, GLYPHS> pages(const char* const (&rows)[N]) {
    static_assert(N == GLYPHS * ROWS, "picture has the wrong number of rows for its glyphs");
    static_assert(ROWS % 8 == 0);
    std::array<std::array<u8, WIDTH * ROWS / 8>, GLYPHS> out{};
    for (std::size_t g = 0; g < GLYPHS; ++g)
        for (std::size_t r = 0; r < ROWS; ++r)
            for (std::size_t c = 0; c < WIDTH; ++c)
                if (lit(rows[g * ROWS + r], static_cast<int>(c), static_cast<int>(WIDTH))) {
                    u8& byte = out[g][(r / 8) * WIDTH + c];
                    byte = static_cast<u8>(byte | (1u << (r % 8)));
                }
    return out;
}

}  // namespace picture
