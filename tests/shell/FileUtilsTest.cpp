#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "shell/AtomicFile.h"
#include "shell/RecordingUserInterface.h"

namespace fs = std::filesystem;

namespace {

class FileUtils : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("fd_fileutils_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Make(const std::string& name, const std::string& bytes) {
        std::string path = (dir / name).string();
        std::string err;
        EXPECT_TRUE(files::AtomicWriteFile(path, bytes, err)) << err;
        return path;
    }
    fs::path dir;
    RecordingUserInterface ui;
};

TEST_F(FileUtils, SizeTextInBytesAndKilobytes) {
    EXPECT_EQ(files::FileSizeText(Make("a", std::string(1023, 'x'))), "1023 B");
    EXPECT_EQ(files::FileSizeText(Make("b", std::string(1536, 'x'))), "1.5 KB");
    EXPECT_EQ(files::FileSizeText(Make("c", "")), "0 B");
    EXPECT_EQ(files::FormatFileSize(1024), "1 KB");
    EXPECT_EQ(files::FormatFileSize(2048), "2 KB");
    EXPECT_EQ(files::FormatFileSize(1100), "1.07 KB");  // 1.0742...
    EXPECT_EQ(files::FormatFileSize(1029), "1 KB");     // 1.0049 rounds to 1.00
    EXPECT_EQ(files::FormatFileSize(1034), "1.01 KB");  // 1.0097
    EXPECT_EQ(files::FormatFileSize(1048575), "1024 KB");
    EXPECT_EQ(files::FormatFileSize(5ull << 40), "5368709120 KB");
    // Nothing to measure: missing file, a folder, no name.
    EXPECT_EQ(files::FileSizeText((dir / "missing").string()), "0 B");
    EXPECT_EQ(files::FileSizeText(dir.string()), "0 B");
    EXPECT_EQ(files::FileSizeText(""), "0 B");
}

TEST_F(FileUtils, TextAndRawReadsKeepEveryByte) {
    std::string bytes("line1\r\nline2\0\xE6\xC5 end", 19);
    std::string path = Make("t.ldt", bytes);
    EXPECT_EQ(files::ReadTextFile(path), bytes);
    EXPECT_EQ(files::LoadStringFromBinFile(ui, path), bytes);
    EXPECT_TRUE(ui.calls.empty());
    EXPECT_EQ(files::ReadTextFile(Make("empty", "")), "");
    // A missing file or a folder reads as empty text without a message.
    EXPECT_EQ(files::ReadTextFile((dir / "none").string()), "");
    EXPECT_EQ(files::ReadTextFile(dir.string()), "");
    EXPECT_TRUE(ui.calls.empty());
}

TEST_F(FileUtils, RawReadFailureIsReportedOnce) {
    EXPECT_EQ(files::LoadStringFromBinFile(ui, (dir / "none.png").string()), "");
    EXPECT_EQ(files::LoadStringFromBinFile(ui, dir.string()), "");
    auto m = ui.Messages();
    ASSERT_EQ(m.size(), 2u);
    for (const auto& c : m) {
        EXPECT_EQ(c.title, "ERROR");
        EXPECT_EQ(c.text.rfind("ERR in LoadStringFromBinFile", 0), 0u) << c.text;
    }
}

TEST_F(FileUtils, KillFileDeletesOnlyFiles) {
    std::string path = Make("gone.ldt", "x");
    EXPECT_TRUE(files::KillFile(ui, path));
    EXPECT_FALSE(fs::exists(path));
    // Already gone: the wanted state holds, nothing to tell the user.
    EXPECT_TRUE(files::KillFile(ui, path));
    EXPECT_TRUE(ui.calls.empty());
    // A folder is refused and stays.
    fs::create_directories(dir / "sub");
    EXPECT_FALSE(files::KillFile(ui, (dir / "sub").string()));
    EXPECT_TRUE(fs::is_directory(dir / "sub"));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text.rfind("ERR in KillFile", 0), 0u);
    EXPECT_EQ(ui.Messages()[0].title, "ERROR");
}

TEST_F(FileUtils, KillFileReportsWhenTheFolderRefuses) {
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
    fs::create_directories(dir / "locked");
    std::string path = (dir / "locked" / "keep.ldt").string();
    std::string err;
    ASSERT_TRUE(files::AtomicWriteFile(path, "keep", err));
    ::chmod((dir / "locked").c_str(), 0500);
    EXPECT_FALSE(files::KillFile(ui, path));
    ::chmod((dir / "locked").c_str(), 0700);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(ui.Messages().size(), 1u);
}

}  // namespace
