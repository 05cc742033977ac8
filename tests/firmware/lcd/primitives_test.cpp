#include <gtest/gtest.h>

#include <vector>

#include "app/headless/fake_host.h"
#include "firmware/lcd/lcd.h"
#include "tests/support/frame_text.h"

namespace {

class Primitives : public ::testing::Test {
protected:
    void SetUp() override { reset_all_state(); }
};

// Lit pixels as a sorted list "x,y " for small shapes.
std::string lit_pixels() {
    std::string out;
    for (int y = 0; y < LCD_HEIGHT; ++y)
        for (int x = 0; x < LCD_WIDTH; ++x)
            if (lcd_get_pixel(static_cast<u8>(x), static_cast<u8>(y)))
                out += std::to_string(x) + "," + std::to_string(y) + " ";
    return out;
}

TEST_F(Primitives, PixelAddressingModesAndClipping) {
    lcd_pixel(113, 63, DrawMode::Set);
    EXPECT_EQ(frame_buffer[911], 0x80);
    lcd_pixel(114, 0, DrawMode::Set);
    lcd_pixel(0, 64, DrawMode::Set);
    lcd_pixel(255, 255, DrawMode::Set);
    EXPECT_EQ(lit_pixels(), "113,63 ");
    EXPECT_FALSE(lcd_get_pixel(114, 0));
    EXPECT_FALSE(lcd_get_pixel(0, 64));

    lcd_pixel(5, 9, DrawMode::Invert);
    EXPECT_EQ(frame_buffer[119], 0x02);
    lcd_pixel(5, 9, DrawMode::Invert);
    EXPECT_EQ(frame_buffer[119], 0x00);
    lcd_pixel(5, 9, static_cast<DrawMode>(3));
    EXPECT_EQ(frame_buffer[119], 0x00);
    lcd_pixel(5, 9, DrawMode::Set);
    lcd_pixel(5, 9, DrawMode::Clear);
    EXPECT_EQ(frame_buffer[119], 0x00);
}

TEST_F(Primitives, LineDropsWrappedPointsAndKeepsTheDirectionTieBreak) {
    lcd_line(-2, 10, 3, 10, DrawMode::Set);
    EXPECT_EQ(lit_pixels(), "0,10 1,10 2,10 3,10 ");

    lcd_clear();
    lcd_line(0, 0, 4, 1, DrawMode::Set);
    EXPECT_EQ(lit_pixels(), "0,0 1,0 2,0 3,1 4,1 ");
    lcd_clear();
    lcd_line(4, 1, 0, 0, DrawMode::Set);
    EXPECT_EQ(lit_pixels(), "0,0 1,0 2,1 3,1 4,1 ");

    lcd_clear();
    lcd_line(0, 0, 3, 3, DrawMode::Set);
    EXPECT_EQ(lit_pixels(), "0,0 1,1 2,2 3,3 ");
    lcd_clear();
    lcd_line(7, 7, 7, 7, DrawMode::Set);
    EXPECT_EQ(lit_pixels(), "7,7 ");

    // Y-major, drawn upward: steps y every time, x only on a positive error.
    lcd_clear();
    lcd_line(1, 4, 0, 0, DrawMode::Set);
    EXPECT_EQ(lit_pixels(), "0,0 0,1 1,2 1,3 1,4 ");
}

TEST_F(Primitives, InvertedLineTogglesEachPixelOnce) {
    lcd_line(0, 0, 20, 7, DrawMode::Invert);
    const std::string once = lit_pixels();
    EXPECT_EQ(std::count(once.begin(), once.end(), ' '), 21);
    lcd_line(0, 0, 20, 7, DrawMode::Invert);
    EXPECT_EQ(lit_pixels(), "");
}

TEST_F(Primitives, FarOffCoordinatesNeitherOverflowNorDraw) {
    lcd_line(INT32_MIN, 0, INT32_MIN + 3, 0, DrawMode::Set);  // low bytes 0..3
    EXPECT_EQ(lit_pixels(), "0,0 1,0 2,0 3,0 ");
}

// Column writes and vertical lines change whole bytes at a time; each must
// leave exactly the frame buffer that lcd_pixel gives point by point, from a
// busy background, at every row including those that wrap past 255.
TEST_F(Primitives, ColumnWritesAndVerticalLinesMatchPointByPoint) {
    auto background = [] {
        for (int i = 0; i < FRAME_BUFFER_SIZE; ++i)
            frame_buffer[i] = static_cast<u8>(i * 37 + 11);
    };
    auto snapshot = [] { return std::vector<u8>(frame_buffer, frame_buffer + FRAME_BUFFER_SIZE); };
    const DrawMode modes[] = {DrawMode::Clear, DrawMode::Set, DrawMode::Invert,
                              static_cast<DrawMode>(3)};
    for (const DrawMode mode : modes) {
        for (const u8 x : {u8{0}, u8{57}, u8{113}, u8{114}, u8{255}})
            for (int y = 0; y < 256; ++y)
                for (const u8 bits : {u8{0x01}, u8{0x80}, u8{0xA5}, u8{0xFF}}) {
                    background();
                    for (int r = 0; r < 8; ++r)
                        if ((bits >> r) & 1) lcd_pixel(x, static_cast<u8>(y + r), mode);
                    const std::vector<u8> expected = snapshot();
                    background();
                    lcd_column(x, static_cast<u8>(y), bits, mode);
                    ASSERT_EQ(snapshot(), expected) << "column " << int{x} << ", row " << y;
                }
        // Ends anywhere from well above the screen to past a wrap of 256.
        for (const s32 x : {5, 113, 114, -251})
            for (const s32 y0 : {-300, -3, 0, 7, 60, 63, 200, 250, 255, 256, 511})
                for (const s32 y1 : {-260, -1, 0, 9, 63, 64, 255, 300, 700}) {
                    background();
                    const s32 step = y0 <= y1 ? 1 : -1;
                    for (s32 y = y0;; y += step) {
                        lcd_pixel(static_cast<u8>(x & 0xFF), static_cast<u8>(y & 0xFF), mode);
                        if (y == y1) break;
                    }
                    const std::vector<u8> expected = snapshot();
                    background();
                    lcd_line(x, y0, x, y1, mode);
                    ASSERT_EQ(snapshot(), expected) << x << ": " << y0 << " to " << y1;
                }
    }
}

TEST_F(Primitives, RectOutlineAndInvertedCorners) {
    lcd_rect(0, 15, 113, 25, DrawMode::Set);
    EXPECT_TRUE(lcd_get_pixel(0, 15));
    EXPECT_TRUE(lcd_get_pixel(113, 25));
    EXPECT_TRUE(lcd_get_pixel(57, 15));
    EXPECT_TRUE(lcd_get_pixel(113, 20));
    EXPECT_FALSE(lcd_get_pixel(57, 20));

    lcd_clear();
    lcd_rect(2, 2, 6, 5, DrawMode::Invert);
    EXPECT_FALSE(lcd_get_pixel(2, 2));
    EXPECT_FALSE(lcd_get_pixel(6, 2));
    EXPECT_FALSE(lcd_get_pixel(2, 5));
    EXPECT_FALSE(lcd_get_pixel(6, 5));
    EXPECT_TRUE(lcd_get_pixel(3, 2));
    EXPECT_TRUE(lcd_get_pixel(2, 3));
    EXPECT_TRUE(lcd_get_pixel(6, 4));
    EXPECT_TRUE(lcd_get_pixel(5, 5));
}

TEST_F(Primitives, FillHasAnExclusiveHorizontalEnd) {
    lcd_fill(0, 15, 0, 25, DrawMode::Set);
    EXPECT_EQ(lit_pixels(), "");
    lcd_fill(5, 15, 2, 25, DrawMode::Set);
    EXPECT_EQ(lit_pixels(), "");
    lcd_fill(0, 15, 2, 25, DrawMode::Set);
    EXPECT_EQ(frame_region(0, 14, 2, 26),
              "...\n"
              "##.\n##.\n##.\n##.\n##.\n##.\n##.\n##.\n##.\n##.\n##.\n"
              "...\n");
    lcd_clear();
    lcd_fill(109, 8, 114, 17, DrawMode::Set);
    EXPECT_TRUE(lcd_get_pixel(109, 8));
    EXPECT_TRUE(lcd_get_pixel(113, 17));
    EXPECT_FALSE(lcd_get_pixel(108, 8));
    EXPECT_FALSE(lcd_get_pixel(113, 18));
    // A fill reaching the last byte value ends without wrapping around.
    lcd_clear();
    lcd_fill(250, 0, 255, 0, DrawMode::Set);
    EXPECT_EQ(lit_pixels(), "");
}

// Thumb rows of the main menu's scroll bar, for 6 and 4 entries.
TEST_F(Primitives, ScrollBarThumbs) {
    const int six[6][2] = {{8, 17}, {17, 26}, {26, 35}, {35, 44}, {45, 54}, {54, 63}};
    for (int item = 0; item < 6; ++item) {
        lcd_clear();
        lcd_scroll_bar(static_cast<u8>(item), 6);
        for (int y = 8; y < 64; ++y) {
            EXPECT_TRUE(lcd_get_pixel(111, static_cast<u8>(y)));
            const bool thumb = y >= six[item][0] && y <= six[item][1];
            EXPECT_EQ(lcd_get_pixel(109, static_cast<u8>(y)), thumb) << item << " " << y;
            EXPECT_EQ(lcd_get_pixel(113, static_cast<u8>(y)), thumb) << item << " " << y;
        }
        EXPECT_FALSE(lcd_get_pixel(111, 7));
        EXPECT_FALSE(lcd_get_pixel(108, static_cast<u8>(six[item][0])));
    }
    const int four[4][2] = {{8, 22}, {22, 36}, {36, 50}, {50, 63}};
    for (int item = 0; item < 4; ++item) {
        lcd_clear();
        lcd_scroll_bar(static_cast<u8>(item), 4);
        for (int y = 8; y < 64; ++y) {
            const bool thumb = y >= four[item][0] && y <= four[item][1];
            EXPECT_EQ(lcd_get_pixel(110, static_cast<u8>(y)), thumb) << item << " " << y;
        }
    }
    // Entry 4 or 5 with 4 entries (Calibrate just cleared): thumb below the screen.
    lcd_clear();
    lcd_scroll_bar(5, 4);
    EXPECT_FALSE(lcd_get_pixel(110, 63));
}

TEST_F(Primitives, ShowPaintsEveryPixelAsATwoByTwoBlock) {
    FakeHost host;
    lcd_attach_canvas(host.lcd_canvas());
    lcd_pixel(0, 0, DrawMode::Set);
    lcd_pixel(113, 63, DrawMode::Set);
    lcd_show();
    auto at = [&](int x, int y) { return host.pixels[y * FakeHost::PICTURE_WIDTH + x]; };
    EXPECT_EQ(at(0, 0), LCD_BLACK);
    EXPECT_EQ(at(1, 1), LCD_BLACK);
    EXPECT_EQ(at(2, 0), FAKE_UNLIT);
    EXPECT_EQ(at(226, 126), LCD_BLACK);
    EXPECT_EQ(at(227, 127), LCD_BLACK);
    EXPECT_EQ(at(225, 127), FAKE_UNLIT);
    // The right-most column and the bottom rows are not the LCD's.
    EXPECT_EQ(at(228, 0), 0u);
    EXPECT_EQ(at(0, 128), 0u);

    lcd_clear();
    lcd_show();
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 228; ++x)
            ASSERT_EQ(at(x, y), FAKE_UNLIT) << x << "," << y;
}

