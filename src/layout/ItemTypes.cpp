#include "layout/ItemTypes.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

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

std::string_view DataEntryTypeName(std::string_view code) {
    // Read for every prompt label: the first byte rules out most codes before a compare.
    for (const auto& t : DataEntryTypes())
        if (!code.empty() && code[0] == t.code[0] && code == t.code) return t.name;
    return {};
}

std::string DataEntryTypeCode(std::string_view displayName) {
    for (const auto& t : DataEntryTypes())
        if (displayName == t.name) return std::string(t.code);
    return {};
}

std::string LookupKindDescription(std::string_view code) {
    for (const auto& k : LookupKinds())
        if (code == k.code) return std::string(k.name);
    return {};
}

bool IsFixedWidthPromptType(std::string_view code) {
    // By length, then one compare of a known size, which is done in place.
    auto is = [&]<size_t N>(const char(&name)[N]) {
        return std::memcmp(code.data(), name, N - 1) == 0;
    };
    switch (code.size()) {
        case 4:
            return is("TEXT");
        case 6:
            return is("LOOKUP");
        case 13:
            return is("TEXT_FROMTHRU");
        case 18:
            return is("LOOKUP_DESCRIPTION");
        default:
            return false;
    }
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

// Half away from zero, as llround, for |x| < 2^63 and without its library call: the
// conversion cuts the fraction off, and what it cut off is exact (from 2^53 on every
// double is whole, and nothing is cut).
long long RoundHalfAway(double x) {
    long long whole = static_cast<long long>(x);
    const double cut = x - static_cast<double>(whole);
    if (cut >= 0.5)
        ++whole;
    else if (cut <= -0.5)
        --whole;
    return whole;
}

// Positions and font sizes are mostly a digit or two before the point.
char* WriteWhole(unsigned long long n, char* at) {
    if (n < 10) {
        *at = char('0' + n);
        return at + 1;
    }
    if (n < 100) {
        at[0] = char('0' + n / 10);
        at[1] = char('0' + n % 10);
        return at + 2;
    }
    return std::to_chars(at, at + sizeof(NumberBuffer), n).ptr;
}

char* WriteText(std::string_view text, char* at) {
    return std::copy(text.begin(), text.end(), at);
}

}  // namespace

char* WriteNumberText(double value, char* at) {
    if (!std::isfinite(value)) return WriteText("0.000", at);
    if (std::fabs(value) >= 1e15) return WriteSingleText(value, at);
    const long long milli = RoundHalfAway(value * 1000.0);
    if (milli == 0) return WriteText("0.000", at);
    if (milli < 0) *at++ = '-';
    const unsigned long long m = milli < 0 ? 0ULL - static_cast<unsigned long long>(milli)
                                           : static_cast<unsigned long long>(milli);
    at = WriteWhole(m / 1000, at);
    if (const unsigned frac = unsigned(m % 1000); frac != 0) {
        *at = '.';
        // All three digits, then the end after the last one kept: a copy of known size.
        std::memcpy(at + 1, kThousandths[frac].digits, 3);
        at += 1 + kThousandths[frac].length;
    }
    return at;
}

std::string_view NumberText(double value, NumberBuffer& buffer) {
    return {buffer.data(), size_t(WriteNumberText(value, buffer.data()) - buffer.data())};
}

char* WriteSingleText(double value, char* at) {
    if (!std::isfinite(value)) return WriteText("0", at);
    float f = static_cast<float>(value);
    if (!std::isfinite(f)) f = value < 0 ? -3.4e38f : 3.4e38f;
    // A whole number (a font size, mostly) is its digits: the fixed notation of a float
    // costs several times as much.
    const bool negativeZero = f == 0 && std::signbit(f);  // written "-0"
    if (!negativeZero && std::fabs(f) < 1e7f && f == std::trunc(f)) {
        if (f < 0) *at++ = '-';
        return WriteWhole(static_cast<unsigned long long>(std::fabs(f)), at);
    }
    auto res = std::to_chars(at, at + sizeof(NumberBuffer), f, std::chars_format::fixed);
    if (res.ec != std::errc()) return WriteText("0", at);
    return res.ptr;
}

std::string_view SingleText(double value, NumberBuffer& buffer) {
    return {buffer.data(), size_t(WriteSingleText(value, buffer.data()) - buffer.data())};
}
