#pragma once
// The lookup picker's window: a modal list of one server code list. Show gives
// code + four blanks + description, or "CANCEL".
#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "server/OutsideComponents.h"

class QTableWidget;
class QLineEdit;

class LookupPickerDialog : public QDialog {
    Q_OBJECT
  public:
    explicit LookupPickerDialog(QWidget* parent = nullptr);
    void SetEntries(const std::vector<LookupEntry>& entries, const std::string& current);
    // Answer of the last showing.
    std::string Answer() const { return answer_; }
    QTableWidget* Table() const { return table_; }
    QLineEdit* Filter() const { return filter_; }
    void AcceptCurrent();

  private:
    void ApplyFilter(const QString& text);

    QTableWidget* table_ = nullptr;
    QLineEdit* filter_ = nullptr;
    std::vector<LookupEntry> entries_;
    std::string answer_ = "CANCEL";
};

class QtLookupPicker : public LookupPicker {
  public:
    explicit QtLookupPicker(CommComponent& comm, QWidget* parent = nullptr)
        : comm_(comm), parent_(parent) {}
    void Configure(const std::string& listName, const std::string& title,
                   const std::string& option1, const std::string& option2) override;
    std::string Show(const std::string& currentText) override;

  private:
    CommComponent& comm_;
    QWidget* parent_;
    std::string listName_;
    std::string title_;
};

std::unique_ptr<LookupPicker> MakeQtLookupPicker(CommComponent& comm);
