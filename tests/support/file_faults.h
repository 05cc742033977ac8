// A disk that fails on purpose, for as long as a FileFaults lives: it takes
// the place of the file calls AtomicFile writes through and fails as its
// fields say. Header-only, so the window's tests use it too.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <string>

#include "workbench/files/file_calls.h"

class FileFaults {
public:
    FileFaults() {
        active_ = this;
        file_calls() = {write, fsync, close, rename};
    }
    ~FileFaults() {
        file_calls() = system_file_calls();
        active_ = nullptr;
    }
    FileFaults(const FileFaults&) = delete;
    FileFaults& operator=(const FileFaults&) = delete;

    long room = -1;           // bytes the disk takes before it is full (-1: any number)
    int full_errno = ENOSPC;  // what a write to a full disk says (0: it returns 0)
    std::size_t piece = 0;    // the most one write takes (0: all it is given)
    int interrupted = 0;      // the next writes fail with EINTR before taking anything
    int fsync_errno = 0;      // nonzero: these calls fail with it
    int close_errno = 0;
    int rename_errno = 0;
    int folder_fsync_errno = 0;  // the same for the flush of a folder
    int writes = 0;              // write calls made
    std::string calls;           // the calls after the writes, in order ("fsync close rename ")

private:
    static ssize_t write(int fd, const void* data, std::size_t size) {
        FileFaults& f = *active_;
        ++f.writes;
        if (f.interrupted > 0) {
            --f.interrupted;
            errno = EINTR;
            return -1;
        }
        if (f.piece != 0) size = std::min(size, f.piece);
        if (f.room >= 0) size = std::min(size, static_cast<std::size_t>(f.room));
        if (size == 0) {
            errno = f.full_errno;
            return f.full_errno == 0 ? 0 : -1;
        }
        const ssize_t written = system_file_calls().write(fd, data, size);
        if (f.room >= 0 && written > 0) f.room -= written;
        return written;
    }
    static int fsync(int fd) {
        struct stat info {};
        const bool folder = fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
        active_->calls += folder ? "fsync-folder " : "fsync ";
        return fails(folder ? active_->folder_fsync_errno : active_->fsync_errno,
                     system_file_calls().fsync(fd));
    }
    // The descriptor is gone whatever close says, as on Linux.
    static int close(int fd) {
        active_->calls += "close ";
        return fails(active_->close_errno, system_file_calls().close(fd));
    }
    static int rename(const char* from, const char* to) {
        active_->calls += "rename ";
        return active_->rename_errno != 0 ? fails(active_->rename_errno, 0)
                                          : system_file_calls().rename(from, to);
    }
    static int fails(int error, int result) {
        if (error == 0) return result;
        errno = error;
        return -1;
    }

    static inline FileFaults* active_ = nullptr;
};
