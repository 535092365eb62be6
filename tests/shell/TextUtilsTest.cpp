#include <gtest/gtest.h>

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
