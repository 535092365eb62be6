// Files on disk: writes, reads, deletes, recovery and recent files, in a folder per test.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "shell/AtomicFile.h"
#include "shell/RecentFiles.h"
#include "shell/RecordingUserInterface.h"
#include "shell/RecoveryFiles.h"

namespace fs = std::filesystem;

namespace {

class Files : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("fd_files_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "recovery");
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Make(const std::string& name, const std::string& bytes) {
        std::string path = (dir / name).string();
        std::string err;
        EXPECT_TRUE(files::AtomicWriteFile(path, bytes, err)) << err;
        return path;
    }
    // Every file under the folder, by its relative name.
    std::set<std::string> Present() {
        std::set<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(dir))
            if (e.is_regular_file()) names.insert(fs::relative(e.path(), dir).string());
        return names;
    }
    fs::path dir;
    RecordingUserInterface ui;
};

TEST_F(Files, AtomicWriteReplacesWholeAndLeavesNoTemporaryBehind) {
    std::string path = Make("a.ldt", "old"), err, got;
    const std::string bytes("new\0bytes\r\n", 11);
    ASSERT_TRUE(files::AtomicWriteFile(path, bytes, err)) << err;
    ASSERT_TRUE(files::ReadWholeFile(path, got, err));
    EXPECT_EQ(got, bytes);
    EXPECT_EQ(Present(), (std::set<std::string>{"a.ldt"}));
    // A write that fails part way (at the file size limit, as on a full disk): reported,
    // the old file whole, nothing left beside it.
    rlimit was{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &was), 0);
    rlimit small = was;
    small.rlim_cur = 4;
    const auto oldSignal = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool wrote = files::AtomicWriteFile(path, std::string(100, 'x'), err);
    ::setrlimit(RLIMIT_FSIZE, &was);
    ::signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(wrote);
    EXPECT_NE(err.find("cannot write"), std::string::npos) << err;
    ASSERT_TRUE(files::ReadWholeFile(path, got, err));
    EXPECT_EQ(got, bytes);
    EXPECT_EQ(Present(), (std::set<std::string>{"a.ldt"}));
    // A folder that does not exist: reported, nothing created.
    EXPECT_FALSE(files::AtomicWriteFile((dir / "missing" / "b.ldt").string(), "x", err));
    EXPECT_FALSE(err.empty());
    EXPECT_FALSE(fs::exists(dir / "missing"));
    EXPECT_FALSE(files::ReadWholeFile((dir / "nothing.ldt").string(), got, err));
    // A folder opens but cannot be read.
    EXPECT_FALSE(files::ReadWholeFile(dir.string(), got, err));
    EXPECT_NE(err.find("cannot read"), std::string::npos) << err;
}

TEST_F(Files, TemporariesOfKilledWritersGoThoseBeingWrittenStay) {
    // Left by writers killed mid-write (their locks went with them), one still writing
    // (holds its lock), and files that only look alike.
    for (const char* name : {"a.ldt.tmpAbC123", "a.ldt.tmpLive01", "b.ldt.tmpZZZZZZ",
                             "recovery/1-1.rcv.tmpQ1q2Q3", "a.ldt.tmp", "a.ldt.tmpAB-123"})
        Make(name, "x");
    int live = ::open((dir / "a.ldt.tmpLive01").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);
    // Writing a target clears its own leftovers only.
    Make("a.ldt", "new");
    EXPECT_EQ(Present(), (std::set<std::string>{"a.ldt", "a.ldt.tmpLive01", "b.ldt.tmpZZZZZZ",
                                                "recovery/1-1.rcv.tmpQ1q2Q3", "a.ldt.tmp",
                                                "a.ldt.tmpAB-123"}));
    // The sweep at start clears every folder's, but never one held.
    EXPECT_EQ(files::RemoveStaleTemporaries(dir.string()), 2);
    EXPECT_EQ(Present(),
              (std::set<std::string>{"a.ldt", "a.ldt.tmpLive01", "a.ldt.tmp", "a.ldt.tmpAB-123"}));
    ::close(live);
    EXPECT_EQ(files::RemoveStaleTemporaries(dir.string()), 1);
}

