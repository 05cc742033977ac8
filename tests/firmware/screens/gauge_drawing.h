// The gauge drawings the gauge tests share: a gauge's settings, the two bars
// drawn alone on a cleared screen, and the fixture that gives them a
// pressure channel in bar.
#pragma once

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "app/headless/fake_host.h"
#include "firmware/core/run_state.h"
#include "firmware/lcd/lcd.h"
#include "firmware/measure/measure.h"
#include "firmware/screens/gauges.h"
#include "tests/support/frame_text.h"

namespace gauge_drawing {

using Frame = std::string;

struct Gauge {
    s32 value = 0;
    s32 span = 100;
    u8 top_scale = 0;
    s32 low_alarm = 0;
    u8 low_alarm_on = 0;
    s32 high_alarm = 0;
    u8 high_alarm_on = 0;
    s32 maximum = INT_MIN;  // below every bottom: no pointer
    LabelFormat format = LabelFormat::Whole;
};

// The large pressure geometry: x 0, width 15, top 1.
inline Frame vertical(const Gauge& g, u8 x = 0, u8 width = 15, u8 top = 1) {
    lcd_clear();
    gauge_bar_vertical(g.value, g.span, g.top_scale, g.low_alarm, g.low_alarm_on, g.high_alarm,
                       g.high_alarm_on, g.maximum, x, width, top, g.format);
    return frame_to_text();
}

// The large-screen geometry: y 44, length 113.
inline Frame horizontal(const Gauge& g, u8 y = 44, u8 length = 113) {
    lcd_clear();
    gauge_bar_horizontal(g.value, g.span, g.top_scale, g.low_alarm, g.low_alarm_on, g.high_alarm,
                         g.high_alarm_on, g.maximum, y, length, g.format);
    return frame_to_text();
}

class GaugeFixture : public ::testing::Test {
protected:
    void SetUp() override {
        reset_all_state();
        pressure.unit = PressureUnit::Bar;
        current_pressure_settings = &pressure;
    }
    PressureChannelSettings pressure{};
};

}  // namespace gauge_drawing
