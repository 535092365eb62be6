#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>

#include "shell/TextUtils.h"

using namespace text;

TEST(SplitStr, GivesTheNthPartOrEmpty) {
    EXPECT_EQ(SplitStr("a@b@c", "@", 2), "b");
    EXPECT_EQ(SplitStr("a@b@c", "@", 3), "c");
    EXPECT_EQ(SplitStr("a@b@c", "@", 4), "");
    EXPECT_EQ(SplitStr("a@b@c", "@", 0), "");
    EXPECT_EQ(SplitStr("abc", "@", 1), "abc");
    EXPECT_EQ(SplitStr("a||b", "||", 2), "b");
}

TEST(SplitHelpers, CountListAndFirst) {
    EXPECT_EQ(CountOf("^a@b@c", "@"), 2);
    EXPECT_EQ(CountOf("", "@"), 0);
    auto l = SplitIntoList("x\ty", "\t");
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(l[0], "");
    EXPECT_EQ(l[1], "x");
    EXPECT_EQ(l[2], "y");
    EXPECT_EQ(SplitIntoList("x\t", "\t").size(), 2u);
    EXPECT_EQ(SplitAtFirst("k=v=w", "="), std::make_pair(std::string("k"), std::string("v=w")));
    EXPECT_EQ(SplitAtFirst("k", "="), std::make_pair(std::string("k"), std::string()));
    EXPECT_TRUE(Split("", "\t").empty());
    EXPECT_EQ(Split("a\tb\t", "\t"), (std::vector<std::string>{"a", "b", ""}));
    EXPECT_EQ(ReplaceAll("a\r\nb\r\n", "\r\n", "\r"), "a\rb\r");
}

TEST(LetterCase, CoversWindows1252Letters) {
    EXPECT_EQ(ToLower("Page:"), "page:");
    EXPECT_EQ(ToUpper("\xE9t\xE9"), "\xC9T\xC9");
    EXPECT_TRUE(EqualsNoCase("YES", "yes"));
    EXPECT_FALSE(EqualsNoCase("yes", "yes "));
    // 0xF7 (division sign) and 0xD7 (multiplication sign) are not letters.
    EXPECT_EQ(ToUpper("\xF7"), "\xF7");
    EXPECT_EQ(ToLower("\xD7"), "\xD7");
}

// The quick path for plain decimals must give strtod's value bit for bit, -0 included.
TEST(Val, PlainDecimalsReadExactlyAsStrtod) {
    auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
    auto expectSame = [&](const std::string& s) {
        EXPECT_EQ(bits(Val(s)), bits(std::strtod(s.c_str(), nullptr))) << s;
    };
    for (const char* s :
         {"0.1", "0.3", "1.005", "2.675", "-0", "-0.000", "+7.25", "0.000000000000001",
          "123456789012345", "1234567890123456", "9007199254740993", "99999999999999.9",
          "0.1234567890123456789", "1.7976931348623157", "4.35", "5.", ".05", "000000000000000.5"})
        expectSame(s);
    // Every 3-decimal value the layout writes in a range, and a sweep of longer ones.
    for (int milli = -20000; milli <= 20000; ++milli) expectSame(std::to_string(milli / 1000.0));
    std::uint64_t x = 88172645463325252ULL;
    for (int i = 0; i < 20000; ++i) {
        x ^= x << 13, x ^= x >> 7, x ^= x << 17;
        std::string s = std::to_string(x % 1000000000000000ULL);
        s.insert(s.size() - std::min<size_t>(s.size(), x % 17), ".");
        expectSame(s);
    }
}

TEST(Pieces, GivesTheSplitPiecesOneByOne) {
    for (auto [text, delimiter] :
         std::vector<std::pair<std::string, std::string>>{{"", "\r\n"},
                                                          {"a", "\r\n"},
                                                          {"\r\n", "\r\n"},
                                                          {"a\r\nb\r\n", "\r\n"},
                                                          {"a\rb\nc\r", "\r\n"},
                                                          {"x\r\r\n\r", "\r\n"},
                                                          {"\t\t", "\t"},
                                                          {"a</PAGE", "</PAGE>"},
                                                          {"abc", ""}}) {
        std::vector<std::string> pieces;
        Pieces all(text, delimiter);
        for (std::string_view piece; all.Next(piece);) pieces.emplace_back(piece);
        EXPECT_EQ(pieces, Split(text, delimiter)) << text;
    }
}

TEST(Val, ReadsALeadingNumberLeniently) {
    EXPECT_DOUBLE_EQ(Val("1.25"), 1.25);
    EXPECT_DOUBLE_EQ(Val("  -2.5in"), -2.5);
    EXPECT_DOUBLE_EQ(Val("8U"), 8.0);
    EXPECT_DOUBLE_EQ(Val(".5"), 0.5);
    EXPECT_DOUBLE_EQ(Val("1e2"), 100.0);
    EXPECT_DOUBLE_EQ(Val("1e"), 1.0);
    EXPECT_DOUBLE_EQ(Val("abc"), 0.0);
    EXPECT_DOUBLE_EQ(Val(""), 0.0);
    EXPECT_DOUBLE_EQ(Val("1e999"), 0.0);  // overflow never leaks an infinity
    long long v = 0;
    EXPECT_TRUE(ParseInt(" 12 ", v));
    EXPECT_EQ(v, 12);
    EXPECT_FALSE(ParseInt("1.5", v));
    EXPECT_FALSE(ParseInt("x", v));
    EXPECT_FALSE(ParseInt("99999999999999999999999", v));
}

#include "shell/CompactText.h"

TEST(CompactText, ReadsComparesAndCopiesAsTextAtThePriceOfAPointer) {
    static_assert(sizeof(SparseText) == sizeof(void*) && sizeof(CodeText) == sizeof(void*));
    for (const char* s : {"", "U", "marked", "a text longer than any pooled one"}) {
        SparseText sparse = std::string(s);
        CodeText code = s, copy = code;
        code = "changed";
        EXPECT_EQ(copy, s);  // a copy keeps its value when the original changes
        EXPECT_EQ(sparse.empty(), !*s);
        EXPECT_EQ("<" + sparse + ">", "<" + std::string(s) + ">");
        sparse = copy;
        EXPECT_TRUE(sparse == copy.str() && sparse.str() == s);
        sparse = "";
        EXPECT_TRUE(sparse.empty());
    }
}
