#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "firmware/lcd/lcd.h"
#include "tests/firmware/screens/gauge_drawing.h"
#include "tests/support/frame_text.h"

namespace {

using namespace gauge_drawing;

// Box of the pixels that differ between two frames; `area` counts them, so a
// solid rectangle has area == width * height.
struct Box {
    int x0 = 999, y0 = 999, x1 = -1, y1 = -1, area = 0;
    bool empty() const { return area == 0; }
    bool solid() const { return area == (x1 - x0 + 1) * (y1 - y0 + 1); }
};

Box difference(const Frame& a, const Frame& b) {
    Box box;
    for (int y = 0; y < LCD_HEIGHT; ++y)
        for (int x = 0; x < LCD_WIDTH; ++x) {
            const size_t i = static_cast<size_t>(y * (LCD_WIDTH + 1) + x);
            if (a[i] == b[i]) continue;
            ++box.area;
            box.x0 = std::min(box.x0, x);
            box.y0 = std::min(box.y0, y);
            box.x1 = std::max(box.x1, x);
            box.y1 = std::max(box.y1, y);
        }
    return box;
}

// The fill alone: the gauge with the value against the same gauge with the
// value at the bottom of its scale.
Box vertical_fill(Gauge g) {
    const Frame filled = vertical(g);
    g.value = g.top_scale == 0 ? 0 : g.span / 2;
    return difference(filled, vertical(g));
}

Box horizontal_fill(Gauge g) {
    const Frame filled = horizontal(g);
    g.value = INT_MIN;
    return difference(filled, horizontal(g));
}

std::string blank(int width, int height) {
    std::string out;
    for (int y = 0; y < height; ++y)
        out += std::string(static_cast<size_t>(width), '.') + "\n";
    return out;
}

bool lit(int x, int y) { return lcd_get_pixel(static_cast<u8>(x), static_cast<u8>(y)); }

class Gauges : public GaugeFixture {};

TEST_F(Gauges, VerticalRowsFollowTheSinglePrecisionScale) {
    Gauge g;
    // Top of the fill for each value; the fill always ends on row 60 and
    // spans columns 5..13 inside the frame.
    const struct {
        s32 value;
        int top_row;
    } cases[] = {{100, 2}, {50, 31}, {1, 60}, {101, 1}, {INT_MAX, 1}};
    for (const auto& c : cases) {
        g.value = c.value;
        const Box fill = vertical_fill(g);
        EXPECT_EQ(fill.y0, c.top_row) << c.value;
        EXPECT_EQ(fill.y1, 60) << c.value;
        EXPECT_EQ(fill.x0, 5) << c.value;
        EXPECT_EQ(fill.x1, 13) << c.value;
        EXPECT_TRUE(fill.solid()) << c.value;
    }
    // Over the span the fill starts on the frame's top row and clears it.
    g.value = 101;
    vertical(g);
    EXPECT_FALSE(lit(8, 1));
    EXPECT_TRUE(lit(4, 1));
    g.value = 0;
    vertical(g);
    EXPECT_EQ(frame_region(5, 2, 13, 60), blank(9, 59));
    g.value = -30;
    EXPECT_TRUE(vertical_fill(g).empty());
}

TEST_F(Gauges, VerticalTopScaleStartsAtHalfTheSpan) {
    Gauge g;
    g.top_scale = 1;
    const struct {
        s32 value;
        int top_row;  // 0: no fill
    } cases[] = {{50, 0}, {51, 59}, {75, 31}, {100, 2}, {40, 0}, {-7, 0}};
    for (const auto& c : cases) {
        g.value = c.value;
        lcd_clear();
        const Frame filled = vertical(g);
        g.value = 0;
        const Box fill = difference(filled, vertical(g));
        if (c.top_row == 0) {
            EXPECT_TRUE(fill.empty()) << c.value;
        } else {
            EXPECT_EQ(fill.y0, c.top_row) << c.value;
            EXPECT_EQ(fill.y1, 60) << c.value;
        }
    }
}

TEST_F(Gauges, HorizontalColumnsFollowTheSinglePrecisionScale) {
    Gauge g;
    const struct {
        s32 value;
        int last_column;  // 0: no fill
    } cases[] = {{100, 111}, {101, 112}, {1, 0}, {2, 1}, {-5, 0}, {INT_MIN, 0}, {INT_MAX, 112}};
    for (const auto& c : cases) {
        g.value = c.value;
        const Box fill = horizontal_fill(g);
        if (c.last_column == 0) {
            EXPECT_TRUE(fill.empty()) << c.value;
            continue;
        }
        EXPECT_EQ(fill.x0, 1) << c.value;
        EXPECT_EQ(fill.x1, c.last_column) << c.value;
        EXPECT_EQ(fill.y0, 49) << c.value;
        EXPECT_EQ(fill.y1, 52) << c.value;
        EXPECT_TRUE(fill.solid()) << c.value;
    }

    g.top_scale = 1;
    const struct {
        s32 value;
        int last_column;
    } top_cases[] = {{50, 0}, {20, 0}, {51, 1}, {75, 55}, {100, 111}};
    for (const auto& c : top_cases) {
        g.value = c.value;
        const Box fill = horizontal_fill(g);
        if (c.last_column == 0)
            EXPECT_TRUE(fill.empty()) << c.value;
        else
            EXPECT_EQ(fill.x1, c.last_column) << c.value;
    }
}

TEST_F(Gauges, OddSpanInTopScaleOverrunsTheFrame) {
    Gauge g;
    g.span = 101;
    g.top_scale = 1;
    g.value = 101;  // P is 115: the fill runs through the right edge and off the screen
    const Box fill = horizontal_fill(g);
    horizontal(g);
    EXPECT_EQ(fill.x0, 1);
    EXPECT_EQ(fill.x1, 113);
    EXPECT_TRUE(fill.solid());
    EXPECT_FALSE(lit(113, 49));  // the frame's right edge is inverted away
    EXPECT_TRUE(lit(113, 47));

    // Span 3: the value at the span lands at twice the length (column 226);
    // the fill still ends at the screen's edge.
    g.span = 3;
    g.value = 3;
    const Box wide = horizontal_fill(g);
    EXPECT_EQ(wide.x0, 1);
    EXPECT_EQ(wide.x1, 113);
    EXPECT_TRUE(wide.solid());
}

TEST_F(Gauges, AlarmFlashesTheFillWithTheBlinkPhase) {
    Gauge g;
    g.value = 80;
    g.high_alarm = 70;
    for (u8 on : {u8{1}, u8{0}}) {
        g.high_alarm_on = on;
        for (u8 phase : {u8{0}, u8{1}}) {
            blink_phase = phase;
            const bool drawn = on == 0 || phase == 1;
            EXPECT_EQ(!vertical_fill(g).empty(), drawn) << int(on) << int(phase);
            EXPECT_EQ(!horizontal_fill(g).empty(), drawn) << int(on) << int(phase);
        }
    }
    // Below an enabled low limit flashes too; a switch of 2 is not "on".
    g = Gauge{};
    g.value = 10;
    g.low_alarm = 15;
    g.low_alarm_on = 1;
    blink_phase = 0;
    EXPECT_TRUE(vertical_fill(g).empty());
    EXPECT_TRUE(horizontal_fill(g).empty());
    g.low_alarm_on = 2;
    EXPECT_FALSE(vertical_fill(g).empty());
    EXPECT_FALSE(horizontal_fill(g).empty());
}

TEST_F(Gauges, AlarmMarksSitOnTheScaleAndShowAsGapsInTheFill) {
    Gauge g;
    g.low_alarm = 15;  // row 52
    g.low_alarm_on = 1;
    g.high_alarm = 80;  // row 14
    g.high_alarm_on = 1;
    vertical(g);
    for (int x = 1; x <= 17; ++x) {
        EXPECT_TRUE(lit(x, 52)) << x;
        EXPECT_TRUE(lit(x, 14)) << x;
    }
    EXPECT_FALSE(lit(0, 52));
    EXPECT_FALSE(lit(18, 52));

    g.value = 50;  // fill rows 31..60 crosses the low mark
    vertical(g);
    EXPECT_FALSE(lit(8, 52));
    EXPECT_TRUE(lit(8, 51));
    EXPECT_TRUE(lit(2, 52));   // outside the fill the mark stays
    EXPECT_TRUE(lit(14, 52));  // the fill stops one short of the right edge

    // Horizontal: columns 16 (15 x 113 / 100 = 16.95) and 90, rows 46..54.
    g.value = 0;
    horizontal(g);
    for (int y = 46; y <= 54; ++y) {
        EXPECT_TRUE(lit(16, y)) << y;
        EXPECT_TRUE(lit(90, y)) << y;
    }
    EXPECT_FALSE(lit(16, 45));
    g.value = 50;
    horizontal(g);
    EXPECT_FALSE(lit(16, 50));
    EXPECT_TRUE(lit(16, 47));
}

TEST_F(Gauges, LowAlarmAtZeroAndMarksOffTheScreen) {
    Gauge g;
    g.low_alarm = 0;
    g.low_alarm_on = 1;
    Gauge off = g;
    off.low_alarm_on = 0;
    // Vertical: not above the bottom of the scale, so no mark and no label.
    EXPECT_EQ(vertical(g), vertical(off));
    // Horizontal: drawn whatever its value, at column 0 under the left tick.
    horizontal(g);
    for (int y = 46; y <= 54; ++y)
        EXPECT_TRUE(lit(0, y)) << y;
    g.low_alarm = 1;
    horizontal(g);
    for (int y = 46; y <= 54; ++y)
        EXPECT_TRUE(lit(1, y)) << y;

    // Temperature span 150 in top-scale mode, limit -40: column -173, which
    // as a byte would be column 83.
    g.span = 150;
    g.top_scale = 1;
    g.low_alarm = -40;
    off = g;
    off.low_alarm_on = 0;
    EXPECT_EQ(horizontal(g), horizontal(off));
    EXPECT_FALSE(lit(83, 46));

    // A limit far above the span lies above row 0 of a vertical gauge and
    // beyond column 113 of a horizontal one.
    g = Gauge{};
    g.high_alarm_on = 1;
    off = g;
    off.high_alarm_on = 0;
    for (s32 limit : {250, 500, 330, INT_MAX}) {
        g.high_alarm = limit;
        EXPECT_EQ(vertical(g), vertical(off)) << limit;
        EXPECT_EQ(horizontal(g), horizontal(off)) << limit;
    }
}

TEST_F(Gauges, MaximumPointers) {
    Gauge g;
    g.maximum = 50;  // row 31, column 56
    vertical(g);
    for (int x = 3; x <= 14; ++x)
        EXPECT_TRUE(lit(x, 31)) << x;
    EXPECT_EQ(frame_region(0, 28, 2, 34),
              "...\n"
              "#..\n"
              "##.\n"
              "###\n"
              "##.\n"
              "#..\n"
              "...\n");
    // Drawn after the fill: the line stays lit across it.
    g.value = 80;
    vertical(g);
    for (int x = 5; x <= 13; ++x)
        EXPECT_TRUE(lit(x, 31)) << x;

    g.value = 0;
    horizontal(g);
    EXPECT_EQ(frame_region(54, 44, 58, 46),
              "#####\n"
              ".###.\n"
              "..#..\n");
    for (int y = 46; y <= 54; ++y)
        EXPECT_TRUE(lit(56, y)) << y;
    // Drawn before the fill: the fill cuts a gap into the pointer line.
    g.value = 80;
    horizontal(g);
    EXPECT_FALSE(lit(56, 49));
    EXPECT_TRUE(lit(56, 48));

    // Over the span: at the top row and at the end, the triangle clipped.
    g.value = 0;
    g.maximum = 1000;
    vertical(g);
    EXPECT_TRUE(lit(0, 0));
    EXPECT_TRUE(lit(0, 3));
    EXPECT_FALSE(lit(0, 4));
    horizontal(g);
    EXPECT_EQ(frame_region(109, 44, 113, 46),
              "..###\n"
              "...##\n"
              "....#\n");

    // Below the bottom of the scale: no pointer.
    g.top_scale = 1;
    g.maximum = 49;
    Gauge none = g;
    none.maximum = INT_MIN;
    EXPECT_EQ(vertical(g), vertical(none));
    EXPECT_EQ(horizontal(g), horizontal(none));
}

TEST_F(Gauges, RangeOfZeroOrBelowDrawsOnlyFrameTicksAndLabels) {
    Gauge bare;
    Gauge busy;
    busy.value = 5;
    busy.low_alarm = 0;
    busy.low_alarm_on = 1;
    busy.high_alarm = 3;
    busy.high_alarm_on = 1;
    busy.maximum = 5;
    // Span 1 in top-scale mode (range 0), and temperature spans of 0 and -40.
    for (s32 span : {1, 0, -40}) {
        for (u8 top_scale : {u8{1}, u8{0}}) {
            if (span == 1 && top_scale == 0) continue;  // a real scale
            bare.span = busy.span = span;
            bare.top_scale = busy.top_scale = top_scale;
            bare.value = INT_MIN;
            for (u8 phase : {u8{0}, u8{1}}) {
                blink_phase = phase;
                EXPECT_EQ(vertical(busy), vertical(bare)) << span << " " << int(top_scale);
                EXPECT_EQ(horizontal(busy), horizontal(bare)) << span << " " << int(top_scale);
            }
            vertical(busy);
            EXPECT_TRUE(lit(3, 1));    // frame corner
            EXPECT_TRUE(lit(17, 1));   // top tick
            EXPECT_TRUE(lit(17, 61));  // bottom tick
            horizontal(busy);
            EXPECT_TRUE(lit(0, 44));    // left tick
            EXPECT_TRUE(lit(113, 44));  // right tick
            EXPECT_TRUE(lit(50, 54));   // frame bottom
        }
    }
}

TEST_F(Gauges, ExtremeValuesOnAFineScaleStayDefined) {
    // Span 1 gives 58 pixel steps per unit: positions of values near the s32
    // limits lie far beyond any int the conversion could hold.
    Gauge g;
    g.span = 1;
    g.low_alarm_on = 1;
    g.high_alarm_on = 1;
    for (s32 v : {INT_MIN, INT_MIN + 1, -1, INT_MAX}) {
        g.value = v;
        g.maximum = v;
        g.low_alarm = v;
        g.high_alarm = v;
        vertical(g);
        horizontal(g, 10, 80);
    }
    g.value = INT_MAX;
    g.maximum = INT_MAX;
    g.low_alarm = INT_MAX;
    g.high_alarm = INT_MIN;
    blink_phase = 1;
    vertical(g);
    EXPECT_TRUE(lit(8, 1));  // the pointer over the full bar
    g.maximum = 0;
    vertical(g);
    EXPECT_FALSE(lit(8, 1));  // full bar
    EXPECT_TRUE(lit(8, 60));
    g.high_alarm_on = 0;
    g.low_alarm_on = 0;
    g.value = INT_MIN;
    g.maximum = INT_MIN;
    Gauge plain = g;
    g.high_alarm_on = 1;
    g.low_alarm_on = 1;
    g.high_alarm = INT_MAX;
    g.low_alarm = INT_MIN;
    blink_phase = 1;
    EXPECT_EQ(horizontal(g), horizontal(plain));
}

}  // namespace
