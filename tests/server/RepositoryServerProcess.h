#pragma once
// The real repository server on a free loopback port (Port() is 0 when the program is not
// built or did not start), a folder for each test, the designer's program as a script runs it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// A program of this build, or empty text when it was not built.
inline std::string BuiltProgram(const std::string& path) {
    const char* dir = std::getenv("FD_BINARY_DIR");
    std::string p = std::string(dir ? dir : ".") + "/" + path;
    return std::filesystem::exists(p) ? p : "";
}

class RepositoryServerProcess {
  public:
    static std::string ProgramPath() { return BuiltProgram("repository-server/repository-server"); }

    explicit RepositoryServerProcess(const std::string& dbPath, bool seedDemo = false, int port = 0,
                                     const std::vector<std::string>& options = {}) {
        std::string prog = ProgramPath(), portText = std::to_string(port);
        std::vector<const char*> argv = {prog.c_str(), "--port", portText.c_str(), "--db",
                                         dbPath.c_str()};
        if (seedDemo) argv.push_back("--seed-demo");
        for (const auto& option : options) argv.push_back(option.c_str());
        argv.push_back(nullptr);
        int out[2];
        if (prog.empty() || ::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            ::close(out[1]);
            ::execv(prog.c_str(), const_cast<char* const*>(argv.data()));
            ::_exit(127);
        }
        ::close(out[1]);
        if (pid_ < 0) {
            ::close(out[0]);
            return;
        }
        // First line: "listening on 127.0.0.1:PORT".
        std::string line;
        char c;
        while (line.size() < 200 && ::read(out[0], &c, 1) == 1 && c != '\n') line += c;
        stdout_ = out[0];
        auto colon = line.rfind(':');
        if (line.rfind("listening on ", 0) == 0 && colon != std::string::npos)
            port_ = std::atoi(line.c_str() + colon + 1);
    }
    ~RepositoryServerProcess() {
        Stop();
        if (stdout_ >= 0) ::close(stdout_);
    }
    int Port() const { return port_; }
    pid_t Pid() const { return pid_; }  // for the benchmark that reads its memory
    // Ends the server; its exit status, or -1.
    int Stop(int signal = SIGTERM) {
        int status = -1;  // not an exit
        if (pid_ > 0 && ::kill(pid_, signal) == 0) ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // Ends the server as a crash would: no chance to tidy up.
    void Kill() { Stop(SIGKILL); }

  private:
    pid_t pid_ = -1;
    int stdout_ = -1;
    int port_ = 0;
};

// An empty folder for one test, named after it and this process.
inline std::filesystem::path TestFolder(const std::string& name) {
    auto dir =
        std::filesystem::temp_directory_path() / ("fd_" + name + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

inline std::string FormDesignerPath() {
    return BuiltProgram("src/app/formdesigner");
}

// `formdesigner COMMAND ARGS` as a script runs it: its exit status, its output in out.
inline int RunFormDesigner(const std::string& command, const std::string& args, std::string& out,
                           const char* errors = "2>/dev/null") {
    std::string cmd = FormDesignerPath() + " " + command + " " + args + " " + errors;
    out.clear();
    FILE* f = ::popen(cmd.c_str(), "r");
    char buf[4096];
    for (std::size_t n; f && (n = std::fread(buf, 1, sizeof buf, f)) > 0;) out.append(buf, n);
    int status = f ? ::pclose(f) : -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A test with a folder of its own and the real server on a fresh database in it, seeded
// with the demo forms when demo is set before SetUp.
struct WithServer : ::testing::Test {
    std::filesystem::path dir;
    std::unique_ptr<RepositoryServerProcess> server;
    bool demo = false;

    void SetUp() override {
        if (RepositoryServerProcess::ProgramPath().empty()) GTEST_SKIP() << "no reference server";
        dir = TestFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        server = std::make_unique<RepositoryServerProcess>((dir / "repo.db").string(), demo);
        ASSERT_GT(server->Port(), 0);
    }
    void TearDown() override {
        server.reset();
        if (!dir.empty()) std::filesystem::remove_all(dir);
    }
    bool Ready() const { return !IsSkipped() && !HasFatalFailure(); }
};
