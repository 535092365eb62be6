#pragma once
// The only way the Qt-free core talks to the user. Texts are Windows-1252 bytes.
#include <string>

enum class MessageIcon { None, Information, Warning, Critical, Question };

class UserInterface {
  public:
    virtual ~UserInterface() = default;
    virtual void Message(const std::string& text, const std::string& title,
                         MessageIcon icon = MessageIcon::None) = 0;
    virtual bool YesNo(const std::string& text, const std::string& title) = 0;
    virtual bool OkCancel(const std::string& text, const std::string& title) = 0;
    // The same question with the information icon, where it tells of a consequence
    // rather than asks about a loss.
    virtual bool OkCancelInformation(const std::string& text, const std::string& title) {
        return OkCancel(text, title);
    }
    // Returns false when the user cancels; value holds the typed text otherwise.
    virtual bool InputBox(const std::string& prompt, const std::string& title,
                          std::string& value) = 0;
    virtual void Beep() = 0;
    // The hourglass pointer while a long command runs; off before it reports.
    virtual void SetBusy(bool on) { (void)on; }
    // Common file dialogs; an empty result means cancelled. filter uses the
    // "Layout files (*.ldt)|*.ldt|All files (*.*)|*.*" form; initialName fills the name box.
    virtual std::string OpenFileName(const std::string& title, const std::string& filter,
                                     const std::string& initialName = {}) = 0;
    virtual std::string SaveFileName(const std::string& title, const std::string& filter,
                                     const std::string& suggested) = 0;
};

// Failure reporting: a box titled "ERROR" whose text is the operation's label
// followed by the error's description.
void ReportError(UserInterface& ui, const std::string& label, const std::string& description);
