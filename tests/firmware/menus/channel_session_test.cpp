// A whole session through the window's controls: channel 2 gets a USER
// temperature curve of two points, entered in the curve editor, and the run
// screen then measures with it.
#include <gtest/gtest.h>

#include <string>

#include "app/headless/fake_host.h"
#include "firmware/firmware.h"
#include "tests/support/frame_text.h"

namespace {

// Schedules one control action per main-loop pass, the way a user clicks.
struct Script {
    FakeHost& host;
    int pass = 1;
    void then(FakeHost::Action action) { host.after_pass(pass++, std::move(action)); }
    void click(KeyCode key, int times = 1) {
        for (int i = 0; i < times; ++i)
            then([key](FakeHost& h) { h.click(key); });
    }
};

TEST(ChannelSession, UserTemperatureCurveEnteredInTheEditorDrivesTheRunScreen) {
    reset_all_state();
    FakeHost host;
    Script s{host};

    // Inputs inside every alarm limit first, so no key is spent on an
    // acknowledgement: 5.8 bar on channel 1, 74 |C on channel 2.
    s.then([](FakeHost& h) {
        h.slider(0, 300);
        h.slider(1, 350);
    });
    s.then([](FakeHost&) { EXPECT_EQ(alarm_active, 0); });
    s.click(KeyCentre);  // run screen -> main menu
    s.click(KeyClockwise, 3);
    s.click(KeyCentre);  // CHANNEL 2 SETUP
    s.then([](FakeHost& h) {
        EXPECT_EQ(current_page, page_channel_setup);
        EXPECT_EQ(edit_channel, 1);
        h.click(KeyClockwise);
    });
    s.click(KeyClockwise);  // SENDER
    s.click(KeyCentre);
    s.click(KeyClockwise, 2);  // VDO -> LM335 -> USER
    s.click(KeyCentre);
    s.click(KeyClockwise);  // CAL SENDER
    s.click(KeyCentre);
    s.then([](FakeHost& h) {
        EXPECT_EQ(settings.temperature[1].sender, TemperatureSender::User);
        EXPECT_EQ(current_page, page_sender_curve);
        EXPECT_EQ(curve_work.point_count, 10u);
        h.click(KeyClockwise);  // POINTS
    });
    s.click(KeyCentre);
    s.click(KeyClockwise);  // 10 -> 2
    s.click(KeyCentre);
    s.click(KeyClockwise, 3);  // DISPLAY 2, the second point's value (50)
    s.then([](FakeHost& h) {
        h.keyfast = true;
        h.click(KeyCentre);
    });
    s.click(KeyClockwise, 4);  // 50 -> 90 in steps of 10
    s.then([](FakeHost& h) {
        h.keyfast = false;
        h.click(KeyCentre);
    });
    s.then([](FakeHost& h) {
        // Still only the working copy.
        EXPECT_EQ(settings.temperature[1].user_curve.point_count, 10u);
        EXPECT_EQ(curve_work.points[1].value, 90);
        h.click(KeyAnticlockwise);
    });
    s.click(KeyAnticlockwise, 3);
    s.click(KeyCentre);  // *** DONE ***: store and back to CAL SENDER
    s.then([](FakeHost& h) {
        EXPECT_EQ(current_page, page_channel_setup);
        EXPECT_EQ(menu_cursor, 3);
        h.click(KeyAnticlockwise);
    });
    s.click(KeyAnticlockwise, 2);
    s.click(KeyCentre);  // back to the main menu, on CHANNEL 2 SETUP
    s.click(KeyAnticlockwise, 3);
    s.click(KeyCentre);  // EXIT
    s.then([](FakeHost& h) { h.slider(1, 420); });
    s.then([](FakeHost&) {});
    s.then([](FakeHost& h) {
        EXPECT_EQ(current_page, page_run_screen);
        const SenderCurve& c = settings.temperature[1].user_curve;
        EXPECT_EQ(c.point_count, 2u);
        EXPECT_EQ(c.points[0].value, 10);
        EXPECT_EQ(c.points[0].reading, 2250u);
        EXPECT_EQ(c.points[1].value, 90);
        EXPECT_EQ(c.points[1].reading, 724u);
        // 420 lies below the second point, so the one segment is extended:
        // 10 + 80 * (2250 - 420) / (2250 - 724) = 105.94, which the
        // instrument cuts to 105.9 and rounds to 106. The factory ten-point
        // curve would give about 67 here.
        EXPECT_EQ(raw_reading[1], 420u);
        EXPECT_EQ(temperature_value[1], 106);
        // The dual screen shows it in channel 2's half: "%3d" in double
        // height, centred on x 99 at y 35.
        const std::string shown = frame_region(80, 35, 113, 50);
        EXPECT_NE(shown.find('#'), std::string::npos);
        lcd_clear();
        text_normal_centred(99, 35, "106", 1, DrawMode::Set, 0);
        EXPECT_EQ(shown, frame_region(80, 35, 113, 50));
        h.off();
    });

    host.power_on();
    EXPECT_EQ(host.calls, SPLASH_FRAMES + s.pass - 1);
}

}  // namespace
