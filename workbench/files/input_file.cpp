#include "workbench/files/input_file.h"

#include <filesystem>

InputFile look_at_input(const std::string& path) {
    namespace fs = std::filesystem;
    InputFile file;
    const fs::file_status status = fs::status(path, file.error);
    if (file.error) return file;
    switch (status.type()) {
        case fs::file_type::regular:
            file.size = fs::file_size(path, file.error);
            file.regular = !file.error;
            break;
        case fs::file_type::not_found:
            file.error = std::make_error_code(std::errc::no_such_file_or_directory);
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
