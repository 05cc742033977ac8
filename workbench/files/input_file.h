// The files the programs read (settings files, scenarios) must be regular
// files: a device such as /dev/zero never ends, a pipe waits for a writer
// and a folder reads as empty. Each is looked at before it is opened. (What
// they write, recordings among it, goes through AtomicFile, which refuses a
// target that exists and is not a regular file.)
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <system_error>

struct InputFile {
    bool regular = false;
    std::uintmax_t size = 0;  // of a regular file
    // What the path is when it is no regular file: "a directory", "a device",
    // "a pipe", "a socket" or "not a regular file"; empty when it cannot be
    // looked at at all (`error` says why: missing, not allowed, ...).
    const char* what = "";
    std::error_code error;
};

InputFile look_at_input(const std::string& path);

// Reads the next line of a text stream into `text` (without its "\n"), a
// byte at a time from the stream's buffer, so a line never grows past `max`
// bytes however long the file's line is. Returns false at the end of the
// stream; `too_long` says the line was cut at `max`.
bool read_bounded_line(std::istream& in, std::size_t max, std::string& text, bool& too_long);

// Opens a regular file of at most `max_size` bytes (0: any size) that the
// programs read as `kind` ("a scenario", "a sensor log"). On failure `error`
// says why in one line: "cannot read PATH: ...", "PATH is a device, not a
// sensor log", "PATH is over 64 MB, too long for a sensor log" (`size_text`
// names the limit).
bool open_input_file(const std::string& path, const char* kind, std::uintmax_t max_size,
                     const char* size_text, std::unique_ptr<std::istream>& in, std::string& error);
