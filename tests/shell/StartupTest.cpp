#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "shell/AppIdentity.h"
#include "shell/AtomicFile.h"
#include "shell/DataFolder.h"
#include "shell/LoginCheck.h"
#include "shell/StartOptions.h"

namespace fs = std::filesystem;

namespace {
// The switches a command line set, in a fixed order, to compare whole option sets.
std::string Switches(const StartOptions& o) {
    std::string on = o.debugMode ? "debug " : "";
    on += o.debugReceive ? "rcv " : "";
    on += o.noPing ? "noping " : "";
    on += o.ignorePing ? "ignore " : "";
    return on + (o.SkipPing() ? "skip" : "");
}
}  // namespace

TEST(StartOptions, SwitchesAnywhereInTheCommandLine) {
    using Args = std::vector<std::string>;
    EXPECT_EQ(Switches(ParseStartOptions(std::string_view(""))), "");
    EXPECT_EQ(Switches(ParseStartOptions(Args{"x", "debug", "mode", "rcv"})), "debug rcv ");
    // "rcv" alone does nothing; it only refines the debug mode.
    EXPECT_EQ(Switches(ParseStartOptions(std::string_view("rcv no ping"))), "noping skip");
    EXPECT_EQ(Switches(ParseStartOptions(std::string_view("--flag=ignore pingpong"))),
              "ignore skip");
    // The switches are matched as written.
    EXPECT_EQ(Switches(ParseStartOptions(std::string_view("Debug Mode NO PING debugmode noping"))),
              "");

    // "--connect HOST:PORT" (or "--connect=HOST:PORT") names the server to connect to.
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
    for (const char* good : {"tarnvoss", "TARNVOSS", "TarnVoss"})
        EXPECT_TRUE(LoginCheck::Accepts(good));
    for (const char* bad :
         {"", "tarnvos", "tarnvoss ", " tarnvoss", "tarnvoss\n", "tarnv0ss", "tarnvosss"})
        EXPECT_FALSE(LoginCheck::Accepts(bad)) << bad;
    EXPECT_FALSE(LoginCheck::Accepts(std::string_view("tarn\0voss", 9)));
}

TEST(AppIdentity, LoggingNames) {
    EXPECT_EQ(app::LogFileIdentity("/usr/bin/formdesigner"), "file: formdesigner");
    EXPECT_EQ(app::LogFileIdentity("C:\\x\\fd.exe"), "file: fd.exe");
    EXPECT_EQ(app::LogFileIdentity("fd"), "file: fd");
}

TEST(DataFolder, EnvironmentOrderAndCreation) {
    // The variables as they were, put back at the end.
    std::vector<std::pair<const char*, std::optional<std::string>>> saved;
    for (const char* n : {"FORMDESIGNER_HOME", "XDG_DATA_HOME", "HOME"})
        saved.emplace_back(
            n, std::getenv(n) ? std::optional<std::string>(std::getenv(n)) : std::nullopt);
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
    std::string error;
    EXPECT_TRUE(files::AtomicWriteFile((base / "blocker").string(), "keep", error));
    ::setenv("FORMDESIGNER_HOME", (base / "blocker").c_str(), 1);
    EXPECT_EQ(GetDataFolder(error), "");
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(fs::file_size(base / "blocker"), 4u);
    fs::remove_all(base);
    for (auto& [n, v] : saved) v ? ::setenv(n, v->c_str(), 1) : ::unsetenv(n);
}
