#pragma once
// What the list picker `frmLists` does, apart from its window: the form's static
// items and chosen data fields as two lists, the rows the user chose, and what
// "Fill" hands on: in one-value mode the code of the first chosen row, in fill mode
// the entries for the canvas's fill operation.
#include <functional>
#include <string>
#include <vector>

#include "layout/FormItem.h"
#include "server/Requests.h"

class UserInterface;

class ListsLogic {
  public:
    enum class Source { Static, DB };
    // The canvas operation: entries (a data field as "~" + its code) in list order,
    // the fill order (0, 1 or 2) and the caller's tag.
    using FillOperation = std::function<void(const std::vector<std::string>& entries, int order,
                                             const std::string& tag)>;

    // Refills both lists; data fields without a code are left out.
    void FillListBoxes(const std::vector<requests::StaticItem>& staticItems,
                       const std::vector<DatabaseFieldRef>& fields);
    const std::vector<requests::StaticItem>& StaticRows() const { return static_; }
    const std::vector<DatabaseFieldRef>& FieldRows() const { return fields_; }

    void SetTag(const std::string& text) { tag_ = text; }
    const std::string& Tag() const { return tag_; }
    void SetOneValueMode(bool on) { oneValue_ = on; }
    bool OneValueMode() const { return oneValue_; }
    // "Fill"/"Done", or "OK"/"Cancel" in one-value mode.
    const char* FillCaption() const { return oneValue_ ? "OK" : "Fill"; }
    const char* DoneCaption() const { return oneValue_ ? "Cancel" : "Done"; }

    Source source = Source::Static;  // the active tab
    int order = 0;                   // optOrder
    bool selectedOnly = false;       // chkSelectedOnly
    // Chosen rows of the active list, as 0-based row numbers.
    std::vector<int> chosen;

    // Position (from 1) of the first chosen row, 0 when none.
    static int GetFirstSelectedIndex(const std::vector<int>& chosenRows);
    // TAB-separated positions (from 1) of the chosen rows with "Selected only"
    // ticked; empty (all entries) otherwise.
    std::string PositionList() const;
    // The code of the first chosen row, "" when none.
    std::string OneValue() const;
    // The entries the position list stands for, in list order.
    std::vector<std::string> Entries() const;
    // "Fill": in one-value mode stores the value (read it with Value()) and returns
    // true (the dialog hides); in fill mode runs the canvas operation and returns
    // false (the dialog stays).
    bool Fill(const FillOperation& fill, UserInterface& ui);
    const std::string& Value() const { return value_; }

  private:
    std::vector<requests::StaticItem> static_;
    std::vector<DatabaseFieldRef> fields_;
    std::string tag_, value_;
    bool oneValue_ = false;
};
