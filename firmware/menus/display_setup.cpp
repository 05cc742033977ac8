#include <cstdio>

#include "firmware/core/hooks.h"
#include "firmware/core/keys.h"
#include "firmware/core/setting_limits.h"
#include "firmware/core/setting_names.h"
#include "firmware/core/settings.h"
#include "firmware/lcd/lcd.h"
#include "firmware/lcd/text.h"
#include "firmware/menus/menu.h"
#include "firmware/menus/pages.h"

// DISP SETUP never scrolls: every line has its own row, and the lines that
// only matter for the single layout are appended below BAR when they apply.
namespace {

constexpr u8 LINE_DONE = 0;
constexpr u8 LINE_CONTRAST = 1;
constexpr u8 LINE_BACKLIGHT = 2;
constexpr u8 LINE_LAYOUT = 3;
constexpr u8 LINE_BAR = 4;
constexpr u8 LINE_MODE = 5;
constexpr u8 LINE_TIME = 6;

// Unknown codes in the record read as the factory choice (dual, vertical,
// manual), the way the run screens and the tick read them.
bool single_layout() { return settings.display_layout == DisplayLayout::Single; }
bool horizontal_bars() { return settings.bar_orientation == BarOrientation::Horizontal; }
bool auto_cycle() { return settings.cycle_mode == CycleMode::Auto; }

u8 last_line() {
    if (!single_layout()) return LINE_BAR;
    return auto_cycle() ? LINE_TIME : LINE_MODE;
}

// An index the menu never produces shows the longest time, which is what the
// tick uses for it.
u8 display_time_seconds() {
    const u8 index = settings.display_time_index;
    return DISPLAY_TIMES[index <= DISPLAY_TIME_LAST ? index : DISPLAY_TIME_LAST];
}

void change_line(u8 line, bool forward) {
    switch (line) {
        case LINE_BACKLIGHT:
            if (settings.backlight == 1) {
                settings.backlight = 0;
                backlight_off_hook();
            } else {
                settings.backlight = 1;
                backlight_on_hook();
            }
            break;
        case LINE_LAYOUT:
            settings.display_layout = single_layout() ? DisplayLayout::Dual : DisplayLayout::Single;
            break;
        case LINE_BAR:
            settings.bar_orientation =
                horizontal_bars() ? BarOrientation::Vertical : BarOrientation::Horizontal;
            break;
        case LINE_MODE:
            settings.cycle_mode = auto_cycle() ? CycleMode::Manual : CycleMode::Auto;
            break;
        case LINE_TIME: {
            u8& index = settings.display_time_index;
            if (forward)
                index = index >= DISPLAY_TIME_LAST ? 0 : static_cast<u8>(index + 1);
            else
                index = index == 0 || index > DISPLAY_TIME_LAST ? DISPLAY_TIME_LAST
                                                                : static_cast<u8>(index - 1);
            break;
        }
        default: break;
    }
}

void centre_key() {
    if (menu_edit == 1) {
        menu_edit = 0;
        return;
    }
    switch (menu_cursor) {
        case LINE_DONE:
            menu_cursor = 1;  // back on the main menu's DISPLAY SETUP entry
            current_page = page_main_menu;
            menu_edit = 0;
            break;
        case LINE_CONTRAST:
            menu_cursor = 0;
            return_page = page_display_setup;
            current_page = page_contrast;
            break;
        default:
            if (menu_cursor <= LINE_TIME) menu_edit = 1;
            break;
    }
}

}  // namespace

void page_display_setup() {
    menu_title(" DISP SETUP ");
    // Unlike the other pages, DONE starts at x 8 here, one pixel left of centre.
    text_normal_const(8, 8, "*** DONE ***", 0, DrawMode::Set, menu_cursor == LINE_DONE ? 1 : 0);
    text_normal_const(0, 16, "ADJ CONTRAST", 0, DrawMode::Set,
                      menu_cursor == LINE_CONTRAST ? 1 : 0);
    menu_line(0, LINE_BACKLIGHT, "BACKLIGHT: ", OFF_ON_NAMES[settings.backlight == 1 ? 1 : 0]);
    if (!single_layout()) {
        menu_line(0, LINE_LAYOUT, "DISP: ", "DUAL");
    } else {
        menu_line(0, LINE_LAYOUT, "DISP: ", "SINGLE");
        if (!auto_cycle()) {
            menu_line(0, LINE_MODE, "MODE: ", "MANUAL");
        } else {
            menu_line(0, LINE_MODE, "MODE: ", "AUTO");
            char text[MENU_TEXT_SIZE];
            std::snprintf(text, sizeof text, "%dS", display_time_seconds());
            menu_line(0, LINE_TIME, "DISP TIME: ", text);
        }
    }
    // "HORIZONTAL" needs the label's blank to fit the 14-character line.
    if (horizontal_bars())
        menu_line(0, LINE_BAR, "BAR:", "HORIZONTAL");
    else
        menu_line(0, LINE_BAR, "BAR: ", "VERTICAL");

    // Clockwise and the left key ("{") step values forward; in the list they
    // move the cursor down and up respectively.
    switch (pending_key) {
        case KeyCentre: centre_key(); break;
        case KeyClockwise:
        case KeyLeft:
        case KeyAnticlockwise:
        case KeyRight:
            if (menu_edit == 1)
                change_line(menu_cursor, pending_key == KeyClockwise || pending_key == KeyLeft);
            else
                move_menu_cursor(pending_key, last_line());
            break;
        default: break;
    }
    pending_key = KeyNone;
}
