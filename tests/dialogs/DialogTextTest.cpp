#include <gtest/gtest.h>

#include "dialogs/DialogText.h"

using namespace dialogtext;

// Blanks are trimmed, tabs kept; a number is the whole text; a number is shown shortest.
TEST(DialogText, TrimSpacesIsNumericAndShortNumber) {
    EXPECT_EQ(TrimSpaces("  a b  ") + TrimSpaces("\tx\t") + TrimSpaces("   "), "a b\tx\t");
    for (const char* yes :
         {"0", "12", " 12 ", "-3", "+4", "1.5", ".5", "5.", "1e3", "2E-2", "-0.0"})
        EXPECT_TRUE(IsNumeric(yes)) << yes;
    for (const char* no :
         {"", " ", "abc", "12a", "a12", "1.2.3", ".", "-", "1e", "1e+", "1 2", "0x10", "e5", "--1"})
        EXPECT_FALSE(IsNumeric(no)) << no;
    for (auto [value, shown] :
         {std::pair{8.5, "8.5"}, {11, "11"}, {0.02f, "0.02"}, {-3, "-3"}, {0, "0"}})
        EXPECT_EQ(ShortNumber(value), shown);
}
