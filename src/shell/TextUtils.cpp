#include "TextUtils.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace text {

std::vector<std::string> Split(std::string_view text, std::string_view delimiter) {
    std::vector<std::string> out;
    if (text.empty()) return out;
    if (delimiter.empty()) {
        out.emplace_back(text);
        return out;
    }
    size_t start = 0;
    for (;;) {
        size_t pos = text.find(delimiter, start);
        if (pos == std::string_view::npos) {
            out.emplace_back(text.substr(start));
            break;
        }
        out.emplace_back(text.substr(start, pos - start));
        start = pos + delimiter.size();
    }
    return out;
}

std::string SplitStr(std::string_view text, std::string_view delimiter, int n) {
    if (n < 1 || delimiter.empty()) return n == 1 ? std::string(text) : std::string();
    size_t start = 0;
    for (int part = 1;; ++part) {
        size_t pos = text.find(delimiter, start);
        if (part == n)
            return std::string(text.substr(start, pos == std::string_view::npos ? text.npos : pos - start));
        if (pos == std::string_view::npos) return {};
        start = pos + delimiter.size();
    }
}

int CountOf(std::string_view text, std::string_view delimiter) {
    if (delimiter.empty()) return 0;
    int n = 0;
    for (size_t pos = text.find(delimiter); pos != std::string_view::npos;
         pos = text.find(delimiter, pos + delimiter.size()))
        ++n;
    return n;
}

std::vector<std::string> SplitIntoList(std::string_view text, std::string_view delimiter) {
    std::vector<std::string> out(1);
    if (text.empty() || delimiter.empty()) return out;
    std::string t(text);
    if (!EndsWith(t, delimiter)) t += delimiter;
    auto parts = Split(t, delimiter);
    parts.pop_back();  // the element after the final delimiter
    out.insert(out.end(), parts.begin(), parts.end());
    return out;
}

std::pair<std::string, std::string> SplitAtFirst(std::string_view text, std::string_view delimiter) {
    size_t pos = delimiter.empty() ? std::string_view::npos : text.find(delimiter);
    if (pos == std::string_view::npos) return {std::string(text), {}};
    return {std::string(text.substr(0, pos)), std::string(text.substr(pos + delimiter.size()))};
}

std::string Join(const std::vector<std::string>& parts, std::string_view delimiter) {
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i) out += delimiter;
        out += parts[i];
    }
    return out;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    size_t start = 0;
    for (size_t pos = text.find(from); pos != std::string_view::npos; pos = text.find(from, start)) {
        out.append(text.substr(start, pos - start));
        out.append(to);
        start = pos + from.size();
    }
    out.append(text.substr(start));
    return out;
}

namespace {
unsigned char Lower1252(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c == 0x8A || c == 0x8C || c == 0x8E) return c + 16;  // Š Œ Ž
    if (c == 0x9F) return 0xFF;                             // Ÿ
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    return c;
}
unsigned char Upper1252(unsigned char c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    if (c == 0x9A || c == 0x9C || c == 0x9E) return c - 16;
    if (c == 0xFF) return 0x9F;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    return c;
}
}  // namespace

std::string ToLower(std::string_view s) {
    std::string out(s);
    for (auto& c : out) c = char(Lower1252(static_cast<unsigned char>(c)));
    return out;
}

std::string ToUpper(std::string_view s) {
    std::string out(s);
    for (auto& c : out) c = char(Upper1252(static_cast<unsigned char>(c)));
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower1252(static_cast<unsigned char>(a[i])) != Lower1252(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return std::string(s.substr(b, e - b));
}

double Val(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    size_t start = i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
    }
    if (digits == 0) return 0.0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
            i = j;
        }
    }
    std::string num(s.substr(start, i - start));
    if (!num.empty() && num[0] == '+') num.erase(0, 1);
    double v = std::strtod(num.c_str(), nullptr);
    return std::isfinite(v) ? v : 0.0;
}

bool ParseInt(std::string_view s, long long& value) {
    std::string t = Trim(s);
    if (t.empty()) return false;
    const char* b = t.data();
    const char* e = b + t.size();
    if (*b == '+') ++b;
    auto [p, ec] = std::from_chars(b, e, value);
    return ec == std::errc() && p == e;
}

}  // namespace text
