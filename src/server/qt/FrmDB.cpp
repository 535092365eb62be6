#include "server/qt/FrmDB.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "server/FormFlows.h"
#include "shell/qt/QtText.h"

// The rows as the logic orders them; the list never sorts on its own, so sorting
// 5,000 forms is one reset instead of thousands of moved items.
class FormsTableModel : public QAbstractTableModel {
  public:
    FormsTableModel(const FormsBrowserLogic& logic, QObject* parent)
        : QAbstractTableModel(parent), logic_(logic) {}
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : int(logic_.Rows().size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : FormsBrowserLogic::kColumns;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid()) return {};
        const auto& row = logic_.Rows()[std::size_t(index.row())];
        return toUnicode(row.cells[std::size_t(index.column())]);
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
        return QString(kFormsBrowserHeaders[section]);
    }
    void Reset() {
        beginResetModel();
        endResetModel();
    }

  private:
    const FormsBrowserLogic& logic_;
};

FrmDB::FrmDB(FormFlows& flows, UserInterface& ui, QWidget* parent)
    : QDialog(parent), logic_(flows, ui) {
    setObjectName("frmDB");
    setModal(true);
    auto* outer = new QVBoxLayout(this);
    model_ = new FormsTableModel(logic_, this);
    lvForms_ = new QTreeView(this);
    lvForms_->setObjectName("lvForms");
    lvForms_->setModel(model_);
    lvForms_->setRootIsDecorated(false);
    lvForms_->setUniformRowHeights(true);
    lvForms_->setAllColumnsShowFocus(true);
    lvForms_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvForms_->setSelectionMode(QAbstractItemView::SingleSelection);
    lvForms_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QHeaderView* header = lvForms_->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    // Fixed widths: measuring 5,000 rows for each column would cost more than the fill.
    const int widths[FormsBrowserLogic::kColumns] = {120, 60, 230, 60, 160, 80};
    for (int c = 0; c < FormsBrowserLogic::kColumns; ++c) header->resizeSection(c, widths[c]);
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
        logic_.SortBy(column);
        ShowRows();
    });
    connect(lvForms_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& index) { OnChosen(index); });
    connect(lvForms_, &QTreeView::clicked, this, [this](const QModelIndex& i) { OnChosen(i); });
    connect(lvForms_, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        OnChosen(index);
        OnGetForm();
    });
    outer->addWidget(lvForms_, 1);

    auto* row = new QHBoxLayout;
    lblName_ = new QLabel(this);
    lblName_->setObjectName("lblName");
    lblName_->setMinimumWidth(160);
    row->addWidget(lblName_);
    fraOptions_ = new QFrame(this);
    fraOptions_->setObjectName("fraOptions");
    fraOptions_->setFrameShape(QFrame::StyledPanel);
    auto* options = new QHBoxLayout(fraOptions_);
    chkAct_ = new QCheckBox("Active", fraOptions_);
    chkAct_->setObjectName("chkAct");
    chkSel_ = new QCheckBox("Selected", fraOptions_);
    chkSel_->setObjectName("chkSel");
    cmdSaveOpt_ = new QPushButton("Sa&ve Options", fraOptions_);
    cmdSaveOpt_->setObjectName("cmdSaveOpt");
    options->addWidget(chkAct_);
    options->addWidget(chkSel_);
    options->addWidget(cmdSaveOpt_);
    row->addWidget(fraOptions_);
    row->addStretch(1);
    outer->addLayout(row);

    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* caption, const char* name) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    cmdGetForm_ = button("&Open Form", "cmdGetForm");
    cmdGetForm_->setDefault(true);
    cmdDelete_ = button("&Delete", "cmdDelete");
    cmdRefresh_ = button("&Refresh", "cmdRefresh");
    buttons->addStretch(1);
    cmdExit_ = button("E&xit", "cmdExit");
    outer->addLayout(buttons);

    logic_.rowsChanged = [this] { ShowRows(); };
    connect(cmdGetForm_, &QPushButton::clicked, this, [this] { OnGetForm(); });
    connect(cmdDelete_, &QPushButton::clicked, this, [this] {
        if (logic_.DeleteChosen()) ShowRows();
    });
    connect(cmdRefresh_, &QPushButton::clicked, this, [this] {
        logic_.Fill();
        ShowRows();
    });
    connect(cmdSaveOpt_, &QPushButton::clicked, this, [this] {
        logic_.SaveOptions(chkAct_->isChecked(), chkSel_->isChecked());
        ShowRows();
    });
    connect(cmdExit_, &QPushButton::clicked, this, [this] { reject(); });
    resize(860, 480);
}

FrmDB::~FrmDB() = default;

void FrmDB::ShowDialog(bool selectMode, bool leaveOutCurrentForm, const std::string& currentForm) {
    if (!logic_.Start(selectMode, leaveOutCurrentForm, currentForm)) return;
    // Picking a source form is no place to delete forms.
    cmdDelete_->setVisible(!selectMode);
    cmdGetForm_->setText(selectMode ? "&Select Form" : "&Open Form");
    ShowRows();
    exec();
}

std::string FrmDB::SelectForm(FormFlows& flows, UserInterface& ui, const std::string& currentForm,
                              QWidget* parent) {
    FrmDB dialog(flows, ui, parent);
    dialog.ShowDialog(true, true, currentForm);
    return dialog.Cancelled() ? std::string() : dialog.SelectedFormName();
}

void FrmDB::ShowRows() {
    model_->Reset();
    lvForms_->header()->setSortIndicator(
        logic_.SortColumn(), logic_.SortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
    setWindowTitle(toUnicode(logic_.Caption()));
    int chosen = logic_.ChosenRow();
    if (chosen >= 0) {
        QModelIndex index = model_->index(chosen, 0);
        lvForms_->setCurrentIndex(index);
        lvForms_->scrollTo(index);
    }
    ShowDetails();
}

void FrmDB::ShowDetails() {
    lblName_->setText(toUnicode(logic_.ChosenName()));
    chkAct_->setChecked(logic_.ChosenActive());
    chkSel_->setChecked(logic_.ChosenSelected());
}

void FrmDB::OnChosen(const QModelIndex& index) {
    logic_.Choose(index.isValid() ? index.row() : -1);
    ShowDetails();
}

void FrmDB::OnGetForm() {
    if (logic_.TakeChosen()) accept();
}

void FrmDB::reject() {
    logic_.Cancel();
    QDialog::reject();
}

void FrmDB::closeEvent(QCloseEvent* event) {
    logic_.Cancel();
    QDialog::closeEvent(event);
}
