#include <gtest/gtest.h>

#include <limits>

#include "canvas/PageGeometry.h"

namespace {
std::string Bar(const ScrollBarState& s) {
    // A hidden bar's range means nothing.
    return (s.visible ? "shown " + std::to_string(s.minimum) + ".." + std::to_string(s.maximum)
                      : std::string("hidden")) +
           " by " + std::to_string(s.smallChange) + "/" + std::to_string(s.largeChange);
}
}  // namespace

// Bars in steps of a hundred twips; a page inside the viewport has none and keeps the
// other values; one slightly taller stays reachable; damaged sizes stay in 16 bits.
TEST(ScrollBars, ReachTheWholePageInStepsOfAHundredTwips) {
    ScrollBarState before;
    before.largeChange = 7, before.smallChange = 3;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<ScrollBarState, const char*> cases[] = {
        {ComputeVerticalScrollBar(14, 8), "shown 0..86 by 6/10"},  // 6 inches = 8640 twips
        {ComputeHorizontalScrollBar(8.5, 6, 8), "shown 0..36 by 4/6"},
        {ComputeVerticalScrollBar(5.5, 9, before), "hidden by 3/7"},
        // Half an inch beyond the viewport: the thresholds alone would hide the bar.
        {ComputeVerticalScrollBar(11, 10.5), "shown 0..7 by 1/1"},
    };
    for (const auto& [bar, expected] : cases) EXPECT_EQ(Bar(bar), expected);
    EXPECT_GE(ComputeVerticalScrollBar(11, 10.5).maximum * kScrollStepTwips,
              units::InchesToTwips(0.5) - kScrollStepTwips);
    EXPECT_FALSE(ComputeHorizontalScrollBar(8, 10, 9).visible);
    ScrollBarState v = ComputeVerticalScrollBar(100000, 1);
    EXPECT_LE(v.maximum, 32767);
    EXPECT_GE(v.largeChange, 1);
    EXPECT_GE(ComputeVerticalScrollBar(nan, 5).maximum, -32768);
    EXPECT_FALSE(ComputeHorizontalScrollBar(-50, 5, 5).visible);
}

TEST(PageButtons, StayWithinTheFormAndTreatPageZeroAsTheFirst) {
    // Button, current page, pages: the page after (the window's tests walk the ends).
    const int cases[][4] = {{2, 0, 3, 2}, {1, 2, 3, 1}, {3, 1, 500, 99}};
    for (const auto& c : cases) EXPECT_EQ(PageAfterButton(c[0], c[1], c[2]), c[3]) << c[0] << c[1];
    EXPECT_EQ(ClampPageCount(0), 1);
    EXPECT_EQ(ClampPageCount(150), 99);
}
