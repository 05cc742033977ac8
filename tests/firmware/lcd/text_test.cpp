// Text drawing: pixel semantics, cell positions, wrapping and clipping.
#include "firmware/lcd/text.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>

#include "app/headless/fake_host.h"
#include "firmware/lcd/fonts/fonts.h"
#include "firmware/lcd/lcd.h"
#include "tests/support/frame_text.h"

namespace {

class Text : public ::testing::Test {
protected:
    void SetUp() override { reset_all_state(); }
};

int lit_count() {
    int n = 0;
    for (int y = 0; y < LCD_HEIGHT; ++y)
        for (int x = 0; x < LCD_WIDTH; ++x)
            if (lcd_get_pixel(static_cast<u8>(x), static_cast<u8>(y))) ++n;
    return n;
}

u8 page_byte(int page, int x) { return frame_buffer[page * LCD_WIDTH + x]; }

const NormalGlyph& normal(char ch) { return FontNormal[static_cast<u8>(ch) - FONT_NORMAL_FIRST]; }

// ---- FontNormal ----------------------------------------------------------

TEST_F(Text, NormalAIsTransparentAndItsInverseOverwritesTheCell) {
    text_normal(0, 0, "A", 0, DrawMode::Set, 0);
    const u8 a[8] = {0x7C, 0x7E, 0x13, 0x11, 0x13, 0x7E, 0x7C, 0x00};
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(page_byte(0, c), a[c]) << "column " << c;
    EXPECT_EQ(lit_count(), 5 + 6 + 3 + 2 + 3 + 6 + 5);

    // Plain text only adds its lit pixels: column 7 keeps what was there.
    lcd_clear();
    for (int c = 0; c < 8; ++c)
        frame_buffer[c] = 0x80;
    text_normal(0, 0, "A", 0, DrawMode::Set, 0);
    EXPECT_EQ(page_byte(0, 7), 0x80);
    EXPECT_EQ(page_byte(0, 2), 0x93);

    const u8 inverse[8] = {0x83, 0x81, 0xEC, 0xEE, 0xEC, 0x81, 0x83, 0xFF};
    for (u8 background : {u8{0x00}, u8{0xFF}, u8{0x5A}}) {
        for (int c = 0; c < 8; ++c)
            frame_buffer[c] = background;
        text_normal(0, 0, "A", 0, DrawMode::Set, 1);
        for (int c = 0; c < 8; ++c)
            EXPECT_EQ(page_byte(0, c), inverse[c]) << "column " << c << " on " << int(background);
    }
    // Only an inverse of exactly 1 inverts.
    lcd_clear();
    text_normal(0, 0, "A", 0, DrawMode::Set, 2);
    EXPECT_EQ(page_byte(0, 7), 0x00);
    EXPECT_EQ(page_byte(0, 0), 0x7C);
}

TEST_F(Text, NormalRowsOffThePageGridSpanTwoPages) {
    text_normal(20, 5, "A", 0, DrawMode::Set, 0);
    EXPECT_EQ(frame_region(20, 5, 27, 12),
              "..###...\n"
              ".##.##..\n"
              "##...##.\n"
              "##...##.\n"
              "#######.\n"
              "##...##.\n"
              "##...##.\n"
              "........\n");
    EXPECT_EQ(page_byte(0, 20), static_cast<u8>(0x7C << 5));
    EXPECT_EQ(page_byte(1, 20), 0x7C >> 3);
}

TEST_F(Text, DoubleHeightDoublesRowsOnlyAndHonoursTallMode) {
    text_normal(10, 20, "DONE", 1, DrawMode::Set, 0);
    int expected_lit = 0;
    for (int i = 0; i < 4; ++i) {
        const NormalGlyph& g = normal("DONE"[i]);
        for (int c = 0; c < 8; ++c)
            for (int r = 0; r < 8; ++r) {
                const bool on = (g[c] >> r) & 1;
                expected_lit += on ? 2 : 0;
                const u8 x = static_cast<u8>(10 + 8 * i + c);
                EXPECT_EQ(lcd_get_pixel(x, static_cast<u8>(20 + 2 * r)), on);
                EXPECT_EQ(lcd_get_pixel(x, static_cast<u8>(21 + 2 * r)), on);
            }
    }
    EXPECT_EQ(lit_count(), expected_lit);
    // 16 rows high and 32 columns wide: the D's stem reaches from the top row
    // 20 to row 33, and the E's bars reach column 10 + 24 + 6.
    EXPECT_TRUE(lcd_get_pixel(10, 20));
    EXPECT_TRUE(lcd_get_pixel(10, 33));
    EXPECT_TRUE(lcd_get_pixel(40, 33));
    EXPECT_EQ(frame_region(0, 0, 113, 19), frame_region(0, 36, 113, 55));  // both blank

    // tall_mode Clear removes exactly the glyph's pixels from a lit area.
    lcd_fill(0, 0, 114, 63, DrawMode::Set);
    text_normal(10, 20, "DONE", 1, DrawMode::Clear, 0);
    EXPECT_EQ(lit_count(), 114 * 64 - expected_lit);

    // Any other tall_mode draws nothing, Invert included; inverse is ignored.
    lcd_clear();
    text_normal(10, 20, "DONE", 1, DrawMode::Invert, 1);
    text_normal(10, 20, "DONE", 1, static_cast<DrawMode>(7), 0);
    EXPECT_EQ(lit_count(), 0);
    // Double height wraps its rows modulo 256 and drops the off-screen ones.
    text_normal(0, 250, "1", 1, DrawMode::Set, 0);
    // Glyph rows 0..2 fall on 250..255; rows 3..7 on 0..9.
    EXPECT_EQ(frame_region(0, 0, 7, 9),
              "...##...\n...##...\n...##...\n...##...\n...##...\n...##...\n"
              ".######.\n.######.\n........\n........\n");
    EXPECT_EQ(lit_count(), 2 * (2 + 2 + 2 + 6));
}

TEST_F(Text, SymbolCellsOfTheContrastHint) {
    text_normal_centred_const(57, 40, "USE { } OR ~", 0, DrawMode::Set, 0);
    // 12 characters centred on 57 start at 57 - 48 = 9.
    EXPECT_EQ(page_byte(5, 9), normal('U')[0]);
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(page_byte(5, 41 + c), normal('{')[c]);
        EXPECT_EQ(page_byte(5, 57 + c), normal('}')[c]);
        EXPECT_EQ(page_byte(5, 97 + c), normal('~')[c]);
    }
    EXPECT_EQ(page_byte(5, 8), 0);
    EXPECT_NE(page_byte(5, 104), 0);  // the knob reaches into column 7
}

