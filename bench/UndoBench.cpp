// Undo on a form of 5,000 labels in the designer window, offscreen: one step back and
// forth, and the memory 100 kept steps take. Baseline: opening the same form in the
// same run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <cstdlib>

#include "shell/AtomicFile.h"
#include "shell/RecordingUserInterface.h"
#include "window/FrmMain.h"

namespace {

std::string LargeLayout(int labels) {
    std::string out =
        "<HEADER>\r\nPage:\t8.5\t11\r\nNumber_Of_Pages:\t1\r\n</HEADER>\r\n<PAGE>\r\n";
    for (int i = 0; i < labels; ++i)
        out += "Static text " + std::to_string(i) + "\t" + std::to_string(i % 7) + "." +
               std::to_string(i % 100) + "\t" + std::to_string(i % 10) + "." +
               std::to_string((i * 7) % 100) + "\tArial\t8\tN\tN\tL\t1.5\tN\t\t\t\r\n";
    return out + "</PAGE>\r\n";
}

struct LargeWindow {
    RecordingUserInterface ui;
    QTemporaryDir data;
    DesignerProgram program{{&ui, data.path().toStdString(), {}}};
    std::unique_ptr<FrmMain> w;
    std::string path = data.filePath("large.ldt").toStdString();
    LargeWindow() {
        std::string error;
        files::AtomicWriteFile(path, LargeLayout(5000), error);
        FrmMainOptions o;
        o.pixelsPerInch = 96;
        w = std::make_unique<FrmMain>(program, o);
        w->resize(1000, 760);
        w->show();
        w->OpenLayout(path);
    }
    // One step: the label last in the list moves down (or up) by the arrow key.
    void Step(Qt::Key arrow = Qt::Key_Down) {
        w->Editor().ClearSelection();
        w->Editor().PressLabel(w->Canvas().LabelCount() - 1, 0, 0, false, true);
        w->Editor().CancelDrag();
        QKeyEvent key(QEvent::KeyPress, arrow, Qt::NoModifier);
        QApplication::sendEvent(w.get(), &key);
        QApplication::processEvents();
    }
};

void BM_OpenFiveThousandLabels(benchmark::State& state) {
    LargeWindow big;
    for (auto _ : state) benchmark::DoNotOptimize(big.w->OpenLayout(big.path));
}
BENCHMARK(BM_OpenFiveThousandLabels)->Unit(benchmark::kMillisecond);

void BM_UndoAndRedoOneStep(benchmark::State& state) {
    LargeWindow big;
    big.Step();
    for (auto _ : state) {
        big.w->Undo();
        big.w->Redo();
    }
    state.counters["steps"] = double(big.w->History().Steps());
}
BENCHMARK(BM_UndoAndRedoOneStep)->Unit(benchmark::kMillisecond);

void BM_HundredStepsMemory(benchmark::State& state) {
    LargeWindow big;
    for (auto _ : state)
        for (int i = 0; i < 100; ++i) big.Step(i % 2 ? Qt::Key_Up : Qt::Key_Down);
    state.counters["steps"] = double(big.w->History().Steps());
    state.counters["history_MB"] = double(big.w->History().MemoryBytes()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_HundredStepsMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