TEST_F(Files, SizeTextInBytesAndKilobytes) {
    EXPECT_EQ(files::FileSizeText(Make("a", std::string(1023, 'x'))), "1023 B");
    EXPECT_EQ(files::FileSizeText(Make("b", std::string(1536, 'x'))), "1.5 KB");
    EXPECT_EQ(files::FileSizeText(Make("c", "")), "0 B");
    // 1100 bytes are 1.0742 KB, 1029 are 1.0049 (rounded to 1.00), 1034 are 1.0097.
    std::string sizes;
    for (std::uint64_t n : {1024ull, 2048ull, 1100ull, 1029ull, 1034ull, 1048575ull, 5ull << 40})
        sizes += files::FormatFileSize(n) + "|";
    EXPECT_EQ(sizes, "1 KB|2 KB|1.07 KB|1 KB|1.01 KB|1024 KB|5368709120 KB|");
    // Nothing to measure: missing file, a folder, no name.
    for (const std::string& none : {(dir / "missing").string(), dir.string(), std::string()})
        EXPECT_EQ(files::FileSizeText(none), "0 B") << none;
}

TEST_F(Files, TextReadsKeepEveryByteAndRawReadFailuresAreReportedOnce) {
    std::string bytes("line1\r\nline2\0\xE6\xC5 end", 19);
    std::string path = Make("t.ldt", bytes);
    EXPECT_EQ(files::ReadTextFile(path), bytes);
    EXPECT_EQ(files::LoadStringFromBinFile(ui, path), bytes);
    EXPECT_EQ(files::ReadTextFile(Make("empty", "")), "");
    // A missing file or a folder reads as empty text without a message.
    EXPECT_EQ(files::ReadTextFile((dir / "none").string()), "");
    EXPECT_EQ(files::ReadTextFile(dir.string()), "");
    EXPECT_TRUE(ui.calls.empty());
    EXPECT_EQ(files::LoadStringFromBinFile(ui, (dir / "none.png").string()), "");
    EXPECT_EQ(files::LoadStringFromBinFile(ui, dir.string()), "");
    auto m = ui.Messages();
    ASSERT_EQ(m.size(), 2u);
    for (const auto& c : m) {
        EXPECT_EQ(c.title, "ERROR");
        EXPECT_EQ(c.text.rfind("ERR in LoadStringFromBinFile", 0), 0u) << c.text;
    }
}

TEST_F(Files, KillFileDeletesOnlyFilesAndReportsWhenRefused) {
    std::string path = Make("gone.ldt", "x");
    EXPECT_TRUE(files::KillFile(ui, path));
    EXPECT_FALSE(fs::exists(path));
    // Already gone: the wanted state holds, nothing to tell the user.
    EXPECT_TRUE(files::KillFile(ui, path));
    EXPECT_TRUE(ui.calls.empty());
    // A folder is refused and stays.
    EXPECT_FALSE(files::KillFile(ui, (dir / "recovery").string()));
    EXPECT_TRUE(fs::is_directory(dir / "recovery"));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text.rfind("ERR in KillFile", 0), 0u);
    EXPECT_EQ(ui.Messages()[0].title, "ERROR");
    if (::geteuid() == 0) return;  // root ignores folder permissions
    path = Make("recovery/keep.ldt", "keep");
    ::chmod((dir / "recovery").c_str(), 0500);
    EXPECT_FALSE(files::KillFile(ui, path));
    ::chmod((dir / "recovery").c_str(), 0700);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(ui.Messages().size(), 2u);
}

