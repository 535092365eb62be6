// The forms browser with 5,000 forms: the list read from a forms-list reply, shown
// newest first, then sorted by every column; baseline: the same 5,000 rows put into a
// plain list widget once, unsorted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>

#include "ScriptedComm.h"
#include "canvas/CanvasModel.h"
#include "server/FormFlows.h"
#include "server/qt/FrmDB.h"
#include "shell/NullUserInterface.h"

namespace {

constexpr int kForms = 5000;

std::string FormsReply() {
    std::string big = "|OK||";
    for (int i = 0; i < kForms; ++i)
        big += "FORM" + std::to_string(i * 7919 % kForms) + "^Description " + std::to_string(i) +
               "^T" + std::to_string(i % 9) + "^" + std::to_string(i) + "^" +
               std::to_string(i % 12 + 1) + "/" + std::to_string(i % 28 + 1) + "/" +
               std::to_string(2000 + i % 25) + " " + std::to_string(i % 12 + 1) + ";0" +
               std::to_string(i % 10) + ";00 PM^" + std::string(std::size_t(i % 4), '\xE6') +
               "^DOC" + std::to_string(i % 5) + ":";
    return big + "|END|";
}

struct Browser {
    ScriptedComm comm;
    NullUserInterface ui;
    FixedTextMetrics metrics;
    FormModel model;
    CanvasModel store{model, metrics};
    LocalFolders folders{std::filesystem::temp_directory_path().string(), ui};
    FormFlows flows{comm, ui, folders, model, store, store, metrics};
    struct Always : ConnectionPrompt {
        bool Connected() const override { return true; }
        bool ShowConnectDialog() override { return true; }
    } always;
    FrmDB dlg{flows, ui};
    Browser() { flows.SetConnectionPrompt(&always); }
};

void BM_BrowserFillAndSortEveryColumn(benchmark::State& state) {
    Browser b;
    const std::string reply = FormsReply();
    for (auto _ : state) {
        b.comm.Ok({reply});
        b.dlg.Logic().Start(false, false, "");
        b.dlg.ShowRows();
        for (int c = 0; c < FormsBrowserLogic::kColumns; ++c) {
            b.dlg.Logic().SortBy(c);
            b.dlg.ShowRows();
        }
        benchmark::DoNotOptimize(b.dlg.Logic().Rows().data());
    }
}
BENCHMARK(BM_BrowserFillAndSortEveryColumn)->Unit(benchmark::kMillisecond);

void BM_BrowserFillOnly(benchmark::State& state) {
    Browser b;
    const std::string reply = FormsReply();
    for (auto _ : state) {
        b.comm.Ok({reply});
        b.dlg.Logic().Start(false, false, "");
        b.dlg.ShowRows();
    }
}
BENCHMARK(BM_BrowserFillOnly)->Unit(benchmark::kMillisecond);

// Baseline: the rows as plain texts into a list widget, no server reply, no sorting.
void BM_PlainListFill(benchmark::State& state) {
    QTreeWidget list;
    list.setColumnCount(FormsBrowserLogic::kColumns);
    for (auto _ : state) {
        list.clear();
        QList<QTreeWidgetItem*> items;
        items.reserve(kForms);
        for (int i = 0; i < kForms; ++i)
            items.append(new QTreeWidgetItem(
                {QString("FORM%1").arg(i), QString("T%1").arg(i % 9),
                 QString("Description %1").arg(i), QString::number(i % 4),
                 QString("%1/%2/2024 1:02:03 PM").arg(i % 12 + 1).arg(i % 28 + 1),
                 QString("DOC%1").arg(i % 5)}));
        list.addTopLevelItems(items);
        benchmark::DoNotOptimize(list.topLevelItemCount());
    }
}
BENCHMARK(BM_PlainListFill)->Unit(benchmark::kMillisecond);

}  // namespace
