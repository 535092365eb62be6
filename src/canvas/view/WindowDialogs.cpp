#include "canvas/view/WindowDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

#include "dialogs/qt/FrmPopUp.h"
#include "dialogs/qt/FrmSize.h"
#include "server/FormFlows.h"
#include "server/qt/FrmDBLists.h"

WindowDialogs::WindowDialogs(FormSettings& settings, FormSizeHost& host, UserInterface& ui,
                             FormFlows& flows, QWidget* window)
    : settings_(settings), host_(host), ui_(ui), flows_(flows), window_(window) {}

bool WindowDialogs::RunFormSetup(double width, double height) {
    return FrmSize::RunPageSetup(settings_, host_, ui_, window_, width, height);
}

bool WindowDialogs::ShowSaveDialog(FormSettings& settings, bool formExists) {
    OutsideComponents& parts = flows_.Components();
    FrmPopUp dlg(ui_, parts.picker.get(), parts.validator.get(), window_);
    return dlg.ShowSaveDialog(settings, formExists);
}

void WindowDialogs::ShowCatalogue(CommComponent& comm, FormModel& model,
                                  std::function<bool(const std::string&)> promptUsed,
                                  std::function<std::string()> selectForm) {
    CatalogueHost host{model,
                       flows_.StaticItems(),
                       flows_.Components().picker.get(),
                       std::move(promptUsed),
                       [this] { return flows_.EnsureConnected(); },
                       std::move(selectForm),
                       {}};
    FrmDBLists dlg(comm, ui_, std::move(host), window_);
    dlg.ShowDialog();
}

std::optional<GridArea> WindowDialogs::AskGridArea(const Rect& r) {
    // The grid area's own dialog comes later; this one takes what a grid needs.
    QDialog dlg(window_);
    dlg.setWindowTitle("Grid");
    auto* form = new QFormLayout(&dlg);
    auto* columns = new QSpinBox(&dlg);
    columns->setRange(1, 50);
    columns->setValue(3);
    auto* rows = new QSpinBox(&dlg);
    rows->setRange(1, 200);
    rows->setValue(4);
    auto* dataGrid = new QCheckBox("Data grid", &dlg);
    auto* perRecord = new QSpinBox(&dlg);
    perRecord->setRange(0, 50);
    auto* spread = new QCheckBox("Spread to the edges", &dlg);
    form->addRow("Columns:", columns);
    form->addRow("Rows:", rows);
    form->addRow(dataGrid);
    form->addRow("Columns in a record:", perRecord);
    form->addRow(spread);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    GridArea area;
    area.left = r.left;
    area.top = r.top;
    area.right = r.left + r.width;
    area.bottom = r.top + r.height;
    area.columns = columns->value();
    area.rows = rows->value();
    area.dataGrid = dataGrid->isChecked();
    area.columnsInRecord = area.dataGrid ? perRecord->value() : 0;
    area.spread = spread->isChecked();
    area.rowByRow = true;
    area.tag = area.dataGrid ? "DATAgrid" : "grid";
    return area;
}
