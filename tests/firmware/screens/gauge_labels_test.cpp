// The scale labels of the gauges, by pressure unit and by label format.
#include <gtest/gtest.h>

#include <string>

#include "firmware/lcd/text.h"
#include "tests/firmware/screens/gauge_drawing.h"
#include "tests/support/frame_text.h"

namespace {

using namespace gauge_drawing;

class GaugeLabels : public GaugeFixture {};

// The scale labels need the tiny and normal fonts: compare the gauge's
// label area with the text drawn directly at the expected place.
Frame text_alone(void (*draw)()) {
    lcd_clear();
    draw();
    return frame_to_text();
}

TEST_F(GaugeLabels, LabelsByPressureUnit) {
    Gauge g;
    g.span = 55;
    g.format = LabelFormat::ByPressureUnit;
    vertical(g);
    const std::string top = frame_region(19, 0, 40, 4);
    const std::string bottom = frame_region(19, 59, 40, 63);
    ASSERT_NE(top.find('#'), std::string::npos) << "labels need the tiny font";
    text_alone([] {
        text_tiny(19, 1, "5.5", 0);
        text_tiny(19, 60, "0.0", 0);
    });
    EXPECT_EQ(top, frame_region(19, 0, 40, 4));
    EXPECT_EQ(bottom, frame_region(19, 59, 40, 63));

    g.top_scale = 1;
    vertical(g);
    const std::string half = frame_region(19, 59, 40, 63);
    text_alone([] { text_tiny(19, 60, "2.7", 0); });
    EXPECT_EQ(half, frame_region(19, 59, 40, 63));

    // Psi prints whole numbers, and so does the Whole format in any unit.
    pressure.unit = PressureUnit::Psi;
    g.top_scale = 0;
    vertical(g);
    const std::string psi = frame_region(19, 0, 40, 4);
    text_alone([] { text_tiny(19, 1, "55", 0); });
    EXPECT_EQ(psi, frame_region(19, 0, 40, 4));
    pressure.unit = PressureUnit::Bar;
    g.format = LabelFormat::Whole;
    vertical(g);
    EXPECT_EQ(psi, frame_region(19, 0, 40, 4));
}

TEST_F(GaugeLabels, HorizontalRightLabelCentring) {
    Gauge g;
    g.format = LabelFormat::ByPressureUnit;
    pressure.unit = PressureUnit::Psi;
    horizontal(g);  // "100", centred on 103
    const std::string three = frame_region(0, 56, 113, 63);
    ASSERT_NE(three.find('#'), std::string::npos) << "labels need the normal font";
    text_alone([] {
        text_normal(0, 56, "0", 0, DrawMode::Set, 0);
        text_normal_centred(103, 56, "100", 0, DrawMode::Set, 0);
    });
    EXPECT_EQ(three, frame_region(0, 56, 113, 63));

    pressure.unit = PressureUnit::Bar;
    horizontal(g);  // "10.0", centred on 99
    const std::string four = frame_region(0, 56, 113, 63);
    text_alone([] {
        text_normal(0, 56, "0.0", 0, DrawMode::Set, 0);
        text_normal_centred(99, 56, "10.0", 0, DrawMode::Set, 0);
    });
    EXPECT_EQ(four, frame_region(0, 56, 113, 63));
}

}  // namespace
