// Writing a file so that a full disk, a crash or a failed write never leaves
// a broken file where a good one was: the bytes go to a temporary file in the
// target's own folder, which is flushed to disk and renamed over the target
// only when complete. A failure removes the temporary file and leaves the old
// target untouched. Every file the programs write goes through here.
#pragma once

#include <string>
#include <string_view>

class AtomicFile {
public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    // An unfinished file is discarded.
    ~AtomicFile();

    // Creates the temporary file beside `path`. False (with the reason in
    // error()) when the folder cannot take it.
    bool open(const std::string& path);
    // Appends; a failed write is remembered and reported by commit().
    bool write(const void* data, size_t size);
    bool write(std::string_view text) { return write(text.data(), text.size()); }
    // Flushes and renames over the target, then flushes the target's folder
    // so that the rename survives a power cut. False when anything before the
    // rename failed; the target is then as it was. When only the folder
    // cannot be flushed the new file is in place: true, with the reason in
    // error() as a warning.
    bool commit();
    // Removes the temporary file without touching the target.
    void discard();

    bool is_open() const { return fd_ >= 0; }
    const std::string& error() const { return error_; }
    // The system's error number for the failure in error() (0: none), for
    // callers that tell the failure in their own words and add the reason.
    int system_error() const { return errno_; }

private:
    void fail(const char* what);
    void note(const char* what);
    void sync_folder();

    int fd_ = -1;
    bool failed_ = false;
    int errno_ = 0;
    std::string target_;
    std::string temporary_;
    std::string error_;
};

// The whole file at once. On failure returns false with "<path>: <reason>" in
// `error`.
bool write_file_atomically(const std::string& path, std::string_view bytes, std::string& error);
