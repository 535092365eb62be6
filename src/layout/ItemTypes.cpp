#include "layout/ItemTypes.h"

#include <charconv>
#include <cmath>

#include "shell/TextUtils.h"

const std::vector<CodeAndName>& DataEntryTypes() {
    static const std::vector<CodeAndName> types = {
        {"TEXT", "Text"},
        {"TEXT_FROMTHRU", "Text(From/Thru)"},
        {"DATE", "Date"},
        {"DATE_FROMTHRU", "Date(From/Thru)"},
        {"YESNO", "Yes/No"},
        {"LOOKUP", "Lookup"},
        {"LOOKUP_DESCRIPTION", "Lookup(Description)"},
        {"CHKBOX", "Checkbox"},
        {"SCRIBBLE", "Scribble"},
    };
    return types;
}

const std::vector<CodeAndName>& LookupKinds() {
    static const std::vector<CodeAndName> kinds = {
        {"DG", "Diagnoses"},        {"PC", "Procedures"},          {"RF", "Referring Physicians"},
        {"OP", "Operators"},        {"IN", "Insurance Companies"}, {"PV", "Providers"},
        {"PS", "Place of Service"}, {"ACCNT", "Patient Lookup"},
    };
    return kinds;
}

std::string DataEntryTypeName(std::string_view code) {
    for (const auto& t : DataEntryTypes())
        if (code == t.code) return t.name;
    return {};
}

std::string DataEntryTypeCode(std::string_view displayName) {
    for (const auto& t : DataEntryTypes())
        if (displayName == t.name) return t.code;
    return {};
}

std::string LookupKindDescription(std::string_view code) {
    for (const auto& k : LookupKinds())
        if (code == k.code) return k.name;
    return {};
}

bool IsFixedWidthPromptType(std::string_view code) {
    return code == "TEXT" || code == "TEXT_FROMTHRU" || code == "LOOKUP" ||
           code == "LOOKUP_DESCRIPTION";
}

bool IsMarkedCaption(std::string_view caption, char marker) {
    if (caption.size() <= 1 || caption[0] != marker) return false;
    return caption.find(marker, 1) == std::string_view::npos;
}

std::string NumberText(double value) {
    if (!std::isfinite(value)) return "0.000";
    if (std::fabs(value) >= 1e15) return SingleText(value);
    long long milli = std::llround(value * 1000.0);
    if (milli == 0) return "0.000";
    std::string out = milli < 0 ? "-" : "";
    unsigned long long m = milli < 0 ? 0ULL - static_cast<unsigned long long>(milli)
                                     : static_cast<unsigned long long>(milli);
    out += std::to_string(m / 1000);
    unsigned frac = unsigned(m % 1000);
    if (frac != 0) {
        char digits[4] = {char('0' + frac / 100), char('0' + frac / 10 % 10), char('0' + frac % 10),
                          0};
        std::string f = digits;
        while (!f.empty() && f.back() == '0') f.pop_back();
        out += "." + f;
    }
    return out;
}

std::string SingleText(double value) {
    if (!std::isfinite(value)) return "0";
    float f = static_cast<float>(value);
    if (!std::isfinite(f)) f = value < 0 ? -3.4e38f : 3.4e38f;
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, f, std::chars_format::fixed);
    if (res.ec != std::errc()) return "0";
    return std::string(buf, res.ptr);
}

double ReadInches(std::string_view field) {
    double v = text::Val(field);
    if (v > kMaxInches) return kMaxInches;
    if (v < -kMaxInches) return -kMaxInches;
    return v;
}
