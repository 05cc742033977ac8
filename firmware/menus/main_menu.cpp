// TEMPORARY STUB: replaced by the main menu and its pages.
#include "firmware/core/keys.h"
#include "firmware/menus/pages.h"
#include "firmware/screens/screens.h"

void page_main_menu() {
    if (pending_key != KeyNone) current_page = page_run_screen;
    pending_key = KeyNone;
}
void page_message() {
    if (pending_key != KeyNone) current_page = return_page;
    pending_key = KeyNone;
}
void page_display_setup() { page_main_menu(); }
void page_contrast() { page_main_menu(); }
void page_adc_values() { page_main_menu(); }
