#pragma once
// The connection dialog `frmConnect`: address, port and entity, Connect, Disconnect
// and Exit. Closing only hides it, so the boxes keep what was typed.
#include <QDialog>

#include "server/ConnectionLogic.h"
#include "server/FormFlows.h"

class QLineEdit;
class QPushButton;
class QFrame;

class FrmConnect : public QDialog, public ConnectionPrompt {
    Q_OBJECT
  public:
    FrmConnect(ConnectionLogic& logic, QWidget* parent = nullptr);
    // The utility component that Disconnect resets (may be null until it exists).
    void SetUtility(UtilityComponent* utility) { utility_ = utility; }

    // `ShowDialog`: modal; true when connected afterwards.
    bool ShowDialog();
    bool Connected() const override { return logic_.Connected(); }
    bool ShowConnectDialog() override { return ShowDialog(); }
    // The boxes show the shared values; buttons, colours and caption the state.
    void RefreshControls();

  signals:
    void connectionChanged();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void RefreshState();
    void OnConnect();
    void OnDisconnect();

    ConnectionLogic& logic_;
    UtilityComponent* utility_ = nullptr;
    QFrame* frame_;
    QLineEdit* txtIP_;
    QLineEdit* txtPort_;
    QLineEdit* txtEntity_;
    QPushButton* cmdConnect_;
    QPushButton* cmdDisconnect_;
    QPushButton* cmdExit_;
};
