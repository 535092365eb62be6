#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include "layout/FormModel.h"
#include "layout/FormSettings.h"
#include "layout/ItemTypes.h"
#include "layout/LabelControl.h"

TEST(NumberText, ThreeDecimalsWithoutTrailingZerosAndSingleTextShortest) {
    auto texts = [](std::string (*text)(double), std::initializer_list<double> in) {
        std::string out;
        for (double value : in) out += text(value) + " ";
        return out;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN(),
                 inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(texts(NumberText,
                    {1.25, 0, 2.0004, 0.0004, 3.14159, -0.5, 10, 0.1, 0.005, -12.05, nan, inf,
                     1e15}),  // from 1e15 on, a single's text, well before thousandths overflow
              "1.25 0.000 2 0.000 3.142 -0.5 10 0.1 0.005 -12.05 0.000 0.000 999999986991104 ");
    EXPECT_EQ(texts(SingleText,
                    {8.5, 11, 0.02, 1.1 + 2.2, 0,    -0.0,  -3,       9999999, 16777217, 3e38, 1,
                     9,   10, 99,   100,       -100, 12345, -9999999, 1e7,     72.25,    -10.5}),
              "8.5 11 0.02 3.3 0 -0 -3 9999999 16777216 "
              "300000000549775575777803994281145270272 1 9 10 99 100 -100 12345 -9999999 "
              "10000000 72.25 -10.5 ");
    EXPECT_FALSE(NumberText(1e300).empty());
}

namespace {

// A position's text as the C library rounds it: thousandths half away from zero, then
// the trailing zeros dropped.
std::string ThousandthsByLibrary(double value) {
    const long long milli = std::llround(value * 1000.0);
    if (milli == 0) return "0.000";
    const unsigned long long m = milli < 0 ? 0ULL - (unsigned long long)milli : milli;
    char digits[48];
    std::snprintf(digits, sizeof digits, "%s%llu.%03llu", milli < 0 ? "-" : "", m / 1000, m % 1000);
    std::string text = digits;
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text;
}

}  // namespace

// Written positions round as the library does, ties, edges of each thousandth and
// numbers past exact fractions included.
TEST(NumberText, SameTextAsTheLibraryRoundsToOverEveryKindOfValue) {
    std::vector<double> values({0.0005, -0.0005, 0.0625, -0.0625, 1.0005, 2.5e-4,
                                0.49999999999999994, -0.49999999999999994, 4503599627370.4965,
                                9007199254740.993, 999999999999999.9, -999999999999999.9,
                                123456789012.3455, 1e-300, -0.0});
    for (int k = -3000; k <= 3000; ++k) {
        for (double x : {double(k), k + 0.5, k + 0.25}) {
            const double v = x / 1000;
            values.insert(values.end(), {v, std::nextafter(v, -1e300), std::nextafter(v, 1e300)});
        }
        values.push_back(k / 1024.0);  // ties of thousandths exactly, as eighths are
    }
    std::mt19937_64 random(20261209);
    for (int i = 0; i < 200000; ++i) {
        const int scale = int(random() % 17) - 3;  // 1e-3 to 1e13
        const double v = (double(random() % 2000001) - 1000000) / 1e6 * std::pow(10.0, scale);
        values.push_back(v);
    }
    size_t differing = 0;
    std::string firstDifference;
    for (double v : values) {
        if (NumberText(v) == ThousandthsByLibrary(v)) continue;
        if (!differing++) firstDifference = std::to_string(v) + " " + NumberText(v);
    }
    EXPECT_EQ(differing, 0u) << firstDifference;
}

// A plain decimal is bounded by its digits before it is divided: the same inches as the
// value read and then bounded, on both sides of the bound and at every count of decimals.
TEST(ReadInches, BoundedByDigitsAsTheValueReadIsBounded) {
    auto bounded = [](const std::string& s) {
        return std::clamp(text::Val(s), -kMaxInches, kMaxInches);
    };
    std::vector<std::string> cases = {"100000",
                                      "100000.",
                                      "100000.0000000001",
                                      "99999.99999999",
                                      "100000.00000001",
                                      "100001",
                                      "123456789012345",
                                      "999999999999999",
                                      ".12345678901234",
                                      "-5",
                                      "-200000",
                                      "abc",
                                      "",
                                      "8U",
                                      "1e9",
                                      " 3.5"};
    for (size_t scale = 0; scale < 15; ++scale) {
        std::string digits = "100000" + std::string(scale, '0');
        for (const char* last : {"0", "1"}) {
            std::string s = digits.substr(0, digits.size() - 1) + last;
            if (scale) s.insert(s.size() - scale, ".");
            if (s.size() <= 15) cases.push_back(s);
        }
    }
    for (const std::string& s : cases) EXPECT_EQ(ReadInches(s), bounded(s)) << s;
}

TEST(CaptionMarkers, ExactlyOneLeadingMarkerAndMoreThanOneCharacter) {
    auto marks = [](bool (*test)(std::string_view), std::initializer_list<const char*> in) {
        std::string out;
        for (const char* caption : in) out += test(caption) ? 'Y' : 'N';
        return out;
    };
    EXPECT_EQ(marks(IsDataBoundLabel, {"~PATIENT.NAME", "~", "~A~B", "A~B", ""}), "YNNNN");
    EXPECT_EQ(marks(IsUserPromptsLabel, {"^KEY@x", "^KEY^"}), "YN");
    EXPECT_EQ(marks(IsInteractiveBoxLabel, {"%T@A", "%%"}), "YN");
}

TEST(DataEntryTypes, CodesAndDisplayNamesMapBothWays) {
    for (const auto& t : DataEntryTypes())
        EXPECT_EQ(DataEntryTypeCode(DataEntryTypeName(t.code)), t.code);
    EXPECT_EQ(DataEntryTypeName("LOOKUP_DESCRIPTION"), "Lookup(Description)");
    EXPECT_EQ(std::string(DataEntryTypeName("NOPE")) + DataEntryTypeCode("Nope"), "");
    EXPECT_EQ(LookupKindDescription("PS"), "Place of Service");
}

TEST(FormSettings, LimitsOfPagesAndShiftsAndWhatAResetKeeps) {
    const std::pair<int, int> pages[] = {{0, 1}, {-5, 1}, {100, 99}, {42, 42}};
    for (auto [in, out] : pages) EXPECT_EQ(ClampNumberOfPages(in), out) << in;
    const std::tuple<double (*)(double), double, double> shifts[] = {
        {ClampHorizontalShift, 0, 0},        {ClampHorizontalShift, -1, 0.01},
        {ClampHorizontalShift, 0.005, 0.01}, {ClampHorizontalShift, 3, 2},
        {ClampVerticalShift, 0, 0.02},       {ClampVerticalShift, -1, 0.01},
        {ClampVerticalShift, 50, 50}};
    for (auto [clamp, in, out] : shifts) EXPECT_EQ(clamp(in), out) << in;

    FormSettings s;
    s.formCode = "CS1", s.formName = "Slip", s.dataEntryForm = s.landscape = true, s.pageWidth = 14;
    s.interactive = s.posting = s.statement = s.dataGrid = true, s.numberOfPages = 7;
    s.gridTags = {"GRID_TAG:\t1\tX"}, s.horizontalShift = 1;
    s.Reset();
    EXPECT_EQ(s.formCode + s.formName, "CS1Slip");
    EXPECT_TRUE(s.dataEntryForm && s.landscape);
    EXPECT_EQ(s.pageWidth, 14);
    EXPECT_FALSE(s.interactive || s.posting || s.statement || s.dataGrid);
    EXPECT_EQ(s.numberOfPages, 1);
    EXPECT_EQ(s.gridTags, std::vector<std::string>{""});
    EXPECT_EQ(s.horizontalShift, 0.02);
    s.ClearCurrentForm();
    EXPECT_EQ(s.formCode, "");
    EXPECT_EQ(s.layoutOrigin, LayoutOrigin::None);
}

TEST(LabelControl, CaseLetterAndCellPlaceShareTheSpareTextWithoutLosingEachOther) {
    LabelControl l;
    l.SetCellPlace(2, 3);
    l.SetCaseLetter("U");
    EXPECT_EQ(l.spare, "U#2#3");
    l.SetCellPlace(7, 1);
    EXPECT_EQ(l.spare, "U#7#1");
    l.SetCaseLetter("");
    EXPECT_EQ(l.spare, "#7#1");
    EXPECT_TRUE(l.CarriesCellPlace() && l.CellRow() == 7 && l.CellColumn() == 1);
}

TEST(FormModel, FindsDatabaseFieldsThroughGrowthAndEditsBehindItsBack) {
    FormModel m;
    for (int i = 0; i < 3000; ++i) m.AddDatabaseField("F" + std::to_string(i), std::to_string(i));
    m.AddDatabaseField("F7", "again");  // known: kept as it was
    EXPECT_EQ(m.databaseFields.size(), 3000u);
    for (int i : {0, 7, 1499, 2999})
        EXPECT_EQ(m.GetDataFieldLongName("~F" + std::to_string(i)), std::to_string(i));
    EXPECT_EQ(m.FindDatabaseField("F3000"), nullptr);
    EXPECT_EQ(m.FindDatabaseField(""), nullptr);
    // Renamed in place and swapped: the same size, so only the names tell.
    m.databaseFields[5].fieldName = "RENAMED";
    std::swap(m.databaseFields[1], m.databaseFields[2]);
    EXPECT_EQ(m.GetDataFieldLongName("F1"), "1");
    EXPECT_EQ(m.FindDatabaseField("F5"), nullptr);
    EXPECT_EQ(m.GetDataFieldLongName("RENAMED"), "5");
    // A list given wholesale with a name twice: the first one counts.
    m.databaseFields = {{"A", "first"}, {"B", "b"}, {"A", "second"}};
    m.InvalidateFieldIndex();
    EXPECT_EQ(m.GetDataFieldLongName("A"), "first");
    // Swapped behind its back, then added again: found where it went, not added twice.
    m.databaseFields.pop_back();
    EXPECT_EQ(m.GetDataFieldLongName("B"), "b");
    std::swap(m.databaseFields[0], m.databaseFields[1]);
    m.AddDatabaseField("A", "third");
    m.AddDatabaseField("C", "c");
    EXPECT_EQ(m.databaseFields.size(), 3u);
    EXPECT_EQ(m.GetDataFieldLongName("A") + m.GetDataFieldLongName("C"), "firstc");
}
