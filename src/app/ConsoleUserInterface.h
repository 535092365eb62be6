#pragma once
// The user interface of the command-line tools: messages go to standard output in
// UTF-8, questions take their safe answer, dialogs are cancelled.
#include <iostream>
#include <string>

#include "shell/Cp1252.h"
#include "shell/TextUtils.h"
#include "shell/UserInterface.h"

class ConsoleUserInterface : public UserInterface {
  public:
    explicit ConsoleUserInterface(std::ostream& out) : out_(out) {}
    void Message(const std::string& text, const std::string& title, MessageIcon) override {
        ++messages_;
        out_ << "[" << cp1252::ToUtf8(title) << "] "
             << cp1252::ToUtf8(text::ReplaceAll(text::ReplaceAll(text, "\r\n", "\n"), "\r", "\n"))
             << "\n";
    }
    bool YesNo(const std::string& text, const std::string& title) override {
        Message(text, title, MessageIcon::Question);
        return false;
    }
    bool OkCancel(const std::string& text, const std::string& title) override {
        Message(text, title, MessageIcon::Question);
        return false;
    }
    bool InputBox(const std::string&, const std::string&, std::string&) override { return false; }
    void Beep() override {}
    std::string OpenFileName(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    std::string SaveFileName(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    int MessageCount() const { return messages_; }

  private:
    std::ostream& out_;
    int messages_ = 0;
};
