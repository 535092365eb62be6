// `formdesigner request` as a user runs it, against a frame server on a loopback port.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "FrameServer.h"

namespace {

std::string Program() {
    const char* dir = std::getenv("FD_BINARY_DIR");
    std::string p = std::string(dir ? dir : ".") + "/src/app/formdesigner";
    return std::filesystem::exists(p) ? p : "";
}

// Runs the program, returns its exit status and standard output (and error, when asked).
int RunProgram(const std::string& args, std::string& out, const char* command = "request",
               const char* errors = "2>/dev/null") {
    out.clear();
    std::string cmd = Program() + " " + command + " " + args + " " + errors;
    FILE* f = ::popen(cmd.c_str(), "r");
    if (!f) return -1;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    int status = ::pclose(f);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> Reply(const std::vector<std::string>& f) {
    if (f[2] == "|GET|CUSTFORM|H") return {"OK", "|OK||", "A\t1\t0\xE6", "|END|"};
    return {"OK", "|OK||", f[1] + "/" + f[0] + "/" + f[2], "|END|"};
}

}  // namespace

TEST(RequestCommand, PrintsJoinedTextElementsOrRawBytes) {
    if (Program().empty()) GTEST_SKIP() << "formdesigner not built";
    FrameServer server(Reply);
    std::string s = "--server 127.0.0.1:" + std::to_string(server.Port());
    std::string out;
    EXPECT_EQ(RunProgram(s + " --entity 7 '|GET|PING|'", out), 0);
    EXPECT_EQ(out, "|OK||7/S/|GET|PING||END|\n");
    EXPECT_EQ(RunProgram(s + " --array '|GET|CUSTFORM|H'", out), 0);
    EXPECT_EQ(out, "|OK||\nA\t1\t0\xC3\xA6\n|END|\n");  // 230 shown as UTF-8
    EXPECT_EQ(RunProgram(s + " --raw '|GET|CUSTFORM|H'", out), 0);
    EXPECT_EQ(out, "|OK||A\t1\t0\xE6|END|");
}

TEST(RequestCommand, NoReplyExitsOneAndBadUsageTwo) {
    if (Program().empty()) GTEST_SKIP() << "formdesigner not built";
    int port = 0;
    {
        FrameServer gone(Reply);
        port = gone.Port();
    }
    std::string out;
    EXPECT_EQ(RunProgram("--server 127.0.0.1:" + std::to_string(port) + " '|GET|PING|'", out), 1);
    EXPECT_EQ(out, "");
    EXPECT_EQ(RunProgram("--server nohostport '|GET|PING|'", out), 2);
    EXPECT_EQ(RunProgram("", out), 2);
}

TEST(RequestCommand, ASilentServerEndsEveryCommandWithinItsDeadlineNamingTheServer) {
    if (Program().empty()) GTEST_SKIP() << "formdesigner not built";
    // Answers the connection's ping, then never again: a command that goes on asking (a
    // picture at a time) must still end by its one deadline.
    auto pingOnly = [](const std::vector<std::string>& f) -> std::vector<std::string> {
        if (f[2].rfind("|GET|PING", 0) == 0) return {"OK", "|OK||PING|END|"};
        return {"SILENT"};
    };
    const struct {
        const char* command;
        std::string args;
    } cases[] = {{"request", "'|GET|CUSTFORM|L'"},
                 {"forms", "list"},
                 {"forms", "get Intake"},
                 {"forms", "delete Intake"}};
    for (const auto& c : cases) {
        FrameServer server(pingOnly);
        const std::string at = "127.0.0.1:" + std::to_string(server.Port());
        auto start = std::chrono::steady_clock::now();
        std::string out;
        EXPECT_EQ(RunProgram(c.args + " --server " + at + " --timeout 1", out, c.command, "2>&1"),
                  1)
            << c.args;
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, 4) << c.args;
        EXPECT_NE(out.find("the server " + at + " did not answer within 1 s"), std::string::npos)
            << c.args << ": " << out;
        server.Stop();
    }
    std::string out;
    EXPECT_EQ(RunProgram("--timeout 0 '|GET|PING|'", out), 2);
}
