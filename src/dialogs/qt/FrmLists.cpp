#include "dialogs/qt/FrmLists.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "shell/qt/QtText.h"

namespace {
QTreeWidget* ListView(const QStringList& columns, const char* name) {
    auto* l = new QTreeWidget;
    l->setObjectName(name);
    l->setHeaderLabels(columns);
    l->setRootIsDecorated(false);
    l->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return l;
}
}  // namespace

FrmLists::FrmLists(UserInterface& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
    setObjectName("frmLists");
    setWindowTitle("Lists");
    tabs_ = new QTabWidget;
    tabs_->setObjectName("TabStrip1");
    lvwStatic_ = ListView({"Code", "Description", "Other"}, "lvwStatic");
    lvwDBFields_ = ListView({"Code", "LongID"}, "lvwDBFields");
    tabs_->addTab(lvwStatic_, "Static Items");
    tabs_->addTab(lvwDBFields_, "DB");
    auto* options = new QHBoxLayout;
    const char* orders[3] = {"In order", "Across rows", "Down columns"};
    for (int i = 0; i < 3; ++i) {
        optOrder_[i] = new QRadioButton(orders[i]);
        optOrder_[i]->setObjectName(QString("optOrder%1").arg(i));
        options->addWidget(optOrder_[i]);
    }
    optOrder_[0]->setChecked(true);
    chkSelectedOnly_ = new QCheckBox("Selected only");
    chkSelectedOnly_->setObjectName("chkSelectedOnly");
    options->addWidget(chkSelectedOnly_);
    lblTag_ = new QLabel;
    lblTag_->setObjectName("lblTag");
    options->addWidget(lblTag_, 1);
    cmdFill_ = new QPushButton("Fill");
    cmdFill_->setObjectName("cmdFill");
    cmdDone_ = new QPushButton("Done");
    cmdDone_->setObjectName("cmdDone");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdFill_);
    buttons->addWidget(cmdDone_);
    auto* all = new QVBoxLayout(this);
    all->addWidget(tabs_, 1);
    all->addLayout(options);
    all->addLayout(buttons);
    resize(520, 380);

    connect(cmdFill_, &QPushButton::clicked, this, [this] {
        Store();
        if (logic_.Fill(fill_, ui_)) accept();
    });
    connect(cmdDone_, &QPushButton::clicked, this, [this] { reject(); });
}

void FrmLists::FillListBoxes(const std::vector<requests::StaticItem>& staticItems,
                             const std::vector<DatabaseFieldRef>& fields) {
    logic_.FillListBoxes(staticItems, fields);
    lvwStatic_->clear();
    for (const auto& s : logic_.StaticRows())
        lvwStatic_->addTopLevelItem(new QTreeWidgetItem(
            QStringList{toUnicode(s.code), toUnicode(s.description), toUnicode(s.other)}));
    lvwDBFields_->clear();
    for (const auto& f : logic_.FieldRows())
        lvwDBFields_->addTopLevelItem(
            new QTreeWidgetItem(QStringList{toUnicode(f.fieldName), toUnicode(f.longName)}));
}

void FrmLists::SetTag(const std::string& text) {
    logic_.SetTag(text);
    lblTag_->setText(toUnicode(text));
}

void FrmLists::Store() {
    const bool db = tabs_->currentIndex() == 1;
    logic_.source = db ? ListsLogic::Source::DB : ListsLogic::Source::Static;
    QTreeWidget* list = db ? lvwDBFields_ : lvwStatic_;
    logic_.chosen.clear();
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->isSelected()) logic_.chosen.push_back(i);
    for (int i = 0; i < 3; ++i)
        if (optOrder_[i]->isChecked()) logic_.order = i;
    logic_.selectedOnly = chkSelectedOnly_->isChecked();
}

void FrmLists::ShowMode() {
    cmdFill_->setText(logic_.FillCaption());
    cmdDone_->setText(logic_.DoneCaption());
    const bool fill = !logic_.OneValueMode();
    for (QRadioButton* o : optOrder_) o->setVisible(fill);
    chkSelectedOnly_->setVisible(fill);
    setWindowTitle(fill ? "Fill from List" : "Lists");
}

void FrmLists::ShowFill(ListsLogic::FillOperation fill) {
    fill_ = std::move(fill);
    logic_.SetOneValueMode(false);
    ShowMode();
    setModal(false);
    show();
    raise();
}

std::string FrmLists::GetOneValue() {
    logic_.SetOneValueMode(true);
    ShowMode();
    if (exec() != QDialog::Accepted) return {};
    return logic_.Value();
}

std::string PickOneListValue(UserInterface& ui, const std::vector<requests::StaticItem>& items,
                             const std::vector<DatabaseFieldRef>& fields, QWidget* parent) {
    FrmLists dlg(ui, parent);
    dlg.FillListBoxes(items, fields);
    return dlg.GetOneValue();
}
