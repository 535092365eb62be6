#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "shell/AppIdentity.h"
#include "shell/DataFolder.h"
#include "shell/KeyState.h"
#include "shell/LoginCheck.h"
#include "shell/RecordingUserInterface.h"
#include "shell/StartOptions.h"

namespace fs = std::filesystem;

TEST(StartOptions, SwitchesAnywhereInTheCommandLine) {
    StartOptions none = ParseStartOptions(std::string_view(""));
    EXPECT_FALSE(none.debugMode || none.debugReceive || none.ignorePing || none.noPing);
    EXPECT_FALSE(none.SkipPing());

    StartOptions a = ParseStartOptions(std::vector<std::string>{"x", "debug", "mode", "rcv"});
    EXPECT_TRUE(a.debugMode);
    EXPECT_TRUE(a.debugReceive);
    EXPECT_FALSE(a.SkipPing());

    // "rcv" alone does nothing; it only refines the debug mode.
    StartOptions b = ParseStartOptions(std::string_view("rcv no ping"));
    EXPECT_FALSE(b.debugMode);
    EXPECT_FALSE(b.debugReceive);
    EXPECT_TRUE(b.noPing);
    EXPECT_TRUE(b.SkipPing());

    StartOptions c = ParseStartOptions(std::string_view("--flag=ignore pingpong"));
    EXPECT_TRUE(c.ignorePing);
    EXPECT_FALSE(c.noPing);
    EXPECT_TRUE(c.SkipPing());

    // The switches are matched as written.
    StartOptions d = ParseStartOptions(std::string_view("Debug Mode NO PING debugmode noping"));
    EXPECT_FALSE(d.debugMode || d.noPing);

    // "--connect HOST:PORT" (or "--connect=HOST:PORT") names the server to connect to.
    using Args = std::vector<std::string>;
    StartOptions e = ParseStartOptions(Args{"a.ldt", "--connect", "::1:05002", "no ping"});
    EXPECT_EQ(e.connectAddress + " " + e.connectPort + e.error, "::1 5002");
    EXPECT_TRUE(e.noPing && e.ConnectsAtStart());
    for (const char* bad : {"--connect", "--connect=host", "--connect=:5001", "--connect=h:0",
                            "--connect=h:65536", "--connect=h:x"}) {
        StartOptions f = ParseStartOptions(Args{bad});
        EXPECT_FALSE(f.error.empty() || f.ConnectsAtStart()) << bad;
    }
}

TEST(LoginCheck, PasswordComparedWithoutCase) {
    EXPECT_TRUE(LoginCheck::Accepts("tarnvoss"));
    EXPECT_TRUE(LoginCheck::Accepts("TARNVOSS"));
    EXPECT_TRUE(LoginCheck::Accepts("TarnVoss"));
    for (const char* bad :
         {"", "tarnvos", "tarnvoss ", " tarnvoss", "tarnvoss\n", "tarnv0ss", "tarnvosss"})
        EXPECT_FALSE(LoginCheck::Accepts(bad)) << bad;
    EXPECT_FALSE(LoginCheck::Accepts(std::string_view("tarn\0voss", 9)));
}

TEST(KeyState, SettableFlags) {
    SettableKeyState keys;
    const KeyState& current = keys;
    EXPECT_FALSE(current.ShiftPressed() || current.CtrlPressed() || current.AltPressed());
    keys.ctrl = true;
    EXPECT_TRUE(current.CtrlPressed());
    EXPECT_FALSE(current.ShiftPressed());
    keys.shift = true;
    keys.alt = true;
    EXPECT_TRUE(current.ShiftPressed() && current.AltPressed());
}

TEST(AppIdentity, LoggingNames) {
    EXPECT_EQ(app::LogFileIdentity("/usr/bin/formdesigner"), "file: formdesigner");
    EXPECT_EQ(app::LogFileIdentity("C:\\x\\fd.exe"), "file: fd.exe");
    EXPECT_EQ(app::LogFileIdentity("fd"), "file: fd");
    EXPECT_EQ(app::kErrorLogName, "FormsDesignerErrors.log");
}

namespace {

// Sets or clears environment variables for one test and puts them back after.
class EnvGuard {
  public:
    explicit EnvGuard(std::initializer_list<const char*> names) {
        for (const char* n : names) {
            const char* v = std::getenv(n);
            saved_.push_back({n, v ? std::optional<std::string>(v) : std::nullopt});
        }
    }
    ~EnvGuard() {
        for (auto& [n, v] : saved_) v ? ::setenv(n.c_str(), v->c_str(), 1) : ::unsetenv(n.c_str());
    }

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace

TEST(DataFolder, EnvironmentOrderAndCreation) {
    EnvGuard guard{"FORMDESIGNER_HOME", "XDG_DATA_HOME", "HOME"};
    fs::path base = fs::temp_directory_path() / ("fd_data_" + std::to_string(::getpid()));
    fs::remove_all(base);

    ::setenv("FORMDESIGNER_HOME", (base / "own" / "deep").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (base / "xdg").c_str(), 1);
    ::setenv("HOME", (base / "home").c_str(), 1);
    EXPECT_EQ(GetDataFolder(), (base / "own" / "deep").string());
    EXPECT_TRUE(fs::is_directory(base / "own" / "deep"));
    EXPECT_EQ(GetDataFolder(), (base / "own" / "deep").string());  // already there

    ::setenv("FORMDESIGNER_HOME", "", 1);  // empty counts as unset
    EXPECT_EQ(GetDataFolder(), (base / "xdg" / "formdesigner").string());
    EXPECT_TRUE(fs::is_directory(base / "xdg" / "formdesigner"));

    ::unsetenv("FORMDESIGNER_HOME");
    ::setenv("XDG_DATA_HOME", "relative/path", 1);  // not absolute: ignored
    EXPECT_EQ(DataFolderPath(), (base / "home" / ".local" / "share" / "formdesigner").string());
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(GetDataFolder(), (base / "home" / ".local" / "share" / "formdesigner").string());
    EXPECT_FALSE(fs::exists("relative"));

    // A file where the folder should be: no folder, a reason, nothing overwritten.
    fs::create_directories(base);
    {
        std::FILE* f = std::fopen((base / "blocker").c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("keep", f);
        std::fclose(f);
    }
    ::setenv("FORMDESIGNER_HOME", (base / "blocker").c_str(), 1);
    std::string error;
    EXPECT_EQ(GetDataFolder(error), "");
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(fs::file_size(base / "blocker"), 4u);
    fs::remove_all(base);
}
