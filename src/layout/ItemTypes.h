#pragma once
// Data-entry types, lookup kinds, caption markers and the number text of the layout.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shell/TextUtils.h"

struct CodeAndName {
    std::string_view code;
    std::string_view name;
};

// In menu order.
const std::vector<CodeAndName>& DataEntryTypes();
const std::vector<CodeAndName>& LookupKinds();
// Unknown code: empty name; unknown name: empty code. A name is held for the whole program.
std::string_view DataEntryTypeName(std::string_view code);
std::string DataEntryTypeCode(std::string_view displayName);
std::string LookupKindDescription(std::string_view code);
// The prompt types whose label has a fixed width.
bool IsFixedWidthPromptType(std::string_view code);

// True when the caption is longer than one character, holds exactly one marker and
// begins with it.
bool IsMarkedCaption(std::string_view caption, char marker);
inline bool IsDataBoundLabel(std::string_view c) {
    return IsMarkedCaption(c, '~');
}
inline bool IsUserPromptsLabel(std::string_view c) {
    return IsMarkedCaption(c, '^');
}
inline bool IsInteractiveBoxLabel(std::string_view c) {
    return IsMarkedCaption(c, '%');
}

// Room for the text of any number below, for writing it without a string.
using NumberBuffer = std::array<char, 64>;
// Positions and sizes: rounded to 3 decimals, no trailing zeros, zero as "0.000".
std::string_view NumberText(double value, NumberBuffer& buffer);
// The same text written at `at`, which has the room of a NumberBuffer; gives its end.
char* WriteNumberText(double value, char* at);
inline std::string NumberText(double value) {
    NumberBuffer buffer;
    return std::string(NumberText(value, buffer));
}
// Page size, shifts and font sizes: the shortest decimal that reads back as the same
// single-precision number, "." as decimal point.
std::string_view SingleText(double value, NumberBuffer& buffer);
char* WriteSingleText(double value, char* at);
inline std::string SingleText(double value) {
    NumberBuffer buffer;
    return std::string(SingleText(value, buffer));
}

// Values far beyond any paper keep drawing code and integer conversions safe.
constexpr double kMaxInches = 100000;
// The digits of a plain decimal past which it lies beyond kMaxInches, by digits after the
// point (fifteen digits after it are below one).
inline constexpr auto kMaxInchesDigits = [] {
    std::array<std::uint64_t, 16> most{};
    std::uint64_t at = std::uint64_t(kMaxInches);
    for (size_t scale = 0; scale < 15; ++scale, at *= 10) most[scale] = at;
    most[15] = UINT64_MAX;
    return most;
}();
[[gnu::always_inline]] inline double ReadInches(std::string_view field) {
    std::uint64_t digits;
    size_t scale;
    if (text::PlainDecimalDigits(field, digits, scale)) {
        // Bounded as whole numbers: nothing waits on the division.
        if (digits > kMaxInchesDigits[scale]) return kMaxInches;
        return double(digits) / text::kPowersOfTen[scale];
    }
    const double v = text::Val(field);
    return v > kMaxInches ? kMaxInches : v < -kMaxInches ? -kMaxInches : v;
}
