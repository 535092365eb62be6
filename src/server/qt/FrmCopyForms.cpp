#include "server/qt/FrmCopyForms.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "server/TcpComm.h"
#include "server/qt/ActionDeadline.h"
#include "shell/qt/QtText.h"
#include "shell/qt/QtUserInterface.h"

namespace {

QTreeWidget* NewList(QWidget* parent, const char* name) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setHeaderLabels({"FormID", "Type", "FormName", "Doc Type"});
    list->setMinimumSize(320, 160);
    return list;
}

QLineEdit* NewBox(QWidget* parent, const char* name, const char* text) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    return box;
}

struct BoxSpec {
    const char* name;
    const char* text;
};

// One server's frame: its address and port boxes with Connect and Get Forms under them;
// the lists go below, from row 2.
struct ServerFrame {
    QGroupBox* box;
    QGridLayout* grid;
    QLineEdit* address;
    QLineEdit* port;
    QPushButton* connect;
    QPushButton* getForms;
};

ServerFrame NewServerFrame(QWidget* parent, const char* title, BoxSpec address, BoxSpec port,
                           const char* connectName, const char* getFormsName) {
    ServerFrame f;
    f.box = new QGroupBox(title, parent);
    f.grid = new QGridLayout(f.box);
    f.address = NewBox(f.box, address.name, address.text);
    f.port = NewBox(f.box, port.name, port.text);
    f.port->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), f.port));
    f.connect = new QPushButton("Connect", f.box);
    f.connect->setObjectName(connectName);
    f.getForms = new QPushButton("Get Forms", f.box);
    f.getForms->setObjectName(getFormsName);
    f.grid->addWidget(new QLabel("IP Address:", f.box), 0, 0);
    f.grid->addWidget(f.address, 0, 1);
    f.grid->addWidget(new QLabel("Port:", f.box), 0, 2);
    f.grid->addWidget(f.port, 0, 3);
    f.grid->addWidget(f.connect, 1, 1);
    f.grid->addWidget(f.getForms, 1, 3);
    return f;
}

}  // namespace

FrmCopyForms::FrmCopyForms(UserInterface* ui, StartOptions options, QWidget* parent)
    : QDialog(parent),
      fromComm_(std::make_unique<TcpComm>()),
      toComm_(std::make_unique<TcpComm>()) {
    setObjectName("frmCopyForms");
    setWindowTitle("Copy Forms");
    if (!ui) {
        ownUi_ = std::make_unique<QtUserInterface>(this);
        ui = ownUi_.get();
    }
    logic_ = std::make_unique<CopyFormsLogic>(*fromComm_, *toComm_, *ui, options);
    GiveEachActionADeadline(*fromComm_, this, *ui);
    GiveEachActionADeadline(*toComm_, this, *ui);
    auto* outer = new QVBoxLayout(this);
    auto* frames = new QHBoxLayout;
    outer->addLayout(frames);

    ServerFrame from = NewServerFrame(this, "Copy From Server", {"txtFromIPAddress", ""},
                                      {"txtFromPort", ""}, "cmdConnect", "cmdGetFromForms");
    txtFromIPAddress_ = from.address;
    txtFromPort_ = from.port;
    lvwFromServerForms_ = NewList(from.box, "lvwFromServerForms");
    from.grid->addWidget(new QLabel("Availble Forms", from.box), 2, 0, 1, 4);
    from.grid->addWidget(lvwFromServerForms_, 3, 0, 1, 4);
    frames->addWidget(from.box);

    auto* moves = new QVBoxLayout;
    auto* cmdCopy = new QPushButton(">>", this);
    cmdCopy->setObjectName("cmdCopy");
    auto* cmdRemove = new QPushButton("<<", this);
    cmdRemove->setObjectName("cmdRemove");
    moves->addStretch();
    moves->addWidget(cmdCopy);
    moves->addWidget(cmdRemove);
    moves->addStretch();
    frames->addLayout(moves);

    ServerFrame to = NewServerFrame(this, "Copy To Server", {"txtToIPAddress", "127.0.0.1"},
                                    {"txtToPort", "5012"}, "cmdToConnect", "cmdGetToForms");
    txtToIPAddress_ = to.address;
    txtToPort_ = to.port;
    lvwCopyFormsToServer_ = NewList(to.box, "lvwCopyFormsToServer");
    lvwFromsInNewServer_ = NewList(to.box, "lvwFromsInNewServer");
    auto* cmdCopyForms = new QPushButton("Copy Forms", to.box);
    cmdCopyForms->setObjectName("cmdCopyForms");
    to.grid->addWidget(new QLabel("Forms to Copy", to.box), 2, 0, 1, 4);
    to.grid->addWidget(lvwCopyFormsToServer_, 3, 0, 1, 4);
    to.grid->addWidget(cmdCopyForms, 4, 3);
    to.grid->addWidget(new QLabel("Exisiting Forms", to.box), 5, 0, 1, 4);
    to.grid->addWidget(lvwFromsInNewServer_, 6, 0, 1, 4);
    frames->addWidget(to.box);

    auto* bar = new QStatusBar(this);
    bar->setObjectName("CopyStatusBar");
    bar->setSizeGripEnabled(false);
    statePanel_ = new QLabel(bar);
    statePanel_->setObjectName("CopyStatusState");
    statePanel_->setMinimumWidth(90);
    statePanel_->setFrameShape(QFrame::Panel);
    statePanel_->setFrameShadow(QFrame::Sunken);
    textPanel_ = new QLabel(bar);
    textPanel_->setObjectName("CopyStatusText");
    textPanel_->setFrameShape(QFrame::Panel);
    textPanel_->setFrameShadow(QFrame::Sunken);
    bar->addWidget(statePanel_);
    bar->addWidget(textPanel_, 1);
    outer->addWidget(bar);

    logic_->onStatus = [this] {
        ShowStatus();
        // The copy runs on this thread; let the bar show each step as it happens.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    auto listFrom = [this](CopyFormsLogic::Server which) {
        TakeBoxes();
        logic_->ConnectAndList(which);
        RefreshLists();
    };
    connect(from.connect, &QPushButton::clicked, this,
            [=] { listFrom(CopyFormsLogic::Server::From); });
    connect(from.getForms, &QPushButton::clicked, this,
            [=] { listFrom(CopyFormsLogic::Server::From); });
    connect(to.connect, &QPushButton::clicked, this, [=] { listFrom(CopyFormsLogic::Server::To); });
    connect(to.getForms, &QPushButton::clicked, this,
            [=] { listFrom(CopyFormsLogic::Server::To); });
    connect(cmdCopy, &QPushButton::clicked, this, [this] {
        logic_->MoveToCopy(ChosenRows(lvwFromServerForms_));
        RefreshLists();
    });
    connect(cmdRemove, &QPushButton::clicked, this, [this] {
        logic_->RemoveFromCopy(ChosenRows(lvwCopyFormsToServer_));
        RefreshLists();
    });
    connect(cmdCopyForms, &QPushButton::clicked, this, [this] {
        TakeBoxes();
        logic_->CopyFormsToNewServer();
        RefreshLists();
    });
    for (QLineEdit* box : {txtFromIPAddress_, txtToIPAddress_}) box->installEventFilter(this);
    // A list belongs to the server it was read from: editing a box drops that side's.
    for (QLineEdit* box : {txtFromIPAddress_, txtFromPort_, txtToIPAddress_, txtToPort_})
        connect(box, &QLineEdit::textChanged, this, [this] {
            TakeBoxes();
            logic_->BoxesChanged();
            RefreshLists();
        });
    ShowStatus();
}

