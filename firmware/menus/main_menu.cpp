#include "firmware/core/hooks.h"
#include "firmware/core/keys.h"
#include "firmware/core/run_state.h"
#include "firmware/core/settings.h"
#include "firmware/lcd/lcd.h"
#include "firmware/lcd/text.h"
#include "firmware/menus/menu.h"
#include "firmware/menus/pages.h"
#include "firmware/screens/screens.h"

namespace {

// One entry on the screen at a time: a 32 x 32 icon on the left and a
// double-height caption centred on column 73. A caption without a second
// line sits between the two rows instead.
struct MainMenuEntry {
    const char* upper;
    const char* lower;  // nullptr: one line at y 26
    u8 icon;
};

constexpr MainMenuEntry MAIN_MENU_ENTRIES[] = {
    {"EXIT", "MENU", ICON_EXIT},          {"DISPLAY", "SETUP", ICON_DISPLAY},
    {"CHANNEL 1", "SETUP", ICON_CHANNEL}, {"CHANNEL 2", "SETUP", ICON_CHANNEL},
    {"ADC", "VALUES", ICON_ADC},          {"CALIBRATE", nullptr, ICON_CALIBRATE},
};
constexpr u8 MAIN_MENU_COUNT = sizeof MAIN_MENU_ENTRIES / sizeof MAIN_MENU_ENTRIES[0];

// The last two entries are service entries, offered while "Calibrate" is ticked.
constexpr u8 MAIN_MENU_COUNT_USER = 4;

void open_channel_setup(u8 channel) {
    edit_channel = channel;
    edit_pressure = &settings.pressure[channel];
    edit_temperature = &settings.temperature[channel];
    current_page = page_channel_setup;
}

void open_entry(u8 entry) {
    switch (entry) {
        case 0:
            current_page = page_run_screen;
            page_leave_hook();
            break;
        case 1: current_page = page_display_setup; break;
        case 2: open_channel_setup(0); break;
        case 3: open_channel_setup(1); break;
        case 4: current_page = page_adc_values; break;
        case 5: current_page = page_calibrate; break;
        default: return;
    }
    // Every page opens on its "*** DONE ***" line.
    menu_cursor = 0;
    menu_edit = 0;
}

}  // namespace

void page_main_menu() {
    const u8 count = calibrate_enabled == 1 ? MAIN_MENU_COUNT : MAIN_MENU_COUNT_USER;
    menu_title(" MAIN MENU ");
    // Unticking "Calibrate" on entry 4 or 5 leaves the cursor there: the entry
    // stays on the screen and the thumb, sized for four entries, drops below
    // the bottom edge.
    lcd_scroll_bar(menu_cursor, count);
    if (menu_cursor < MAIN_MENU_COUNT) {
        const MainMenuEntry& entry = MAIN_MENU_ENTRIES[menu_cursor];
        if (entry.lower != nullptr) {
            text_normal_centred_const(73, 18, entry.upper, 1, DrawMode::Set, 0);
            text_normal_centred_const(73, 36, entry.lower, 1, DrawMode::Set, 0);
        } else {
            text_normal_centred_const(73, 26, entry.upper, 1, DrawMode::Set, 0);
        }
        lcd_icon(entry.icon);
    }

    const u8 last = static_cast<u8>(count - 1);
    switch (pending_key) {
        case KeyCentre: open_entry(menu_cursor); break;
        default: move_menu_cursor(pending_key, last); break;
    }
    pending_key = KeyNone;
}
