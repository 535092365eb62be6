#pragma once
// The save-form dialog: name, description, type and document type of the form,
// asked before a form is saved.
#include <QDialog>
#include <functional>

#include "dialogs/PopUpLogic.h"
#include "server/SaveFormPrompt.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class UserInterface;
class LookupPicker;
class LookupValidator;

class FrmPopUp : public QDialog, public SaveFormPrompt {
    Q_OBJECT
  public:
    // picker and validator may be null (no connection yet): the look-up then does nothing.
    FrmPopUp(UserInterface& ui, LookupPicker* picker, LookupValidator* validator,
             QWidget* parent = nullptr);

    // Fills the fields from settings, runs modally; true when the values were stored.
    bool ShowSaveDialog(FormSettings& settings, bool formExists) override;
    // Fills the fields without running (the window can then be shown or driven).
    void Prepare(FormSettings& settings, bool formExists);
    bool Cancelled() const { return logic_.Cancelled(); }

    // The overwrite question; by default a warning box with Cancel as the default button.
    void SetConfirm(PopUpLogic::Confirm confirm) { confirm_ = std::move(confirm); }

    QLineEdit* NameField() const { return txtName_; }
    QLineEdit* DescriptionField() const { return txtDescription_; }
    QComboBox* TypeList() const { return cmbType_; }
    QLineEdit* DocumentTypeField() const { return txtDocumentType_; }
    QPushButton* LookupButton() const { return cmdLookup_; }
    QCheckBox* OverwriteBox() const { return chkOverwrite_; }
    QPushButton* OkButton() const { return cmdOK_; }
    QPushButton* CancelButton() const { return cmdCancel_; }

  protected:
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void PressOk();
    void LookUp();
    void LeaveDocumentType();
    void ReadFields();
    QWidget* FieldOf(PopUpLogic::Field field) const;

    UserInterface& ui_;
    LookupPicker* picker_;
    LookupValidator* validator_;
    PopUpLogic logic_;
    PopUpLogic::Confirm confirm_;
    FormSettings* settings_ = nullptr;
    bool inLookup_ = false;

    QLineEdit* txtName_;
    QLineEdit* txtDescription_;
    QComboBox* cmbType_;
    QLineEdit* txtDocumentType_;
    QPushButton* cmdLookup_;
    QCheckBox* chkOverwrite_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
};
