#pragma once
// The dock beside the page where the property dialogs show, so that a dialog never
// covers what it edits (the user may still float it). It shows while one of its
// dialogs does, and closing it closes them.
#include <QDockWidget>

class QDialog;
class QMainWindow;
class QVBoxLayout;

class PropertiesDock : public QDockWidget {
  public:
    explicit PropertiesDock(QMainWindow* window);
    // The dialog moves into the dock (the first time) and shows there; the keyboard
    // focus stays where it is, so keys still reach the page that was clicked.
    void Present(QDialog* dialog);
    bool Holds(const QDialog* dialog) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // Hidden once none of its dialogs is shown (checked after the event that hid one,
    // so that switching from one dialog to another does not close and reopen it).
    void FollowDialogs();
    QWidget* body_;
    QVBoxLayout* layout_;
};
