#include "runtime/instrument.h"

#include "firmware/firmware.h"

static int running_depth;
static bool pass_took_key;
static u32 slider_positions[2];
static long message_points;

long instrument_message_points() { return message_points; }
const long* instrument_message_points_location() { return &message_points; }

// Every splash frame and every pass ends by letting the window handle its
// events; the count of these hand-overs places each event in time.
static void hand_over(Host& host) {
    ++message_points;
    host.process_messages();
}

bool last_pass_took_key() { return pass_took_key; }

int instrument_running_depth() { return running_depth; }

void request_power_off() { power_off_requested = 1; }

void press_key(KeyCode key) {
    if (pending_key == KeyNone) pending_key = key;
}

void set_input(u8 channel, u32 position) {
    slider_positions[channel == 0 ? 0 : 1] = position;
    if (channel == 0)
        input_a = position;
    else
        input_b = position;
}

u32 slider_position(u8 channel) { return slider_positions[channel == 0 ? 0 : 1]; }

void place_slider(u8 channel, u32 position) { slider_positions[channel == 0 ? 0 : 1] = position; }

void reset_all_state() {
    reset_firmware_state();
    slider_positions[0] = slider_positions[1] = 0;
}

// Each count is tested before it is raised, as the instrument does: the blink
// phase therefore changes every 11 ticks (1.1 s, not 1 s), a two-second step
// takes 20 ticks, and a channel of the single layout stays for its display
// time's number plus two of those steps (6 s for "1 s", 124 s for "60 s").
void tick() {
    const u8 old_blink = blink_count;
    blink_count = static_cast<u8>(old_blink + 1);
    if (old_blink > 9) {
        blink_count = 0;
        blink_phase = static_cast<u8>(1 - blink_phase);
    }

    const u8 old_tick = tick_count;
    tick_count = static_cast<u8>(old_tick + 1);
    if (old_tick < 19) return;
    tick_count = 0;

    // The dual screens ignore shown_channel, so the count keeps running there.
    if (settings.display_layout == DisplayLayout::Single &&
        settings.cycle_mode == CycleMode::Manual)
        return;

    const u8 old_cycle = auto_cycle_count;
    auto_cycle_count = static_cast<u8>(old_cycle + 1);
    const u8 index = settings.display_time_index;
    // An index the menu never produces is read as the longest time instead of
    // past the end of the table.
    const u8 limit =
        index < sizeof DISPLAY_TIMES ? DISPLAY_TIMES[index] : DISPLAY_TIMES[DISPLAY_TIME_LAST];
    if (!(old_cycle > limit)) return;
    shown_channel = shown_channel == 0 ? 1 : 0;
    auto_cycle_count = 0;
}

static void measure_channel(u8 channel) {
    const u8 bit = static_cast<u8>(1u << channel);
    switch (settings.channel_kind[channel]) {
        case ChannelKind::Off:
            alarm_active = static_cast<u8>(alarm_active & ~bit);
            alarm_acknowledged = static_cast<u8>(alarm_acknowledged & ~bit);
            break;
        case ChannelKind::Pressure:
            current_pressure_settings = &settings.pressure[channel];
            process_pressure_channel(channel);
            break;
        default:
            current_temperature_settings = &settings.temperature[channel];
            process_temperature_channel(channel);
            break;
    }
}

static bool unacknowledged(u8 bit) {
    return (alarm_active & bit) != 0 && (alarm_acknowledged & bit) == 0;
}

// An unacknowledged alarm flashes the lamp with the blink phase; otherwise it
// stays maroon. Channel 2 is looked at first, as the instrument does.
void update_alarm_lamp(Host& host) {
    if ((unacknowledged(2) || unacknowledged(1)) && blink_phase == 1) {
        alarm_lamp_on_hook();
        host.set_lamp_colour(LAMP_RED);
    } else {
        alarm_lamp_off_hook();
        host.set_lamp_colour(LAMP_MAROON);
    }
}

void run_pass(Host& host) {
    calibrate_enabled = host.calibrate_checked() ? 1 : 0;
    measure_channel(0);
    measure_channel(1);

    if (settings.backlight == 1)
        backlight_on_hook();
    else
        backlight_off_hook();

    update_alarm_lamp(host);

    key_step = host.keyfast_checked() ? KEY_STEP_FAST : 1;

    host.hide_lcd_picture();
    lcd_clear();
    pass_took_key = pending_key != KeyNone;
    if (current_page != nullptr) current_page();
    lcd_show();
    host.show_lcd_picture();
}

void run_pass_for_waiting_loop(Host& host) {
    run_pass(host);
    ++message_points;
}

// Two signed 8-bit positions: the maker's name slides in from the right,
// then the model designation from the left, centred on x2's 8-bit pattern.
static void splash(Host& host) {
    s8 x1 = 114;
    s8 x2 = -20;
    for (int frame = 0; frame < SPLASH_FRAMES; ++frame) {
        lcd_clear();
        text_normal_const(static_cast<u8>(x1), 5, "KVX AVIONICS", 1, DrawMode::Set, 0);
        if (x1 > 10) x1 = static_cast<s8>(x1 - 2);
        text_normal_centred_const(static_cast<u8>(x2), 28, "DG-2", 1, DrawMode::Set, 0);
        if (x1 < 88 && x2 < 57) x2 = static_cast<s8>(x2 + 2);
        text_small_centred_const(57, 56, SPLASH_ADDRESS, 100);
        text_small_const(85, 40, FIRMWARE_VERSION, 100);
        lcd_show();
        hand_over(host);
        // "OFF" ends the splash at once: no frame is drawn after it, so the
        // LCD keeps the picture it showed when "OFF" came.
        if (power_off_requested != 0) return;
    }
}

bool power_on_and_run(Host& host) {
    if (running_depth >= MAX_POWER_ON_DEPTH) return false;
    ++running_depth;
    lcd_attach_canvas(host.lcd_canvas());

    // The sliders keep their positions; the host hands them back to the
    // instrument after the power-on steps (power_on_inputs below).
    input_a = 0;
    input_b = 0;
    reset_maxima();
    load_factory_defaults();
    auto_cycle_count = 0;
    alarm_active = 0;
    alarm_acknowledged = 0;
    shown_channel = 0;
    calibrate_enabled = 0;
    pending_key = KeyNone;
    pass_took_key = false;
    // An "OFF" from before this power-on (the one that last stopped the
    // instrument) must not count as one given during the splash.
    power_off_requested = 0;

    splash(host);
    if (power_off_requested != 0) {
        // The instrument never came up: nothing of the rest of power-on
        // happens (a nested power-on that ran in the meantime keeps its
        // page and settings), but the inputs follow the sliders again, as
        // after every power-on.
        host.power_on_inputs();
        --running_depth;
        return true;
    }

    alarm_lamp_off_hook();
    current_page = page_run_screen;
    menu_cursor = 0;
    // The instrument keeps no calibration over a power cycle: every power-on
    // starts the 4-20 mA input from these nominal counts of 4 mA and 20 mA,
    // until CALIBRATE measures the real ones. They are no factory default
    // (load_factory_defaults leaves them) but set here, after the splash, so
    // a host's before_first_pass can still put a saved record's own in place.
    settings.cal_reading_4ma = 600;
    settings.cal_reading_20ma = 3200;
    host.power_on_inputs();
    host.before_first_pass();

    // The request stays set, so every power-on around a nested one ends as
    // well, none drawing another frame: a main loop at its next test, a
    // splash after the frame it had shown.
    while (power_off_requested == 0) {
        run_pass(host);
        hand_over(host);
    }
    --running_depth;
    return true;
}
