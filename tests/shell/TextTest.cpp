#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "shell/CompactText.h"
#include "shell/Cp1252.h"
#include "shell/InlineText.h"
#include "shell/TextUtils.h"

using namespace text;

TEST(Cp1252, EveryDefinedCodeRoundTripsThroughUtf8AndOthersBecomeAQuestionMark) {
    for (int b = 0; b < 256; ++b) {
        std::string one(1, char(b));
        bool undefined = cp1252::ToCodePoint(static_cast<unsigned char>(b)) == 0xFFFD;
        EXPECT_EQ(cp1252::FromUtf8(cp1252::ToUtf8(one)), undefined ? "?" : one) << b;
    }
    // The euro sign, Y with diaeresis, and two letters Latin-1 places alike.
    EXPECT_EQ(cp1252::ToUtf8("\x80\x9F\xE6\xF4"), "\xE2\x82\xAC\xC5\xB8\xC3\xA6\xC3\xB4");
    EXPECT_EQ(cp1252::FromUtf8("\xE2\x80\x9Cq\xE2\x80\x9D"), "\x93q\x94");
    // Characters outside the code page and broken UTF-8 become '?'.
    EXPECT_EQ(cp1252::FromUtf8("\xE4\xB8\xAD"), "?");
    EXPECT_EQ(cp1252::FromUtf8("a\xC3"), "a?");
    EXPECT_EQ(cp1252::FromUtf8("\xFFq"), "?q");
    EXPECT_EQ(cp1252::FromUtf8("\xC3(x"), "?(x");  // a lead byte without its follower
}

TEST(Split, NthPartCountListFirstAndReplace) {
    std::string parts;
    for (int n : {0, 1, 2, 3, 4}) parts += "<" + SplitStr("a@b@c", "@", n) + ">";
    EXPECT_EQ(parts + SplitStr("abc", "@", 1) + SplitStr("a||b", "||", 2), "<><a><b><c><>abcb");
    EXPECT_EQ(CountOf("^a@b@c", "@"), 2);
    EXPECT_EQ(CountOf("", "@"), 0);
    // Counted 64 bytes at a time with counters summed every 63 runs: every length
    // around those edges, the byte at each end, and every byte a match (0xFF too); the
    // bytes noted in order, in the block and in the tail.
    for (size_t n : {0, 1, 63, 64, 65, 4031, 4032, 4033, 9000}) {
        std::string t(n, 'x');
        std::vector<size_t> noted, want;
        for (size_t i = 0; i < n; i += 7) t[i] = '\n';
        for (size_t i = 3; i < n; i += 11) t[i] = '<';
        if (n) t.back() = '\n';
        for (size_t i = 0; i < n; ++i)
            if (t[i] == '<') want.push_back(i);
        EXPECT_EQ(CountByteNoting(t, '\n', '<', noted),
                  size_t(std::count(t.begin(), t.end(), '\n')))
            << n;
        EXPECT_EQ(noted, want) << n;
        noted.clear();
        EXPECT_EQ(CountByteNoting(std::string(n, '\xFF'), '\xFF', '\xFF', noted), n);
        EXPECT_EQ(noted.size(), n);
    }
    EXPECT_EQ(SplitIntoList("x\ty", "\t"), (std::vector<std::string>{"", "x", "y"}));
    EXPECT_EQ(SplitIntoList("x\t", "\t").size(), 2u);
    EXPECT_EQ(SplitAtFirst("k=v=w", "="), std::make_pair(std::string("k"), std::string("v=w")));
    EXPECT_EQ(SplitAtFirst("k", "="), std::make_pair(std::string("k"), std::string()));
    EXPECT_TRUE(Split("", "\t").empty());
    EXPECT_EQ(Split("a\tb\t", "\t"), (std::vector<std::string>{"a", "b", ""}));
    EXPECT_EQ(ReplaceAll("a\r\nb\r\n", "\r\n", "\r"), "a\rb\r");
}

TEST(LetterCase, CoversWindows1252Letters) {
    // Both ends of the ASCII letters; 0xF7 and 0xD7 (division and multiplication signs) are
    // not letters.
    EXPECT_EQ(ToUpper("az{\xE9t\xE9\xF7"), "AZ{\xC9T\xC9\xF7");
    EXPECT_EQ(ToLower("Page:AZ[\xD7"), "page:az[\xD7");
    EXPECT_TRUE(EqualsNoCase("YES", "yes"));
    EXPECT_FALSE(EqualsNoCase("yes", "yes "));
}

