// CALIBRATE: teaches the 4-20mA input its two reference counts. The captures
// always come from channel 1's input, whatever the channels are set up as;
// the two counts then serve a 4-20mA sender on either channel.
#include "firmware/core/hooks.h"
#include "firmware/core/keys.h"
#include "firmware/core/settings.h"
#include "firmware/lcd/text.h"
#include "firmware/measure/measure.h"
#include "firmware/menus/menu.h"
#include "firmware/menus/pages.h"

namespace {

constexpr u8 LAST_LINE = 2;
constexpr u8 CALIBRATE_ENTRY = 5;  // main-menu entry of this page

// The capture is stored at once; MESSAGE only confirms it and comes back
// here with the cursor still on the line that did it.
void capture(u32& reference) {
    reference = raw_reading[0];
    return_page = page_calibrate;
    current_page = page_message;
}

}  // namespace

void page_calibrate() {
    menu_title(" CALIBRATE ");
    menu_done_line();
    text_normal_const(0, 16, "CH1 4mA CAL", 0, DrawMode::Set, menu_cursor == 1 ? 1 : 0);
    text_normal_const(0, 24, "CH1 20mA CAL", 0, DrawMode::Set, menu_cursor == 2 ? 1 : 0);

    if (pending_key == KeyNone) return;
    switch (pending_key) {
        case KeyCentre:
            if (menu_cursor == 0) {
                menu_cursor = CALIBRATE_ENTRY;
                current_page = page_main_menu;
                page_leave_hook();
            } else if (menu_cursor == 1) {
                capture(settings.cal_reading_4ma);
            } else if (menu_cursor == 2) {
                capture(settings.cal_reading_20ma);
            }
            break;
        default: move_menu_cursor(pending_key, LAST_LINE); break;
    }
    pending_key = KeyNone;
}
