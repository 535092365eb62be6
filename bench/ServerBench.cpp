// Save + fetch of a 1 MB layout and a 2 MB picture through TcpComm and the real
// repository server, on SQLite and on PostgreSQL; baseline: the same bytes echoed through
// the wire framing alone. Eight clients at once, spread over one or two server processes
// that share a PostgreSQL database.
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "FrameServer.h"
#include "RepositoryServerProcess.h"
#include "SampleLayout.h"
#include "server/RepositoryCommands.h"
#include "server/TcpComm.h"
#include "shell/RecordingUserInterface.h"

namespace {

std::string Layout1MB() {
    std::string t = "<HEADER>\r\n</HEADER>\r\n<PAGE 1>";
    for (int i = 0; t.size() < 1000000; ++i)
        t += "\r\nLabel:\t" + std::to_string(i) + "\t1.000\t2.000\tCaption text\tArial\t10";
    return t.substr(0, 1000000);
}

std::string Picture2MB() {
    std::string p(2 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = char((i * 31) % 256);
    return p;
}

void OpenComm(TcpComm& comm, int port) {
    comm.SetTimeouts(5000, 60000);
    comm.ResetConnection();
    comm.SetServerAddress("127.0.0.1", std::to_string(port), 10, 0);
    comm.SetSessionContext("", "1", "");
    comm.Connect();
}

// A throwaway PostgreSQL cluster for the figures, started by the tests' script with its
// syncs on, as a real one has them (a commit is on the disk before the reply, as SQLite's).
class PgCluster {
  public:
    PgCluster() {
        state_ =
            (std::filesystem::temp_directory_path() / ("fd_bench_pg_" + std::to_string(::getpid())))
                .string();
        std::string start = "FD_PG_FSYNC=on " + Script() + " start " + state_ + " >/dev/null";
        if (std::system(start.c_str()) != 0) return;
        std::ifstream in(state_ + "/uri");
        std::getline(in, uri_);
    }
    ~PgCluster() { std::system((Script() + " stop " + state_).c_str()); }
    // The address of a new, empty database, or empty when the cluster did not start.
    std::string Fresh(std::string name) {
        if (uri_.empty()) return "";
        name += "_" + std::to_string(made_++);
        PGconn* c = PQconnectdb(uri_.c_str());
        PGresult* r = PQexec(c, ("CREATE DATABASE " + name).c_str());
        bool made = PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
        PQfinish(c);
        std::string address = uri_;
        auto at = address.find("/postgres?");
        return made && at != std::string::npos ? address.replace(at, 10, "/" + name + "?") : "";
    }

  private:
    static std::string Script() {
        return std::string(FD_SOURCE_DIR) + "/tests/repository-server/pg-cluster.sh";
    }
    std::string state_, uri_;
    int made_ = 0;
};

PgCluster& Cluster() {
    static PgCluster c;
    return c;
}

enum Engine { kSqlite = 0, kPostgres = 1 };

// Server processes on one repository of the engine's, made for them.
struct RealServer {
    std::filesystem::path dir;
    std::vector<std::unique_ptr<RepositoryServerProcess>> processes;
    RealServer(Engine engine, int count, const std::string& name) {
        if (!std::getenv("FD_BINARY_DIR")) ::setenv("FD_BINARY_DIR", FD_BINARY_DIR_DEFAULT, 0);
        if (RepositoryServerProcess::ProgramPath().empty()) return;
        dir = std::filesystem::temp_directory_path() /
              ("fd_bench_" + name + "_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        std::string location =
            engine == kSqlite ? (dir / "bench.db").string() : Cluster().Fresh("bench_" + name);
        if (location.empty()) return;
        for (int i = 0; i < count; ++i)
            processes.push_back(std::make_unique<RepositoryServerProcess>(location));
    }
    ~RealServer() {
        processes.clear();
        if (!dir.empty()) std::filesystem::remove_all(dir);
    }
    int Port(int i = 0) const {
        return i < int(processes.size()) ? processes[size_t(i)]->Port() : 0;
    }
    pid_t Pid(int i = 0) const {
        return i < int(processes.size()) ? processes[size_t(i)]->Pid() : 0;
    }
};

RealServer& Server(Engine engine) {
    static RealServer sqlite(kSqlite, 1, "sqlite");
    static RealServer postgres(kPostgres, 1, "postgres");
    return engine == kSqlite ? sqlite : postgres;
}

std::vector<std::string> EchoAll(const std::vector<std::string>& f) {
    return {"OK", "|OK||" + f[2], "|END|"};
}

void EchoBytes(benchmark::State& state, const std::string& bytes) {
    FrameServer echo(EchoAll);
    TcpComm comm;
    OpenComm(comm, echo.Port());
    std::string reply, error;
    for (auto _ : state) {
        if (!comm.GetServerStringData(bytes, "", reply, error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(reply.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes.size()) * 2);
}

void BM_WireEchoLayout1MB(benchmark::State& state) {
    EchoBytes(state, Layout1MB());
}
void BM_WireEchoPicture2MB(benchmark::State& state) {
    EchoBytes(state, Picture2MB());
}

// Argument: 0 SQLite, 1 PostgreSQL.
void BM_ServerSaveFetchLayout1MB(benchmark::State& state) {
    RealServer& server = Server(Engine(state.range(0)));
    if (server.Port() == 0) {
        state.SkipWithError("repository-server or its database not available");
        return;
    }
    TcpComm comm;
    OpenComm(comm, server.Port());
    RecordingUserInterface ui;
    std::string layout = Layout1MB();
    std::string record = requests::SaveRecord("BENCH", "Bench", "1", "", layout);
    std::string back;
    for (auto _ : state) {
        if (requests::SaveLayoutRecord(comm, ui, record) != requests::SaveResult::Saved ||
            !requests::LoadLayoutText(comm, ui, "BENCH", back))
            state.SkipWithError("save or fetch failed");
        benchmark::DoNotOptimize(back.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(layout.size()) * 2);
}

void BM_ServerSaveFetchPicture2MB(benchmark::State& state) {
    RealServer& server = Server(Engine(state.range(0)));
    if (server.Port() == 0) {
        state.SkipWithError("repository-server or its database not available");
        return;
    }
    TcpComm comm;
    OpenComm(comm, server.Port());
    RecordingUserInterface ui;
    std::string picture = Picture2MB();
    requests::SaveLayoutRecord(comm, ui, requests::SaveRecord("PIC", "Pictures", "1", "", "x"));
    FormsDefinitions list;
    std::string bytes;
    for (auto _ : state) {
        bool ok = requests::SaveImage(comm, ui, "PIC", "big.bmp", picture) &&
                  requests::UpdateFormsDefinitions(comm, ui, list) &&
                  requests::LoadImageBytes(comm, ui, "PIC", list.ImageTimeStamp("PIC", "big.bmp"),
                                           "big.bmp", bytes);
        if (!ok || bytes.size() != picture.size()) state.SkipWithError("picture round trip failed");
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(picture.size()) * 2);
}

// Eight designers at once, each saving and fetching a form of its own (100 KB), spread over
// range(0) server processes on one PostgreSQL database. Time: all eight rounds of 5 each.
void BM_EightClientsOverServers(benchmark::State& state) {
    const int processes = int(state.range(0));
    RealServer server(kPostgres, processes, "clients" + std::to_string(processes));
    for (int i = 0; i < processes; ++i)
        if (server.Port(i) == 0) {
            state.SkipWithError("repository-server or its database not available");
            return;
        }
    constexpr int kClients = 8, kRounds = 5;
    std::string layout = Layout1MB().substr(0, 100000);
    for (auto _ : state) {
        std::vector<std::thread> clients;
        std::vector<std::string> failed(kClients);
        for (int c = 0; c < kClients; ++c)
            clients.emplace_back([&, c] {
                TcpComm comm;
                OpenComm(comm, server.Port(c % processes));
                RecordingUserInterface ui;
                std::string name = "CLIENT" + std::to_string(c), back;
                std::string record = requests::SaveRecord(name, "Bench", "1", "", layout);
                for (int r = 0; r < kRounds; ++r)
                    if (requests::SaveLayoutRecord(comm, ui, record) !=
                            requests::SaveResult::Saved ||
                        !requests::LoadLayoutText(comm, ui, name, back) || back.empty())
                        failed[size_t(c)] = ui.Messages().empty() ? "no layout came back"
                                                                  : ui.Messages().back().text;
            });
        for (auto& t : clients) t.join();
        for (const std::string& f : failed)
            if (!f.empty()) state.SkipWithError(f.c_str());
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kClients * kRounds);
}

// The server's peak resident memory in bytes since the last ResetServerPeak().
std::int64_t ServerPeakBytes() {
    std::ifstream status("/proc/" + std::to_string(Server(kSqlite).Pid()) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::atoll(line.c_str() + 6) * 1024;
    return 0;
}
void ResetServerPeak() {
    std::ofstream("/proc/" + std::to_string(Server(kSqlite).Pid()) + "/clear_refs") << "5";
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Eight clients fetching the same 30 MB form, one after another and then all at once
// (medians of 3 rounds, wall time): the throughput of both, their ratio, and the server's
// peak resident memory while all eight were under way against the bytes in flight.
void BM_ConcurrentFetch30MB(benchmark::State& state) {
    if (Server(kSqlite).Port() == 0) {
        state.SkipWithError("repository-server not available");
        return;
    }
    constexpr int kClients = 8;
    std::string layout = bench::LargeLayout(490000, 3);
    {
        TcpComm comm;
        OpenComm(comm, Server(kSqlite).Port());
        RecordingUserInterface ui;
        if (requests::SaveLayoutRecord(comm, ui,
                                       requests::SaveRecord("BIG30", "Big", "1", "", layout)) !=
            requests::SaveResult::Saved) {
            state.SkipWithError("saving the 30 MB form failed");
            return;
        }
    }
    std::vector<std::unique_ptr<TcpComm>> clients;
    for (int i = 0; i < kClients; ++i) {
        clients.push_back(std::make_unique<TcpComm>());
        OpenComm(*clients.back(), Server(kSqlite).Port());
    }
    std::atomic<bool> failed{false};
    auto fetch = [&](TcpComm& comm) {
        RecordingUserInterface ui;
        std::string back;
        if (!requests::LoadLayoutText(comm, ui, "BIG30", back) || back.size() < layout.size())
            failed = true;
    };
    const double mb = double(layout.size()) * kClients / 1e6;
    for (auto _ : state) {
        std::vector<double> sequential, together, peaks;
        for (int round = 0; round < 3; ++round) {
            auto start = std::chrono::steady_clock::now();
            for (auto& c : clients) fetch(*c);
            sequential.push_back(Seconds(start));
            ResetServerPeak();
            start = std::chrono::steady_clock::now();
            std::vector<std::thread> threads;
            for (auto& c : clients) threads.emplace_back([&, comm = c.get()] { fetch(*comm); });
            for (auto& t : threads) t.join();
            together.push_back(Seconds(start));
            peaks.push_back(double(ServerPeakBytes()) / 1e6);
        }
        for (auto* v : {&sequential, &together, &peaks}) std::sort(v->begin(), v->end());
        state.counters["sequential_MBps"] = mb / sequential[1];
        state.counters["together_MBps"] = mb / together[1];
        state.counters["together_over_sequential"] = sequential[1] / together[1];
        state.counters["in_flight_MB"] = mb;
        state.counters["server_peak_MB"] = peaks[1];
        state.counters["peak_over_in_flight"] = peaks[1] / mb;
    }
    if (failed) state.SkipWithError("a fetch failed");
}

}  // namespace

BENCHMARK(BM_ConcurrentFetch30MB)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WireEchoLayout1MB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ServerSaveFetchLayout1MB)
    ->Arg(kSqlite)
    ->Arg(kPostgres)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_WireEchoPicture2MB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ServerSaveFetchPicture2MB)
    ->Arg(kSqlite)
    ->Arg(kPostgres)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_EightClientsOverServers)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
