// The system calls through which AtomicFile puts bytes on the disk. They are
// the C library's own; a test swaps one for a stand-in that fails (a short
// write, an interrupted one, a full disk, a failing flush, close or rename)
// to see that no such failure leaves a broken file or passes as success, and
// puts the table back when it is done.
#pragma once

#include <sys/types.h>

#include <cstddef>

struct FileCalls {
    ssize_t (*write)(int fd, const void* data, std::size_t size);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
};

// The C library's calls.
const FileCalls& system_file_calls();
// The table in use.
FileCalls& file_calls();
