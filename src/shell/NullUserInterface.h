#pragma once
// A user interface nobody sees: messages go nowhere, questions take the answer that
// lets the work go on (Yes, OK), input boxes and file dialogs are cancelled. For work
// done behind the user's back, such as comparing the form with its saved text.
#include "UserInterface.h"

class NullUserInterface : public UserInterface {
  public:
    void Message(const std::string&, const std::string&, MessageIcon) override {}
    bool YesNo(const std::string&, const std::string&) override { return true; }
    bool OkCancel(const std::string&, const std::string&) override { return true; }
    bool InputBox(const std::string&, const std::string&, std::string&) override { return false; }
    void Beep() override {}
    std::string OpenFileName(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    std::string SaveFileName(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
};