TEST_F(Text, CentringWrapsTheStartModulo256) {
    // "DONE" centred on 78 runs from 62 to 93.
    text_normal_centred(78, 0, "DONE", 0, DrawMode::Set, 0);
    EXPECT_EQ(page_byte(0, 62), normal('D')[0]);
    EXPECT_EQ(page_byte(0, 61), 0);
    EXPECT_EQ(page_byte(0, 92), normal('E')[6]);
    // Centred on 4, "AB" starts at 252: columns 4..7 of A on 0..3, B from 4.
    lcd_clear();
    text_normal_centred(4, 8, "AB", 0, DrawMode::Set, 0);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(page_byte(1, c), normal('A')[4 + c]);
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(page_byte(1, 4 + c), normal('B')[c]);
}

TEST_F(Text, NormalClipsAtBothEdgesWithoutWrappingOntoTheScreen) {
    // From x 250 the first cell's columns 0..5 fall on 250..255; 6 and 7 on 0, 1.
    text_normal(250, 0, "AB", 0, DrawMode::Set, 0);
    EXPECT_EQ(page_byte(0, 0), normal('A')[6]);
    EXPECT_EQ(page_byte(0, 1), normal('A')[7]);
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(page_byte(0, 2 + c), normal('B')[c]);
    for (int x = 10; x < LCD_WIDTH; ++x)
        EXPECT_EQ(page_byte(0, x), 0) << x;

    // At x 110 only A's columns 0..3 show; B's cell lies past the edge.
    lcd_clear();
    text_normal(110, 0, "AB", 0, DrawMode::Set, 0);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(page_byte(0, 110 + c), normal('A')[c]);
    EXPECT_EQ(lit_count(), 5 + 6 + 3 + 2);

    // The inverse cell is clipped the same way.
    lcd_clear();
    text_normal(110, 60, "A", 0, DrawMode::Set, 1);
    // Columns 110..113, rows 60..63: 16 pixels less the A's 8 in that corner.
    EXPECT_EQ(lit_count(), 16 - 8);
}

