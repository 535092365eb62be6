#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>

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

#include <fcntl.h>
#include <sys/file.h>

TEST(AtomicFile, TemporariesOfKilledWritersGoThoseBeingWrittenStay) {
    fs::path dir = fs::temp_directory_path() / ("fd_stale_" + std::to_string(::getpid()));
    fs::create_directories(dir / "recovery");
    std::string err;
    // Left by writers killed mid-write (their locks went with them), one still writing
    // (holds its lock), and files that only look alike.
    for (const char* name : {"a.ldt.tmpAbC123", "a.ldt.tmpLive01", "b.ldt.tmpZZZZZZ",
                             "recovery/1-1.rcv.tmpQ1q2Q3", "a.ldt.tmp", "a.ldt.tmpAB-123"})
        ASSERT_TRUE(files::AtomicWriteFile((dir / name).string(), "x", err)) << err;
    int live = ::open((dir / "a.ldt.tmpLive01").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);
    auto present = [&] {
        std::set<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(dir))
            if (e.is_regular_file()) names.insert(fs::relative(e.path(), dir).string());
        return names;
    };
    // Writing a target clears its own leftovers only.
    ASSERT_TRUE(files::AtomicWriteFile((dir / "a.ldt").string(), "new", err)) << err;
    EXPECT_EQ(present(), (std::set<std::string>{"a.ldt", "a.ldt.tmpLive01", "b.ldt.tmpZZZZZZ",
                                                "recovery/1-1.rcv.tmpQ1q2Q3", "a.ldt.tmp",
                                                "a.ldt.tmpAB-123"}));
    // The sweep at start clears every folder's, but never one held.
    EXPECT_EQ(files::RemoveStaleTemporaries(dir.string()), 2);
    EXPECT_EQ(present(),
              (std::set<std::string>{"a.ldt", "a.ldt.tmpLive01", "a.ldt.tmp", "a.ldt.tmpAB-123"}));
    ::close(live);
    EXPECT_EQ(files::RemoveStaleTemporaries(dir.string()), 1);
    fs::remove_all(dir);
}

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "shell/RecoveryFiles.h"

TEST(RecoveryFiles, AKilledWindowsFileIsOfferedALiveOnesIsNotAndBadOnesAreKept) {
    const std::string dir = ::testing::TempDir() + "recovery-" + std::to_string(getpid());
    const std::string layout = "HEADER\r\nForm_Code:\tIntake\r\n\xE9t\xE9\r\n";
    std::string error;
    pid_t child = fork();
    if (child == 0) {
        recovery::Write(recovery::FilePath(dir, 1), "Intake", layout, error);
        raise(SIGKILL);
        _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    ASSERT_TRUE(recovery::Write(recovery::FilePath(dir, 1), "Mine", layout, error)) << error;
    // Another designer that runs holds its file; a process id that is alive proves nothing.
    int ready[2], done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    pid_t other = fork();
    if (other == 0) {
        recovery::Write(dir + "/recovery/77-1.rcv", "Theirs", layout, error);
        char c;
        [[maybe_unused]] ssize_t n = ::write(ready[1], "x", 1);
        n = ::read(done[0], &c, 1);
        _exit(0);
    }
    char c;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ASSERT_TRUE(
        files::AtomicWriteFile(dir + "/recovery/1-1.rcv",
                               "FORMDESIGNER-RECOVERY\t1\r\nName\tInit\r\nSaved\t2026-01-01 "
                               "00:00:00\r\nHEADER\r\n",
                               error));
    // A FIFO is passed over without reading it (that would never end).
    ASSERT_EQ(::mkfifo((dir + "/recovery/2-1.rcv").c_str(), 0600), 0);
    // No process has these numbers: their files are left over, but unusable.
    ASSERT_TRUE(files::AtomicWriteFile(dir + "/recovery/99999998-1.rcv",
                                       "FORMDESIGNER-RECOVERY\t2\r\nName\tx\r\n", error));
    ASSERT_TRUE(files::AtomicWriteFile(dir + "/recovery/99999999-1.rcv", "garbage", error));
    std::vector<recovery::Entry> left = recovery::FindLeftOver(dir);
    ASSERT_EQ(::write(done[1], "x", 1), 1);
    ASSERT_EQ(waitpid(other, &status, 0), other);
    for (int fd : {ready[0], ready[1], done[0], done[1]}) ::close(fd);
    ASSERT_EQ(left.size(), 4u);
    std::set<std::string> usable;
    for (const recovery::Entry& e : left) {
        EXPECT_TRUE(files::FileExists(e.path));
        if (!e.problem.empty()) continue;
        usable.insert(e.formName);
        if (e.formName == "Init") continue;
        EXPECT_EQ(e.formName, "Intake");
        EXPECT_EQ(e.layoutText, layout);
        EXPECT_EQ(e.savedAt.size(), 19u);
    }
    EXPECT_EQ(usable, (std::set<std::string>{"Intake", "Init"}));
    for (const recovery::Entry& e : left) recovery::Remove(e.path);
    recovery::Remove(recovery::FilePath(dir, 1));
    std::filesystem::remove_all(dir);
}

#include "shell/RecordingUserInterface.h"

TEST(RecoveryFiles, TheOfferGivesBackTheTakenFormDeletesADeclinedOneOnlyWhenConfirmed) {
    const std::string dir = ::testing::TempDir() + "offer-" + std::to_string(getpid());
    const std::string left = dir + "/recovery/99999997-1.rcv",
                      newer = dir + "/recovery/99999998-1.rcv";
    const struct {
        std::deque<bool> answers;
        bool taken, kept;
    } cases[] = {
        {{true}, true, true}, {{false, true}, false, false}, {{false, false}, false, true}};
    std::filesystem::create_directories(dir + "/recovery");
    for (const auto& c : cases) {
        std::string error;
        // Oldest first: the unusable one is reported before the question.
        ASSERT_TRUE(
            files::AtomicWriteFile(newer, "FORMDESIGNER-RECOVERY\t2\r\nName\tx\r\n", error));
        // As a designer that is gone left it: nobody holds it.
        ASSERT_TRUE(files::AtomicWriteFile(left,
                                           "FORMDESIGNER-RECOVERY\t1\r\nName\tIntake\r\nSaved\t"
                                           "2026-01-01 00:00:00\r\nHEADER\r\n\xE9\r\n",
                                           error));
        RecordingUserInterface ui;
        ui.boolAnswers = c.answers;
        std::optional<recovery::Entry> e = recovery::Offer(ui, dir);
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
    std::filesystem::remove_all(dir);
}

#include "shell/RecentFiles.h"

TEST(RecentFiles, NewestFirstOnceEachAtMostEight) {
    const std::string dir = ::testing::TempDir() + "recent-" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    EXPECT_TRUE(recent::Load(dir).empty());
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(recent::Add(dir, "/forms/f" + std::to_string(i)));
    ASSERT_TRUE(recent::Add(dir, "/forms/f5"));
    EXPECT_FALSE(recent::Add(dir, "/forms/two\nlines"));
    EXPECT_EQ(recent::Load(dir),
              (std::vector<std::string>{"/forms/f5", "/forms/f9", "/forms/f8", "/forms/f7",
                                        "/forms/f6", "/forms/f4", "/forms/f3", "/forms/f2"}));
    std::filesystem::remove_all(dir);
}
