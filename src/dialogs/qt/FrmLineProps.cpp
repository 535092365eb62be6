#include "dialogs/qt/FrmLineProps.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/qt/FieldBehaviour.h"
#include "shell/qt/QtText.h"

FrmLineProps::FrmLineProps(const FormSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle("Line Properties");
    txtLineName_ = new QLineEdit;
    txtLeft_ = new QLineEdit;
    txtTop_ = new QLineEdit;
    txtWidth_ = new QLineEdit;
    txtBorderWidth_ = new QLineEdit;
    cmbStyle_ = new QComboBox;
    for (const std::string& s : LinePropsLogic::BorderStyles()) cmbStyle_->addItem(toUnicode(s));
    txtHStep_ = new QLineEdit;
    txtVStep_ = new QLineEdit;
    for (QLineEdit* f :
         {txtLineName_, txtLeft_, txtTop_, txtWidth_, txtBorderWidth_, txtHStep_, txtVStep_})
        SelectAllOnFocus(f);

    auto* fields = new QFormLayout;
    fields->addRow("Line Name", txtLineName_);
    fields->addRow("Left", txtLeft_);
    fields->addRow("Top", txtTop_);
    fields->addRow("Width", txtWidth_);
    auto* border = new QGroupBox("Border");
    auto* b = new QFormLayout(border);
    b->addRow("Width", txtBorderWidth_);
    b->addRow("Style", cmbStyle_);

    auto* move = new QGroupBox("Move Line");
    auto* m = new QGridLayout(move);
    m->addWidget(new QPushButton(QString(QChar(0x2191))), 0, 1);
    m->addWidget(new QPushButton(QString(QChar(0x2190))), 1, 0);
    m->addWidget(new QPushButton("Move"), 1, 1);
    m->addWidget(new QPushButton(QString(QChar(0x2192))), 1, 2);
    m->addWidget(new QPushButton(QString(QChar(0x2193))), 2, 1);
    m->addWidget(txtHStep_, 3, 0, 1, 2);
    m->addWidget(txtVStep_, 3, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(new QPushButton("Apply"));
    buttons->addWidget(new QPushButton("Delete"));

    auto* all = new QVBoxLayout(this);
    all->addLayout(fields);
    all->addWidget(border);
    all->addWidget(move);
    all->addLayout(buttons);
}

void FrmLineProps::UpdateShift() {
    logic_.horizontalStep = fromUnicode(txtHStep_->text());
    logic_.verticalStep = fromUnicode(txtVStep_->text());
    if (!logic_.UpdateShift(settings_)) return;
    txtHStep_->setText(toUnicode(logic_.horizontalStep));
    txtVStep_->setText(toUnicode(logic_.verticalStep));
}

bool FrmLineProps::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) UpdateShift();
    return QDialog::event(e);
}
