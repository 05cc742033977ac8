#include "firmware/menus/menu.h"

#include "firmware/core/keys.h"
#include "firmware/lcd/lcd.h"
#include "firmware/lcd/text.h"

u8 edit_channel;
PressureChannelSettings* edit_pressure;
TemperatureChannelSettings* edit_temperature;
u8 curve_is_temperature;
SenderCurve curve_work;

// The pages hand texts from constant storage to the drawing through a small
// working buffer, so every text is cut to MENU_TEXT_SIZE - 1 characters.
// Returns the length copied.
static u8 copy_text(char (&buffer)[MENU_TEXT_SIZE], const char* text) {
    u8 n = 0;
    if (text != nullptr) {
        while (n < MENU_TEXT_SIZE - 1 && text[n] != '\0') {
            buffer[n] = text[n];
            ++n;
        }
    }
    buffer[n] = '\0';
    return n;
}

// Seven list rows: once the cursor passes the seventh the window follows it,
// keeping the cursor line on the bottom row.
u8 menu_scroll_offset() { return menu_cursor >= 7 ? static_cast<u8>(menu_cursor - 6) : 0; }

// List text never reaches the title row: rows at y <= 7 are dropped, which is
// also where a line one above the scrolled window lands (row 255 -> y 0).
void menu_text(u8 x, u8 y, const char* text, u8 inverse) {
    if (y <= 7) return;
    char buffer[MENU_TEXT_SIZE];
    copy_text(buffer, text);
    text_normal(x, y, buffer, 0, DrawMode::Set, inverse);
}

// The value follows the label's full width, trailing blanks included: the
// labels carry their own spacing ("MODE: " -> value at x 48).
void menu_line(u8 x, u8 row, const char* label, const char* value) {
    const u8 s = menu_scroll_offset();
    char buffer[MENU_TEXT_SIZE];
    const u8 n = copy_text(buffer, label);
    const u8 current = static_cast<u8>(menu_cursor - s) == row ? 1 : 0;
    const u8 y = static_cast<u8>(8 * row + 8);
    // While the line is edited only its value stands out.
    menu_text(0, y, buffer, current == 1 && menu_edit == 0 ? 1 : 0);
    menu_text(static_cast<u8>(x + 8 * n), y, value, current);
}

void menu_done_line() {
    if (menu_cursor >= 7) return;
    text_normal_centred_const(57, 8, "*** DONE ***", 0, DrawMode::Set, menu_cursor == 0 ? 1 : 0);
}

void move_menu_cursor(KeyCode key, u8 last) {
    if (key == KeyClockwise || key == KeyRight) {
        if (menu_cursor < last) ++menu_cursor;
    } else if (key == KeyAnticlockwise || key == KeyLeft) {
        if (menu_cursor > 0) --menu_cursor;
    }
}
