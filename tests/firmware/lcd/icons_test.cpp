// Icon art and lcd_icon: where each icon is read from and drawn to, how it
// overwrites what was there, and the shapes' extents.
#include <gtest/gtest.h>

#include <string>

#include "app/headless/fake_host.h"
#include "firmware/lcd/lcd.h"
#include "firmware/lcd/text.h"
#include "tests/support/frame_text.h"

namespace {

class Icons : public ::testing::Test {
protected:
    void SetUp() override { reset_all_state(); }
};

// Where the instrument's icon copy reads each icon and the page it starts on.
constexpr int SOURCE[8] = {0, 32, 64, 96, 512, 544, 576, 608};
constexpr int FIRST_PAGE[8] = {2, 2, 2, 1, 2, 2, 2, 2};

// Pixel (x, y) of icon `index` straight from the sheets.
bool sheet_pixel(int index, int x, int y) {
    return (IconSheet[SOURCE[index] + (y / 8) * 128 + x] >> (y % 8)) & 1;
}

TEST_F(Icons, CopiesWholeBytesFromItsSheetOffsetToItsPages) {
    for (u8 index = 0; index < 8; ++index) {
        for (u8& b : frame_buffer)
            b = 0xA5;
        lcd_icon(index);
        for (int page = 0; page < 8; ++page)
            for (int x = 0; x < LCD_WIDTH; ++x) {
                const int r = page - FIRST_PAGE[index];
                const bool inside = r >= 0 && r < 4 && x >= 4 && x < 36;
                const u8 expected = inside ? IconSheet[SOURCE[index] + r * 128 + x - 4] : 0xA5;
                ASSERT_EQ(frame_buffer[page * LCD_WIDTH + x], expected)
                    << "icon " << int(index) << " page " << page << " x " << x;
            }
    }
}

TEST_F(Icons, SheetsHoldFourIconsSideBySide) {
    // The same icon read through lcd_icon and straight from its place in the
    // two-sheet layout, pixel for pixel.
    for (u8 index = 0; index < 8; ++index) {
        lcd_clear();
        lcd_icon(index);
        const int sheet = index / 4, left = (index % 4) * 32;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const bool in_sheet =
                    (IconSheet[sheet * 512 + (y / 8) * 128 + left + x] >> (y % 8)) & 1;
                ASSERT_EQ(lcd_get_pixel(static_cast<u8>(4 + x),
                                        static_cast<u8>(FIRST_PAGE[index] * 8 + y)),
                          in_sheet)
                    << "icon " << int(index) << " at " << x << "," << y;
            }
    }
}

TEST_F(Icons, IconWipesEarlierDrawingAndLaterTextShowsOverIt) {
    text_normal(4, 16, "WIPE", 1, DrawMode::Set, 0);  // columns 4..35, rows 16..31
    lcd_icon(ICON_MESSAGE);
    std::string icon_only = frame_to_text();
    lcd_clear();
    lcd_icon(ICON_MESSAGE);
    EXPECT_EQ(frame_to_text(), icon_only);

    text_normal(4, 40, "OK", 0, DrawMode::Set, 1);
    EXPECT_EQ(frame_buffer[5 * LCD_WIDTH + 4 + 7], 0xFF);  // the inverse cell's blank column
}

TEST_F(Icons, IndexBeyondTheSheetsDrawsNothing) {
    for (u8 index : {u8{8}, u8{100}, u8{255}}) {
        lcd_icon(index);
        for (u8 b : frame_buffer)
            ASSERT_EQ(b, 0) << int(index);
    }
}

struct Extent {
    int left = 99, right = -1, top = 99, bottom = -1;
};

Extent extent(int index) {
    Extent e;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (sheet_pixel(index, x, y)) {
                e.left = std::min(e.left, x);
                e.right = std::max(e.right, x);
                e.top = std::min(e.top, y);
                e.bottom = std::max(e.bottom, y);
            }
    return e;
}

TEST_F(Icons, RingsSpanTheCellAndOtherPicturesKeepSideMargins) {
    // Exit and question mark: rings on rows 0..30; the message's on 1..31.
    for (int index : {ICON_EXIT, ICON_QUESTION, ICON_MESSAGE}) {
        const Extent e = extent(index);
        EXPECT_EQ(e.left, 0) << index;
        EXPECT_EQ(e.right, 31) << index;
        const int top = index == ICON_MESSAGE ? 1 : 0;
        EXPECT_EQ(e.top, top) << index;
        EXPECT_EQ(e.bottom, top + 30) << index;
        // A ring, not a disc: its centre is open around the symbol.
        EXPECT_FALSE(sheet_pixel(index, 5, top + 15)) << index;
        EXPECT_FALSE(sheet_pixel(index, 26, top + 15)) << index;
    }
    for (int index : {ICON_CALIBRATE, ICON_CHANNEL, ICON_ADC, ICON_ADJUST, ICON_DISPLAY}) {
        const Extent e = extent(index);
        EXPECT_GE(e.left, 1) << index;
        EXPECT_LE(e.right, 30) << index;
        EXPECT_GT(e.right - e.left, 20) << index;  // still a full-size picture
    }
}

}  // namespace
