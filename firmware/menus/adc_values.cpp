#include <cstdio>

#include "firmware/core/keys.h"
#include "firmware/core/settings.h"
#include "firmware/lcd/text.h"
#include "firmware/measure/measure.h"
#include "firmware/menus/menu.h"
#include "firmware/menus/pages.h"

// The raw counts of both inputs, for checking the wiring and the sliders. A
// switched-off channel still holds its last reading, but it is not shown.
static void adc_line(u8 channel, u8 y) {
    char text[MENU_TEXT_SIZE];
    if (settings.channel_kind[channel] != ChannelKind::Off)
        std::snprintf(text, sizeof text, "CH %d: %u", channel + 1,
                      static_cast<unsigned>(raw_reading[channel]));
    else
        std::snprintf(text, sizeof text, "CH %d: OFF", channel + 1);
    menu_text(0, y, text, 0);
}

void page_adc_values() {
    menu_title(" ADC VALUES ");
    menu_done_line();
    adc_line(0, 16);
    adc_line(1, 24);

    // The cursor never leaves DONE on this page.
    if (pending_key == KeyCentre && menu_cursor == 0) {
        menu_cursor = 4;  // back on the main menu's ADC VALUES entry
        current_page = page_main_menu;
    }
    pending_key = KeyNone;
}
