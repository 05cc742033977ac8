#include "workbench/files/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/file_faults.h"

namespace {

namespace fs = std::filesystem;

std::string read_all(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/dg2_atomic_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        target = folder / "picture.png";
        std::ofstream(target) << "the good file";
    }
    void TearDown() override { fs::remove_all(folder); }
    // Only the target is left in the folder: no temporary file lingers.
    void expect_only_target() {
        int entries = 0;
        for (const auto& entry : fs::directory_iterator(folder)) {
            (void)entry;
            ++entries;
        }
        EXPECT_EQ(entries, 1);
    }
    fs::path folder;
    fs::path target;
};

TEST_F(AtomicFileTest, ReplacesTheTargetOnlyWhenComplete) {
    AtomicFile file;
    ASSERT_TRUE(file.open(target));
    ASSERT_TRUE(file.write("new "));
    EXPECT_EQ(read_all(target), "the good file");
    ASSERT_TRUE(file.write("contents"));
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(read_all(target), "new contents");
    expect_only_target();

    AtomicFile abandoned;
    ASSERT_TRUE(abandoned.open(target));
    abandoned.write("half");
    abandoned.discard();
    EXPECT_EQ(read_all(target), "new contents");
    expect_only_target();
}

// A full disk, simulated by a file-size limit (which also holds for root):
// the write fails, the old file stays and no temporary file is left behind.
TEST_F(AtomicFileTest, FullDiskKeepsTheOldFile) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old_limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    rlimit small = old_limit;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool written = write_file_atomically(target, std::string(100000, 'x'), error);
    // A commit after a failed write fails too, with the write's error.
    AtomicFile file;
    ASSERT_TRUE(file.open(target));
    const bool first = file.write(std::string(100000, 'x'));
    const bool second = file.write("x");
    const bool committed = file.commit();
    setrlimit(RLIMIT_FSIZE, &old_limit);
    EXPECT_FALSE(written);
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    EXPECT_FALSE(first || second || committed);
    EXPECT_EQ(file.error(), target.string() + ": cannot write: File too large");
    EXPECT_EQ(read_all(target), "the good file");
    expect_only_target();
}

TEST_F(AtomicFileTest, UnwritablePlacesAreErrorsNamingThePath) {
    std::string error;
    EXPECT_FALSE(write_file_atomically(folder / "missing" / "a.png", "x", error));
    EXPECT_NE(error.find("missing/a.png"), std::string::npos) << error;
    EXPECT_FALSE(write_file_atomically(folder, "x", error));  // a directory
    EXPECT_FALSE(write_file_atomically("/dev/zero", "x", error));
    EXPECT_EQ(read_all(target), "the good file");
}

// Names that cannot be a file, a commit without a file, and a target that
// became a directory while the file was written: each fails and leaves no
// temporary file.
TEST_F(AtomicFileTest, NoFileNameNoOpenOrAFolderInTheWayFail) {
    std::string error;
    EXPECT_FALSE(write_file_atomically("", "x", error));
    EXPECT_FALSE(write_file_atomically(folder.string() + "/", "x", error));
    EXPECT_NE(error.find("not a file name"), std::string::npos) << error;

    AtomicFile never_opened;
    EXPECT_FALSE(never_opened.commit());
    EXPECT_NE(never_opened.error().find("not open"), std::string::npos);

    AtomicFile file;
    ASSERT_TRUE(file.open(target));
    file.write("new");
    fs::remove(target);
    fs::create_directory(target);
    EXPECT_FALSE(file.commit());
    EXPECT_NE(file.error().find("cannot rename"), std::string::npos) << file.error();
    expect_only_target();
}

// A bare file name is written in the working folder; a temporary name that is
// taken (a run of the same process id long ago) is passed over for the next.
TEST_F(AtomicFileTest, BareNamesAndTakenTemporaryNames) {
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    std::string error;
    EXPECT_TRUE(write_file_atomically("bare.txt", "bare", error)) << error;
    fs::current_path(before);
    EXPECT_EQ(read_all(folder / "bare.txt"), "bare");
    fs::remove(folder / "bare.txt");

    const fs::path taken = folder / (".picture.png." + std::to_string(getpid()) + ".0.tmp");
    std::ofstream(taken) << "someone else's";
    EXPECT_TRUE(write_file_atomically(target, "new", error)) << error;
    EXPECT_EQ(read_all(target), "new");
    EXPECT_EQ(read_all(taken), "someone else's");
}

