#pragma once
// The copy window `frmCopyForms` ("Copy Forms"): a source and a target frame, the three
// lists, the move buttons and the status bar. It keeps its own two links, apart from
// the designer's connection; the work is CopyFormsLogic's.
#include <QDialog>
#include <memory>

#include "server/CopyFormsLogic.h"

class QLineEdit;
class QPushButton;
class QStatusBar;
class QLabel;
class QTreeWidget;
class CommComponent;
class QtUserInterface;

class FrmCopyForms : public QDialog {
    Q_OBJECT
  public:
    // ui: null for message boxes over this window.
    explicit FrmCopyForms(UserInterface* ui = nullptr, StartOptions options = {},
                          QWidget* parent = nullptr);
    ~FrmCopyForms() override;
    CopyFormsLogic& Logic() { return *logic_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FillList(QTreeWidget* list, const std::vector<FormDefinition>& rows);
    void RefreshLists();
    void ShowStatus();
    void TakeBoxes();
    std::vector<std::size_t> ChosenRows(QTreeWidget* list) const;

    std::unique_ptr<QtUserInterface> ownUi_;
    std::unique_ptr<CommComponent> fromComm_, toComm_;
    std::unique_ptr<CopyFormsLogic> logic_;
    QLineEdit* txtFromIPAddress_;
    QLineEdit* txtFromPort_;
    QLineEdit* txtToIPAddress_;
    QLineEdit* txtToPort_;
    QTreeWidget* lvwFromServerForms_;
    QTreeWidget* lvwCopyFormsToServer_;
    QTreeWidget* lvwFromsInNewServer_;
    QLabel* statePanel_;
    QLabel* textPanel_;
};
