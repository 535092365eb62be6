// repository-server: the form repository that the designer saves to and opens from.
#include <arpa/inet.h>
#include <sys/resource.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "DemoData.h"
#include "Repository.h"
#include "Server.h"
#include "shell/Version.h"

namespace {

repo::Server* gServer = nullptr;

extern "C" void OnSignal(int) {
    if (gServer) gServer->Stop();
}

void Usage(std::FILE* out) {
    std::fputs(
        "usage: repository-server [--address A] [--allow-remote] [--port P] [--db PATH|URI]\n"
        "                         [--idle-timeout S] [--seed-demo]\n"
        "  --address A   address to listen on (default 127.0.0.1)\n"
        "  --allow-remote  allow an address other than loopback: anyone who reaches the\n"
        "                port can read, change and delete every stored form (no login)\n"
        "  --port P      port to listen on (default 5001; 0 picks a free one)\n"
        "  --db PATH     SQLite file (default ./repository.db), created when missing\n"
        "  --db URI      PostgreSQL database, as postgresql://USER@HOST:PORT/DBNAME;\n"
        "                several servers may share it. The password comes from\n"
        "                PGPASSWORD or ~/.pgpass, never from the address\n"
        "  --idle-timeout S  close a connection that sends nothing for S seconds while\n"
        "                nothing is staged on it (default 30)\n"
        "  --seed-demo   fill a new, empty repository with demo forms, catalogue and codes\n"
        "  --version     the program's version\n"
        "  --help        this text\n"
        "Prints \"listening on ADDRESS:PORT\" once it accepts connections; SIGTERM or\n"
        "SIGINT stops it cleanly.\n",
        out);
}

bool ParsePort(const char* s, int& port) {
    char* end = nullptr;
    long v = std::strtol(s, &end, 10);
    if (!*s || *end || v < 0 || v > 65535) return false;
    port = int(v);
    return true;
}

bool ParseSeconds(const char* s, int& ms) {
    char* end = nullptr;
    double v = std::strtod(s, &end);
    if (!*s || *end || !(v >= 0.05 && v <= 86400)) return false;
    ms = int(v * 1000);
    return true;
}

// Anything outside 127.0.0.0/8, including 0.0.0.0 (every interface), reaches beyond this
// machine. Text that is no address at all is left to the listener to refuse.
bool IsRemote(const std::string& address) {
    in_addr a{};
    return ::inet_pton(AF_INET, address.c_str(), &a) == 1 && (ntohl(a.s_addr) >> 24) != 127;
}

// Every open connection is a descriptor; the soft limit (often 1024) would refuse callers
// long before memory or the loop would.
void RaiseDescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return;
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef __GLIBC__
    // Buffers of a megabyte and more (staged uploads, frames of pieces) get pages of their
    // own that go back to the system when freed. Left to itself, the allocator raises this
    // bound after the first such free and keeps later ones in its heaps.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
    std::string address = "127.0.0.1";
    std::string dbPath = "./repository.db";
    int port = 5001;
    bool seed = false;
    bool allowRemote = false;
    int idleMs = repo::Server::kDefaultIdleTimeoutMs;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool hasValue = i + 1 < argc;
        if (a == "--help" || a == "-h") {
            Usage(stdout);
            return 0;
        } else if (a == "--version") {
            std::printf("repository-server %s\n", app::kVersion);
            return 0;
        } else if (a == "--address" && hasValue) {
            address = argv[++i];
        } else if (a == "--port" && hasValue) {
            if (!ParsePort(argv[++i], port)) {
                std::fprintf(stderr, "repository-server: bad port %s\n", argv[i]);
                return 2;
            }
        } else if (a == "--allow-remote") {
            allowRemote = true;
        } else if (a == "--idle-timeout" && hasValue) {
            if (!ParseSeconds(argv[++i], idleMs)) {
                std::fprintf(stderr, "repository-server: bad idle timeout %s\n", argv[i]);
                return 2;
            }
        } else if (a == "--db" && hasValue) {
            dbPath = argv[++i];
        } else if (a == "--seed-demo") {
            seed = true;
        } else {
            std::fprintf(stderr, "repository-server: unknown or incomplete option %s\n", a.c_str());
            Usage(stderr);
            return 2;
        }
    }

    if (!allowRemote && IsRemote(address)) {
        std::fprintf(stderr,
                     "repository-server: %s is not a loopback address; the repository has no "
                     "access control, so listening there needs --allow-remote\n",
                     address.c_str());
        return 2;
    }

    std::string error;
    auto repository = repo::Repository::Open(dbPath, error);
    if (!repository) {
        std::fprintf(stderr, "repository-server: %s\n", error.c_str());
        return 1;
    }
    if (seed) {
        if (!repository->IsEmpty()) {
            std::fprintf(stderr, "repository-server: %s already holds data; not seeding\n",
                         dbPath.c_str());
        } else if (!repo::SeedDemoData(*repository, error)) {
            std::fprintf(stderr, "repository-server: demo data not stored: %s\n", error.c_str());
            return 1;
        }
    }

    RaiseDescriptorLimit();
    repo::Server server(*repository, idleMs);
    if (!server.Listen(address, port, error)) {
        std::fprintf(stderr, "repository-server: %s\n", error.c_str());
        return 1;
    }
    gServer = &server;
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::printf("listening on %s:%d\n", address.c_str(), server.Port());
    std::fflush(stdout);
    server.Run();
    gServer = nullptr;
    return 0;
}
