#include "LookupPickerDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "shell/TextUtils.h"
#include "shell/qt/QtText.h"

LookupPickerDialog::LookupPickerDialog(QWidget* parent) : QDialog(parent) {
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    filter_ = new QLineEdit(this);
    filter_->setPlaceholderText(tr("Type to find a code"));
    table_ = new QTableWidget(0, 2, this);
    table_->setHorizontalHeaderLabels({tr("Code"), tr("Description")});
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(filter_);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &LookupPickerDialog::AcceptCurrent);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { AcceptCurrent(); });
    connect(filter_, &QLineEdit::textChanged, this, &LookupPickerDialog::ApplyFilter);
    resize(480, 360);
}

void LookupPickerDialog::SetEntries(const std::vector<LookupEntry>& entries,
                                    const std::string& current) {
    entries_ = entries;
    answer_ = "CANCEL";
    table_->setRowCount(int(entries_.size()));
    std::string code = text::Trim(LookupAnswerCode(current));
    int chosen = entries_.empty() ? -1 : 0;
    for (int i = 0; i < int(entries_.size()); ++i) {
        table_->setItem(i, 0, new QTableWidgetItem(toUnicode(entries_[size_t(i)].code)));
        table_->setItem(i, 1, new QTableWidgetItem(toUnicode(entries_[size_t(i)].description)));
        if (!code.empty() && text::EqualsNoCase(entries_[size_t(i)].code, code)) chosen = i;
    }
    if (chosen >= 0) table_->selectRow(chosen);
}

void LookupPickerDialog::ApplyFilter(const QString& t) {
    // Prefix search in upper case, as the other lists of the designer do.
    std::string prefix = text::ToUpper(fromUnicode(t));
    int first = -1;
    for (int i = 0; i < table_->rowCount(); ++i) {
        bool match = text::StartsWith(text::ToUpper(entries_[size_t(i)].code), prefix);
        if (match && first < 0) first = i;
    }
    if (first >= 0) {
        table_->selectRow(first);
        table_->scrollToItem(table_->item(first, 0));
    }
}

void LookupPickerDialog::AcceptCurrent() {
    int row = table_->currentRow();
    auto sel = table_->selectionModel()->selectedRows();
    if (!sel.isEmpty()) row = sel.first().row();
    if (row < 0 || row >= int(entries_.size())) return;
    answer_ = LookupAnswer(entries_[size_t(row)]);
    accept();
}

void QtLookupPicker::Configure(const std::string& listName, const std::string& title,
                               const std::string&, const std::string&) {
    listName_ = listName;
    title_ = title;
}

std::string QtLookupPicker::Show(const std::string& currentText) {
    std::vector<LookupEntry> entries;
    std::string error;
    if (!FetchLookupList(comm_, listName_, entries, error)) {
        QMessageBox::critical(parent_, QStringLiteral("ERROR"),
                              toUnicode("Error in Lookup " + error));
        return "CANCEL";
    }
    LookupPickerDialog dlg(parent_);
    dlg.setWindowTitle(toUnicode(title_.empty() ? listName_ : title_));
    dlg.SetEntries(entries, currentText);
    if (dlg.exec() != QDialog::Accepted) return "CANCEL";
    return dlg.Answer();
}

std::unique_ptr<LookupPicker> MakeQtLookupPicker(CommComponent& comm) {
    return std::make_unique<QtLookupPicker>(comm);
}
