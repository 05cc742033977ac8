// The power-on splash: 80 frames of sliding texts, checked frame by frame
// through the fake host, which runs actions right after each frame's
// lcd_show.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>

#include "app/headless/fake_host.h"
#include "firmware/firmware.h"
#include "runtime/instrument.h"
#include "tests/support/frame_text.h"

namespace {

class Splash : public ::testing::Test {
protected:
    void SetUp() override { reset_all_state(); }

    // Powers on, records the frames asked for, and switches off after the
    // first pass of the main loop.
    std::map<int, std::string> run(std::initializer_list<int> frames) {
        std::map<int, std::string> seen;
        for (int f : frames)
            host.at(f, [&seen, f](FakeHost&) { seen[f] = frame_to_text(); });
        host.after_pass(1, [](FakeHost& h) { h.off(); });
        host.power_on();
        return seen;
    }

    FakeHost host;
};

// Leftmost lit column within rows y0..y1, or -1.
int leftmost(int y0, int y1) {
    for (int x = 0; x < LCD_WIDTH; ++x)
        for (int y = y0; y <= y1; ++y)
            if (lcd_get_pixel(static_cast<u8>(x), static_cast<u8>(y))) return x;
    return -1;
}
int rightmost(int y0, int y1) {
    for (int x = LCD_WIDTH - 1; x >= 0; --x)
        for (int y = y0; y <= y1; ++y)
            if (lcd_get_pixel(static_cast<u8>(x), static_cast<u8>(y))) return x;
    return -1;
}

TEST_F(Splash, FinalFrame) {
    host.at(SPLASH_FRAMES, [](FakeHost&) {
        EXPECT_TRUE(matches_golden("splash/final_frame"));
        // Name cells 10..105 on rows 5..20: 'K' starts with a full column and
        // the last 'S' ends on column 6 of its cell.
        EXPECT_EQ(leftmost(5, 20), 10);
        EXPECT_EQ(rightmost(5, 20), 10 + 11 * 8 + 6);
        EXPECT_EQ(frame_region(0, 0, 113, 4), frame_region(0, 21, 113, 25));  // blank bands
        // "DG-2" in cells 42..73, rows 28..43.
        EXPECT_EQ(leftmost(28, 38), 42);
        EXPECT_EQ(rightmost(28, 38), 42 + 3 * 8 + 6);
        // The web address centred on 57: 17 cells of 6 from x 6, glyph rows 56..62.
        EXPECT_EQ(leftmost(56, 63), 6);
        EXPECT_EQ(rightmost(56, 63), 6 + 16 * 6 + 4);
        EXPECT_EQ(frame_region(0, 63, 113, 63), std::string(114, '.') + "\n");
    });
    host.after_pass(1, [](FakeHost& h) { h.off(); });
    host.power_on();
    EXPECT_EQ(host.calls, SPLASH_FRAMES + 1);
}

TEST_F(Splash, ModelDesignationStartsToMoveAfterTheFourteenthFrame) {
    // The name, drawn at 114 - 2 (f - 1), passes 88 when its position is
    // updated in frame 14; "DG-2" is drawn at x2 = -18 from frame 15 on, its
    // cells still all off the left edge (from 222).
    const auto frames = run({14, 15, 16, 20, 21});
    // Frames 14 and 15 differ only by the name's slide of two columns.
    lcd_clear();
    text_normal_const(88, 5, "KVX AVIONICS", 1, DrawMode::Set, 0);
    text_small_centred_const(57, 56, SPLASH_ADDRESS, 100);
    text_small_const(85, 40, FIRMWARE_VERSION, 100);
    EXPECT_EQ(frames.at(14), frame_to_text());
    lcd_clear();
    text_normal_const(86, 5, "KVX AVIONICS", 1, DrawMode::Set, 0);
    text_small_centred_const(57, 56, SPLASH_ADDRESS, 100);
    text_small_const(85, 40, FIRMWARE_VERSION, 100);
    EXPECT_EQ(frames.at(15), frame_to_text());
    ASSERT_TRUE(matches_golden("splash/frame_15"));

    // Frame 21 draws "DG-2" centred on -6 (250): its cells start at 234, so
    // the '2' stands in columns 2..9 and only the '2' shows.
    std::istringstream rows(frames.at(21));
    std::string row;
    for (int y = 0; y < 28; ++y)
        std::getline(rows, row);
    std::string dg2_band;
    for (int y = 28; y <= 43 && std::getline(rows, row); ++y)
        dg2_band += row.substr(0, 12) + "\n";
    lcd_clear();
    text_normal(2, 28, "2", 1, DrawMode::Set, 0);
    EXPECT_EQ(dg2_band, frame_region(0, 28, 11, 43));
}

TEST_F(Splash, NameSlidesTwoColumnsAFrameAndRestsAtTen) {
    for (int f = 1; f <= SPLASH_FRAMES; ++f)
        host.at(f, [f](FakeHost&) {
            const int x1 = std::max(114 - 2 * (f - 1), 10);
            EXPECT_EQ(leftmost(5, 20), x1 < LCD_WIDTH ? x1 : -1) << "frame " << f;
        });
    host.after_pass(1, [](FakeHost& h) { h.off(); });
    host.power_on();
}

TEST_F(Splash, LastTwentyEightFramesAreTheStillPicture) {
    const auto frames = run({52, 53, 66, 80});
    EXPECT_NE(frames.at(52), frames.at(53));
    EXPECT_EQ(frames.at(53), frames.at(66));
    EXPECT_EQ(frames.at(53), frames.at(80));
}

// "OFF" during the splash: the splash runs out, no pass runs, and the LCD
// keeps the splash's last frame.
TEST_F(Splash, OffDuringTheSplashKeepsItsLastFrameShown) {
    std::string at_off;
    host.at(10, [&at_off](FakeHost& h) {
        at_off = frame_to_text();
        h.off();
    });
    host.power_on();
    EXPECT_EQ(host.calls, 10);
    EXPECT_EQ(host.hides, 0);
    EXPECT_EQ(frame_to_text(), at_off);
}

}  // namespace
