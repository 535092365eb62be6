#pragma once
// Starts the real repository server on a free loopback port with a fresh database
// and stops it again. Port() is 0 when the program is not built or did not start.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

class RepositoryServerProcess {
  public:
    static std::string ProgramPath() {
        const char* dir = std::getenv("FD_BINARY_DIR");
        std::string p = std::string(dir ? dir : ".") + "/repository-server/repository-server";
        return std::filesystem::exists(p) ? p : "";
    }

    explicit RepositoryServerProcess(const std::string& dbPath, bool seedDemo = false,
                                     int port = 0) {
        std::string prog = ProgramPath();
        if (prog.empty()) return;
        int out[2];
        if (::pipe(out) != 0) return;
        std::string portText = std::to_string(port);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            ::close(out[1]);
            if (seedDemo)
                ::execl(prog.c_str(), prog.c_str(), "--port", portText.c_str(), "--db",
                        dbPath.c_str(), "--seed-demo", static_cast<char*>(nullptr));
            else
                ::execl(prog.c_str(), prog.c_str(), "--port", portText.c_str(), "--db",
                        dbPath.c_str(), static_cast<char*>(nullptr));
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
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
        if (stdout_ >= 0) ::close(stdout_);
    }
    int Port() const { return port_; }
    pid_t Pid() const { return pid_; }
    // Ends the server as a crash would: no chance to tidy up.
    void Kill() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }

  private:
    pid_t pid_ = -1;
    int stdout_ = -1;
    int port_ = 0;
};
