// The instrument's power cycle and main loop, and the effects of the window's
// controls, free of any toolkit. The window's handlers call these.
#pragma once

#include "firmware/core/keys.h"
#include "firmware/core/types.h"
#include "runtime/host.h"

// How deep "ON" while on may nest. Each nested power-on runs inside a
// message point of the one around it and so holds its stack; past this depth
// an "ON" is ignored.
constexpr int MAX_POWER_ON_DEPTH = 8;

// "ON": power-on sequence, splash, then the main loop until "OFF". Returns
// when power_off_requested is set; nested calls (ON while on) nest. One "OFF"
// ends every level, splash or main loop, and none draws another frame after
// it: an "OFF" during the splash ends it there and the main loop never starts.
// Returns false, having done nothing, when MAX_POWER_ON_DEPTH power-ons are
// already running.
bool power_on_and_run(Host& host);

// "OFF" (also used when the window closes while the instrument is on).
void request_power_off();

// Key areas and knob buttons: sets pending_key unless an event is waiting.
void press_key(KeyCode key);

// Sliders: the new position becomes the channel's input.
void set_input(u8 channel, u32 position);

// The position a channel's slider was last given through set_input or
// place_slider (0 at program start). Power-on zeroes the input, not this: a
// host without slider widgets of its own hands it back in power_on_inputs.
u32 slider_position(u8 channel);
// Where a slider stands when the window opens: its position, not a move, so
// the input stays untouched until the slider moves or power-on hands it over.
void place_slider(u8 channel, u32 position);

// Every global of the firmware and the runtime as at program start, for
// tests, benchmarks and fuzzers between cases. The nesting depth of running
// power-ons and the count of message points are left alone: the first is
// only ever unwound by the power-ons themselves, the second counts from
// program start by definition (recordings place events by differences of it).
void reset_all_state();

// The 100 ms tick: blink phase and the automatic channel alternation.
void tick();

// One pass of the main loop (measure, lamp, draw, show), without the message
// processing that ends a pass. For benchmarks and tests.
void run_pass(Host& host);

// The next turn of the main loop, run by a host on the loop's behalf while
// the loop waits in the host's message processing with nothing to do: the
// pass and the count of the hand-over that ends it. The host then does what
// its message processing does at the start of a hand-over; the loop, once it
// wakes, goes on from there as if it had run the turn itself.
void run_pass_for_waiting_loop(Host& host);

// Whether the latest pass found a key waiting. Its page drew before acting on
// the key, so the host runs the next pass without waiting to show the effect.
bool last_pass_took_key();

// Sets the lamp from the alarm masks and the blink phase (part of a pass).
void update_alarm_lamp(Host& host);

// Nesting depth of power_on_and_run: 0 while the instrument is off.
int instrument_running_depth();

// How many times the instrument has handed over to the window's message
// processing since the program started (one per splash frame and per pass,
// nested power-ons included). A recording places events by it.
long instrument_message_points();
// Where that count is kept. A host that compares the instrument's memory
// before and after a pass leaves it out: it moves at every pass, and nothing
// in the instrument reads it.
const long* instrument_message_points_location();

constexpr int SPLASH_FRAMES = 80;
// The maker's web address shown on the splash screen (17 characters).
constexpr char SPLASH_ADDRESS[] = "WWW.KVXGAUGES.COM";
constexpr char FIRMWARE_VERSION[] = "1.16";
