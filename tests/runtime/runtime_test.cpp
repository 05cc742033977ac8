// Power cycle, main loop, one-pending-key rule, lamp and tick, run headless
// through the scripted host.
#include <gtest/gtest.h>

#include "app/headless/fake_host.h"
#include "firmware/firmware.h"

namespace {

class Runtime : public ::testing::Test {
protected:
    void SetUp() override { reset_all_state(); }
};

int pages_seen;
void counting_page() {
    ++pages_seen;
    pending_key = KeyNone;
}
KeyCode key_seen;
void recording_page() {
    key_seen = pending_key;
    pending_key = KeyNone;
}

TEST_F(Runtime, PowerOnResetsInOrderThenRunsTheSplashAndTheRunScreen) {
    // Left over from a previous power cycle.
    input_a = 2000;
    input_b = 1234;
    pressure_value[0] = 55;
    temperature_value[1] = 99;
    alarm_active = 3;
    alarm_acknowledged = 1;
    shown_channel = 1;
    auto_cycle_count = 7;
    calibrate_enabled = 1;
    pending_key = KeyCentre;
    menu_cursor = 4;
    settings.temperature[0].lm335_offset = 5;

    FakeHost host;
    bool checked_in_splash = false;
    host.at(1, [&](FakeHost&) {
        checked_in_splash = true;
        EXPECT_EQ(input_a, 0u);
        EXPECT_EQ(input_b, 0u);
        EXPECT_EQ(pressure_max[0], 55);  // maxima take the values of the last cycle
        EXPECT_EQ(temperature_max[1], 99);
        EXPECT_EQ(hook_counts.maxima_reset, 1u);
        EXPECT_EQ(settings.contrast, 37);  // defaults loaded before the splash
        EXPECT_EQ(settings.temperature[0].lm335_offset, 5);
        EXPECT_EQ(alarm_active, 0);
        EXPECT_EQ(alarm_acknowledged, 0);
        EXPECT_EQ(shown_channel, 0);
        EXPECT_EQ(auto_cycle_count, 0);
        EXPECT_EQ(calibrate_enabled, 0);
        EXPECT_EQ(pending_key, KeyNone);
        // Not yet: these follow the splash.
        EXPECT_EQ(settings.cal_reading_4ma, 0u);
        EXPECT_EQ(current_page, nullptr);
        EXPECT_EQ(hook_counts.alarm_lamp_off, 0u);
        EXPECT_EQ(menu_cursor, 4);
    });
    host.at(SPLASH_FRAMES, [&](FakeHost&) {
        EXPECT_EQ(current_page, nullptr);
        EXPECT_TRUE(host.lamp_history.empty());  // no pass has run yet
    });
    host.after_pass(1, [&](FakeHost& h) {
        EXPECT_EQ(settings.cal_reading_4ma, 600u);
        EXPECT_EQ(settings.cal_reading_20ma, 3200u);
        EXPECT_EQ(current_page, page_run_screen);
        EXPECT_EQ(menu_cursor, 0);
        // Once after the splash, once in the first pass (the lamp is dark).
        EXPECT_EQ(hook_counts.alarm_lamp_off + hook_counts.alarm_lamp_on, 2u);
        EXPECT_EQ(h.lamp_history.size(), 1u);
        h.off();
    });
    host.power_on();
    EXPECT_TRUE(checked_in_splash);
    EXPECT_EQ(host.calls, SPLASH_FRAMES + 1);
    EXPECT_EQ(instrument_running_depth(), 0);
    // The picture is hidden and shown once per pass, never during the splash.
    EXPECT_EQ(host.hides, 1);
    EXPECT_EQ(host.shows, 1);
}

// Power-on zeroes the inputs; the host then hands back the sliders'
// positions, so the first pass reads what the sliders show, in every power
// cycle.
TEST_F(Runtime, SlidersKeepTheirPositionsAcrossPowerCycles) {
    FakeHost host;
    host.slider(0, 2000);
    host.at(1, [](FakeHost&) { EXPECT_EQ(input_a, 0u); });  // during the splash
    host.after_pass(1, [](FakeHost& h) {
        EXPECT_EQ(input_a, 2000u);
        EXPECT_EQ(raw_reading[0], 2000u);
        h.slider(1, 4096);
        h.off();
    });
    host.power_on();
    FakeHost again;
    again.after_pass(1, [](FakeHost& h) {
        EXPECT_EQ(raw_reading[0], 2000u);
        EXPECT_EQ(raw_reading[1], 4096u);
        h.off();
    });
    again.power_on();
}

// An "OFF" during the splash keeps the instrument down and ends the splash
// there; the "OFF" that ended the previous power cycle does not count as one.
TEST_F(Runtime, OffDuringTheSplashIsHonoured) {
    FakeHost host;
    host.at(10, [](FakeHost& h) { h.off(); });
    host.power_on();
    EXPECT_EQ(host.calls, 10);
    EXPECT_EQ(instrument_running_depth(), 0);
    FakeHost again;
    again.after_pass(3, [](FakeHost& h) { h.off(); });
    again.power_on();
    EXPECT_EQ(again.calls, SPLASH_FRAMES + 3);
}

// "ON" nests up to MAX_POWER_ON_DEPTH; one more is ignored and the running
// power-ons are untouched.
TEST_F(Runtime, OnNestsOnlyToItsCap) {
    FakeHost host;
    bool refused = true;
    for (int depth = 1; depth < MAX_POWER_ON_DEPTH; ++depth)
        host.at(depth, [](FakeHost& h) { h.power_on(); });
    host.at(MAX_POWER_ON_DEPTH, [&](FakeHost& h) {
        EXPECT_EQ(instrument_running_depth(), MAX_POWER_ON_DEPTH);
        refused = !power_on_and_run(h);
        EXPECT_EQ(instrument_running_depth(), MAX_POWER_ON_DEPTH);
        h.off();
    });
    host.power_on();
    EXPECT_TRUE(refused);
    EXPECT_EQ(instrument_running_depth(), 0);
}

TEST_F(Runtime, OnWhileOnNestsAndOneOffEndsBothLoops) {
    FakeHost host;
    int inner_depth = 0;
    host.after_pass(2, [](FakeHost& h) { h.power_on(); });  // nested "ON"
    // Inner splash: calls 83..162; inner pass 1 ends with call 163.
    host.at(SPLASH_FRAMES + 2 + SPLASH_FRAMES + 1, [&](FakeHost& h) {
        inner_depth = instrument_running_depth();
        h.off();
    });
    host.power_on();
    EXPECT_EQ(inner_depth, 2);
    EXPECT_EQ(instrument_running_depth(), 0);
    // The outer loop saw the same request and ended without another pass.
    EXPECT_EQ(host.calls, SPLASH_FRAMES + 2 + SPLASH_FRAMES + 1);
}

TEST_F(Runtime, OnePendingKeyAtATimeAndTheNextPassSeesIt) {
    FakeHost host;
    host.after_pass(1, [](FakeHost& h) {
        current_page = recording_page;
        h.click(KeyCentre);
        h.click(KeyRight);  // dropped: the centre key still waits
        EXPECT_EQ(pending_key, KeyCentre);
    });
    host.after_pass(2, [](FakeHost& h) {
        EXPECT_EQ(key_seen, KeyCentre);
        EXPECT_EQ(pending_key, KeyNone);
        h.click(KeyAnticlockwise);
    });
    host.after_pass(3, [](FakeHost& h) {
        EXPECT_EQ(key_seen, KeyAnticlockwise);
        h.off();
    });
    host.power_on();

    // While off, clicks still set the key; power-on clears it.
    press_key(KeyLeft);
    EXPECT_EQ(pending_key, KeyLeft);
}

TEST_F(Runtime, APassTellsTheHostWhetherItTookAKey) {
    FakeHost host;
    host.after_pass(1, [](FakeHost& h) {
        EXPECT_FALSE(last_pass_took_key());
        current_page = recording_page;
        h.click(KeyLeft);
    });
    host.after_pass(2, [](FakeHost&) { EXPECT_TRUE(last_pass_took_key()); });
    host.after_pass(3, [](FakeHost& h) {
        EXPECT_FALSE(last_pass_took_key());
        h.off();
    });
    host.power_on();
}

TEST_F(Runtime, EveryPageClearsUnknownKeyCodes) {
    // Codes above 5 never come from the window, but whatever page is current
    // must not let one outlive the pass.
    FakeHost host;
    host.after_pass(1, [](FakeHost&) { pending_key = static_cast<KeyCode>(200); });
    host.after_pass(2, [](FakeHost& h) {
        EXPECT_EQ(pending_key, KeyNone);
        h.off();
    });
    host.power_on();
}

TEST_F(Runtime, PassCallsTheCurrentPageOnAClearedFrame) {
    FakeHost host;
    host.after_pass(1, [](FakeHost&) {
        pages_seen = 0;
        current_page = counting_page;
        lcd_pixel(3, 3, DrawMode::Set);
    });
    host.after_pass(3, [](FakeHost& h) { h.off(); });
    host.power_on();
    EXPECT_EQ(pages_seen, 2);
    EXPECT_FALSE(lcd_get_pixel(3, 3));
    EXPECT_EQ(host.pixels[3 * 2 * FakeHost::PICTURE_WIDTH + 6], FAKE_UNLIT);
}

// A host may run the loop's next turn itself while the loop waits in its
// message processing (the page, at a tick on a steady screen).
TEST_F(Runtime, APassRunForTheWaitingLoopIsOneTurnOfIt) {
    FakeHost host;
    host.after_pass(1, [](FakeHost& h) {
        pages_seen = 0;
        current_page = counting_page;
        const long points = instrument_message_points();
        run_pass_for_waiting_loop(h);
        EXPECT_EQ(pages_seen, 1);
        EXPECT_EQ(*instrument_message_points_location(), points + 1);
        h.off();
    });
    host.power_on();
}

TEST_F(Runtime, CheckBoxesAreReadEveryPass) {
    FakeHost host;
    host.after_pass(1, [](FakeHost& h) {
        EXPECT_EQ(calibrate_enabled, 0);
        EXPECT_EQ(key_step, 1);
        h.calibrate = true;
        h.keyfast = true;
    });
    host.after_pass(2, [](FakeHost& h) {
        EXPECT_EQ(calibrate_enabled, 1);
        EXPECT_EQ(key_step, 10);
        h.keyfast = false;
    });
    host.after_pass(3, [](FakeHost& h) {
        EXPECT_EQ(key_step, 1);
        h.off();
    });
    host.power_on();
}

TEST_F(Runtime, LampFlashesOnlyForUnacknowledgedAlarmsInTheLitPhase) {
    FakeHost host;
    struct Case {
        u8 active, acknowledged, phase;
        u32 colour;
    };
    const Case cases[] = {
        {0, 0, 1, LAMP_MAROON}, {1, 0, 1, LAMP_RED},    {1, 0, 0, LAMP_MAROON},
        {2, 0, 1, LAMP_RED},    {1, 1, 1, LAMP_MAROON}, {3, 1, 1, LAMP_RED},
        {3, 2, 1, LAMP_RED},    {3, 3, 1, LAMP_MAROON}, {2, 3, 1, LAMP_MAROON},
    };
    for (const Case& c : cases) {
        alarm_active = c.active;
        alarm_acknowledged = c.acknowledged;
        blink_phase = c.phase;
        const u32 on_before = hook_counts.alarm_lamp_on;
        update_alarm_lamp(host);
        EXPECT_EQ(host.lamp, c.colour) << int(c.active) << int(c.acknowledged) << int(c.phase);
        EXPECT_EQ(hook_counts.alarm_lamp_on - on_before, c.colour == LAMP_RED ? 1u : 0u);
    }
}

TEST_F(Runtime, ChannelsSwitchedOffClearTheirAlarmBitsAndTheLampStaysMaroon) {
    FakeHost host;
    host.after_pass(1, [](FakeHost&) {
        settings.channel_kind[0] = ChannelKind::Off;
        settings.channel_kind[1] = ChannelKind::Off;
        alarm_active = 3;
        alarm_acknowledged = 2;
        blink_phase = 1;
    });
    host.after_pass(2, [](FakeHost& h) {
        EXPECT_EQ(alarm_active, 0);
        EXPECT_EQ(alarm_acknowledged, 0);
        EXPECT_EQ(h.lamp, LAMP_MAROON);
        h.off();
    });
    host.power_on();
}

TEST_F(Runtime, BacklightHookFollowsTheSettingEveryPass) {
    FakeHost host;
    host.after_pass(1, [](FakeHost&) {
        hook_counts.backlight_on = hook_counts.backlight_off = 0;
        settings.backlight = 0;
    });
    host.after_pass(3, [](FakeHost& h) {
        EXPECT_EQ(hook_counts.backlight_off, 2u);
        EXPECT_EQ(hook_counts.backlight_on, 0u);
        h.off();
    });
    host.power_on();
}

TEST_F(Runtime, BlinkPhaseChangesEveryElevenTicks) {
    int changes_at[3] = {};
    int found = 0;
    u8 last = blink_phase;
    for (int t = 1; t <= 33 && found < 3; ++t) {
        tick();
        if (blink_phase != last) changes_at[found++] = t;
        last = blink_phase;
    }
    EXPECT_EQ(changes_at[0], 11);
    EXPECT_EQ(changes_at[1], 22);
    EXPECT_EQ(changes_at[2], 33);
}

// Ticks until shown_channel changes, from a fresh count.
int ticks_until_channel_changes(int limit) {
    const u8 start = shown_channel;
    for (int t = 1; t <= limit; ++t) {
        tick();
        if (shown_channel != start) return t;
    }
    return -1;
}

TEST_F(Runtime, AutomaticAlternationAfterTPlusTwoSteps) {
    settings.display_layout = DisplayLayout::Single;
    settings.cycle_mode = CycleMode::Auto;
    const int expected_seconds[7] = {6, 10, 14, 24, 34, 64, 124};
    for (u8 i = 0; i < 7; ++i) {
        settings.display_time_index = i;
        tick_count = 0;
        auto_cycle_count = 0;
        EXPECT_EQ(ticks_until_channel_changes(2000), expected_seconds[i] * 10) << int(i);
        EXPECT_EQ(auto_cycle_count, 0);
        // And again from there, the same period.
        EXPECT_EQ(ticks_until_channel_changes(2000), expected_seconds[i] * 10) << int(i);
    }
}

TEST_F(Runtime, SingleManualStopsTheAlternationAndDualKeepsCounting) {
    settings.display_time_index = 0;
    settings.display_layout = DisplayLayout::Single;
    settings.cycle_mode = CycleMode::Manual;
    EXPECT_EQ(ticks_until_channel_changes(500), -1);
    EXPECT_EQ(auto_cycle_count, 0);

    settings.display_layout = DisplayLayout::Dual;
    tick_count = 0;
    EXPECT_EQ(ticks_until_channel_changes(500), 60);
}

TEST_F(Runtime, AStrayDisplayTimeIndexNeverReadsPastTheTable) {
    settings.display_layout = DisplayLayout::Single;
    settings.cycle_mode = CycleMode::Auto;
    settings.display_time_index = 200;
    EXPECT_EQ(ticks_until_channel_changes(2000), 1240);
}

}  // namespace
