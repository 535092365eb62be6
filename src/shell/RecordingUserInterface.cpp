#include "RecordingUserInterface.h"

void RecordingUserInterface::Message(const std::string& text, const std::string& title,
                                     MessageIcon icon) {
    calls.push_back({Kind::Message, text, title, icon});
}

bool RecordingUserInterface::YesNo(const std::string& text, const std::string& title) {
    calls.push_back({Kind::YesNo, text, title, MessageIcon::Question});
    if (boolAnswers.empty()) return true;
    bool a = boolAnswers.front();
    boolAnswers.pop_front();
    return a;
}

bool RecordingUserInterface::OkCancel(const std::string& text, const std::string& title) {
    calls.push_back({Kind::OkCancel, text, title, MessageIcon::Question});
    if (boolAnswers.empty()) return true;
    bool a = boolAnswers.front();
    boolAnswers.pop_front();
    return a;
}

SaveChoice RecordingUserInterface::SaveDiscardCancel(const std::string& text,
                                                     const std::string& title) {
    if (saveAnswers.empty())
        return OkCancel(text, title) ? SaveChoice::Discard : SaveChoice::Cancel;
    calls.push_back({Kind::OkCancel, text, title, MessageIcon::Question});
    SaveChoice a = saveAnswers.front();
    saveAnswers.pop_front();
    return a;
}

bool RecordingUserInterface::InputBox(const std::string& prompt, const std::string& title,
                                      std::string& value) {
    calls.push_back({Kind::InputBox, prompt, title, MessageIcon::None});
    if (inputAnswers.empty() || inputAnswers.front() == "\x1B") {
        if (!inputAnswers.empty()) inputAnswers.pop_front();
        return false;
    }
    value = inputAnswers.front();
    inputAnswers.pop_front();
    return true;
}

void RecordingUserInterface::SetBusy(bool on) {
    calls.push_back({Kind::Busy, on ? "on" : "off", "", MessageIcon::None});
}

void RecordingUserInterface::Beep() {
    calls.push_back({Kind::Beep, "", "", MessageIcon::None});
}

std::string RecordingUserInterface::OpenFileName(const std::string& title, const std::string&,
                                                 const std::string& initialName) {
    calls.push_back({Kind::OpenFile, initialName, title, MessageIcon::None});
    if (fileAnswers.empty()) return {};
    std::string a = fileAnswers.front();
    fileAnswers.pop_front();
    return a;
}

std::string RecordingUserInterface::SaveFileName(const std::string& title, const std::string&,
                                                 const std::string& suggested) {
    calls.push_back({Kind::SaveFile, suggested, title, MessageIcon::None});
    if (fileAnswers.empty()) return {};
    std::string a = fileAnswers.front();
    fileAnswers.pop_front();
    return a;
}

std::vector<RecordingUserInterface::Call> RecordingUserInterface::Messages() const {
    std::vector<Call> out;
    for (const auto& c : calls)
        if (c.kind == Kind::Message) out.push_back(c);
    return out;
}

int RecordingUserInterface::BeepCount() const {
    int n = 0;
    for (const auto& c : calls) n += c.kind == Kind::Beep;
    return n;
}
