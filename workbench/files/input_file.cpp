#include "workbench/files/input_file.h"

#include <filesystem>

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