TEST_F(Text, NormalSkipsCodesWithoutAGlyph) {
    text_normal(0, 0,
                "A\x8B\x1F"
                "A\xFF",
                0, DrawMode::Set, 1);
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(page_byte(0, c), static_cast<u8>(~normal('A')[c]));
        EXPECT_EQ(page_byte(0, 8 + c), 0) << "cell of 139";
        EXPECT_EQ(page_byte(0, 16 + c), 0) << "cell of 31";
        EXPECT_EQ(page_byte(0, 24 + c), static_cast<u8>(~normal('A')[c]));
        EXPECT_EQ(page_byte(0, 32 + c), 0) << "cell of 255";
    }
    text_normal(0, 20, "\x7F\x80\x8A", 1, DrawMode::Set, 0);  // 127..138 are glyphs
    EXPECT_TRUE(lcd_get_pixel(2, 20));                        // omega's top
}

TEST_F(Text, ConstantTextsUpTo31CharactersAreDrawnInFull) {
    // 31 characters from x 16: the 31st lands on x 16 + 240 = 256, that is 0.
    const char* text31 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ01239";
    ASSERT_EQ(std::string(text31).size(), 31u);
    text_normal_const(16, 0, text31, 0, DrawMode::Set, 0);
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(page_byte(0, c), normal('9')[c]);
        EXPECT_EQ(page_byte(0, 16 + c), normal('A')[c]);
    }
    const std::string plain = frame_to_text();
    lcd_clear();
    text_normal(16, 0, text31, 0, DrawMode::Set, 0);
    EXPECT_EQ(frame_to_text(), plain);

    // A longer text is cut after 31 characters instead of overrunning the
    // working buffer: the 32nd would land on x 8.
    lcd_clear();
    text_normal_const(16, 0, "ABCDEFGHIJKLMNOPQRSTUVWXYZ01239XYZ", 0, DrawMode::Set, 0);
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(page_byte(0, 8 + c), 0);
    EXPECT_EQ(page_byte(0, 0), normal('9')[0]);

    // The centred twin centres on the copied text.
    lcd_clear();
    text_normal_centred_const(57, 8, "DG-2", 1, DrawMode::Set, 0);
    EXPECT_TRUE(lcd_get_pixel(41, 8));  // D's stem, rows 8..21
    EXPECT_TRUE(lcd_get_pixel(41, 21));
    EXPECT_FALSE(lcd_get_pixel(41, 22));
    EXPECT_TRUE(lcd_get_pixel(71, 20));  // the 2's foot ends on column 41 + 24 + 6
    for (int y = 0; y < LCD_HEIGHT; ++y) {
        EXPECT_FALSE(lcd_get_pixel(40, static_cast<u8>(y)));
        EXPECT_FALSE(lcd_get_pixel(72, static_cast<u8>(y)));
    }
}

// ---- FontSmall -----------------------------------------------------------

u8 reversed(u8 b) {
    u8 out = 0;
    for (int i = 0; i < 8; ++i)
        if ((b >> i) & 1) out = static_cast<u8>(out | (0x80 >> i));
    return out;
}

const SmallGlyph& small(char ch) { return FontSmall[static_cast<u8>(ch) - FONT_SMALL_FIRST]; }

TEST_F(Text, SmallGlyphSitsBelowTheCellsBlankTopRow) {
    // With y = 1 the cell is rows 0..7 of page 0: the glyph's bit 7 - r is
    // frame row r, so each frame byte is the glyph byte bit-reversed.
    text_small(0, 1, "A1", 100);
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(page_byte(0, c), reversed(small('A')[c])) << c;
        EXPECT_EQ(page_byte(0, 6 + c), reversed(small('1')[c])) << c;
    }
    EXPECT_EQ(page_byte(0, 5), 0);
    EXPECT_EQ(frame_region(0, 0, 11, 7),
              "............\n"
              ".###....#...\n"
              "#...#..##...\n"
              "#...#...#...\n"
              "#####...#...\n"
              "#...#...#...\n"
              "#...#...#...\n"
              "#...#..###..\n");
}

TEST_F(Text, SmallInversionFromAnIndexLightsWholeCells) {
    text_small(85, 40, "1.16", 2);
    // "1." plain, "16" inverse: their 6 x 8 cells from x 97, rows 39..46,
    // blank sixth columns included, lit around the unlit glyphs.
    std::string cells;
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 12; ++c) {
            const u8 bits = c % 6 == 5 ? 0 : small("16"[c / 6])[c % 6];
            cells += ((bits >> (7 - r)) & 1) ? '.' : '#';
        }
        cells += '\n';
    }
    EXPECT_EQ(frame_region(97, 39, 108, 46), cells);
    EXPECT_EQ(frame_region(85, 39, 96, 46),
              "............\n"
              "..#.........\n"
              ".##.........\n"
              "..#.........\n"
              "..#.........\n"
              "..#.........\n"
              "..#....##...\n"
              ".###...##...\n");

    // From index 0 the whole text, here "A B", is inverse, blanks included.
    lcd_clear();
    text_small(0, 9, "A B", 0);
    int glyph_pixels = 0;
    for (char ch : std::string("AB"))
        for (u8 b : small(ch))
            glyph_pixels += std::popcount(b);
    EXPECT_EQ(lit_count(), 3 * 48 - glyph_pixels);
    EXPECT_EQ(frame_region(6, 8, 11, 15),
              "######\n######\n######\n######\n######\n######\n######\n######\n");
}

