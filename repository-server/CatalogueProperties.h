#pragma once
// A catalogue field's property values travel inside one column, separated by a byte that
// never occurs in them; both engines keep them so.
#include <string>
#include <vector>

namespace repo {

constexpr char kPropertySep = '\x1F';

inline std::string JoinProperties(const std::vector<std::string>& values) {
    std::string out;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i) out += kPropertySep;
        out += values[i];
    }
    return out;
}

inline std::vector<std::string> SplitProperties(const std::string& s) {
    std::vector<std::string> out;
    size_t start = 0;
    if (s.empty()) return out;
    for (;;) {
        size_t p = s.find(kPropertySep, start);
        out.push_back(s.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos) break;
        start = p + 1;
    }
    return out;
}

}  // namespace repo
