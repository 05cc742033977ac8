#include "workbench/files/input_file.h"

#include <filesystem>
#include <fstream>

InputFile look_at_input(const std::string& path) {
    namespace fs = std::filesystem;
    InputFile file;
    // A missing file, or one that may not be looked at, is an error (both
    // libstdc++ and libc++ set it for a missing one too).
    const fs::file_status status = fs::status(path, file.error);
    if (file.error) return file;
    switch (status.type()) {
        case fs::file_type::regular:
            file.size = fs::file_size(path, file.error);
            file.regular = !file.error;
            break;
        case fs::file_type::directory: file.what = "a directory"; break;
        case fs::file_type::character:
        case fs::file_type::block: file.what = "a device"; break;
        case fs::file_type::fifo: file.what = "a pipe"; break;
        case fs::file_type::socket: file.what = "a socket"; break;
        default: file.what = "not a regular file"; break;
    }
    return file;
}

bool read_bounded_line(std::istream& in, std::size_t max, std::string& text, bool& too_long) {
    text.clear();
    too_long = false;
    std::streambuf* buffer = in.rdbuf();
    using Traits = std::char_traits<char>;
    bool any = false;
    while (true) {
        const Traits::int_type ch = buffer->sbumpc();
        if (Traits::eq_int_type(ch, Traits::eof())) break;
        any = true;
        if (ch == '\n') break;
        if (text.size() == max) {
            too_long = true;
            break;
        }
        text += Traits::to_char_type(ch);
    }
    return any;
}

bool open_input_file(const std::string& path, const char* kind, std::uintmax_t max_size,
                     const char* size_text, std::unique_ptr<std::istream>& in, std::string& error) {
    const InputFile input = look_at_input(path);
    if (input.error) {
        error = "cannot read " + path + ": " + input.error.message();
        return false;
    }
    if (!input.regular) {
        error = path + " is " + input.what + ", not " + kind;
        return false;
    }
    if (max_size != 0 && input.size > max_size) {
        error = path + " is over " + size_text + ", too long for " + kind;
        return false;
    }
    auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (!*file) {
        error = "cannot read " + path;
        return false;
    }
    in = std::move(file);
    return true;
}
