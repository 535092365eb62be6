// The connection dialog's window, clicked as a user clicks it, against the real
// reference server.
#include <QCloseEvent>
#include <QPushButton>
#include <QTimer>
#include <chrono>

#include "ServerTestSupport.h"
#include "server/qt/ActionDeadline.h"
#include "server/qt/FrmConnect.h"
#include "support/UserInput.h"

using FrmConnectWindow = WithServer;

TEST_F(FrmConnectWindow, ConnectsDisconnectsAndKeepsWhatWasTyped) {
    RecordingUserInterface ui;
    TcpComm comm;
    comm.SetTimeouts(2000, 5000);
    ConnectionLogic logic(comm, ui);
    FrmConnect dlg(logic);
    dlg.show();
    auto* ip = dlg.findChild<QLineEdit*>("txtIP");
    auto* port = dlg.findChild<QLineEdit*>("txtPort");
    auto* entity = dlg.findChild<QLineEdit*>("txtEntity");
    auto* connectButton = dlg.findChild<QPushButton*>("cmdConnect");
    auto* disconnectButton = dlg.findChild<QPushButton*>("cmdDisconnect");
    ASSERT_TRUE(ip && port && entity && connectButton && disconnectButton);
    EXPECT_EQ(dlg.windowTitle(), "Disconnected");
    EXPECT_EQ(ip->text(), "127.0.0.1");
    EXPECT_EQ(port->text(), "5001");
    EXPECT_FALSE(disconnectButton->isEnabled());

    // A port nobody listens on: the message, still disconnected, the dialog open.
    Type(port, "1");
    ClickAt(connectButton);
    EXPECT_FALSE(dlg.Connected());
    ASSERT_FALSE(ui.Messages().empty());
    EXPECT_EQ(ui.Messages().back().title, "Not Connected");
    EXPECT_TRUE(dlg.isVisible());

    Type(port, QString::number(server->Port()));
    Type(entity, "1");
    ClickAt(connectButton);
    EXPECT_TRUE(dlg.Connected());
    EXPECT_FALSE(dlg.isVisible());  // a successful connect hides it
    EXPECT_EQ(dlg.windowTitle(), QString("127.0.0.1   %1").arg(server->Port()));
    EXPECT_FALSE(ip->isEnabled());
    EXPECT_EQ(ip->palette().color(QPalette::Base), QColor(192, 192, 192));
    EXPECT_FALSE(connectButton->isEnabled());
    EXPECT_TRUE(disconnectButton->isEnabled());

    dlg.show();
    ClickAt(disconnectButton);
    EXPECT_FALSE(dlg.Connected());
    EXPECT_EQ(dlg.windowTitle(), "Disconnected");
    EXPECT_TRUE(ip->isEnabled());

    // The close box hides; the boxes keep their texts for the next time.
    Type(entity, "ENT7");
    QCloseEvent close;
    QApplication::sendEvent(&dlg, &close);
    EXPECT_FALSE(close.isAccepted());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(entity->text(), "ENT7");
    QTimer::singleShot(0, &dlg, &QDialog::hide);
    EXPECT_FALSE(dlg.ShowDialog());
    EXPECT_EQ(entity->text(), "ENT7");
    // A refresh shows the shared values, whatever the boxes held.
    logic.address = "10.1.2.3";
    dlg.RefreshControls();
    EXPECT_EQ(ip->text(), "10.1.2.3");
    EXPECT_EQ(entity->text(), "1");
}

TEST(ActionDeadline, AllRequestsOfOneWindowActionShareOneDeadlineNamingTheServer) {
    FrameServer silent(
        [](const std::vector<std::string>&) { return std::vector<std::string>{"SILENT"}; });
    RecordingUserInterface ui;
    TcpComm comm;
    QObject context;
    GiveEachActionADeadline(comm, &context, ui, std::chrono::milliseconds(300));
    comm.SetServerAddress("127.0.0.1", std::to_string(silent.Port()), 10, 0);
    const std::string expected =
        "the server 127.0.0.1:" + std::to_string(silent.Port()) + " did not answer within 1 s";
    for (int action = 0; action < 2; ++action) {
        // One action asks three times (a picture at a time) and gets its 300 ms once.
        auto start = std::chrono::steady_clock::now();
        std::string reply, error;
        for (int request = 0; request < 3; ++request)
            EXPECT_FALSE(comm.GetServerStringData("|GET|PING|", "", reply, error));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
        EXPECT_EQ(error.rfind(expected, 0), 0u) << error;
        // Back in the event loop: the action is over, and the user is told why once.
        QCoreApplication::processEvents();
        ASSERT_EQ(ui.Messages().size(), std::size_t(action + 1));
        EXPECT_EQ(ui.Messages().back().text.rfind(expected, 0), 0u);
    }
}
