#pragma once
// The login dialog that comes before the designer.
#include <QDialog>

class QLineEdit;
class QPushButton;
class UserInterface;

class FrmStart : public QDialog {
    Q_OBJECT
  public:
    explicit FrmStart(UserInterface& ui, QWidget* parent = nullptr);
    QLineEdit* PasswordBox() const { return txtPassword_; }
    QPushButton* OkButton() const { return cmdOK_; }

  private:
    void CheckPassword();
    UserInterface& ui_;
    QLineEdit* txtPassword_;
    QPushButton* cmdOK_;
};
