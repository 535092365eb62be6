// Memory of `render` to PDF: a page of 300,000 labels, what the process peaks at beyond
// what it held before reading the layout (counted per label, as the command's peak is),
// and what the export alone adds to the peak of the form already read. Written at once
// (the whole page in the PDF writer's memory, as before pages were written in parts) and
// in parts, in one process.
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <climits>
#include <fstream>
#include <string>

#include "SampleLayout.h"
#include "canvas/CanvasModel.h"
#include "drawing/PageExport.h"
#include "layout/LayoutReader.h"
#include "shell/RecordingUserInterface.h"
#include "shell/qt/QtUserInterface.h"

namespace {

double StatusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0) return double(std::atoll(line.c_str() + 6)) * 1024;
    return 0;
}

// From here on, the peak is the resident memory now.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_RenderPdfOfThreeHundredThousandOnOnePage(benchmark::State& state) {
    const int labels = 300000;
    const bool inParts = state.range(0) == 1;
    const std::string text = bench::LargeLayout(labels, 1);
    QTemporaryDir dir;
    const std::string out = dir.filePath("page.pdf").toStdString();
    double peak = 0, exportPeak = 0, ms = 0;
    for (auto _ : state) {
        ResetPeak();
        const double before = StatusBytes("VmRSS:");
        QtTextMetrics metrics;
        RecordingUserInterface ui;
        FormModel model;
        CanvasModel canvas(model, metrics);
        LayoutReader reader(model, canvas, metrics, ui);
        reader.BuildForm(text);
        const double read = StatusBytes("VmHWM:");
        ResetPeak();
        const double held = StatusBytes("VmRSS:");
        PictureCache pictures;
        QElapsedTimer t;
        t.start();
        if (!ExportPagesPdf(canvas, model, pictures, {0}, out, inParts ? kPdfPartLabels : INT_MAX)
                 .ok)
            state.SkipWithError("the PDF was not written");
        ms = double(t.nsecsElapsed()) / 1e6;
        exportPeak = StatusBytes("VmHWM:") - held;
        peak = std::max(read, StatusBytes("VmHWM:")) - before;
    }
    state.counters["bytes_per_label"] = peak / labels;
    state.counters["export_bytes_per_label"] = exportPeak / labels;
    state.counters["export_ms"] = ms;
}
BENCHMARK(BM_RenderPdfOfThreeHundredThousandOnOnePage)
    ->ArgName("in_parts")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
