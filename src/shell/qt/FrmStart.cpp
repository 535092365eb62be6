#include "shell/qt/FrmStart.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/LoginCheck.h"
#include "shell/UserInterface.h"
#include "shell/qt/QtText.h"

FrmStart::FrmStart(UserInterface& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
    setObjectName("frmStart");
    setWindowTitle("Form Designer");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Password:", this));
    txtPassword_ = new QLineEdit(this);
    txtPassword_->setObjectName("txtPassword");
    txtPassword_->setEchoMode(QLineEdit::Password);
    layout->addWidget(txtPassword_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOK_ = new QPushButton("OK", this);
    cmdOK_->setObjectName("cmdOK");
    cmdOK_->setDefault(true);
    buttons->addWidget(cmdOK_);
    layout->addLayout(buttons);
    connect(cmdOK_, &QPushButton::clicked, this, &FrmStart::CheckPassword);
    txtPassword_->setFocus();
}

void FrmStart::CheckPassword() {
    if (LoginCheck::Accepts(fromUnicode(txtPassword_->text()))) {
        accept();
        return;
    }
    ui_.Beep();
    txtPassword_->setFocus();
}
