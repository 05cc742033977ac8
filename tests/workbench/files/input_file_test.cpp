#include "workbench/files/input_file.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

// A socket is named for what it is; a regular file that cannot be opened
// (this one of the kernel's is write-only, for root too) is an error naming
// it, and nothing is handed back.
TEST(InputFile, SocketsAndFilesThatCannotBeOpenedAreRefused) {
    const std::string path = ::testing::TempDir() + "input_file_test.socket";
    std::remove(path.c_str());
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    std::unique_ptr<std::istream> in;
    std::string error;
    EXPECT_FALSE(open_input_file(path, "a sensor log", 0, "", in, error));
    EXPECT_EQ(error, path + " is a socket, not a sensor log");
    close(fd);
    std::remove(path.c_str());

    const std::string write_only = "/proc/sys/vm/compact_memory";
    EXPECT_FALSE(open_input_file(write_only, "a scenario", 0, "", in, error));
    EXPECT_EQ(error.rfind("cannot read " + write_only, 0), 0u) << error;
    EXPECT_EQ(in, nullptr);
}

}  // namespace
