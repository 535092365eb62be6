#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "shell/AtomicFile.h"

namespace fs = std::filesystem;

TEST(AtomicFile, ReplacesWholeAndLeavesNoTemporaryBehind) {
    fs::path dir = fs::temp_directory_path() / ("fd_atomic_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::string path = (dir / "a.ldt").string();
    std::string err;
    ASSERT_TRUE(files::AtomicWriteFile(path, "old", err)) << err;
    ASSERT_TRUE(files::AtomicWriteFile(path, std::string("new\0bytes\r\n", 11), err)) << err;
    std::string got;
    ASSERT_TRUE(files::ReadWholeFile(path, got, err));
    EXPECT_EQ(got, std::string("new\0bytes\r\n", 11));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    // A folder that does not exist: reported, nothing created.
    EXPECT_FALSE(files::AtomicWriteFile((dir / "missing" / "b.ldt").string(), "x", err));
    EXPECT_FALSE(err.empty());
    EXPECT_FALSE(files::ReadWholeFile((dir / "nothing.ldt").string(), got, err));
    fs::remove_all(dir);
}
