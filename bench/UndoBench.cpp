// Edits and their undo in the designer window at 1,000 and 100,000 labels, offscreen, in
// one run: a click that selects a label, a move by an arrow key, a delete and a label
// dialog's Apply, each with its undo and redo. The goal is an edit at 100,000 labels
// costing at most twice what it costs at 1,000 (ratio) and under 16 ms, its undo and
// redo under 16 ms; and 100 steps of history at 100,000 labels under 50 MB.
// Times are the process's CPU time, medians of the repetitions.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <ctime>
#include <functional>

#include "SampleLayout.h"
#include "dialogs/qt/FrmProps.h"
#include "shell/AtomicFile.h"
#include "shell/RecordingUserInterface.h"
#include "window/FrmMain.h"

namespace {

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// A window showing a form: of `labels` labels on 3 pages (and a box), or of that text.
struct EditWindow {
    RecordingUserInterface ui;
    QTemporaryDir data;
    DesignerProgram program{{&ui, data.path().toStdString(), {}}};
    std::unique_ptr<FrmMain> w;
    explicit EditWindow(int labels) : EditWindow(bench::LargeLayout(labels, 3, true)) {}
    explicit EditWindow(const std::string& layout) {
        const std::string path = data.filePath("large.ldt").toStdString();
        std::string error;
        files::AtomicWriteFile(path, layout, error);
        FrmMainOptions o;
        o.pixelsPerInch = 96;
        w = std::make_unique<FrmMain>(program, o);
        w->resize(1000, 760);
        w->show();
        w->OpenLayout(path);
        Settle();
    }
    // Whatever the event left to do: the step, the repaint.
    static void Settle() { QApplication::processEvents(); }
    // A click at the corner of label i, as the pointer delivers it.
    void Click(int i) {
        const LabelControl* c = w->Canvas().LabelAt(i);
        const QPointF at(c->left + 0.02, c->top + 0.02);
        w->PagePressed(c->page, at, Qt::LeftButton, Qt::NoModifier);
        w->PageReleased(c->page, at, Qt::LeftButton);
        Settle();
    }
    void Key(Qt::Key key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(w.get(), &press);
        Settle();
    }
};

double Timed(const std::function<void()>& f) {
    const double start = CpuMs();
    f();
    return CpuMs() - start;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

enum Edit { Select, Move, Delete, Apply };

struct Costs {
    double edit = 0, undo = 0, redo = 0, steps = 0;
};

// The edit on labels of the first page, repeated; each but a selection undone and done
// again.
Costs Measure(EditWindow& e, Edit edit, int repeats) {
    std::vector<double> edits, undos, redos;
    FrmProps* dialog = nullptr;
    if (edit == Apply) {
        e.w->Dialogs().OpenLabelProperties(2);
        EditWindow::Settle();
        dialog = e.w->findChild<FrmProps*>("frmProps");
    }
    const std::size_t stepsBefore = e.w->History().Steps();
    for (int r = 0; r < repeats; ++r) {
        const int label = 2 + r;
        switch (edit) {
            case Select:
                edits.push_back(Timed([&] { e.Click(label); }));
                continue;
            case Move:
                e.Click(label);
                edits.push_back(Timed([&] { e.Key(r % 2 ? Qt::Key_Left : Qt::Key_Right); }));
                break;
            case Delete:
                e.Click(label);
                edits.push_back(Timed([&] {
                    e.w->DeleteSelected();
                    EditWindow::Settle();
                }));
                break;
            case Apply:
                dialog->findChild<QLineEdit*>("txtLeft")->setText(r % 2 ? "1.25" : "2.5");
                edits.push_back(Timed([&] {
                    dialog->findChild<QPushButton*>("cmdApply")->click();
                    EditWindow::Settle();
                }));
                break;
        }
        undos.push_back(Timed([&] {
            e.w->Undo();
            EditWindow::Settle();
        }));
        redos.push_back(Timed([&] {
            e.w->Redo();
            EditWindow::Settle();
        }));
    }
    return {Median(edits), Median(undos), Median(redos),
            double(e.w->History().Steps() - stepsBefore)};
}

// At 100,000 labels on 3 pages as many labels lie on each spot as the page holds copies of
// the 700 places the sample has (about 47); spread (1): over 99 pages as tall as three of
// the 1,000-label form's pages, each part of them as full as one of those. Both forms are
// edited on the same labels, at the same places: how many labels lie under a place
// differs from one place to the next.
constexpr int kRepeats = 30;

void BM_EditAtHundredThousandOverOneThousand(benchmark::State& state) {
    const Edit edit = Edit(state.range(0));
    const bool spread = state.range(1) == 1;
    Costs small, large;
    for (auto _ : state) {
        {
            EditWindow e(1000);
            small = Measure(e, edit, kRepeats);
        }
        EditWindow e(spread ? bench::SpreadLayout(100000) : bench::LargeLayout(100000, 3, true));
        large = Measure(e, edit, kRepeats);
    }
    state.counters["ms_1k"] = small.edit;
    state.counters["ms_100k"] = large.edit;
    state.counters["ratio"] = large.edit / std::max(small.edit, 1e-3);
    if (edit == Select) {
        state.counters["steps"] = large.steps + small.steps;
    } else {
        state.counters["undo_ms_100k"] = large.undo;
        state.counters["redo_ms_100k"] = large.redo;
    }
}
BENCHMARK(BM_EditAtHundredThousandOverOneThousand)
    ->ArgNames({"select_move_delete_apply", "spread"})
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// 100 moves at 100,000 labels: what their history keeps.
void BM_HundredStepsAtHundredThousand(benchmark::State& state) {
    EditWindow e(100000);
    for (auto _ : state)
        for (int i = 0; i < 100; ++i) {
            e.Click(2 + i % 7);
            e.Key(i % 2 ? Qt::Key_Up : Qt::Key_Down);
        }
    state.counters["steps"] = double(e.w->History().Steps());
    state.counters["history_MB"] = double(e.w->History().MemoryBytes()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_HundredStepsAtHundredThousand)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
