#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "canvas/PageGeometry.h"

TEST(ScrollBars, AFourteenInchPageScrollsInStepsOfAHundredTwips) {
    ScrollBarState v = ComputeVerticalScrollBar(14, 8);
    EXPECT_TRUE(v.visible);
    EXPECT_EQ(v.minimum, 0);
    EXPECT_EQ(v.maximum, 86);  // 6 inches = 8640 twips
    EXPECT_EQ(v.largeChange, 10);
    EXPECT_EQ(v.smallChange, 6);
    ScrollBarState h = ComputeHorizontalScrollBar(8.5, 6, 8);
    EXPECT_TRUE(h.visible);
    EXPECT_EQ(h.maximum, 36);
    EXPECT_EQ(h.largeChange, 6);
    EXPECT_EQ(h.smallChange, 4);
}

TEST(ScrollBars, APageInsideTheViewportHasNoBarsAndKeepsOtherValues) {
    ScrollBarState before;
    before.largeChange = 7;
    before.smallChange = 3;
    ScrollBarState v = ComputeVerticalScrollBar(5.5, 9, before);
    EXPECT_FALSE(v.visible);
    EXPECT_EQ(v.largeChange, 7);
    EXPECT_EQ(v.smallChange, 3);
    EXPECT_FALSE(ComputeHorizontalScrollBar(8, 10, 9).visible);
}

TEST(ScrollBars, APageSlightlyTallerThanTheViewportStaysReachable) {
    // Half an inch beyond the viewport: the thresholds alone would hide the bar.
    ScrollBarState v = ComputeVerticalScrollBar(11, 10.5);
    EXPECT_TRUE(v.visible);
    EXPECT_EQ(v.maximum, 7);
    EXPECT_GE(v.maximum * kScrollStepTwips, units::InchesToTwips(0.5) - kScrollStepTwips);
}

TEST(ScrollBars, DamagedSizesNeverOverflowTheSixteenBitValues) {
    ScrollBarState v = ComputeVerticalScrollBar(100000, 1);
    EXPECT_LE(v.maximum, 32767);
    EXPECT_GE(v.largeChange, 1);
    ScrollBarState n = ComputeVerticalScrollBar(std::numeric_limits<double>::quiet_NaN(), 5);
    EXPECT_GE(n.maximum, -32768);
    ScrollBarState neg = ComputeHorizontalScrollBar(-50, 5, 5);
    EXPECT_FALSE(neg.visible);
}

TEST(PageText, SizesAreWrittenInTheirShortestFormAfterASignBlank) {
    EXPECT_EQ(PageSizeText(8.5, 11), " 8.5'' X  11''");
    EXPECT_EQ(PageSizeText(8, 5.5), " 8'' X  5.5''");
    EXPECT_EQ(PageSizeText(8.25, 14), " 8.25'' X  14''");
    EXPECT_STREQ(kInitialPageSizeText, "8.5'' X 11''");
}

TEST(PageButtons, StayWithinTheFormAndTreatPageZeroAsTheFirst) {
    EXPECT_EQ(PageAfterButton(1, 1, 3), 1);  // previous on the first page
    EXPECT_EQ(PageAfterButton(2, 3, 3), 3);  // next on the last page
    EXPECT_EQ(PageAfterButton(2, 1, 3), 2);
    EXPECT_EQ(PageAfterButton(2, 0, 3), 2);
    EXPECT_EQ(PageAfterButton(3, 1, 3), 3);
    EXPECT_EQ(PageAfterButton(0, 3, 3), 1);
    EXPECT_EQ(PageAfterButton(1, 2, 3), 1);
    EXPECT_EQ(PageAfterButton(3, 1, 500), 99);
    EXPECT_EQ(ClampPageCount(0), 1);
    EXPECT_EQ(ClampPageCount(150), 99);
}
