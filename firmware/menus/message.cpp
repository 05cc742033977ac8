#include "firmware/core/keys.h"
#include "firmware/lcd/lcd.h"
#include "firmware/lcd/text.h"
#include "firmware/menus/menu.h"
#include "firmware/menus/pages.h"
#include "firmware/screens/screens.h"

// Confirms a calibration step. The cursor is left alone so the page that
// asked for the message finds its line again.
void page_message() {
    menu_title(" MESSAGE ");
    lcd_icon(ICON_MESSAGE);
    text_normal_centred_const(78, 26, "DONE", 1, DrawMode::Set, 0);

    if (pending_key >= KeyCentre && pending_key <= KeyRight) {
        // Without a page to go back to the instrument would hang here.
        current_page = return_page != nullptr ? return_page : page_run_screen;
    }
    pending_key = KeyNone;
}
