#pragma once
// The list picker `frmLists` over ListsLogic: the form's static items and chosen data
// fields on two tabs. Fill mode fills labels on the canvas ("Fill"/"Done", modeless);
// one-value mode hands one code to a property dialog ("OK"/"Cancel", modal).
#include <QDialog>
#include <string>
#include <vector>

#include "dialogs/ListsLogic.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTreeWidget;

class FrmLists : public QDialog {
    Q_OBJECT
  public:
    FrmLists(UserInterface& ui, QWidget* parent = nullptr);

    void FillListBoxes(const std::vector<requests::StaticItem>& staticItems,
                       const std::vector<DatabaseFieldRef>& fields);
    void SetTag(const std::string& text);
    // Fill mode: shown modeless; "Fill" runs the operation on the canvas.
    void ShowFill(ListsLogic::FillOperation fill);
    // One-value mode: modal; the chosen row's code, or "".
    std::string GetOneValue();
    ListsLogic& Logic() { return logic_; }
    QTreeWidget* StaticList() const { return lvwStatic_; }
    QTreeWidget* FieldList() const { return lvwDBFields_; }

  private:
    void Store();
    void ShowMode();

    UserInterface& ui_;
    ListsLogic logic_;
    ListsLogic::FillOperation fill_;
    QTabWidget* tabs_ = nullptr;
    QTreeWidget* lvwStatic_ = nullptr;
    QTreeWidget* lvwDBFields_ = nullptr;
    QRadioButton* optOrder_[3] = {};
    QCheckBox* chkSelectedOnly_ = nullptr;
    QLabel* lblTag_ = nullptr;
    QPushButton* cmdFill_ = nullptr;
    QPushButton* cmdDone_ = nullptr;
};

// Static-list picker for a property dialog: one code of the form's lists, or "".
std::string PickOneListValue(UserInterface& ui, const std::vector<requests::StaticItem>& items,
                             const std::vector<DatabaseFieldRef>& fields, QWidget* parent);
