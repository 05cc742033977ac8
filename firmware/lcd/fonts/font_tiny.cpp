// FontTiny: the scale labels of the bar-graph gauges, three columns by five
// rows for the digits and signs, wider cells for K, N, M and m. The table
// runs from '0' to '<' so a label's characters index it directly; ':' is a
// small plus, ';' a small minus and '<' a blank. The rest are looked up by
// code.
#include "firmware/lcd/fonts/fonts.h"
#include "firmware/lcd/fonts/picture.h"

namespace {

// Glyph row r goes to bit 5 - r: bit 5 on top, bit 1 at the bottom.
constexpr int TOP_BIT = 5;
constexpr int DOWN = -1;

// clang-format off
constexpr const char* TABLE[] = {
    // '0'
    "###",
    "#.#",
    "#.#",
    "#.#",
    "###",
    // '1'
    ".#.",
    ".#.",
    ".#.",
    ".#.",
    ".#.",
    // '2'
    "###",
    "..#",
    "###",
    "#..",
    "###",
    // '3'
    "###",
    "..#",
    "###",
    "..#",
    "###",
    // '4'
    "#.#",
    "#.#",
    "###",
    "..#",
    "..#",
    // '5'
    "###",
    "#..",
    "###",
    "..#",
    "###",
    // '6'
    "###",
    "#..",
    "###",
    "#.#",
    "###",
    // '7'
    "###",
    "..#",
    "..#",
    "..#",
    "..#",
    // '8'
    "###",
    "#.#",
    "###",
    "#.#",
    "###",
    // '9'
    "###",
    "#.#",
    "###",
    "..#",
    "..#",
    // ':' small plus
    "...",
    ".#.",
    "###",
    ".#.",
    "...",
    // ';' small minus
    "...",
    "...",
    "###",
    "...",
    "...",
    // '<' blank
    "...",
    "...",
    "...",
    "...",
    "...",
};

constexpr const char* POINT[] = {
    "...",
    "...",
    "...",
    "...",
    ".#.",
};

constexpr const char* LOWER_T[] = {
    ".#.",
    "###",
    ".#.",
    ".#.",
    ".##",
};

constexpr const char* K[] = {
    "#..#",
    "#.#.",
    "##..",
    "#.#.",
    "#..#",
};

constexpr const char* N[] = {
    "#..#",
    "##.#",
    "####",
    "#.##",
    "#..#",
};

constexpr const char* M[] = {
    "#...#",
    "##.##",
    "#.#.#",
    "#...#",
    "#...#",
};

// Three rows tall, standing on the bottom row like the digits.
constexpr const char* LOWER_M[] = {
    ".....",
    ".....",
    "#####",
    "#.#.#",
    "#.#.#",
};
// clang-format on

template <std::size_t WIDTH, std::size_t N>
consteval std::array<u8, WIDTH> single(const char* const (&rows)[N]) {
    return picture::columns<1, WIDTH, 5>(rows, TOP_BIT, DOWN)[0];
}

}  // namespace

const std::array<TinyGlyph, FONT_TINY_GLYPHS> FontTiny =
    picture::columns<FONT_TINY_GLYPHS, 3, 5>(TABLE, TOP_BIT, DOWN);
const std::array<u8, 3> FontTinyPoint = single<3>(POINT);
const std::array<u8, 3> FontTinyLowerT = single<3>(LOWER_T);
const std::array<u8, 4> FontTinyK = single<4>(K);
const std::array<u8, 4> FontTinyN = single<4>(N);
const std::array<u8, 5> FontTinyM = single<5>(M);
const std::array<u8, 5> FontTinyLowerM = single<5>(LOWER_M);

static_assert(sizeof(FontTiny) == 13 * 3);
