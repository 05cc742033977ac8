// CHANNEL 1 / CHANNEL 2 SETUP: the channel's kind on the MODE line, then the
// lines of that kind. Settings are edited in place, so measurement follows
// every change from the next pass on; there is no cancel.
#include "firmware/core/keys.h"
#include "firmware/core/setting_names.h"
#include "firmware/core/settings.h"
#include "firmware/menus/channel_lines.h"
#include "firmware/menus/menu.h"
#include "firmware/menus/pages.h"

void page_channel_setup() {
    const u8 ch = edit_channel_index();
    const u8 s = menu_scroll_offset();

    menu_done_line();
    menu_title(ch == 0 ? " CHANNEL 1 " : " CHANNEL 2 ");

    // MODE serves every kind, so its editor lives with the temperature lines.
    menu_line(0, static_cast<u8>(1 - s),
              "MODE: ", name_of(CHANNEL_KIND_NAMES, static_cast<u8>(settings.channel_kind[ch])));
    edit_temperature_line(TemperatureLine::Mode, 1);

    // The kind is read after MODE's editor, so a new kind's lines show at once.
    u8 last = 1;
    switch (settings.channel_kind[ch]) {
        case ChannelKind::Pressure: last = draw_pressure_lines(s); break;
        case ChannelKind::Temperature: last = draw_temperature_lines(s); break;
        default: break;
    }

    if (pending_key != KeyNone) {
        switch (pending_key) {
            case KeyCentre:
                if (menu_cursor == 0) {
                    menu_cursor = ch == 0 ? 2 : 3;  // the channel's main-menu entry
                    current_page = page_main_menu;
                    menu_edit = 0;
                } else {
                    menu_edit = menu_edit == 1 ? 0 : 1;
                }
                break;
            default:
                // While a line is edited the lines themselves take the keys.
                if (menu_edit == 0) move_menu_cursor(pending_key, last);
                break;
        }
        pending_key = KeyNone;
    }

    // Lines only come and go below the line being edited, so the cursor
    // cannot fall off the list; this holds the list together even if the
    // record is changed behind the page's back.
    if (current_page == page_channel_setup && menu_cursor > last) {
        menu_cursor = last;
        menu_edit = 0;
    }
}