// A leading number reads as strtod reads it, and the quick path for plain decimals must
// give its value bit for bit, -0 included.
TEST(Val, ReadsALeadingNumberAsStrtodBitForBit) {
    auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
    auto expectSame = [&](const std::string& s) {
        EXPECT_EQ(bits(Val(s)), bits(std::strtod(s.c_str(), nullptr))) << s;
    };
    for (const char* s :
         {"0.1", "0.3", "1.005", "2.675", "-0", "-0.000", "+7.25", "0.000000000000001",
          "123456789012345", "1234567890123456", "9007199254740993", "99999999999999.9",
          "0.1234567890123456789", "1.7976931348623157", "4.35", "5.", ".05", "000000000000000.5"})
        expectSame(s);
    for (const char* s :
         {"  -2.5in", "8U", "1e2", "2.5e+3", "1E-2", "1e", "abc", "", ".", "1.2.3", "7 ", "9/"})
        expectSame(s);
    EXPECT_EQ(Val("1e999"), 0.0);  // overflow never leaks an infinity
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
    const std::pair<std::string, std::string> cases[] = {
        {"", "\r\n"},           {"a", "\r\n"},          {"\r\n", "\r\n"},
        {"a\r\nb\r\n", "\r\n"}, {"a\rb\nc\r", "\r\n"},  {"x\r\r\n\r", "\r\n"},
        {"\t\t", "\t"},         {"a</PAGE", "</PAGE>"}, {"abc", ""}};
    for (const auto& [text, delimiter] : cases) {
        std::vector<std::string> pieces;
        Pieces all(text, delimiter);
        for (std::string_view piece; all.Next(piece);) pieces.emplace_back(piece);
        EXPECT_EQ(pieces, Split(text, delimiter)) << text;
    }
}

// Lines split into fields as their ends are looked for: the lines Split gives at CR LF and
// the fields FirstPieces gives for each, with CRs, LFs and TABs on both sides of the
// sixteen-byte blocks, lone CRs inside lines and more fields than are kept.
TEST(Pieces, LinesSplitIntoFieldsInOnePassAsSplitThenFirstPieces) {
    std::vector<std::string> texts = {"",          "a",  "\r\n",      "a\tb\r\nc",
                                      "x\r\r\n\r", "\r", "a\n\r\nb\t"};
    for (size_t at = 12; at < 20; ++at) {
        std::string t(40, 'x');
        t.replace(at, 2, "\r\n");
        t[at / 2] = '\t', t[at + 7] = '\t', t[at + 9] = '\r';
        texts.push_back(t);
        texts.push_back(t.substr(0, at + 1));
    }
    texts.push_back(std::string(20, '\t') + "\r\n" + std::string(30, '\t'));
    for (const std::string& text : texts) {
        std::vector<std::string> want, got;
        for (const std::string& line : Split(text, "\r\n")) {
            std::array<std::string_view, 4> fields;
            const size_t count = FirstPieces(line, '\t', fields);
            if (line.empty()) continue;
            want.push_back(line + "=" + std::to_string(count));
            for (size_t i = 0; i < std::min<size_t>(count, 4); ++i)
                want.back() += "|" + std::string(fields[i]);
        }
        for (std::string_view rest = text; !rest.empty();) {
            std::array<std::string_view, 4> fields;
            std::string_view line;
            const size_t count = FirstPiecesOfLine(rest, '\t', fields, line);
            rest.remove_prefix(std::min(rest.size(), line.size() + 2));
            if (line.empty()) continue;
            got.push_back(std::string(line) + "=" + std::to_string(count));
            for (size_t i = 0; i < std::min<size_t>(count, 4); ++i)
                got.back() += "|" + std::string(fields[i]);
        }
        EXPECT_EQ(got, want) << testing::PrintToString(text);
    }
}

TEST(ParseInt, AWholeTextIntegerOnly) {
    long long v = 0;
    EXPECT_TRUE(ParseInt(" 12 ", v));
    EXPECT_EQ(v, 12);
    for (const char* bad : {"1.5", "x", "99999999999999999999999"})
        EXPECT_FALSE(ParseInt(bad, v)) << bad;
}

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
    // Codes of every length around the pooled ones, which share a slot of the recent ones
    // while they begin and end alike, differing in one byte: each reads as itself.
    for (size_t n = 1; n <= 16; ++n) {
        for (size_t at = 0; at < n; ++at) {
            std::string a(n, 'c'), b = a;
            b[at] = 'd';
            CodeText first = a, second = b, again = a;
            EXPECT_EQ(first.str() + "|" + second.str() + "|" + again.str(), a + "|" + b + "|" + a);
        }
    }
}

