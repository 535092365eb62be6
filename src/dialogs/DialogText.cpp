#include "dialogs/DialogText.h"

#include <cctype>
#include <charconv>

namespace dialogtext {

std::string TrimSpaces(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return std::string(s.substr(b, e - b));
}

bool IsNumeric(std::string_view s) {
    std::string t = TrimSpaces(s);
    size_t i = 0, n = t.size();
    auto digit = [&](size_t k) { return k < n && std::isdigit(static_cast<unsigned char>(t[k])); };
    if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
    int digits = 0;
    while (digit(i)) ++i, ++digits;
    if (i < n && t[i] == '.') {
        ++i;
        while (digit(i)) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < n && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
        if (!digit(i)) return false;
        while (digit(i)) ++i;
    }
    return i == n;
}

std::string ShortNumber(double value) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, static_cast<float>(value));
    if (r.ec != std::errc()) return "0";
    return std::string(buf, r.ptr);
}

}  // namespace dialogtext
