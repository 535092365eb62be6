// The TCP component, and `formdesigner request` as a user runs it, against a tiny frame
// server on a loopback port: timeouts, a dead server, binary bytes, the entity in every
// request, reconnecting after a drop.
#include "FrameServer.h"
#include "RepositoryServerProcess.h"
#include "server/RepositoryCommands.h"
#include "server/TcpComm.h"

namespace {

// Echoes the request, but the flags list holds one record; "fail" is refused, "garbage" gets
// a bad frame, "odd" a reply of no known status, "drop" a closed link.
std::vector<std::string> Echo(const std::vector<std::string>& f) {
    if (f[2] == "|GET|PING|") return {"OK", "|OK||PING|END|"};
    if (f[2] == "|GET|CUSTFORM|H") return {"OK", "|OK||", "A\t1\t0\xE6", "|END|"};
    if (f[2] == "fail") return {"FAIL", "request too long"};
    if (f[2] == "garbage") return {"GARBAGE"};
    if (f[2] == "odd") return {"WHAT"};
    if (f[2] == "drop") return {"CLOSE"};
    return {"OK", "|OK||", f[2], "|END|"};
}

// A link to the echo server.
struct TcpCommTest : ::testing::Test {
    FrameServer server{Echo};
    TcpComm comm;
    std::string reply, error;
    void Open(int port, const std::string& entity = "E1") {
        requests::OpenLink(comm, "127.0.0.1", std::to_string(port), entity);
    }
};

}  // namespace

TEST_F(TcpCommTest, BothChannelsCarryBinaryBytesAndTheEntityAndAnOverLongRequestIsRefused) {
    Open(server.Port());
    EXPECT_TRUE(comm.PingServer("", 0));
    std::string binary("\r\n\0\xE6\xC5\xFF|x", 8);
    ASSERT_TRUE(comm.GetServerStringData("|SET|X|" + binary, "", reply, error)) << error;
    EXPECT_EQ(reply, "|OK|||SET|X|" + binary + "|END|");
    std::vector<std::string> lines;
    ASSERT_TRUE(comm.GetServerArrayData(binary, "", lines, error));
    EXPECT_EQ(lines, (std::vector<std::string>{"|OK||", binary, "|END|"}));
    std::size_t count = 0;
    ASSERT_TRUE(comm.GetServerArrayJoined(binary, "\r\n", reply, count, error));
    EXPECT_EQ(reply, "|OK||\r\n" + binary + "\r\n|END|");
    EXPECT_EQ(count, 3u);
    auto seen = server.Seen();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[1], (std::vector<std::string>{"S", "E1", "|SET|X|" + binary}));
    EXPECT_EQ(seen[2][0], "A");
    // An over-long request is refused here, without breaking the link.
    EXPECT_FALSE(
        comm.GetServerStringData(std::string(wire::kMaxFrameBytes, 'h'), "", reply, error));
    EXPECT_NE(error.find("too large"), std::string::npos);
    EXPECT_TRUE(comm.GetServerStringData("after", "", reply, error)) << error;
    EXPECT_EQ(server.Seen().size(), 5u);
    EXPECT_EQ(server.Connections(), 1);  // one link carries them all
}

TEST_F(TcpCommTest, ARefusalKeepsTheLinkABadReplyOrADropEndsItAndTheNextRequestReconnects) {
    Open(server.Port(), "");
    EXPECT_FALSE(comm.GetServerStringData("fail", "", reply, error));
    EXPECT_EQ(error, "request too long");
    EXPECT_TRUE(comm.IsLinkOpen());  // a refusal keeps the link in step
    for (const char* bad : {"garbage", "odd", "drop"}) {
        EXPECT_FALSE(comm.GetServerStringData(bad, "", reply, error)) << bad;
        EXPECT_FALSE(comm.IsLinkOpen()) << bad;
        EXPECT_TRUE(comm.GetServerStringData("fine", "", reply, error)) << error;
    }
    EXPECT_EQ(reply, "|OK||fine|END|");
    EXPECT_EQ(server.Connections(), 4);
    auto seen = server.Seen();
    ASSERT_EQ(seen.size(), 7u);     // none sent twice
    EXPECT_EQ(seen.back()[1], "");  // an empty entity travels as an empty field
}

