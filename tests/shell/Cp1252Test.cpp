#include <gtest/gtest.h>

#include "shell/Cp1252.h"

TEST(Cp1252, EveryDefinedCodeRoundTripsThroughUtf8) {
    for (int b = 0; b < 256; ++b) {
        std::string one(1, char(b));
        char32_t cp = cp1252::ToCodePoint(static_cast<unsigned char>(b));
        if (cp == 0xFFFD) {
            EXPECT_EQ(cp1252::FromUtf8(cp1252::ToUtf8(one)), "?") << b;
        } else {
            EXPECT_EQ(cp1252::FromUtf8(cp1252::ToUtf8(one)), one) << b;
        }
    }
}

TEST(Cp1252, KnownCharactersMapBothWays) {
    EXPECT_EQ(cp1252::ToCodePoint(0x80), U'\u20AC');
    EXPECT_EQ(cp1252::ToCodePoint(0x9F), U'\u0178');
    EXPECT_EQ(cp1252::ToCodePoint(0xE6), U'\u00E6');
    EXPECT_EQ(cp1252::ToCodePoint(0xF4), U'\u00F4');
    EXPECT_EQ(cp1252::ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(cp1252::FromUtf8("\xE2\x80\x9C"
                               "a"
                               "\xE2\x80\x9D"),
              "\x93"
              "a"
              "\x94");
    // Characters outside the code page and broken UTF-8 become '?'.
    EXPECT_EQ(cp1252::FromUtf8("\xE4\xB8\xAD"), "?");
    EXPECT_EQ(cp1252::FromUtf8("a\xC3"), "a?");
    EXPECT_EQ(cp1252::FromUtf8("\xFF"
                               "b"),
              "?b");
}

TEST(Cp1252, SeparatorsAreTheirCodes) {
    EXPECT_EQ(static_cast<unsigned char>(cp1252::kBarcodeMark), 230);
    EXPECT_EQ(static_cast<unsigned char>(cp1252::kImagePartSep), 197);
    EXPECT_EQ(static_cast<unsigned char>(cp1252::kTableRecordSep), 231);
    EXPECT_EQ(static_cast<unsigned char>(cp1252::kTableFieldSep), 232);
    EXPECT_EQ(static_cast<unsigned char>(cp1252::kFromThruSep), 186);
    EXPECT_EQ(static_cast<unsigned char>(cp1252::kGridCellMark), 244);
}
