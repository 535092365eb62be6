#include "LoginCheck.h"

#include "TextUtils.h"

bool LoginCheck::Accepts(std::string_view entered) {
    return text::ToLower(entered) == text::ToLower(kPassword);
}