// Creating fails in a folder that is gone (the working folder too), under a
// name too long for any folder (the root's too), and when every temporary
// name is taken; a file that failed keeps its first error and writes nothing.
TEST_F(AtomicFileTest, NoPlaceForTheTemporaryFile) {
    const fs::path before = fs::current_path();
    const fs::path gone = folder / "gone";
    fs::create_directory(gone);
    fs::current_path(gone);
    fs::remove(gone);
    std::string error;
    EXPECT_FALSE(write_file_atomically("bare.txt", "x", error));
    fs::current_path(before);
    EXPECT_EQ(error, "bare.txt: cannot create a file in .: No such file or directory");
    // Built in place: GCC 12 warns falsely (-Wrestrict) about "/" + a string.
    const std::string long_name = std::string("/").append(300, 'x');
    EXPECT_FALSE(write_file_atomically(long_name, "x", error));
    EXPECT_EQ(error, long_name + ": cannot create a file in /: File name too long");

    for (int attempt = 0; attempt < 100; ++attempt)
        std::ofstream(folder / (".picture.png." + std::to_string(getpid()) + "." +
                                std::to_string(attempt) + ".tmp"));
    AtomicFile file;
    EXPECT_FALSE(file.open(target));
    EXPECT_EQ(file.error(),
              target.string() + ": cannot create a file in " + folder.string() + ": File exists");
    EXPECT_FALSE(file.write("x"));
    EXPECT_FALSE(file.commit());
    EXPECT_EQ(file.error(),
              target.string() + ": cannot create a file in " + folder.string() + ": File exists");
    EXPECT_EQ(read_all(target), "the good file");
}

// Writes the disk takes a few bytes at a time, or interrupts, still put the
// whole file in place.
TEST_F(AtomicFileTest, ShortAndInterruptedWritesAreCarriedOn) {
    FileFaults faults;
    faults.piece = 3;
    faults.interrupted = 2;
    std::string error;
    EXPECT_TRUE(write_file_atomically(target, "eleven byte", error)) << error;
    EXPECT_EQ(read_all(target), "eleven byte");
    EXPECT_EQ(faults.writes, 6);
    expect_only_target();
}

// The rename is flushed with its folder. A folder that cannot be flushed
// leaves the new file in place and the write done, with the doubt noted; one
// whose file system does not flush folders (EINVAL) is no doubt.
TEST_F(AtomicFileTest, TheFolderIsFlushedAfterTheRename) {
    for (const int folder_errno : {0, EIO, EINVAL}) {
        FileFaults faults;
        faults.folder_fsync_errno = folder_errno;
        AtomicFile file;
        ASSERT_TRUE(file.open(target));
        EXPECT_TRUE(file.write("the new file"));
        EXPECT_TRUE(file.commit());
        EXPECT_EQ(faults.calls, "fsync close rename fsync-folder close ");
        const std::string noted = ": written, but its folder cannot be flushed: Input/output error";
        EXPECT_EQ(file.error(), folder_errno == EIO ? target.string() + noted : "");
        EXPECT_EQ(read_all(target), "the new file");
        expect_only_target();
    }
}

// The disk fills midway (saying so, or taking nothing), or the flush, the
// close or the rename fails: the failure is reported and the old file stays.
TEST_F(AtomicFileTest, EveryFailingCallKeepsTheOldFile) {
    const struct {
        long room;
        int full_errno, fsync_errno, close_errno, rename_errno;
        const char* error;
    } cases[] = {
        {5, ENOSPC, 0, 0, 0, "cannot write: No space left on device"},
        {5, 0, 0, 0, 0, "cannot write: No space left on device"},
        {-1, 0, EIO, 0, 0, "cannot flush: Input/output error"},
        {-1, 0, 0, EIO, 0, "cannot close: Input/output error"},
        {-1, 0, EIO, EINTR, 0, "cannot flush: Input/output error"},
        {-1, 0, 0, 0, EXDEV, "cannot rename: Invalid cross-device link"},
    };
    for (const auto& c : cases) {
        FileFaults faults;
        faults.room = c.room;
        faults.full_errno = c.full_errno;
        faults.fsync_errno = c.fsync_errno;
        faults.close_errno = c.close_errno;
        faults.rename_errno = c.rename_errno;
        std::string error;
        EXPECT_FALSE(write_file_atomically(target, "a new file, longer than five bytes", error));
        EXPECT_EQ(error, target.string() + ": " + c.error);
        EXPECT_EQ(read_all(target), "the good file");
        expect_only_target();
    }
}

}  // namespace
