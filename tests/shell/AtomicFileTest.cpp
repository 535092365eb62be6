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

#include <signal.h>
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
    // No process has these numbers: their files are left over, but unusable.
    ASSERT_TRUE(files::AtomicWriteFile(dir + "/recovery/99999998-1.rcv",
                                       "FORMDESIGNER-RECOVERY\t2\r\nName\tx\r\n", error));
    ASSERT_TRUE(files::AtomicWriteFile(dir + "/recovery/99999999-1.rcv", "garbage", error));
    std::vector<recovery::Entry> left = recovery::FindLeftOver(dir);
    ASSERT_EQ(left.size(), 3u);
    int usable = 0;
    for (const recovery::Entry& e : left) {
        EXPECT_TRUE(files::FileExists(e.path));
        if (!e.problem.empty()) continue;
        ++usable;
        EXPECT_EQ(e.formName, "Intake");
        EXPECT_EQ(e.layoutText, layout);
        EXPECT_EQ(e.savedAt.size(), 19u);
    }
    EXPECT_EQ(usable, 1);
    for (const recovery::Entry& e : left) recovery::Remove(e.path);
    recovery::Remove(recovery::FilePath(dir, 1));
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
        ASSERT_TRUE(recovery::Write(left, "Intake", "HEADER\r\n\xE9\r\n", error)) << error;
        RecordingUserInterface ui;
        ui.boolAnswers = c.answers;
        std::optional<recovery::Entry> e = recovery::Offer(ui, dir);
        ASSERT_EQ(e.has_value(), c.taken);
        if (e) EXPECT_EQ(e->layoutText, "HEADER\r\n\xE9\r\n");
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
