#include "workbench/files/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "workbench/files/file_calls.h"

namespace {

std::string folder_of(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A name in the target's folder (so the rename stays within one file system)
// that a directory listing shows as belonging to the target.
std::string temporary_name(const std::string& path, int attempt) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%ld.%d.tmp", static_cast<long>(getpid()), attempt);
    return folder + "." + base + suffix;
}

}  // namespace

AtomicFile::~AtomicFile() { discard(); }

void AtomicFile::fail(const char* what) {
    if (!failed_) {
        errno_ = errno;
        error_ = target_ + ": " + what + ": " + std::strerror(errno_);
    }
    failed_ = true;
}

bool AtomicFile::open(const std::string& path) {
    discard();
    target_ = path;
    failed_ = false;
    errno_ = 0;
    error_.clear();
    if (path.empty() || path.back() == '/') {
        error_ = path + ": not a file name";
        failed_ = true;
        return false;
    }
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        error_ = path + ": exists and is not a regular file";
        failed_ = true;
        return false;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_ = temporary_name(path, attempt);
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) return true;
        if (errno != EEXIST) break;
    }
    temporary_.clear();
    fail(("cannot create a file in " + folder_of(path)).c_str());
    return false;
}

bool AtomicFile::write(const void* data, size_t size) {
    if (fd_ < 0 || failed_) return false;
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = file_calls().write(fd_, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        // A write that takes nothing would be tried for ever: the disk is
        // as good as full.
        if (written == 0) errno = ENOSPC;
        if (written <= 0) {
            fail("cannot write");
            return false;
        }
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool AtomicFile::commit() {
    if (fd_ < 0) {
        if (error_.empty()) error_ = target_ + ": not open";
        return false;
    }
    const FileCalls& calls = file_calls();
    if (!failed_ && calls.fsync(fd_) != 0) fail("cannot flush");
    if (calls.close(fd_) != 0 && !failed_) fail("cannot close");
    fd_ = -1;
    if (!failed_ && calls.rename(temporary_.c_str(), target_.c_str()) != 0) fail("cannot rename");
    if (failed_) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
        return false;
    }
    temporary_.clear();
    sync_folder();
    return true;
}

// The rename lives in the folder: until the folder is flushed too, a power
// cut may bring back the old file, or none. The new file is in place by now
// and cannot be taken back, so a folder that cannot be flushed leaves the
// write successful, with the doubt noted in error(). Some file systems do not
// flush folders at all (EINVAL); there is nothing to note then.
void AtomicFile::sync_folder() {
    const FileCalls& calls = file_calls();
    const int folder = ::open(folder_of(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        note("written, but its folder cannot be opened to flush it");
        return;
    }
    if (calls.fsync(folder) != 0 && errno != EINVAL)
        note("written, but its folder cannot be flushed");
    calls.close(folder);
}

void AtomicFile::note(const char* what) {
    error_ = target_ + ": " + what + ": " + std::strerror(errno);
}

void AtomicFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

bool write_file_atomically(const std::string& path, std::string_view bytes, std::string& error) {
    AtomicFile file;
    if (file.open(path) && file.write(bytes) && file.commit()) return true;
    error = file.error();
    return false;
}
