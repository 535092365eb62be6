// Reading and writing a large layout headlessly. Baseline: splitting the same text
// into its lines and fields, the least any reader must do.
#include <benchmark/benchmark.h>

#include <cstring>
#include <map>

#include "canvas/CanvasModel.h"
#include "layout/LayoutReader.h"
#include "layout/LayoutWriter.h"
#include "shell/RecordingUserInterface.h"
#include "shell/TextUtils.h"

namespace {

std::string LargeLayout(int labelsPerPage, int pages) {
    std::string out = "<HEADER>\r\nPage:\t8.5\t11\r\nNumber_Of_Pages:\t" + std::to_string(pages) +
                      "\r\n</HEADER>\r\n";
    for (int p = 0; p < pages; ++p) {
        out += "<PAGE>\r\n";
        for (int i = 0; i < labelsPerPage; ++i) {
            std::string caption = i % 3 == 0   ? "~PATIENT.FIELD" + std::to_string(i) + "@Long name"
                                  : i % 3 == 1 ? "Static text " + std::to_string(i)
                                               : "^P" + std::to_string(i) + "@Cap@TEXT@@False@" +
                                                     std::to_string(i) + "@@@";
            out += caption + "\t" + std::to_string(i % 8) + ".25\t" + std::to_string(i % 10) +
                   ".5\tArial\t8\tN\tN\tL\t1.5\tN\t\t\t\r\n";
        }
        out += "</PAGE>\r\n";
    }
    return out;
}

// Items spread over three pages.
const std::string& Sample(int items) {
    static std::map<int, std::string> cache;
    auto& text = cache[items];
    if (text.empty()) text = LargeLayout(items / 3 + 1, 3);
    return text;
}

// Baselines: finding the line ends of the text, and copying its bytes.
void BM_ScanLineEnds(benchmark::State& state) {
    const std::string& text = Sample(int(state.range(0)));
    for (auto _ : state) {
        size_t lines = 0;
        const char* p = text.data();
        const char* end = p + text.size();
        while ((p = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p))))) ++p, ++lines;
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(BM_ScanLineEnds)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_CopyBytes(benchmark::State& state) {
    const std::string& text = Sample(int(state.range(0)));
    for (auto _ : state) {
        std::string copy = text;
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_CopyBytes)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SplitLinesAndFields(benchmark::State& state) {
    const std::string& text = Sample(int(state.range(0)));
    for (auto _ : state) {
        size_t fields = 0;
        for (const auto& line : text::Split(text, "\r\n")) fields += text::Split(line, "\t").size();
        benchmark::DoNotOptimize(fields);
    }
}
BENCHMARK(BM_SplitLinesAndFields)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

void BM_ReadLayout(benchmark::State& state) {
    const std::string& text = Sample(int(state.range(0)));
    FixedTextMetrics metrics;
    RecordingUserInterface ui;
    for (auto _ : state) {
        FormModel model;
        CanvasModel store(model, metrics);
        LayoutReader reader(model, store, metrics, ui);
        benchmark::DoNotOptimize(reader.LoadForm(text));
    }
}
BENCHMARK(BM_ReadLayout)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_WriteLayout(benchmark::State& state) {
    const std::string& text = Sample(int(state.range(0)));
    FixedTextMetrics metrics;
    RecordingUserInterface ui;
    FormModel model;
    CanvasModel store(model, metrics);
    LayoutReader reader(model, store, metrics, ui);
    reader.LoadForm(text);
    for (auto _ : state) {
        LayoutWriter writer(model, store, ui);
        benchmark::DoNotOptimize(writer.ReassembleData());
    }
}
BENCHMARK(BM_WriteLayout)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