// The picture is every frame buffer bit as a 2 x 2 block, for any pattern,
// also on a canvas too small for the whole LCD; a repeated picture leaves
// the canvas alone and counts as no change.
TEST_F(Primitives, ShowPaintsEveryBitAndCountsOnlyChangedPictures) {
    FakeHost host;
    u32 seed = 12345;
    for (int round = 0; round < 4; ++round) {
        for (u8& byte : frame_buffer) {
            seed = seed * 1103515245u + 12345u;
            byte = static_cast<u8>(seed >> 16);
        }
        lcd_attach_canvas(host.lcd_canvas());
        lcd_show();
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 228; ++x)
                ASSERT_EQ(host.pixels[y * FakeHost::PICTURE_WIDTH + x],
                          lcd_get_pixel(static_cast<u8>(x / 2), static_cast<u8>(y / 2))
                              ? LCD_BLACK
                              : FAKE_UNLIT)
                    << x << "," << y;
    }
    const u32 serial = lcd_picture_serial();
    host.pixels[0] = 7;  // not the instrument's: only a fresh attach repaints it
    lcd_show();
    EXPECT_EQ(lcd_picture_serial(), serial);
    EXPECT_EQ(host.pixels[0], 7u);
    lcd_attach_canvas(host.lcd_canvas());
    lcd_show();
    EXPECT_EQ(lcd_picture_serial(), serial);
    EXPECT_NE(host.pixels[0], 7u);
    frame_buffer[0] ^= 1;
    lcd_show();
    EXPECT_EQ(lcd_picture_serial(), serial + 1);

    // Another unlit colour (the desktop's changed): every unlit pixel takes it.
    const LcdCanvas recoloured{host.pixels.data(), FakeHost::PICTURE_WIDTH, FakeHost::PICTURE_WIDTH,
                               FakeHost::PICTURE_HEIGHT, [] { return 0xFF102030u; }};
    lcd_attach_canvas(&recoloured);
    lcd_show();
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 228; ++x) {
            if (lcd_get_pixel(static_cast<u8>(x / 2), static_cast<u8>(y / 2))) continue;
            ASSERT_EQ(host.pixels[y * FakeHost::PICTURE_WIDTH + x], 0xFF102030u) << x << "," << y;
        }
    }

    // 101 x 51: only whole blocks, the last at 49,24.
    std::vector<u32> small(101 * 51, 0);
    const LcdCanvas narrow{small.data(), 101, 101, 51, [] { return FAKE_UNLIT; }};
    lcd_attach_canvas(&narrow);
    lcd_show();
    EXPECT_EQ(small[49 * 101 + 99], lcd_get_pixel(49, 24) ? LCD_BLACK : FAKE_UNLIT);
    EXPECT_EQ(small[50 * 101 + 100], 0u);
    lcd_attach_canvas(nullptr);
}

}  // namespace
