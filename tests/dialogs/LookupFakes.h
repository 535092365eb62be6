#pragma once
// Lookup components that answer from fixed data and remember what they were asked.
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "server/OutsideComponents.h"
#include "shell/TextUtils.h"

class FakePicker : public LookupPicker {
  public:
    void Configure(const std::string& listName, const std::string& title, const std::string& o1,
                   const std::string& o2) override {
        configured.push_back(listName + "|" + title + "|" + o1 + "|" + o2);
    }
    std::string Show(const std::string& currentText) override {
        shownWith.push_back(currentText);
        if (answers.empty()) return "CANCEL";
        std::string a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<std::string> answers;
    std::vector<std::string> configured;
    std::vector<std::string> shownWith;
};

class FakeValidator : public LookupValidator {
  public:
    void Link(UtilityComponent*, CommComponent*) override {}
    void Validate(const std::string& listName, const std::string& value, std::string& answer,
                  std::string& listValue) override {
        asked.push_back(listName + ":" + value);
        auto it = codes.find(text::ToUpper(value));
        if (it == codes.end()) {
            answer = "NOT VALID";
            listValue.clear();
        } else {
            answer = "VALID";
            listValue = it->second;
        }
    }
    std::map<std::string, std::string> codes;  // upper-case code -> list's spelling
    std::vector<std::string> asked;
};
