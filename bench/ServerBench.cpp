// Save + fetch of a 1 MB layout and a 2 MB picture through TcpComm and the real
// repository server; baseline: the same bytes echoed through the wire framing alone.
#include <benchmark/benchmark.h>
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

struct RealServer {
    std::filesystem::path dir;
    std::unique_ptr<RepositoryServerProcess> process;
    RealServer() {
        if (!std::getenv("FD_BINARY_DIR")) ::setenv("FD_BINARY_DIR", FD_BINARY_DIR_DEFAULT, 0);
        if (RepositoryServerProcess::ProgramPath().empty()) return;
        dir = std::filesystem::temp_directory_path() / ("fd_bench_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        process = std::make_unique<RepositoryServerProcess>((dir / "bench.db").string());
    }
    ~RealServer() {
        process.reset();
        if (!dir.empty()) std::filesystem::remove_all(dir);
    }
    int Port() const { return process ? process->Port() : 0; }
    pid_t Pid() const { return process ? process->Pid() : 0; }
};

RealServer& Server() {
    static RealServer s;
    return s;
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

void BM_ServerSaveFetchLayout1MB(benchmark::State& state) {
    if (Server().Port() == 0) {
        state.SkipWithError("repository-server not available");
        return;
    }
    TcpComm comm;
    OpenComm(comm, Server().Port());
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
    if (Server().Port() == 0) {
        state.SkipWithError("repository-server not available");
        return;
    }
    TcpComm comm;
    OpenComm(comm, Server().Port());
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

// The server's peak resident memory in bytes since the last ResetServerPeak().
std::int64_t ServerPeakBytes() {
    std::ifstream status("/proc/" + std::to_string(Server().Pid()) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::atoll(line.c_str() + 6) * 1024;
    return 0;
}
void ResetServerPeak() {
    std::ofstream("/proc/" + std::to_string(Server().Pid()) + "/clear_refs") << "5";
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Eight clients fetching the same 30 MB form, one after another and then all at once
// (medians of 3 rounds, wall time): the throughput of both, their ratio, and the server's
// peak resident memory while all eight were under way against the bytes in flight.
void BM_ConcurrentFetch30MB(benchmark::State& state) {
    if (Server().Port() == 0) {
        state.SkipWithError("repository-server not available");
        return;
    }
    constexpr int kClients = 8;
    std::string layout = bench::LargeLayout(490000, 3);
    {
        TcpComm comm;
        OpenComm(comm, Server().Port());
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
        OpenComm(*clients.back(), Server().Port());
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
BENCHMARK(BM_ServerSaveFetchLayout1MB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WireEchoPicture2MB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ServerSaveFetchPicture2MB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
