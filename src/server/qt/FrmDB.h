#pragma once
// The forms browser `frmDB`: the forms stored on the server in `lvForms`, the chosen
// form's flags, and the buttons that open, select, delete, refresh and store flags.
// Closing only hides it; each ShowDialog reads the list afresh.
#include <QDialog>
#include <memory>
#include <string>

#include "server/FormsBrowserLogic.h"

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QTreeView;
class FormFlows;
class FormsTableModel;
class UserInterface;

class FrmDB : public QDialog {
    Q_OBJECT
  public:
    FrmDB(FormFlows& flows, UserInterface& ui, QWidget* parent = nullptr);
    ~FrmDB() override;

    // Modal; afterwards SelectedFormName() and Cancelled() tell what the user chose.
    // Not shown at all when the designer cannot connect.
    void ShowDialog(bool selectMode, bool leaveOutCurrentForm = false,
                    const std::string& currentForm = {});
    std::string SelectedFormName() const { return logic_.SelectedFormName; }
    bool Cancelled() const { return logic_.Cancelled; }
    FormsBrowserLogic& Logic() { return logic_; }
    QTreeView* List() const { return lvForms_; }

    // Another form picked in select mode, the current one left out: its name, or ""
    // when cancelled or not connected.
    static std::string SelectForm(FormFlows& flows, UserInterface& ui,
                                  const std::string& currentForm, QWidget* parent);

    // The list shows the logic's rows again; the chosen row stays chosen and visible.
    void ShowRows();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void ShowDetails();
    void OnChosen(const QModelIndex& index);
    void OnGetForm();

    FormsBrowserLogic logic_;
    FormsTableModel* model_;
    QTreeView* lvForms_;
    QLabel* lblName_;
    QFrame* fraOptions_;
    QCheckBox* chkAct_;
    QCheckBox* chkSel_;
    QPushButton* cmdGetForm_;
    QPushButton* cmdDelete_;
    QPushButton* cmdRefresh_;
    QPushButton* cmdSaveOpt_;
    QPushButton* cmdExit_;
};