// (A killed window's file is offered: FrmMainUndo.AKilledWindowsFormIsOffered...)
TEST_F(Files, ARunningDesignersRecoveryFileIsNotOfferedAndBadOnesAreKept) {
    const std::string data = dir.string();
    const std::string layout = "HEADER\r\nForm_Code:\tIntake\r\n\xE9t\xE9\r\n";
    std::string error;
    ASSERT_TRUE(recovery::Write(recovery::FilePath(data, 1), "Mine", layout, error)) << error;
    // A file where its folder should be: the write fails, and says why.
    EXPECT_FALSE(recovery::Write(Make("blocker", "x") + "/1.rcv", "Mine", layout, error));
    EXPECT_FALSE(error.empty());
    // Another designer that runs holds its file; a process id that is alive proves nothing.
    int ready[2], done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    pid_t other = fork();
    if (other == 0) {
        recovery::Write(data + "/recovery/77-1.rcv", "Theirs", layout, error);
        char c;
        [[maybe_unused]] ssize_t n = ::write(ready[1], "x", 1);
        n = ::read(done[0], &c, 1);
        _exit(0);
    }
    char c;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    Make("recovery/1-1.rcv",
         "FORMDESIGNER-RECOVERY\t1\r\nName\tInit\r\nSaved\t2026-01-01 00:00:00\r\nHEADER\r\n");
    // A FIFO is passed over without reading it (that would never end).
    ASSERT_EQ(::mkfifo((dir / "recovery/2-1.rcv").c_str(), 0600), 0);
    // No process has these numbers: their files are left over, but unusable.
    Make("recovery/99999998-1.rcv", "FORMDESIGNER-RECOVERY\t2\r\nName\tx\r\n");
    Make("recovery/99999999-1.rcv", "garbage");
    std::vector<recovery::Entry> left = recovery::FindLeftOver(data);
    ASSERT_EQ(::write(done[1], "x", 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(other, &status, 0), other);
    for (int fd : {ready[0], ready[1], done[0], done[1]}) ::close(fd);
    ASSERT_EQ(left.size(), 3u);
    for (const recovery::Entry& e : left) {
        EXPECT_TRUE(files::FileExists(e.path));
        if (!e.problem.empty()) continue;
        EXPECT_EQ(e.formName, "Init");
        EXPECT_EQ(e.layoutText, "HEADER\r\n");
        EXPECT_EQ(e.savedAt, "2026-01-01 00:00:00");
    }
    EXPECT_EQ(std::count_if(left.begin(), left.end(), [](auto& e) { return e.problem.empty(); }),
              1);
    recovery::Remove(recovery::FilePath(data, 1));
}

TEST_F(Files, TheRecoveryOfferGivesBackTheTakenFormDeletesADeclinedOneOnlyWhenConfirmed) {
    const std::string left = (dir / "recovery/99999997-1.rcv").string(),
                      newer = (dir / "recovery/99999998-1.rcv").string();
    const struct {
        std::deque<bool> answers;
        bool taken, kept;
    } cases[] = {
        {{true}, true, true}, {{false, true}, false, false}, {{false, false}, false, true}};
    for (const auto& c : cases) {
        // Oldest first: the unusable one is reported before the question.
        Make("recovery/99999998-1.rcv", "FORMDESIGNER-RECOVERY\t2\r\nName\tx\r\n");
        // As a designer that is gone left it: nobody holds it.
        Make("recovery/99999997-1.rcv",
             "FORMDESIGNER-RECOVERY\t1\r\nName\tIntake\r\nSaved\t2026-01-01 00:00:00\r\n"
             "HEADER\r\n\xE9\r\n");
        RecordingUserInterface ui;
        ui.boolAnswers = c.answers;
        std::optional<recovery::Entry> e = recovery::Offer(ui, dir.string());
        ASSERT_EQ(e.has_value(), c.taken);
        if (e) {
            EXPECT_EQ(e->layoutText, "HEADER\r\n\xE9\r\n");
        }
        EXPECT_EQ(files::FileExists(left), c.kept);
        EXPECT_TRUE(files::FileExists(newer));
        EXPECT_TRUE(ui.boolAnswers.empty());
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_NE(ui.Messages()[0].text.find("newer version"), std::string::npos);
    }
}

TEST_F(Files, RecentFilesNewestFirstOnceEachAtMostEight) {
    const std::string data = dir.string();
    EXPECT_TRUE(recent::Load(data).empty());
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(recent::Add(data, "/forms/f" + std::to_string(i)));
    ASSERT_TRUE(recent::Add(data, "/forms/f5"));
    EXPECT_FALSE(recent::Add(data, "/forms/two\nlines"));
    EXPECT_FALSE(recent::Add(data, ""));
    EXPECT_EQ(recent::Load(data),
              (std::vector<std::string>{"/forms/f5", "/forms/f9", "/forms/f8", "/forms/f7",
                                        "/forms/f6", "/forms/f4", "/forms/f3", "/forms/f2"}));
}

}  // namespace