TEST_F(TcpCommTest, UploadsAreMarkedAndALostLinkEndsThem) {
    Open(server.Port());
    comm.BeginSequence(2);
    EXPECT_TRUE(comm.GetServerStringData("a", "", reply, error));
    EXPECT_TRUE(comm.GetServerStringData("b", "", reply, error));
    comm.EndSequence();
    EXPECT_TRUE(comm.GetServerStringData("c", "", reply, error));
    auto seen = server.Seen();
    ASSERT_EQ(seen.size(), 3u);
    wire::Sequence first, second;
    ASSERT_TRUE(wire::DecodeSequence(seen[0].at(3), first));
    ASSERT_TRUE(wire::DecodeSequence(seen[1].at(3), second));
    EXPECT_EQ(second, (wire::Sequence{first.id, 2, 2}));
    EXPECT_EQ(seen[2].size(), 3u);  // a lone request carries no sequence field

    comm.BeginSequence(3);
    EXPECT_TRUE(comm.GetServerStringData("x", "", reply, error));
    EXPECT_FALSE(comm.GetServerStringData("drop", "", reply, error));
    EXPECT_FALSE(comm.GetServerStringData("z", "", reply, error));  // not sent on a new link
    EXPECT_NE(error.find("lost in the middle of a multi-part upload (part 3 of 3)"),
              std::string::npos);
    comm.EndSequence();
    EXPECT_TRUE(comm.GetServerStringData("after", "", reply, error)) << error;
    EXPECT_EQ(server.Seen().size(), 6u);
    EXPECT_EQ(server.Connections(), 2);
}

TEST_F(TcpCommTest, OpeningClosingADeadServerBadAddressesAndOneDeadlineForWritingAndReading) {
    reply = "stale";
    ASSERT_TRUE(
        requests::OpenConnection(comm, "127.0.0.1", std::to_string(server.Port()), "9", error));
    EXPECT_EQ(server.Seen().at(0), (std::vector<std::string>{"S", "9", "|GET|PING|"}));
    requests::CloseConnection(comm);
    EXPECT_EQ(std::tuple(comm.IsLinkOpen(), comm.ServerAddress(), comm.Entity()),
              std::tuple(false, "", ""));
    server.Stop();
    EXPECT_FALSE(
        requests::OpenConnection(comm, "127.0.0.1", std::to_string(server.Port()), "9", error));
    EXPECT_FALSE(comm.GetServerStringData("|GET|PING|", "", reply, error));
    EXPECT_EQ(reply, "");
    // No address at all, or a port that is not a number.
    comm.SetServerAddress("", "", 10, 0);
    comm.Disconnect();
    EXPECT_FALSE(comm.GetServerStringData("x", "", reply, error));
    EXPECT_EQ(error, "no server address set");
    comm.SetServerAddress("127.0.0.1", "notaport", 10, 0);
    EXPECT_EQ(comm.Connect(), -1);
    EXPECT_NE(comm.LastError().find("invalid port"), std::string::npos);

    // A server too slow to read the request and to answer it: one deadline for both, then
    // the link is closed.
    FrameServer slow(Echo, std::chrono::milliseconds(500));
    comm.SetTimeouts(2000, 800);
    Open(slow.Port());
    EXPECT_FALSE(comm.GetServerStringData(std::string(32 << 20, 'x'), "", reply, error));
    EXPECT_NE(error.find("timed out"), std::string::npos);
    EXPECT_FALSE(comm.IsLinkOpen());  // a reply that comes later would be out of step
}

TEST(RequestCommand, PrintsJoinedTextElementsOrRawBytesExitsOneWithoutReplyTwoOnBadUsage) {
    if (FormDesignerPath().empty()) GTEST_SKIP() << "formdesigner not built";
    int port = 0;
    std::string out;
    {
        FrameServer server(Echo);
        port = server.Port();
        std::string s = "--server 127.0.0.1:" + std::to_string(port);
        EXPECT_EQ(RunFormDesigner("request", s + " --entity 7 '|GET|X|'", out), 0);
        EXPECT_EQ(out, "|OK|||GET|X||END|\n");
        EXPECT_EQ(server.Seen().back(), (std::vector<std::string>{"S", "7", "|GET|X|"}));
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
