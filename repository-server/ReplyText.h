#pragma once
// Reply texts and request-text parsing shared by the request handler's sources.
#include <string>
#include <string_view>

#include "RequestHandler.h"
#include "shell/Cp1252.h"

namespace repo::reply {

inline constexpr std::string_view kOk = "|OK||";
inline constexpr std::string_view kEnd = "|END|";
inline const std::string kDone = "|OK||DONE|END|";
inline const std::string kPiece = "|OK||PIECE|END|";
inline constexpr char kTab = '\t';

inline std::string Error(std::string_view why) {
    return "ERROR: " + std::string(why);
}
inline Reply One(std::string s) {
    return Reply{std::move(s)};
}
inline Reply Unknown() {
    return One(Error("unknown request"));
}
inline Reply DbFailure(const std::string& error) {
    return One(Error(error));
}

inline bool Consume(std::string_view& s, std::string_view prefix) {
    if (s.substr(0, prefix.size()) != prefix) return false;
    s.remove_prefix(prefix.size());
    return true;
}

// Text up to the next "|" (which is consumed); false when there is none.
inline bool TakeField(std::string_view& s, std::string& field) {
    size_t p = s.find('|');
    if (p == std::string_view::npos) return false;
    field.assign(s.substr(0, p));
    s.remove_prefix(p + 1);
    return true;
}

inline bool HasAny(std::string_view s, std::string_view bytes) {
    return s.find_first_of(bytes) != std::string_view::npos;
}

// Parses "n|" after "|SET|CUSTFORM|I-" when the text is a numbered picture piece (n >= 1).
inline bool ParsePieceNumber(std::string_view rest, int& n, std::string_view& after) {
    size_t i = 0;
    long long v = 0;
    while (i < rest.size() && i < 7 && rest[i] >= '0' && rest[i] <= '9')
        v = v * 10 + (rest[i++] - '0');
    if (i == 0 || i >= rest.size() || rest[i] != '|' || rest[0] == '0' || v < 1) return false;
    n = int(v);
    after = rest.substr(i + 1);
    return true;
}

// Separators of the forms list, the flags reply and the image entries.
inline const std::string kListSeparators =
    std::string("|:^\t\r\n") + '\0' + cp1252::kBarcodeMark + cp1252::kImagePartSep;
inline const std::string kTextSeparators =
    std::string("^\t\r\n") + '\0' + cp1252::kBarcodeMark + cp1252::kImagePartSep;

}  // namespace repo::reply
