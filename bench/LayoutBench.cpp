// Reading and writing a large layout headlessly. Baseline: splitting the same text
// into its lines and fields, the least any reader must do.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <map>
#include <vector>

#include "SampleLayout.h"
#include "canvas/CanvasEditor.h"
#include "canvas/CanvasModel.h"
#include "layout/LayoutReader.h"
#include "layout/LayoutWriter.h"
#include "shell/RecordingUserInterface.h"
#include "shell/TextUtils.h"

namespace {

// Items spread over three pages.
const std::string& Sample(int items, int pages = 3) {
    static std::map<std::pair<int, int>, std::string> cache;
    auto& text = cache[{items, pages}];
    if (text.empty()) text = bench::LargeLayout(items, pages);
    return text;
}

// Baselines: finding the line ends of the text, and copying its bytes.
// A form read once, before what is measured.
struct ReadOnce {
    explicit ReadOnce(const std::string& text) {
        LayoutReader(model, store, metrics, ui).LoadForm(text);
    }
    FixedTextMetrics metrics;
    RecordingUserInterface ui;
    FormModel model;
    CanvasModel store{model, metrics};
};

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

// The same split as views, walked one by one: no allocation per line or field. The
// baseline reading and writing are held to.
// Out of line and on a cache line of its own, so that the baseline runs alike in every
// build: inlined, it ran 15-25 % apart in two builds of the same source, as the code
// around it moved.
[[gnu::noinline, gnu::aligned(64)]] size_t CountFields(const std::string& text) {
    size_t fields = 0;
    text::Pieces lines(text, "\r\n");
    for (std::string_view line; lines.Next(line);) {
        text::Pieces pieces(line, "\t");
        for (std::string_view field; pieces.Next(field);) ++fields;
    }
    return fields;
}

void BM_SplitLinesAndFieldsViews(benchmark::State& state) {
    const std::string& text = Sample(int(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(CountFields(text));
}
BENCHMARK(BM_SplitLinesAndFieldsViews)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

// Reads the layout into a fresh model on every iteration.
void ReadEachIteration(benchmark::State& state, const std::string& text) {
    FixedTextMetrics metrics;
    RecordingUserInterface ui;
    for (auto _ : state) {
        FormModel model;
        CanvasModel store(model, metrics);
        LayoutReader reader(model, store, metrics, ui);
        benchmark::DoNotOptimize(reader.LoadForm(text));
    }
}

// The labels alone, made blank into a fresh model: what any read into this model costs
// before a line is looked at (its memory, taken and given back on every iteration).
void BM_BlankLabels(benchmark::State& state) {
    FixedTextMetrics metrics;
    for (auto _ : state) {
        FormModel model;
        CanvasModel store(model, metrics);
        model.items.reserve(size_t(state.range(0)) + 1);
        for (int i = 0; i < state.range(0); ++i) model.Item(store.LoadOneLabel(i % 3));
        benchmark::DoNotOptimize(model.items.data());
    }
}
BENCHMARK(BM_BlankLabels)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ReadLayout(benchmark::State& state) {
    ReadEachIteration(state, Sample(int(state.range(0))));
}
BENCHMARK(BM_ReadLayout)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Writes the layout read once, on every iteration.
void WriteEachIteration(benchmark::State& state, const std::string& text) {
    ReadOnce form(text);
    for (auto _ : state) {
        LayoutWriter writer(form.model, form.store, form.ui);
        benchmark::DoNotOptimize(writer.ReassembleData());
    }
}

void BM_WriteLayout(benchmark::State& state) {
    WriteEachIteration(state, Sample(int(state.range(0))));
}
BENCHMARK(BM_WriteLayout)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The same 100,000 labels on 1, 3 and 99 pages: reading must not cost pages times labels.
void BM_ReadLayoutPages(benchmark::State& state) {
    ReadEachIteration(state, Sample(100000, int(state.range(0))));
}
BENCHMARK(BM_ReadLayoutPages)->Arg(1)->Arg(3)->Arg(99)->Unit(benchmark::kMillisecond);

// Nor writing them.
void BM_WriteLayoutPages(benchmark::State& state) {
    WriteEachIteration(state, Sample(100000, int(state.range(0))));
}
BENCHMARK(BM_WriteLayoutPages)->Arg(1)->Arg(3)->Arg(99)->Unit(benchmark::kMillisecond);

// Median CPU time of this thread over runs of body, in milliseconds.
template <class Body>
double MedianCpuMs(Body&& body, int runs = 7) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        timespec a, b;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &a);
        body();
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &b);
        ms.push_back(double(b.tv_sec - a.tv_sec) * 1e3 + double(b.tv_nsec - a.tv_nsec) / 1e6);
    }
    std::nth_element(ms.begin(), ms.begin() + runs / 2, ms.end());
    return ms[size_t(runs / 2)];
}

double SplitMs(const std::string& text) {
    return MedianCpuMs([&] { benchmark::DoNotOptimize(CountFields(text)); });
}

double ReadMs(const std::string& text) {
    FixedTextMetrics metrics;
    RecordingUserInterface ui;
    return MedianCpuMs([&] {
        FormModel model;
        CanvasModel store(model, metrics);
        LayoutReader reader(model, store, metrics, ui);
        benchmark::DoNotOptimize(reader.LoadForm(text));
    });
}

double WriteMs(const std::string& text) {
    ReadOnce form(text);
    return MedianCpuMs([&] {
        LayoutWriter writer(form.model, form.store, form.ui);
        benchmark::DoNotOptimize(writer.ReassembleData());
    });
}

// The ratios the reader and the writer are held to, at 100,000 labels, from one process
// (CPU time, medians of 7): each against splitting the same text into lines and fields
// as views, and the writer on one page against 99 pages.
void BM_RatiosAtHundredThousand(benchmark::State& state) {
    const std::string& three = Sample(100000);
    for (auto _ : state) {
        const double split = SplitMs(three);
        state.counters["split_ms"] = split;
        state.counters["read_over_split"] = ReadMs(three) / split;
        state.counters["write_over_split"] = WriteMs(three) / split;
        state.counters["write_1_over_99_pages"] =
            WriteMs(Sample(100000, 1)) / WriteMs(Sample(100000, 99));
    }
}
BENCHMARK(BM_RatiosAtHundredThousand)->Iterations(1)->Unit(benchmark::kMillisecond);

// Clearing the selection (every open, page switch, Esc and delete) against reading the form.
void BM_ClearSelection(benchmark::State& state) {
    ReadOnce form(Sample(int(state.range(0))));
    CanvasEditor editor(form.store, form.model, form.metrics);
    for (auto _ : state) editor.UnselectAll();
}
BENCHMARK(BM_ClearSelection)->Arg(5000)->Arg(20000)->Arg(50000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
