#include "layout/ItemTypes.h"

#include <array>
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

namespace {
// The digits after the point of each number of thousandths, without trailing zeros.
struct Thousandths {
    char digits[3];
    int length;
};
constexpr std::array<Thousandths, 1000> kThousandths = [] {
    std::array<Thousandths, 1000> table{};
    for (unsigned n = 1; n < 1000; ++n) {
        Thousandths& t = table[n];
        t = {{char('0' + n / 100), char('0' + n / 10 % 10), char('0' + n % 10)}, 3};
        while (t.digits[t.length - 1] == '0') --t.length;
    }
    return table;
}();
}  // namespace

std::string_view NumberText(double value, NumberBuffer& buffer) {
    if (!std::isfinite(value)) return "0.000";
    if (std::fabs(value) >= 1e15) return SingleText(value, buffer);
    long long milli = std::llround(value * 1000.0);
    if (milli == 0) return "0.000";
    char* p = buffer.data();
    if (milli < 0) *p++ = '-';
    unsigned long long m = milli < 0 ? 0ULL - static_cast<unsigned long long>(milli)
                                     : static_cast<unsigned long long>(milli);
    p = std::to_chars(p, buffer.data() + buffer.size(), m / 1000).ptr;
    if (const unsigned frac = unsigned(m % 1000); frac != 0) {
        *p++ = '.';
        const Thousandths& t = kThousandths[frac];
        for (int i = 0; i < t.length; ++i) *p++ = t.digits[i];
    }
    return {buffer.data(), size_t(p - buffer.data())};
}

std::string_view SingleText(double value, NumberBuffer& buffer) {
    if (!std::isfinite(value)) return "0";
    float f = static_cast<float>(value);
    if (!std::isfinite(f)) f = value < 0 ? -3.4e38f : 3.4e38f;
    // A whole number (a font size, mostly) is its digits: the fixed notation of a float
    // costs several times as much.
    const bool negativeZero = f == 0 && std::signbit(f);  // written "-0"
    if (!negativeZero && std::fabs(f) < 1e7f && f == std::trunc(f)) {
        const auto whole =
            std::to_chars(buffer.data(), buffer.data() + buffer.size(), static_cast<long>(f));
        return {buffer.data(), size_t(whole.ptr - buffer.data())};
    }
    auto res =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), f, std::chars_format::fixed);
    if (res.ec != std::errc()) return "0";
    return {buffer.data(), size_t(res.ptr - buffer.data())};
}

double ReadInches(std::string_view field) {
    double v = text::Val(field);
    if (v > kMaxInches) return kMaxInches;
    if (v < -kMaxInches) return -kMaxInches;
    return v;
}
