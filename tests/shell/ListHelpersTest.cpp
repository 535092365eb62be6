#include <gtest/gtest.h>

#include "shell/TextUtils.h"

using text::SortKind;

TEST(PrefixSearch, FirstEntryBeginningWithTypedTextInUpperCase) {
    std::vector<std::string> list = {"Apple", "apricot", "Banana", "b\xE9ta", "B\xC9TA2"};
    EXPECT_EQ(text::PrefixSearch(list, "ap"), 0);
    EXPECT_EQ(text::PrefixSearch(list, "APR"), 1);
    EXPECT_EQ(text::PrefixSearch(list, "b"), 2);
    EXPECT_EQ(text::PrefixSearch(list, "B\xC9"), 3);  // accented letters fold too
    EXPECT_EQ(text::PrefixSearch(list, "B\xE9TA2"), 4);
    EXPECT_EQ(text::PrefixSearch(list, "cherry"), -1);
    EXPECT_EQ(text::PrefixSearch(list, "Apple pie"), -1);  // longer than every entry
    EXPECT_EQ(text::PrefixSearch(list, ""), -1);
    EXPECT_EQ(text::PrefixSearch({}, "a"), -1);
}

TEST(SortKeys, DatesBecomeSortableText) {
    EXPECT_EQ(text::SortKeyDate("3/7/2024 2:05:09 PM"), "2024/03/07 14:05:09");
    EXPECT_EQ(text::SortKeyDate("12/31/1999 12:00:00 AM"), "1999/12/31 00:00:00");
    EXPECT_EQ(text::SortKeyDate("12/31/1999 12:30 pm"), "1999/12/31 12:30:00");
    EXPECT_EQ(text::SortKeyDate("2024-03-07 23:59:59"), "2024/03/07 23:59:59");
    EXPECT_EQ(text::SortKeyDate("2024/3/7"), "2024/03/07 00:00:00");
    EXPECT_EQ(text::SortKeyDate("1/2/05"), "2005/01/02 00:00:00");
    EXPECT_EQ(text::SortKeyDate("1/2/85"), "1985/01/02 00:00:00");
    // Not dates: left as they are.
    for (const char* bad : {"", "never", "13/1/2024", "1/32/2024", "1/2/2024 25:00", "1/2/2024 x",
                            "2024/03", "1-2/2024", "1/2/2024 13:00 PM", "99999/1/1", "1/2/123"})
        EXPECT_EQ(text::SortKeyDate(bad), bad) << bad;
}

TEST(SortKeys, NumbersBecomeFiveDigits) {
    EXPECT_EQ(text::SortKeyNumber("7"), "00007");
    EXPECT_EQ(text::SortKeyNumber("  42 pictures"), "00042");
    EXPECT_EQ(text::SortKeyNumber(""), "00000");
    EXPECT_EQ(text::SortKeyNumber("x"), "00000");
    EXPECT_EQ(text::SortKeyNumber("2.6"), "00003");
    EXPECT_EQ(text::SortKeyNumber("123456"), "123456");
    EXPECT_EQ(text::SortKeyNumber("-3"), "-00003");
    EXPECT_EQ(text::SortKeyNumber("1e300"), "1000000000000000000");
}

TEST(SortListview, OrdersByColumnKind) {
    std::vector<std::vector<std::string>> rows = {
        {"beta", "10", "1/2/2024 1:00:00 PM"},
        {"Alpha", "9", "12/31/2023 11:00:00 PM"},
        {"gamma", "100000", "1/2/2024 9:00:00 AM"},
        {"alpha", "99999"},  // no date cell
    };
    using V = std::vector<size_t>;
    EXPECT_EQ(text::SortListview(rows, 0, SortKind::Text), (V{1, 3, 0, 2}));  // stable on ties
    EXPECT_EQ(text::SortListview(rows, 1, SortKind::Number), (V{1, 0, 3, 2}));
    EXPECT_EQ(text::SortListview(rows, 1, SortKind::Number, false), (V{2, 3, 0, 1}));
    EXPECT_EQ(text::SortListview(rows, 2, SortKind::Date), (V{3, 1, 2, 0}));
    EXPECT_EQ(text::SortListview(rows, 7, SortKind::Text), (V{0, 1, 2, 3}));
    EXPECT_TRUE(text::SortListview({}, 0, SortKind::Date).empty());
    // As plain text "10" would come before "9"; as numbers it does not.
    EXPECT_EQ(text::SortListview({{"10"}, {"9"}, {"-1"}}, 0, SortKind::Number), (V{2, 1, 0}));
}
