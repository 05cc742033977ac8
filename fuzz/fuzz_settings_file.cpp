// The settings-file reader on arbitrary bytes: it must never crash, hang or
// trip a sanitizer, and whatever it accepts must save and load back to the
// same record and the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "workbench/settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    // Real settings files are a few kilobytes; far larger inputs only slow
    // the search down.
    if (size > 1 << 16) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    InstrumentSettings loaded{};
    std::string error;
    if (!settings_from_toml(text, "fuzz.toml", loaded, error)) {
        if (error.rfind("fuzz.toml:", 0) != 0) std::abort();  // every refusal names file and line
        return 0;
    }
    const std::string saved = settings_to_toml(loaded);
    InstrumentSettings again{};
    if (!settings_from_toml(saved, "saved.toml", again, error)) std::abort();
    if (loaded != again || settings_to_toml(again) != saved) std::abort();
    return 0;
}
