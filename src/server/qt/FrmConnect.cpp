#include "server/qt/FrmConnect.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "shell/qt/QtText.h"

FrmConnect::FrmConnect(ConnectionLogic& logic, QWidget* parent) : QDialog(parent), logic_(logic) {
    setObjectName("frmConnect");
    setModal(true);
    auto* outer = new QVBoxLayout(this);
    frame_ = new QFrame(this);
    frame_->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(frame_);
    txtIP_ = new QLineEdit(frame_);
    txtIP_->setObjectName("txtIP");
    txtPort_ = new QLineEdit(frame_);
    txtPort_->setObjectName("txtPort");
    txtEntity_ = new QLineEdit(frame_);
    txtEntity_->setObjectName("txtEntity");
    grid->addWidget(new QLabel("Server:", frame_), 0, 0);
    grid->addWidget(txtIP_, 0, 1);
    grid->addWidget(new QLabel("Port:", frame_), 1, 0);
    grid->addWidget(txtPort_, 1, 1);
    grid->addWidget(new QLabel("Entity", frame_), 2, 0);
    grid->addWidget(txtEntity_, 2, 1);
    outer->addWidget(frame_);
    auto* buttons = new QHBoxLayout;
    cmdConnect_ = new QPushButton("Connect", this);
    cmdConnect_->setObjectName("cmdConnect");
    cmdDisconnect_ = new QPushButton("Disconnect", this);
    cmdDisconnect_->setObjectName("cmdDisconnect");
    cmdExit_ = new QPushButton("Exit", this);
    cmdExit_->setObjectName("cmdExit");
    buttons->addWidget(cmdConnect_);
    buttons->addWidget(cmdDisconnect_);
    buttons->addWidget(cmdExit_);
    outer->addLayout(buttons);
    connect(cmdConnect_, &QPushButton::clicked, this, [this] { OnConnect(); });
    connect(cmdDisconnect_, &QPushButton::clicked, this, [this] { OnDisconnect(); });
    connect(cmdExit_, &QPushButton::clicked, this, [this] { hide(); });
    for (QLineEdit* box : {txtIP_, txtPort_, txtEntity_}) box->installEventFilter(this);
    RefreshControls();
}

bool FrmConnect::ShowDialog() {
    // Disconnected, the boxes keep what was typed last time.
    if (logic_.Connected())
        RefreshControls();
    else
        RefreshState();
    adjustSize();
    exec();
    return logic_.Connected();
}

void FrmConnect::RefreshControls() {
    txtIP_->setText(toUnicode(logic_.address));
    txtPort_->setText(toUnicode(logic_.port));
    txtEntity_->setText(toUnicode(logic_.entity));
    RefreshState();
}

void FrmConnect::RefreshState() {
    bool on = logic_.Connected();
    for (QLineEdit* box : {txtIP_, txtPort_, txtEntity_}) {
        box->setEnabled(!on);
        QPalette pal = box->palette();
        pal.setColor(QPalette::Base, on ? QColor(192, 192, 192) : QColor(Qt::white));
        // The connection stays readable while its boxes are locked.
        pal.setColor(QPalette::Disabled, QPalette::Text, QColor(32, 32, 32));
        box->setPalette(pal);
    }
    cmdConnect_->setEnabled(!on);
    cmdDisconnect_->setEnabled(on);
    (on ? cmdDisconnect_ : cmdConnect_)->raise();
    (on ? cmdDisconnect_ : cmdConnect_)->setDefault(true);
    setWindowTitle(toUnicode(logic_.Caption()));
}

void FrmConnect::OnConnect() {
    logic_.address = fromUnicode(txtIP_->text());
    logic_.port = fromUnicode(txtPort_->text());
    logic_.entity = fromUnicode(txtEntity_->text());
    bool ok = logic_.Connect();
    RefreshControls();
    emit connectionChanged();
    if (ok) hide();
}

void FrmConnect::OnDisconnect() {
    logic_.Disconnect(utility_);
    RefreshControls();
    emit connectionChanged();
}

void FrmConnect::closeEvent(QCloseEvent* event) {
    // The close box only hides the dialog: what was typed stays for the next time.
    event->ignore();
    hide();
}

bool FrmConnect::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn)
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}