FrmCopyForms::~FrmCopyForms() {
    logic_->CloseConnection();
}

void FrmCopyForms::TakeBoxes() {
    logic_->fromAddress = fromUnicode(txtFromIPAddress_->text().trimmed());
    logic_->fromPort = CopyFormsLogic::DigitsOnly(fromUnicode(txtFromPort_->text()));
    logic_->toAddress = fromUnicode(txtToIPAddress_->text().trimmed());
    logic_->toPort = CopyFormsLogic::DigitsOnly(fromUnicode(txtToPort_->text()));
}

bool FrmCopyForms::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        auto* box = static_cast<QLineEdit*>(watched);
        bool isFrom = box == txtFromIPAddress_;
        auto which = isFrom ? CopyFormsLogic::Server::From : CopyFormsLogic::Server::To;
        std::string& address = isFrom ? logic_->fromAddress : logic_->toAddress;
        address = fromUnicode(box->text().trimmed());
        if (!address.empty() && !logic_->CheckAddress(which)) {
            box->clear();
            // The focus goes back once the focus change that left the box is over.
            QTimer::singleShot(0, box, [box] { box->setFocus(); });
        } else {
            box->setText(toUnicode(address));
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::vector<std::size_t> FrmCopyForms::ChosenRows(QTreeWidget* list) const {
    std::vector<std::size_t> rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->isSelected()) rows.push_back(std::size_t(i));
    return rows;
}

void FrmCopyForms::FillList(QTreeWidget* list, const std::vector<FormDefinition>& rows) {
    list->clear();
    int id = 0;
    for (const auto& def : rows) {
        auto* item = new QTreeWidgetItem(list);
        item->setText(0, QString::number(++id));
        item->setText(1, toUnicode(def.type));
        item->setText(2, toUnicode(def.name));
        item->setText(3, toUnicode(def.documentType));
        item->setToolTip(2, toUnicode(def.description));
    }
}

void FrmCopyForms::RefreshLists() {
    FillList(lvwFromServerForms_, logic_->available);
    FillList(lvwCopyFormsToServer_, logic_->toCopy);
    FillList(lvwFromsInNewServer_, logic_->existing);
    ShowStatus();
}

void FrmCopyForms::ShowStatus() {
    statePanel_->setText(toUnicode(logic_->state));
    textPanel_->setText(toUnicode(logic_->status));
}
