#include "firmware/core/setting_names.h"

#include "firmware/core/settings.h"

// Appends within the NAME_TEXT_SIZE buffer; a text that has no room left (or
// no terminator in the buffer) is left as it is, a suffix that does not fit
// is cut.
static void append_text(char* text, const char* suffix) {
    if (text == nullptr) return;
    int n = 0;
    while (n < NAME_TEXT_SIZE && text[n] != '\0')
        ++n;
    if (n == NAME_TEXT_SIZE) return;
    for (int i = 0; suffix[i] != '\0' && n < NAME_TEXT_SIZE - 1; ++i)
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
