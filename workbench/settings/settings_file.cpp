// Settings files on disk: the checks on the file before its text is read,
// and the save that writes only what loads back.
#include "workbench/settings/settings_file.h"

#include <fstream>

#include "workbench/files/atomic_file.h"
#include "workbench/files/input_file.h"

static_assert(SETTINGS_FILE_MAX_BYTES == 1024 * 1024, "the refusal below says 1 MB");

bool settings_file_size_fits(std::uintmax_t size, const std::string& file_name,
                             std::string& error) {
    if (size <= SETTINGS_FILE_MAX_BYTES) return true;
    error = file_name + ": " + std::to_string(size) + " bytes; a settings file has at most 1 MB (" +
            std::to_string(SETTINGS_FILE_MAX_BYTES) + " bytes)";
    return false;
}

bool save_settings_file(const std::string& path, const InstrumentSettings& s, std::string& error) {
    const std::string text = settings_to_toml(s);
    InstrumentSettings check;
    std::string why;
    if (!settings_from_toml(text, path, check, why)) {
        error = "these settings cannot be saved: " + why;
        return false;
    }
    return write_file_atomically(path, text, error);
}

bool load_settings_file(const std::string& path, InstrumentSettings& out, std::string& error) {
    const InputFile file = look_at_input(path);
    // A folder is no file to be read, as a missing one.
    if (file.error || std::string_view(file.what) == "a directory") {
        error = path + ": cannot be read";
        return false;
    }
    if (!file.regular) {
        error = path + " is " + file.what + ", not a settings file";
        return false;
    }
    if (!settings_file_size_fits(file.size, path, error)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read";
        return false;
    }
    // One byte past the size looked at tells a file that grew since.
    std::string text(static_cast<size_t>(file.size) + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad()) {
        error = path + ": read error";
        return false;
    }
    if (static_cast<std::uintmax_t>(in.gcount()) > file.size) {
        error = path + ": changed while it was read";
        return false;
    }
    text.resize(static_cast<size_t>(in.gcount()));
    return settings_from_toml(text, path, out, error);
}