TEST_F(Text, SmallInverseCellOnTheTopRowLosesOnlyItsWrappedRow) {
    // Row y - 1 is 255 and dropped; rows 0..6 are the glyph's.
    text_small(85, 0, "1", 0);
    EXPECT_EQ(lit_count(), 6 * 7 - 10);
    EXPECT_EQ(frame_region(85, 0, 90, 6),
              "##.###\n"
              "#..###\n"
              "##.###\n"
              "##.###\n"
              "##.###\n"
              "##.###\n"
              "#...##\n");
}

TEST_F(Text, SmallCentringAndCodesWithoutAGlyph) {
    // 17 characters centred on 57 start at 57 - 51 = 6 and end on 107.
    text_small_centred_const(57, 56, "WWW.KVXGAUGES.COM", 100);
    EXPECT_EQ(page_byte(7, 5), 0);
    EXPECT_EQ(page_byte(7, 6), reversed(small('W')[0]) >> 1);  // glyph rows 56..62
    EXPECT_EQ(page_byte(7, 6 + 16 * 6 + 4), reversed(small('M')[4]) >> 1);
    for (int x = 107; x < LCD_WIDTH; ++x)
        EXPECT_EQ(page_byte(7, x), 0);

    // 128 and above draw nothing, not even when inverse, and advance a cell.
    lcd_clear();
    text_small(0, 1,
               "\x80"
               "A\xC8",
               0);
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(page_byte(0, c), 0);
        EXPECT_EQ(page_byte(0, 12 + c), 0);
    }
    EXPECT_EQ(page_byte(0, 6), static_cast<u8>(~reversed(small('A')[0])));
}

TEST_F(Text, SmallConstantTextOf31Characters) {
    // From x 76 the 31st character lands on 76 + 180 = 256, that is 0.
    const char* text31 = "0123456789ABCDEFGHIJKLMNOPQRST8";
    text_small_const(76, 1, text31, 100);
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(page_byte(0, c), reversed(small('8')[c]));
    const std::string drawn = frame_to_text();
    lcd_clear();
    text_small(76, 1, text31, 100);
    EXPECT_EQ(frame_to_text(), drawn);
    // The 32nd character of a longer text is not drawn (it would land on 6).
    lcd_clear();
    text_small_centred_const(76 + 3 * 31, 1, "0123456789ABCDEFGHIJKLMNOPQRST8XYZ", 100);
    EXPECT_EQ(frame_to_text(), drawn);
}

// ---- FontTiny ------------------------------------------------------------

TEST_F(Text, TinyWritesEveryPixelOfItsCells) {
    lcd_fill(0, 0, 114, 63, DrawMode::Set);
    text_tiny(0, 10, "10.5", 0);
    const char* expected =
        ".#..###.....###.\n"
        ".#..#.#.....#...\n"
        ".#..#.#.....###.\n"
        ".#..#.#.......#.\n"
        ".#..###..#..###.\n";
    EXPECT_EQ(frame_region(0, 9, 15, 13), expected);
    // Nothing outside the 16 x 5 cell is touched.
    EXPECT_EQ(frame_region(0, 8, 16, 8), std::string(17, '#') + "\n");
    EXPECT_EQ(frame_region(0, 14, 16, 14), std::string(17, '#') + "\n");
    EXPECT_EQ(frame_region(16, 9, 16, 13), "#\n#\n#\n#\n#\n");

    // Inverse: the same cell with lit and unlit swapped.
    lcd_clear();
    text_tiny(0, 10, "10.5", 1);
    std::string inverted = expected;
    for (char& ch : inverted)
        if (ch != '\n') ch = ch == '#' ? '.' : '#';
    EXPECT_EQ(frame_region(0, 9, 15, 13), inverted);
    EXPECT_EQ(frame_region(16, 9, 16, 13), ".\n.\n.\n.\n.\n");
}