// Texts on both sides of the in-place size, grown by appending, from parts of themselves,
// copied and moved: the same bytes as a std::string built alike, and heap bytes only past
// the place inside.
TEST(InlineText, HoldsWhatAStringHoldsInPlaceOrOnTheHeap) {
    struct Case {
        size_t first, appended;
        bool fromItself;
    };
    for (Case c : {Case{0, 0, false},
                   {5, 18, false},
                   {5, 19, false},
                   {23, 1, false},
                   {20, 20, true},
                   {40, 40, true},
                   {12, 12, true},
                   {100, 3, false}}) {
        SCOPED_TRACE(testing::Message() << c.first << "+" << c.appended << c.fromItself);
        std::string expected;
        for (size_t i = 0; i < c.first; ++i) expected += char('a' + i % 26);
        InlineText t(expected);
        if (c.fromItself) {
            t.append(t.view().substr(0, c.appended));
            expected.append(expected.substr(0, c.appended));
        } else {
            t += std::string(c.appended, '#');
            expected += std::string(c.appended, '#');
        }
        EXPECT_EQ(t, expected);
        EXPECT_EQ(std::strlen(t.c_str()), expected.size());
        EXPECT_EQ(t.HeapBytes() > 0, expected.size() > InlineText::kInline);
        InlineText copy = t;
        InlineText moved = std::move(t);
        EXPECT_EQ(copy, expected);
        EXPECT_EQ(moved, expected);
        EXPECT_TRUE(t.empty());
        t = moved;
        moved.assign(3, 'z');
        EXPECT_EQ(t, expected);
        EXPECT_EQ(moved, "zzz");
        EXPECT_EQ(moved.HeapBytes() > 0, expected.size() > InlineText::kInline);
        const InlineText shortCopy = moved;
        EXPECT_EQ(shortCopy, "zzz");
        EXPECT_EQ(shortCopy.HeapBytes(), 0u);
    }
    const InlineText t = "~PATIENT.LAST_NAME@Last";
    EXPECT_EQ(t.find('@'), 18u);
    EXPECT_EQ(t.rfind('A'), 15u);
    EXPECT_EQ(t.substr(1, 7), "PATIENT");
    EXPECT_EQ(t + "!", "~PATIENT.LAST_NAME@Last!");
    EXPECT_LT(InlineText("abc"), InlineText("abd"));
    EXPECT_THROW(t.substr(24), std::out_of_range);
}

TEST(PrefixSearch, FirstEntryBeginningWithTypedTextInUpperCase) {
    std::vector<std::string> list = {"Apple", "apricot", "Banana", "b\xE9ta", "B\xC9TA2"};
    // Accented letters fold too; a text longer than every entry finds none.
    const std::pair<const char*, int> typed[] = {{"ap", 0},         {"APR", 1},      {"b", 2},
                                                 {"B\xC9", 3},      {"B\xE9TA2", 4}, {"cherry", -1},
                                                 {"Apple pie", -1}, {"", -1}};
    for (auto [typedText, index] : typed)
        EXPECT_EQ(text::PrefixSearch(list, typedText), index) << typedText;
    EXPECT_EQ(text::PrefixSearch({}, "a"), -1);
}

TEST(SortKeys, DatesBecomeSortableText) {
    EXPECT_EQ(text::SortKeyDate("3/7/2024 2:05:09 PM"), "2024/03/07 14:05:09");
    EXPECT_EQ(text::SortKeyDate("12/31/1999 12:00:00 AM"), "1999/12/31 00:00:00");
    EXPECT_EQ(text::SortKeyDate("12/31/1999 12:30 pm"), "1999/12/31 12:30:00");
    EXPECT_EQ(text::SortKeyDate("2024-03-07 23:59:59"), "2024/03/07 23:59:59");
    EXPECT_EQ(text::SortKeyDate("2024/3/7"), "2024/03/07 00:00:00");
    EXPECT_EQ(text::SortKeyDate("12.31.1999"), "1999/12/31 00:00:00");
    EXPECT_EQ(text::SortKeyDate("1/2/05"), "2005/01/02 00:00:00");
    EXPECT_EQ(text::SortKeyDate("1/2/85"), "1985/01/02 00:00:00");
    // Not dates: left as they are.
    for (const char* bad :
         {"", "never", "13/1/2024", "1/32/2024", "1/2/2024 25:00", "1/2/2024 x", "2024/03",
          "1-2/2024", "1/2/2024 13:00 PM", "99999/1/1", "1/2/123", "1/2/2024 1:05:", "1x2x2024"})
        EXPECT_EQ(text::SortKeyDate(bad), bad) << bad;
}

TEST(SortKeys, NumbersBecomeFiveDigits) {
    const std::pair<const char*, const char*> numbers[] = {
        {"7", "00007"},   {"  42 pictures", "00042"},
        {"", "00000"},    {"x", "00000"},
        {"2.6", "00003"}, {"123456", "123456"},
        {"-3", "-00003"}, {"1e300", "1000000000000000000"}};
    for (auto [in, key] : numbers) EXPECT_EQ(text::SortKeyNumber(in), key) << in;
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
    EXPECT_EQ(text::SortListview(rows, 0, SortKind::Text, false), (V{2, 0, 1, 3}));
    EXPECT_EQ(text::SortListview(rows, 1, SortKind::Number), (V{1, 0, 3, 2}));
    EXPECT_EQ(text::SortListview(rows, 1, SortKind::Number, false), (V{2, 3, 0, 1}));
    EXPECT_EQ(text::SortListview(rows, 2, SortKind::Date), (V{3, 1, 2, 0}));
    EXPECT_EQ(text::SortListview(rows, 7, SortKind::Text), (V{0, 1, 2, 3}));
    EXPECT_TRUE(text::SortListview({}, 0, SortKind::Date).empty());
    // As plain text "10" would come before "9"; as numbers it does not.
    EXPECT_EQ(text::SortListview({{"10"}, {"9"}, {"-1"}}, 0, SortKind::Number), (V{2, 1, 0}));
}
