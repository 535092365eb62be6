#pragma once
// The question on leaving changed work, asked three ways by the user interfaces that
// can: save it, discard it, or stay. Others are asked the two-way OK/Cancel question.
#include <string>

enum class SaveChoice { Save, Discard, Cancel };

class SaveQuestion {
  public:
    virtual ~SaveQuestion() = default;
    virtual SaveChoice SaveDiscardCancel(const std::string& text, const std::string& title) = 0;
};
