// Settings files for the web page: the record as TOML text and back, by the
// same reader and writer as the window and the scenario runner. A module of
// its own, loaded only when the page loads or saves settings, so the page's
// instrument stays small; records cross between the two byte for byte.
#include <emscripten.h>

#include <cstdint>
#include <string>

#include "workbench/settings/settings_file.h"

namespace {
InstrumentSettings record;
std::string text;
}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE InstrumentSettings* dg2_record() { return &record; }
EMSCRIPTEN_KEEPALIVE int dg2_record_size() { return static_cast<int>(sizeof record); }

// The record's text, or "" when it holds nothing the instrument could have
// been set up to (the all-zero record before the first "ON").
EMSCRIPTEN_KEEPALIVE const char* dg2_record_to_text() {
    text = settings_to_toml(record);
    InstrumentSettings check;
    std::string why;
    if (!settings_from_toml(text, "", check, why)) text.clear();
    return text.c_str();
}

// Before the page reads a file the user chose: "" when a file of `size` bytes
// may be a settings file, else the one line that says it is too large (the
// same limit and words as the window and the runner).
EMSCRIPTEN_KEEPALIVE const char* dg2_settings_file_size_error(double size, const char* file_name) {
    // A page's number: NaN and below 0 are no size, 1e18 is past any limit.
    const double clamped = !(size > 0) ? 0 : size > 1e18 ? 1e18 : size;
    const std::uintmax_t bytes = static_cast<std::uintmax_t>(clamped);
    text.clear();
    settings_file_size_fits(bytes, file_name != nullptr ? file_name : "", text);
    return text.c_str();
}

// Reads a file's text into the record, all or nothing. Returns "" or what is
// wrong ("FILE:LINE: key '...': ...").
EMSCRIPTEN_KEEPALIVE const char* dg2_text_to_record(const char* file_text, const char* file_name) {
    InstrumentSettings loaded;
    if (!settings_from_toml(file_text != nullptr ? file_text : "",
                            file_name != nullptr ? file_name : "", loaded, text))
        return text.c_str();
    record = loaded;
    text.clear();
    return text.c_str();
}
}
