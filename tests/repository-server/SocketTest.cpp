// Starts the real program on a free loopback port and talks to it through the framing.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "wire/Framing.h"

namespace fs = std::filesystem;
extern char** environ;

namespace {

class RunningServer {
  public:
    bool Start(const std::string& dbPath, bool seed, std::vector<std::string> extra = {}) {
        const char* bin = std::getenv("FD_BINARY_DIR");
        std::string program = std::string(bin ? bin : ".") + "/repository-server/repository-server";
        int out[2];
        if (::pipe(out) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::vector<std::string> args = {program, "--port", "0", "--db", dbPath};
        if (seed) args.push_back("--seed-demo");
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        if (rc != 0) {
            ::close(out[0]);
            pid_ = -1;
            return false;
        }
        std::string line;
        char c;
        while (::read(out[0], &c, 1) == 1 && c != '\n') line += c;
        ::close(out[0]);
        const std::string prefix = "listening on 127.0.0.1:";
        if (line.rfind(prefix, 0) != 0) return false;
        port_ = std::atoi(line.c_str() + prefix.size());
        return port_ > 0;
    }
    // Exit status after SIGTERM, or -1.
    int Stop() {
        if (pid_ <= 0) return -1;
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    ~RunningServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    int port() const { return port_; }

  private:
    pid_t pid_ = -1;
    int port_ = 0;
};

class Client {
  public:
    explicit Client(int port) {
        std::string error;
        fd_ = wire::ConnectTcp("127.0.0.1", port, 5000, error);
    }
    ~Client() { wire::CloseSocket(fd_); }
    bool connected() const { return fd_ >= 0; }
    // The reply fields: status, then the elements.
    std::vector<std::string> Raw(const std::string& payload) {
        std::vector<std::string> fields;
        if (wire::WriteFrame(fd_, payload, 30000) != wire::IoResult::Ok) return fields;
        std::string reply;
        if (wire::ReadFrame(fd_, reply, 30000) != wire::IoResult::Ok) return fields;
        wire::DecodeFields(reply, fields);
        return fields;
    }
    std::vector<std::string> Ask(const std::string& text, const std::string& entity = "1",
                                 const std::string& channel = "A",
                                 const wire::Sequence* sequence = nullptr) {
        if (sequence)
            return Raw(
                wire::EncodeFields({channel, entity, text, wire::EncodeSequence(*sequence)}));
        return Raw(wire::EncodeFields({channel, entity, text}));
    }
    std::string AskText(const std::string& text, const wire::Sequence* sequence = nullptr) {
        auto f = Ask(text, "1", "S", sequence);
        std::string out;
        for (size_t i = 1; i < f.size(); ++i) out += f[i];
        return f.empty() ? "<no reply>" : f[0] + ":" + out;
    }
    int fd() const { return fd_; }

  private:
    int fd_ = -1;
};

class Program : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "repo-sock-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
        db = dir + "/repository.db";
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string dir, db;
};

}  // namespace

TEST_F(Program, ServesSeveralClientsAtOnceAndStopsCleanlyOnSigterm) {
    RunningServer server;
    ASSERT_TRUE(server.Start(db, true));
    {
        Client probe(server.port());
        ASSERT_TRUE(probe.connected());
        EXPECT_EQ(probe.AskText("|GET|PING|"), "OK:|OK||PING|END|");
        auto list = probe.Ask("|GET|CUSTFORM|L");
        ASSERT_EQ(list.size(), 7u);  // OK, framing, four demo forms, end
    }
    // A form large enough to keep the workers busy, so the clients' fetches of it queue up
    // and share replies, and a version of it saved while they fetch.
    auto sharedLayout = [](char c) { return std::string(2 << 20, c); };
    auto saveShared = [&](Client& client, char c) {
        return client.AskText("|SET|CUSTFORM|T|SHARED|D:T:X|" + sharedLayout(c));
    };
    Client writer(server.port());
    ASSERT_EQ(saveShared(writer, 'A').substr(0, 7), "OK:|OK|");

    constexpr int kClients = 6;
    std::vector<std::thread> threads;
    std::vector<int> failures(kClients, 0);
    for (int c = 0; c < kClients; ++c) {
        threads.emplace_back([&, c] {
            Client client(server.port());
            if (!client.connected()) {
                failures[c] = 1000;
                return;
            }
            std::string name = "F" + std::to_string(c);
            std::string layout(40000 + c, char('a' + c));
            layout.replace(100, 4, "\r\n\0|", 4);
            std::string record = name + "|D:T:X|" + layout;
            for (std::uint32_t round = 0; round < 5; ++round) {
                // One save: record, picture and static list as one upload.
                std::string picture(20000, char(c));
                std::vector<std::string> parts = {
                    "|SETL|" + record.substr(30000), "|SET|CUSTFORM|T|" + record.substr(0, 30000),
                    "|SET|CUSTFORM|I-1|" + name + "|p.bmp|" + picture.substr(0, 9000),
                    "|SET|CUSTFORM|I-2|" + name + "|p.bmp|" + picture.substr(9000),
                    "|SET|CUSTFORM|S|" + name + "|A\xE6" + "B\xE6"};
                for (std::uint32_t i = 1; i <= parts.size(); ++i) {
                    wire::Sequence seq{std::uint64_t(c) * 100 + round + 1, i, 5};
                    if (client.AskText(parts[i - 1], &seq) !=
                        (i == 5 ? "OK:|OK||DONE|END|" : "OK:|OK||PIECE|END|"))
                        ++failures[c];
                }
                auto back = client.Ask("|GET|CUSTFORM|T|" + name);
                std::string joined;
                for (size_t i = 1; i < back.size(); ++i) joined += (i > 1 ? "\r\n" : "") + back[i];
                if (joined != "|OK||" + layout + "\r\n|END|") ++failures[c];
                if (client.AskText("|GET|CUSTFORM|I|" + name + "||p.bmp") !=
                    "OK:|OK||" + picture + "|END|")
                    ++failures[c];
                // Whole, and never older than the version saved before the fetch.
                char seen = 0;
                for (int fetch = 0; fetch < 3; ++fetch) {
                    auto shared = client.AskText("|GET|CUSTFORM|T|SHARED");
                    char now = shared.size() > 8 ? shared[8] : 0;
                    if (now < seen || shared != "OK:|OK||" + sharedLayout(now) + "|END|")
                        ++failures[c];
                    seen = now;
                }
            }
        });
    }
    for (char version = 'B'; version <= 'E'; ++version)
        EXPECT_EQ(saveShared(writer, version).substr(0, 7), "OK:|OK|");
    for (auto& t : threads) t.join();
    for (int c = 0; c < kClients; ++c) EXPECT_EQ(failures[c], 0) << "client " << c;

    Client after(server.port());
    EXPECT_EQ(after.Ask("|GET|CUSTFORM|L").size(), 8u + kClients);
    EXPECT_EQ(after.Ask("|GET|CUSTFORM|L", "").size(), 7u);  // demo forms of the empty entity
    EXPECT_EQ(server.Stop(), 0);

    // The data is still there when the program starts again on the same file.
    RunningServer again;
    ASSERT_TRUE(again.Start(db, true));  // seeding skips a repository with data
    Client client(again.port());
    EXPECT_EQ(client.Ask("|GET|CUSTFORM|L").size(), 8u + kClients);
    EXPECT_EQ(again.Stop(), 0);
}

TEST_F(Program, BadFramesGetAFailReplyAndTheServerGoesOn) {
    RunningServer server;
    ASSERT_TRUE(server.Start(db, false));
    Client client(server.port());
    ASSERT_TRUE(client.connected());
    EXPECT_EQ(client.Raw("not a field list"),
              (std::vector<std::string>{"FAIL", "malformed request"}));
    EXPECT_EQ(client.Raw(wire::EncodeFields({"S", "1"})),
              (std::vector<std::string>{"FAIL", "malformed request"}));
    EXPECT_EQ(client.Raw(wire::EncodeFields({"Q", "1", "|GET|PING|"})),
              (std::vector<std::string>{"FAIL", "malformed request"}));
    EXPECT_EQ(client.Raw(wire::EncodeFields({"S", "1", "|GET|PING|", "short"})),
              (std::vector<std::string>{"FAIL", "malformed request"}));
    EXPECT_EQ(
        client.Raw(wire::EncodeFields({"S", "1", "|GET|PING|", wire::EncodeSequence({5, 1, 2})})),
        (std::vector<std::string>{"OK", "ERROR: request cannot be part of an upload"}));
    // Application errors are ordinary replies.
    EXPECT_EQ(client.AskText("|NOPE|"), "OK:ERROR: unknown request");
    EXPECT_EQ(client.AskText("|GET|PING|"), "OK:|OK||PING|END|");

    // A frame announced beyond the limit ends that connection only.
    Client greedy(server.port());
    unsigned char head[4] = {0xFF, 0xFF, 0xFF, 0xF0};
    ASSERT_EQ(::write(greedy.fd(), head, 4), 4);
    std::string reply;
    ASSERT_EQ(wire::ReadFrame(greedy.fd(), reply, 5000), wire::IoResult::Ok);
    std::vector<std::string> fields;
    ASSERT_TRUE(wire::DecodeFields(reply, fields));
    EXPECT_EQ(fields, (std::vector<std::string>{"FAIL", "request too large"}));
    EXPECT_EQ(wire::ReadFrame(greedy.fd(), reply, 5000), wire::IoResult::Closed);

    // A client that sends half a frame and vanishes does not disturb the others.
    {
        Client quitter(server.port());
        unsigned char partial[6] = {0, 0, 1, 0, 'x', 'y'};
        ASSERT_EQ(::write(quitter.fd(), partial, 6), 6);
    }
    EXPECT_EQ(client.AskText("|GET|PING|"), "OK:|OK||PING|END|");
    EXPECT_EQ(server.Stop(), 0);
}

TEST_F(Program, ManyIdleConnectionsLeaveAFreshClientServedAndAreClosedWhenSilent) {
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
    const int idleCount = int(std::min<rlim_t>(2000, limit.rlim_max - 100));
    RunningServer server;
    ASSERT_TRUE(server.Start(db, false, {"--idle-timeout", "2"}));
    auto ms = [](std::chrono::steady_clock::time_point since) {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
            .count();
    };
    auto opened = std::chrono::steady_clock::now();
    std::vector<std::unique_ptr<Client>> silent;
    for (int i = 0; i < idleCount; ++i) silent.push_back(std::make_unique<Client>(server.port()));
    ASSERT_TRUE(silent.back()->connected());
    auto t0 = std::chrono::steady_clock::now();
    {
        Client fresh(server.port());
        EXPECT_EQ(fresh.AskText("|GET|PING|"), "OK:|OK||PING|END|");
    }
    // Served at once (well under 100 ms; the bound leaves room for a loaded machine).
    EXPECT_LT(ms(t0), 1000) << "with " << idleCount << " idle connections";
    // Idle is not forgotten: served too, and closed after the idle timeout when silent.
    EXPECT_EQ(silent[1]->AskText("|GET|PING|"), "OK:|OK||PING|END|");
    std::string reply;
    EXPECT_EQ(wire::ReadFrame(silent[0]->fd(), reply, 10000), wire::IoResult::Closed);
    EXPECT_GT(ms(opened), 1900);
    EXPECT_LT(ms(opened), 6000);
    EXPECT_EQ(server.Stop(), 0);
}

TEST_F(Program, CommandLineIsChecked) {
    const char* bin = std::getenv("FD_BINARY_DIR");
    std::string program = std::string(bin ? bin : ".") + "/repository-server/repository-server";
    auto run = [&](const std::string& args) {
        // A server that wrongly starts is stopped by the timeout (status 124).
        std::string line = "timeout 10 " + program + " " + args + " >/dev/null 2>&1";
        int status = std::system(line.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run("--help"), 0);
    EXPECT_EQ(run("--port 70000"), 2);
    EXPECT_EQ(run("--port"), 2);
    EXPECT_EQ(run("--bogus"), 2);
    EXPECT_EQ(run("--port 0 --db " + dir + "/missing/folder/x.db"), 1);
    EXPECT_EQ(run("--port 0 --address 999.1.1.1 --db " + db), 1);
    EXPECT_EQ(run("--idle-timeout 0"), 2);
    // No access control: an address beyond this machine must be asked for.
    EXPECT_EQ(run("--port 0 --address 0.0.0.0 --db " + db), 2);
    EXPECT_EQ(run("--port 0 --address 192.168.1.1 --db " + db), 2);
}
