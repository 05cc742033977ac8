#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/headless/fake_host.h"
#include "firmware/firmware.h"
#include "tests/support/frame_text.h"

namespace {

// A user's way through the menus on a powered instrument: from the run
// screen into DISPLAY SETUP, the single layout with automatic alternation
// every second, and back to watch the run screen alternate.
TEST(MenuWalk, SingleAutoLayoutAlternatesTheShownChannel) {
    reset_all_state();
    FakeHost host;
    // Sliders where both channels read inside their alarm limits, so the
    // first key is not taken as an alarm acknowledgement.
    u8 alarms_at_start = 0xFF;
    host.at(1, [](FakeHost& h) {
        h.slider(0, 250);
        h.slider(1, 300);
    });
    host.after_pass(1, [&](FakeHost&) { alarms_at_start = alarm_active; });

    // One key per pass, each seen by the page of the following pass.
    const KeyCode keys[] = {
        KeyCentre,         // run screen -> main menu, EXIT MENU
        KeyClockwise,      // DISPLAY SETUP
        KeyCentre,         // open it, on DONE
        KeyClockwise,      // ADJ CONTRAST
        KeyClockwise,      // BACKLIGHT
        KeyClockwise,      // DISP
        KeyCentre,         // edit
        KeyClockwise,      // DUAL -> SINGLE
        KeyCentre,         // done editing
        KeyClockwise,      // BAR
        KeyClockwise,      // MODE, reachable now
        KeyCentre,         // edit
        KeyClockwise,      // MANUAL -> AUTO
        KeyCentre,         // done editing
        KeyClockwise,      // DISP TIME, reachable now
        KeyCentre,         // edit: 3 S by default
        KeyAnticlockwise,  // 1 S
        KeyCentre,         // done editing
        KeyLeft,          KeyLeft, KeyLeft, KeyLeft, KeyLeft, KeyLeft,  // back to DONE
        KeyCentre,         // main menu, on DISPLAY SETUP
        KeyAnticlockwise,  // EXIT MENU
        KeyCentre,         // run screen
    };
    const int key_count = static_cast<int>(sizeof keys / sizeof keys[0]);
    for (int i = 0; i < key_count; ++i) {
        const KeyCode key = keys[i];
        host.after_pass(i + 1, [key](FakeHost& h) { h.click(key); });
    }

    // Spot checks along the way, taken after the pass has drawn.
    PageHandler page_after_open = nullptr;
    host.after_pass(2, [&](FakeHost&) { page_after_open = current_page; });
    u8 last_line = 0;
    host.after_pass(16, [&](FakeHost&) { last_line = menu_cursor; });

    // Back on the run screen: 6 s of ticks per change of channel.
    const int home = key_count + 2;
    std::vector<int> shown;
    PageHandler page_at_home = nullptr;
    std::string first_channel_frame, second_channel_frame;
    host.after_pass(home, [&](FakeHost& h) {
        page_at_home = current_page;
        first_channel_frame = frame_to_text();
        shown.push_back(shown_channel);
        h.ticks(59);
        shown.push_back(shown_channel);
        h.ticks(1);
        shown.push_back(shown_channel);
        h.ticks(59);
        shown.push_back(shown_channel);
        h.ticks(1);
        shown.push_back(shown_channel);
        h.ticks(60);
        shown.push_back(shown_channel);
    });
    host.after_pass(home + 1, [&](FakeHost& h) {
        second_channel_frame = frame_to_text();
        h.off();
    });
    host.power_on();

    EXPECT_EQ(alarms_at_start, 0);
    EXPECT_EQ(page_after_open, page_main_menu);
    EXPECT_EQ(last_line, 6);
    EXPECT_EQ(settings.display_layout, DisplayLayout::Single);
    EXPECT_EQ(settings.cycle_mode, CycleMode::Auto);
    EXPECT_EQ(settings.display_time_index, 0);
    EXPECT_EQ(settings.bar_orientation, BarOrientation::Vertical);
    EXPECT_EQ(settings.backlight, 1);
    EXPECT_EQ(page_at_home, page_run_screen);
    EXPECT_EQ(hook_counts.page_leave, 1u);
    EXPECT_EQ(shown, (std::vector<int>{0, 0, 1, 1, 0, 1}));
    // The single layout shows one channel at a time, so the screen changes
    // with the shown channel.
    EXPECT_NE(first_channel_frame, second_channel_frame);
}

}  // namespace
