#pragma once
// The forms browser `frmDB` without its window: the rows of the forms list, their
// order, the chosen row and what each button does to the server. The window shows
// Rows() in order and passes clicks on.
#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class FormFlows;
class UserInterface;

class FormsBrowserLogic {
  public:
    enum Column { kName, kType, kDescription, kImages, kDateModified, kDocType, kColumns };
    struct Row {
        std::array<std::string, kColumns> cells;
        std::size_t position = 0;  // entry of the forms definitions list (from 1)
        std::string Key() const;   // "key" TAB name TAB position
    };

    FormsBrowserLogic(FormFlows& flows, UserInterface& ui);

    // `ShowDialog` up to showing it: connects, fills the list, leaves the current form
    // out when asked. False when there is no connection (nothing to show).
    bool Start(bool selectMode, bool leaveOutCurrentForm, const std::string& currentForm);

    // Reads the forms list and its flags again and shows every form (but the one left
    // out), newest first; the chosen row stays chosen when it is still listed.
    bool Fill();
    // A click on a header: that column in ascending order, a second click reverses.
    void SortBy(int column);
    void SortBy(int column, bool ascending);

    // Show details: the row (index into Rows(), -1 none) becomes the chosen one.
    void Choose(int row);
    int ChosenRow() const;
    std::string ChosenName() const;
    bool ChosenActive() const;
    bool ChosenSelected() const;

    // "Open Form" / "Select Form" and a double click: true when the dialog may close.
    bool TakeChosen();
    // "Delete" with its question; true when the form was deleted.
    bool DeleteChosen();
    // Stores the two flags of the chosen form, then reads the list again.
    bool SaveOptions(bool active, bool selected);
    // "Exit" and the close box.
    void Cancel();

    const std::vector<Row>& Rows() const { return rows_; }
    bool SelectMode() const { return selectMode_; }
    std::string GetFormCaption() const { return selectMode_ ? "Select Form" : "Open Form"; }
    std::string Caption() const;
    int SortColumn() const { return sortColumn_; }
    bool SortAscending() const { return ascending_; }

    std::string SelectedFormName;
    // The window shows the rows again (after a delete, before it says so).
    std::function<void()> rowsChanged;
    bool Cancelled = true;

  private:
    FormFlows& flows_;
    UserInterface& ui_;
    std::vector<Row> rows_;
    std::string chosenName_;  // the chosen row, found again by name after a refill
    bool selectMode_ = false;
    bool leaveOut_ = false;
    std::string currentForm_;
    int sortColumn_ = kDateModified;
    bool ascending_ = false;
};

// Every header of the list, in column order.
extern const char* const kFormsBrowserHeaders[FormsBrowserLogic::kColumns];
