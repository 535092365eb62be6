#include "dialogs/qt/FrmPopUp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "dialogs/qt/FieldBehaviour.h"
#include "layout/FormSettings.h"
#include "shell/qt/QtText.h"

namespace {
bool AskOverwrite(QWidget* parent, const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::Warning, toUnicode(title), toUnicode(text),
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}
}  // namespace

FrmPopUp::FrmPopUp(UserInterface& ui, LookupPicker* picker, LookupValidator* validator,
                   QWidget* parent)
    : QDialog(parent), ui_(ui), picker_(picker), validator_(validator) {
    setWindowTitle("Save Form As");
    confirm_ = [this](const std::string& text, const std::string& title) {
        return AskOverwrite(this, text, title);
    };

    txtName_ = new QLineEdit;
    txtDescription_ = new QLineEdit;
    cmbType_ = new QComboBox;
    cmbType_->setEditable(true);
    cmbType_->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& t : PopUpLogic::FormTypes()) cmbType_->addItem(toUnicode(t));
    txtDocumentType_ = new QLineEdit;
    cmdLookup_ = new QPushButton("...");
    cmdLookup_->setFixedWidth(28);
    cmdLookup_->setFocusPolicy(Qt::NoFocus);
    chkOverwrite_ = new QCheckBox("Overwrite");
    cmdOK_ = new QPushButton("OK");
    cmdCancel_ = new QPushButton("Cancel");
    cmdOK_->setDefault(true);

    SelectAllOnFocus(txtName_);
    SelectAllOnFocus(txtDescription_);
    SelectAllOnFocus(cmbType_->lineEdit());
    SelectAllOnFocus(txtDocumentType_);
    txtDocumentType_->installEventFilter(this);

    auto* docRow = new QHBoxLayout;
    docRow->addWidget(txtDocumentType_);
    docRow->addWidget(cmdLookup_);
    auto* form = new QFormLayout;
    form->addRow("Name:", txtName_);
    form->addRow("Description:", txtDescription_);
    form->addRow("Type:", cmbType_);
    form->addRow("Document Type for EMR:", docRow);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkOverwrite_);
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* all = new QVBoxLayout(this);
    all->addLayout(form);
    all->addLayout(buttons);
    resize(420, sizeHint().height());

    connect(chkOverwrite_, &QCheckBox::toggled, this, [this](bool on) {
        logic_.SetOverwriteChecked(on);
        cmdOK_->setEnabled(logic_.OkEnabled());
    });
    connect(cmdOK_, &QPushButton::clicked, this, &FrmPopUp::PressOk);
    connect(cmdCancel_, &QPushButton::clicked, this, &FrmPopUp::reject);
    connect(cmdLookup_, &QPushButton::clicked, this, &FrmPopUp::LookUp);
}

void FrmPopUp::Prepare(FormSettings& settings, bool formExists) {
    settings_ = &settings;
    logic_.Load(settings, formExists);
    txtName_->setText(toUnicode(logic_.name));
    txtDescription_->setText(toUnicode(logic_.description));
    cmbType_->setCurrentText(toUnicode(logic_.type));
    txtDocumentType_->setText(toUnicode(logic_.documentType));
    chkOverwrite_->setVisible(formExists);
    chkOverwrite_->setChecked(false);
    cmdOK_->setEnabled(logic_.OkEnabled());
}

bool FrmPopUp::ShowSaveDialog(FormSettings& settings, bool formExists) {
    Prepare(settings, formExists);
    exec();
    return !logic_.Cancelled();
}

void FrmPopUp::ReadFields() {
    logic_.name = fromUnicode(txtName_->text());
    logic_.description = fromUnicode(txtDescription_->text());
    logic_.type = fromUnicode(cmbType_->currentText());
    logic_.documentType = fromUnicode(txtDocumentType_->text());
}

QWidget* FrmPopUp::FieldOf(PopUpLogic::Field field) const {
    switch (field) {
        case PopUpLogic::Field::Name:
            return txtName_;
        case PopUpLogic::Field::Description:
            return txtDescription_;
        case PopUpLogic::Field::Type:
            return cmbType_;
        case PopUpLogic::Field::DocumentType:
            return txtDocumentType_;
        case PopUpLogic::Field::None:
            break;
    }
    return nullptr;
}

void FrmPopUp::PressOk() {
    if (!settings_ || !cmdOK_->isEnabled()) return;
    ReadFields();
    switch (logic_.Ok(*settings_, ui_, confirm_)) {
        case PopUpLogic::OkOutcome::Accepted:
        case PopUpLogic::OkOutcome::Cancelled:
            hide();
            break;
        case PopUpLogic::OkOutcome::KeepOpen:
            if (QWidget* w = FieldOf(logic_.FocusField())) w->setFocus();
            break;
    }
}

void FrmPopUp::reject() {
    logic_.Cancel();
    QDialog::reject();
}

void FrmPopUp::LookUp() {
    if (!picker_ || inLookup_) return;
    inLookup_ = true;
    logic_.documentType = fromUnicode(txtDocumentType_->text());
    if (logic_.LookUpDocumentType(*picker_))
        txtDocumentType_->setText(toUnicode(logic_.documentType));
    inLookup_ = false;
}

void FrmPopUp::LeaveDocumentType() {
    txtDocumentType_->deselect();
    // Going to Cancel or closing the dialog asks nothing of the server.
    if (!validator_ || !picker_ || inLookup_ || !isVisible() || cmdCancel_->hasFocus()) return;
    inLookup_ = true;
    logic_.documentType = fromUnicode(txtDocumentType_->text());
    if (logic_.LeaveDocumentType(*validator_, *picker_))
        txtDocumentType_->setText(toUnicode(logic_.documentType));
    inLookup_ = false;
}

bool FrmPopUp::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtDocumentType_ && event->type() == QEvent::FocusOut)
        // Once the focus has arrived where it was going.
        QTimer::singleShot(0, this, &FrmPopUp::LeaveDocumentType);
    return QDialog::eventFilter(watched, event);
}
