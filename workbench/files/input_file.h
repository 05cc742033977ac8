// The files the programs read (settings files, scenarios) must be regular
// files: a device such as /dev/zero never ends, a pipe waits for a writer
// and a folder reads as empty. Each is looked at before it is opened. (What
// they write, recordings among it, goes through AtomicFile, which refuses a
// target that exists and is not a regular file.)
#pragma once

#include <cstdint>
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