TEST_F(Text, TinyAdvancesByGlyphWidthPlusOne) {
    // M 6, K 5, N 5, m 6, t 4, '.' 4, digits 4: the '1's stem marks each start.
    text_tiny(0, 1, "MK1", 0);
    EXPECT_EQ(frame_region(0, 0, 13, 4),
              "#...#.#..#..#.\n"
              "##.##.#.#...#.\n"
              "#.#.#.##....#.\n"
              "#...#.#.#...#.\n"
              "#...#.#..#..#.\n");
    lcd_clear();
    text_tiny(0, 1, "Nmt1", 0);
    EXPECT_EQ(frame_region(0, 0, 19, 4),
              "#..#........#...#...\n"
              "##.#.......###..#...\n"
              "####.#####..#...#...\n"
              "#.##.#.#.#..#...#...\n"
              "#..#.#.#.#..##..#...\n");
}

TEST_F(Text, TinyShowsMinusAndBlanksUnknownCodes) {
    lcd_fill(0, 0, 114, 63, DrawMode::Set);
    // A negative label: '-' reads as the small minus; an unknown code is a
    // blank cell that still clears its background.
    text_tiny(0, 1, "-5A:", 0);
    EXPECT_EQ(frame_region(0, 0, 15, 4),
              "....###.........\n"
              "....#........#..\n"
              "###.###.....###.\n"
              "......#......#..\n"
              "....###.........\n");
}

// ---- FontBig -------------------------------------------------------------

bool big_glyph_at(int x, int y, char digit) {
    const BigGlyph& g = FontBig[digit - '0'];
    for (int p = 0; p < 4; ++p)
        for (int c = 0; c < FONT_BIG_WIDTH; ++c)
            for (int r = 0; r < 8; ++r) {
                const bool on = (g[p * FONT_BIG_WIDTH + c] >> r) & 1;
                const int px = x + c, py = y + 8 * p + r;
                if (px >= LCD_WIDTH || py >= LCD_HEIGHT) continue;
                if (on != lcd_get_pixel(static_cast<u8>(px), static_cast<u8>(py))) return false;
            }
    return true;
}

TEST_F(Text, BigSignedDecimalPlacesEachPart) {
    text_big(0, 3, "-1.5");
    // The minus: columns 0..11 on rows 16..19 (y + 13..16), advancing 14.
    for (int y = 0; y < 34; ++y)
        for (int x = 0; x < 14; ++x)
            EXPECT_EQ(lcd_get_pixel(static_cast<u8>(x), static_cast<u8>(y)),
                      x <= 11 && y >= 16 && y <= 19)
                << x << "," << y;
    EXPECT_TRUE(big_glyph_at(14, 3, '1'));
    // The point: cells of x 36, columns 38..42 on rows 29..32.
    EXPECT_EQ(frame_region(36, 29, 47, 32),
              "...###......\n"
              "..#####.....\n"
              "..#####.....\n"
              "...###......\n");
    EXPECT_EQ(frame_region(36, 0, 47, 28), frame_region(36, 34, 47, 62));  // blank above
    EXPECT_TRUE(big_glyph_at(48, 3, '5'));
}

TEST_F(Text, BigPlusBlankAndUnknownCodes) {
    text_big(0, 0, "++");
    for (int start : {0, 14}) {
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 14; ++x) {
                const bool bar = x <= 11 && y >= 13 && y <= 16;
                const bool stem = x >= 4 && x <= 7 && y >= 9 && y <= 20;
                EXPECT_EQ(lcd_get_pixel(static_cast<u8>(start + x), static_cast<u8>(y)),
                          bar || stem)
                    << start + x << "," << y;
            }
    }
    // Blank and unknown codes draw nothing and advance a digit cell.
    lcd_clear();
    text_big(0, 0, " A8");
    EXPECT_TRUE(big_glyph_at(44, 0, '8'));
    EXPECT_EQ(frame_region(0, 0, 43, 31), frame_region(0, 32, 43, 63));  // both blank
}

TEST_F(Text, BigDigitsAreTransparentAndWrapOffTheLeftEdge) {
    lcd_fill(0, 0, 114, 63, DrawMode::Set);
    text_big(0, 0, "0");
    EXPECT_EQ(lit_count(), 114 * 64);  // unlit glyph bits leave the background

    // From x 246 the first digit's columns 10..21 land on 0..11.
    lcd_clear();
    text_big(246, 0, "00");
    EXPECT_TRUE(big_glyph_at(12, 0, '0'));
    const BigGlyph& zero = FontBig[0];
    for (int c = 0; c < 12; ++c)
        EXPECT_EQ(page_byte(0, c), zero[10 + c]) << c;
}

}  // namespace
