// Save + fetch of a 1 MB layout and a 2 MB picture through TcpComm and the real
// repository server; baseline: the same bytes echoed through the wire framing alone.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "FrameServer.h"
#include "RepositoryServerProcess.h"
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

}  // namespace

BENCHMARK(BM_WireEchoLayout1MB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ServerSaveFetchLayout1MB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WireEchoPicture2MB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ServerSaveFetchPicture2MB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
