#pragma once
// The user interface of the window build: message boxes, input box, beep and the
// common file dialogs, with every text converted at this boundary.
#include <QString>
#include <QStringList>
#include <mutex>

#include "shell/KeyState.h"
#include "shell/SaveQuestion.h"
#include "shell/TextMetrics.h"
#include "shell/UserInterface.h"

class QWidget;

class QtUserInterface : public UserInterface, public SaveQuestion {
  public:
    explicit QtUserInterface(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    void Message(const std::string& text, const std::string& title, MessageIcon icon) override;
    bool YesNo(const std::string& text, const std::string& title) override;
    bool OkCancel(const std::string& text, const std::string& title) override;
    SaveChoice SaveDiscardCancel(const std::string& text, const std::string& title) override;
    bool OkCancelInformation(const std::string& text, const std::string& title) override;
    bool InputBox(const std::string& prompt, const std::string& title, std::string& value) override;
    void Beep() override;
    void SetBusy(bool on) override;
    std::string OpenFileName(const std::string& title, const std::string& filter,
                             const std::string& initialName) override;
    std::string SaveFileName(const std::string& title, const std::string& filter,
                             const std::string& suggested) override;

  private:
    QWidget* parent_;
};

// "Name|*.a;*.b|Other|*.c" -> "Name (*.a *.b);;Other (*.c)".
QString QtFileFilter(const std::string& filter);

// Caption sizes measured with the fonts of this machine, in inches at 72 points.
class QtTextMetrics : public TextMetrics {
  public:
    double TextWidth(std::string_view caption, const std::string& fontName, double fontSize,
                     bool bold, bool italic) const override;
    double TextHeight(const std::string& fontName, double fontSize, bool bold,
                      bool italic) const override;
    bool FontExists(const std::string& fontName) const override;

  private:
    // The machine's families, asked for once: the font database makes the list anew at each
    // call, which cost as much as reading a large form when every label asked.
    mutable std::once_flag familiesRead_;
    mutable QStringList families_;
};

// Modifier keys as the keyboard holds them now.
class QtKeyState : public KeyState {
  public:
    bool ShiftPressed() const override;
    bool CtrlPressed() const override;
    bool AltPressed() const override;
};
