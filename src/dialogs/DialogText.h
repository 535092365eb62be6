#pragma once
// Small text rules shared by the dialogs' logic classes.
#include <string>
#include <string_view>

namespace dialogtext {

// Blanks (only the space character) removed at both ends; tabs are part of an entry.
std::string TrimSpaces(std::string_view s);

// True when the whole text is one decimal number: an optional sign, digits with at
// most one "." (at least one digit in all), and an optional exponent "e"/"E" with an
// optional sign and at least one digit. Surrounding spaces are allowed.
bool IsNumeric(std::string_view s);

// Shortest decimal text that reads back as the same single-precision value
// ("8.5", "11", "0.02").
std::string ShortNumber(double value);

}  // namespace dialogtext
