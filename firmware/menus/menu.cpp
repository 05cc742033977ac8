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

// The title is centred on column 57 and flanked by two rules on row 4. Their
// inner ends are computed in 8-bit arithmetic like every coordinate here; a
// title longer than 14 characters would wrap the left rule's end past 255.
void menu_title(const char* title) {
    char buffer[MENU_TEXT_SIZE];
    const u8 n = copy_text(buffer, title);
    text_normal(static_cast<u8>(57 - 4 * n), 0, buffer, 0, DrawMode::Set, 0);
    lcd_line(0, 4, static_cast<u8>(59 - 4 * n), 4, DrawMode::Set);
    lcd_line(static_cast<u8>(55 + 4 * n), 4, 118, 4, DrawMode::Set);
}

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

// Appends within the MENU_TEXT_SIZE buffer; a text that has no room left (or
// no terminator in the buffer) is left as it is, a suffix that does not fit
// is cut.
static void append_text(char* text, const char* suffix) {
    if (text == nullptr) return;
    int n = 0;
    while (n < MENU_TEXT_SIZE && text[n] != '\0')
        ++n;
    if (n == MENU_TEXT_SIZE) return;
    for (int i = 0; suffix[i] != '\0' && n < MENU_TEXT_SIZE - 1; ++i)
        text[n++] = suffix[i];
    text[n] = '\0';
}

void append_temp_unit(u8 channel, char* text) {
    if (channel > 1) return;
    const bool celsius = settings.temperature[channel].unit == TemperatureUnit::Celsius;
    append_text(text, celsius ? "|C" : "|F");
}

// Menus spell the units in capitals; a unit code the menus never set adds
// nothing.
void append_pressure_unit(u8 channel, char* text) {
    if (channel > 1) return;
    switch (settings.pressure[channel].unit) {
        case PressureUnit::Bar: append_text(text, "BAR"); break;
        case PressureUnit::Psi:
        case PressureUnit::PsiTenths: append_text(text, "PSI"); break;
        case PressureUnit::InHg: append_text(text, "\"Hg"); break;
        default: break;
    }
}
