#include <gtest/gtest.h>

#include "dialogs/DialogText.h"

using namespace dialogtext;

TEST(DialogText, TrimSpacesKeepsTabsAndInnerBlanks) {
    EXPECT_EQ(TrimSpaces("  a b  "), "a b");
    EXPECT_EQ(TrimSpaces("\tx\t"), "\tx\t");
    EXPECT_EQ(TrimSpaces("   "), "");
    EXPECT_EQ(TrimSpaces(""), "");
}

TEST(DialogText, IsNumericWholeTextOnly) {
    for (const char* yes :
         {"0", "12", " 12 ", "-3", "+4", "1.5", ".5", "5.", "1e3", "2E-2", "-0.0"})
        EXPECT_TRUE(IsNumeric(yes)) << yes;
    for (const char* no :
         {"", " ", "abc", "12a", "a12", "1.2.3", ".", "-", "1e", "1e+", "1 2", "0x10", "e5", "--1"})
        EXPECT_FALSE(IsNumeric(no)) << no;
}

TEST(DialogText, ShortNumberIsShortestSingleText) {
    EXPECT_EQ(ShortNumber(8.5), "8.5");
    EXPECT_EQ(ShortNumber(11), "11");
    EXPECT_EQ(ShortNumber(0.02f), "0.02");
    EXPECT_EQ(ShortNumber(-3), "-3");
    EXPECT_EQ(ShortNumber(0), "0");
}
