// The kind-specific lines of the channel setup page and the small helpers
// its line editors share. Lines are numbered in the order they are drawn;
// every line is handed to its editor right after it is drawn, so the lines
// below it already show what the editor changed in the same pass.
#pragma once

#include "firmware/core/keys.h"
#include "firmware/core/setting_names.h"
#include "firmware/core/types.h"
#include "firmware/menus/menu.h"
#include "firmware/menus/pages.h"

// Both draw their lines from list index 2 on (after "*** DONE ***" and MODE)
// with the page's scroll offset, and return the index of their last line.
u8 draw_pressure_lines(u8 scroll);
u8 draw_temperature_lines(u8 scroll);

// Knob clockwise and the up key raise a value; anticlockwise and the down key
// lower it.
inline bool key_raises(KeyCode key) { return key == KeyClockwise || key == KeyLeft; }
inline bool key_lowers(KeyCode key) { return key == KeyAnticlockwise || key == KeyRight; }

// One step through a list of codes 0..last with wrap. A code outside the
// list (only a damaged record holds one) steps to an end of the list.
inline u8 step_code(u8 code, u8 last, bool up) {
    if (up) return code >= last ? 0 : static_cast<u8>(code + 1);
    return code == 0 || code > last ? last : static_cast<u8>(code - 1);
}

// Switches are on only at 1, so anything else reads and toggles as off.
inline u8 toggle_switch(u8 value) { return value == 1 ? 0 : 1; }
inline const char* off_on_name(u8 value) { return OFF_ON_NAMES[value == 1 ? 1 : 0]; }

// The centre key on CAL SENDER: a USER sender opens the curve editor on a copy
// of the channel's curve; the key is taken whatever the sender.
inline void cal_sender_key(bool user_sender, const SenderCurve& curve, u8 is_temperature) {
    if (user_sender) {
        menu_cursor = 0;
        curve_is_temperature = is_temperature;
        curve_work = curve;
        current_page = page_sender_curve;
    }
    pending_key = KeyNone;
}

// The channel whose page is open, as an index that is always in range.
inline u8 edit_channel_index() { return edit_channel == 0 ? 0 : 1; }
