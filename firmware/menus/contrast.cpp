#include "firmware/core/hooks.h"
#include "firmware/core/keys.h"
#include "firmware/core/setting_limits.h"
#include "firmware/core/settings.h"
#include "firmware/lcd/lcd.h"
#include "firmware/lcd/text.h"
#include "firmware/menus/menu.h"
#include "firmware/menus/pages.h"
#include "firmware/screens/screens.h"

void page_contrast() {
    menu_title(" CONTRAST ");
    lcd_fill(0, 15, static_cast<u8>(2 * settings.contrast), 25, DrawMode::Set);
    lcd_rect(0, 15, 113, 25, DrawMode::Set);
    text_normal_centred_const(57, 40, "USE { } OR ~", 0, DrawMode::Set, 0);
    text_normal_centred_const(57, 48, "TO ADJUST THE", 0, DrawMode::Set, 0);
    text_normal_centred_const(57, 56, "CONTRAST", 0, DrawMode::Set, 0);

    // The contrast stops at its ends and moves by one whatever "KeyFast" says.
    // The hook runs after every adjusting key, even at an end, so the
    // hardware is always told the current value.
    switch (pending_key) {
        case KeyCentre:
            // Back on DISP SETUP this is its "ADJ CONTRAST" line.
            menu_cursor = 1;
            // Without a page to go back to the instrument would hang here.
            current_page = return_page != nullptr ? return_page : page_run_screen;
            page_leave_hook();
            break;
        case KeyClockwise:
        case KeyLeft:
            if (settings.contrast < CONTRAST_MAX) ++settings.contrast;
            contrast_changed_hook();
            break;
        case KeyAnticlockwise:
        case KeyRight:
            if (settings.contrast > 0) --settings.contrast;
            contrast_changed_hook();
            break;
        default: break;
    }
    pending_key = KeyNone;
}
