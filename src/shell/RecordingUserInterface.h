#pragma once
// Test double: records every call and answers from queues (defaults when empty:
// Yes/OK true, input cancelled, file dialogs cancelled).
#include <deque>
#include <string>
#include <vector>

#include "SaveQuestion.h"
#include "UserInterface.h"

class RecordingUserInterface : public UserInterface, public SaveQuestion {
  public:
    enum class Kind { Message, YesNo, OkCancel, InputBox, Beep, OpenFile, SaveFile, Busy };
    struct Call {
        Kind kind;
        std::string text;
        std::string title;
        MessageIcon icon = MessageIcon::None;
    };

    void Message(const std::string& text, const std::string& title, MessageIcon icon) override;
    bool YesNo(const std::string& text, const std::string& title) override;
    bool OkCancel(const std::string& text, const std::string& title) override;
    // Recorded as an OkCancel call; answered from saveAnswers, else as OkCancel answers.
    SaveChoice SaveDiscardCancel(const std::string& text, const std::string& title) override;
    bool InputBox(const std::string& prompt, const std::string& title, std::string& value) override;
    void Beep() override;
    void SetBusy(bool on) override;  // a Busy call with the text "on" or "off"
    // The call's text is the initial name the dialog was given.
    std::string OpenFileName(const std::string& title, const std::string& filter,
                             const std::string& initialName) override;
    std::string SaveFileName(const std::string& title, const std::string& filter,
                             const std::string& suggested) override;

    std::deque<bool> boolAnswers;          // YesNo and OkCancel
    std::deque<SaveChoice> saveAnswers;    // SaveDiscardCancel
    std::deque<std::string> inputAnswers;  // InputBox; "\x1B" in the queue means Cancel
    std::deque<std::string> fileAnswers;   // Open/Save file dialogs
    std::vector<Call> calls;

    // Messages only (not beeps or questions), in order.
    std::vector<Call> Messages() const;
    int BeepCount() const;
    void Clear() { calls.clear(); }
};
