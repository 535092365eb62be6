// `formdesigner request` as a user runs it, against a frame server on a loopback port.
#include <gtest/gtest.h>

#include <chrono>

#include "FrameServer.h"
#include "RepositoryServerProcess.h"

namespace {

std::vector<std::string> Reply(const std::vector<std::string>& f) {
    if (f[2] == "|GET|CUSTFORM|H") return {"OK", "|OK||", "A\t1\t0\xE6", "|END|"};
    return {"OK", "|OK||", f[1] + "/" + f[0] + "/" + f[2], "|END|"};
}

}  // namespace

TEST(RequestCommand, PrintsJoinedTextElementsOrRawBytesExitsOneWithoutReplyTwoOnBadUsage) {
    if (FormDesignerPath().empty()) GTEST_SKIP() << "formdesigner not built";
    int port = 0;
    std::string out;
    {
        FrameServer server(Reply);
        port = server.Port();
        std::string s = "--server 127.0.0.1:" + std::to_string(port);
        EXPECT_EQ(RunFormDesigner("request", s + " --entity 7 '|GET|PING|'", out), 0);
        EXPECT_EQ(out, "|OK||7/S/|GET|PING||END|\n");
        EXPECT_EQ(RunFormDesigner("request", s + " --array '|GET|CUSTFORM|H'", out), 0);
        EXPECT_EQ(out, "|OK||\nA\t1\t0\xC3\xA6\n|END|\n");  // 230 shown as UTF-8
        EXPECT_EQ(RunFormDesigner("request", s + " --raw '|GET|CUSTFORM|H'", out), 0);
        EXPECT_EQ(out, "|OK||A\t1\t0\xE6|END|");
    }
    EXPECT_EQ(RunFormDesigner("request",
                              "--server 127.0.0.1:" + std::to_string(port) + " '|GET|PING|'", out),
              1);
    EXPECT_EQ(out, "");
    EXPECT_EQ(RunFormDesigner("request", "--server nohostport '|GET|PING|'", out), 2);
    EXPECT_EQ(RunFormDesigner("request", "", out), 2);
    EXPECT_EQ(RunFormDesigner("request", "--timeout 0 '|GET|PING|'", out), 2);
}

TEST(RequestCommand, ASilentServerEndsEveryCommandWithinItsDeadlineNamingTheServer) {
    if (FormDesignerPath().empty()) GTEST_SKIP() << "formdesigner not built";
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
        EXPECT_EQ(
            RunFormDesigner(c.command, c.args + " --server " + at + " --timeout 1", out, "2>&1"), 1)
            << c.args;
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, 4) << c.args;
        EXPECT_NE(out.find("the server " + at + " did not answer within 1 s"), std::string::npos)
            << c.args << ": " << out;
    }
}
