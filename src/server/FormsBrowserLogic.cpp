#include "server/FormsBrowserLogic.h"

#include <algorithm>

#include "server/FormFlows.h"
#include "server/RepositoryCommands.h"
#include "server/Requests.h"
#include "shell/TextUtils.h"
#include "shell/UserInterface.h"

const char* const kFormsBrowserHeaders[FormsBrowserLogic::kColumns] = {
    "Name", "Type", "Description", "Images", "Date Modified", "Doc Type"};

namespace {
text::SortKind KindOf(int column) {
    if (column == FormsBrowserLogic::kImages) return text::SortKind::Number;
    if (column == FormsBrowserLogic::kDateModified) return text::SortKind::Date;
    return text::SortKind::Text;
}
}  // namespace

std::string FormsBrowserLogic::Row::Key() const {
    return "key\t" + cells[kName] + "\t" + std::to_string(position);
}

FormsBrowserLogic::FormsBrowserLogic(FormFlows& flows, UserInterface& ui)
    : flows_(flows), ui_(ui) {}

bool FormsBrowserLogic::Start(bool selectMode, bool leaveOutCurrentForm,
                              const std::string& currentForm) {
    selectMode_ = selectMode;
    leaveOut_ = leaveOutCurrentForm;
    currentForm_ = currentForm;
    SelectedFormName.clear();
    Cancelled = true;
    chosenName_.clear();
    rows_.clear();
    if (!flows_.EnsureConnected()) return false;
    Fill();
    return true;
}

bool FormsBrowserLogic::Fill() {
    FormsDefinitions& list = flows_.Definitions();
    const bool ok = requests::UpdateFormsDefinitions(flows_.Comm(), ui_, list);
    rows_.clear();
    if (ok) {
        rows_.reserve(list.Count());
        for (std::size_t i = 1; i <= list.Count(); ++i) {
            const FormDefinition& d = list.At(i);
            // The current form cannot be picked as its own source, even after a refresh.
            if (leaveOut_ && !currentForm_.empty() && text::EqualsNoCase(d.name, currentForm_))
                continue;
            Row r;
            r.cells = {
                d.name,         d.type,
                d.description,  d.images.empty() ? std::string() : std::to_string(d.imageCount),
                d.dateModified, d.documentType};
            r.position = i;
            rows_.push_back(std::move(r));
        }
    }
    // A list read afresh is in date order, newest first, whatever the user sorted by.
    SortBy(kDateModified, false);
    // A chosen form that is gone leaves nothing chosen.
    if (ChosenRow() < 0) chosenName_.clear();
    return ok;
}

void FormsBrowserLogic::SortBy(int column) {
    SortBy(column, column == sortColumn_ ? !ascending_ : true);
}

void FormsBrowserLogic::SortBy(int column, bool ascending) {
    if (column < 0 || column >= kColumns) return;
    sortColumn_ = column;
    ascending_ = ascending;
    std::vector<std::vector<std::string>> cells;
    cells.reserve(rows_.size());
    for (const Row& r : rows_) cells.push_back({r.cells[std::size_t(column)]});
    std::vector<std::size_t> order = text::SortListview(cells, 0, KindOf(column), ascending);
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t i : order) sorted.push_back(std::move(rows_[i]));
    rows_ = std::move(sorted);
}

void FormsBrowserLogic::Choose(int row) {
    if (row >= 0 && std::size_t(row) < rows_.size())
        chosenName_ = rows_[std::size_t(row)].cells[kName];
    else
        chosenName_.clear();
}

int FormsBrowserLogic::ChosenRow() const {
    if (chosenName_.empty()) return -1;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].cells[kName] == chosenName_) return int(i);
    return -1;
}

std::string FormsBrowserLogic::ChosenName() const {
    return ChosenRow() < 0 ? std::string() : chosenName_;
}

bool FormsBrowserLogic::ChosenActive() const {
    int row = ChosenRow();
    return row >= 0 && flows_.Definitions().At(rows_[std::size_t(row)].position).active;
}

bool FormsBrowserLogic::ChosenSelected() const {
    int row = ChosenRow();
    return row >= 0 && flows_.Definitions().At(rows_[std::size_t(row)].position).selected;
}

bool FormsBrowserLogic::TakeChosen() {
    std::string name = ChosenName();
    if (name.empty()) {
        ui_.Message("Nothing selected", "Select");
        return false;
    }
    SelectedFormName = name;
    Cancelled = false;
    return true;
}

bool FormsBrowserLogic::DeleteChosen() {
    std::string name = ChosenName();
    if (name.empty()) {
        ui_.Message("Nothing selected", "Select");
        return false;
    }
    if (!ui_.OkCancel("Form '" + name + "'\r\n will be deleted.", "Form - Delete")) return false;
    if (!flows_.DeleteForm(name)) return false;
    Fill();
    if (rowsChanged) rowsChanged();
    ui_.Message("Form Deleted.", "Deleting Form...");
    return true;
}

bool FormsBrowserLogic::SaveOptions(bool active, bool selected) {
    std::string name = ChosenName();
    if (name.empty()) {
        ui_.Message("Nothing selected", "Select");
        return false;
    }
    bool ok = requests::SaveActiveSelected(flows_.Comm(), ui_, name, active, selected);
    Fill();
    return ok;
}

void FormsBrowserLogic::Cancel() {
    Cancelled = true;
}

std::string FormsBrowserLogic::Caption() const {
    return "Total: " + std::to_string(rows_.size()) + "      Select Form";
}
