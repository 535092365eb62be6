#include "dialogs/ListsLogic.h"

#include <algorithm>
#include <exception>

#include "shell/TextUtils.h"
#include "shell/UserInterface.h"

void ListsLogic::FillListBoxes(const std::vector<requests::StaticItem>& staticItems,
                               const std::vector<DatabaseFieldRef>& fields) {
    static_ = staticItems;
    fields_.clear();
    for (const DatabaseFieldRef& f : fields)
        if (!f.fieldName.empty()) fields_.push_back(f);
    chosen.clear();
}

int ListsLogic::GetFirstSelectedIndex(const std::vector<int>& chosenRows) {
    if (chosenRows.empty()) return 0;
    return *std::min_element(chosenRows.begin(), chosenRows.end()) + 1;
}

std::string ListsLogic::PositionList() const {
    if (!selectedOnly) return {};
    std::vector<int> rows = chosen;
    std::sort(rows.begin(), rows.end());
    std::string out;
    for (int r : rows) out += "\t" + std::to_string(r + 1);
    return out.empty() ? out : out.substr(1);
}

std::string ListsLogic::OneValue() const {
    int first = GetFirstSelectedIndex(chosen) - 1;
    if (first < 0) return {};
    if (source == Source::DB)
        return size_t(first) < fields_.size() ? fields_[size_t(first)].fieldName.str()
                                              : std::string();
    return size_t(first) < static_.size() ? static_[size_t(first)].code : std::string();
}

std::vector<std::string> ListsLogic::Entries() const {
    const size_t count = source == Source::DB ? fields_.size() : static_.size();
    std::vector<size_t> rows;
    std::string positions = PositionList();
    if (positions.empty() && !selectedOnly) {
        for (size_t r = 0; r < count; ++r) rows.push_back(r);
    } else {
        for (const std::string& p : text::Split(positions, "\t")) {
            double n = text::Val(p);
            if (n >= 1 && n <= double(count)) rows.push_back(size_t(n) - 1);
        }
    }
    std::vector<std::string> out;
    for (size_t r : rows) {
        if (source == Source::DB) {
            out.push_back("~" + fields_[r].fieldName);
        } else {
            // A row stands for its code, as in one-value mode and on the "DB" tab.
            out.push_back(static_[r].code);
        }
    }
    return out;
}

bool ListsLogic::Fill(const FillOperation& fill, UserInterface& ui) {
    try {
        if (oneValue_) {
            value_ = OneValue();
            return true;
        }
        if (selectedOnly && chosen.empty()) {
            ui.Message("Choose the rows to fill with, or clear \"Selected only\".",
                       "Fill from List", MessageIcon::Information);
            return false;
        }
        if (fill) fill(Entries(), std::clamp(order, 0, 2), tag_);
    } catch (const std::exception& e) {
        ui.Message(std::string("Error in frmLists.cmdFill_Click ") + e.what(), "ERROR");
    }
    return false;
}
