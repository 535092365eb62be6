#include <gtest/gtest.h>

#include "dialogs/LinePropsLogic.h"
#include "layout/FormSettings.h"

TEST(LineProps, StylesInOrder) {
    EXPECT_EQ(LinePropsLogic::BorderStyles(),
              (std::vector<std::string>{"1 - Solid", "2 - Dash", "3 - Dot", "4 - Dash-Dot",
                                        "5 - Dash-Dot-Dot"}));
}

TEST(LineProps, UpdateShiftFillsOnlyEmptyStepFields) {
    FormSettings s;
    s.horizontalShift = 0.125;
    s.verticalShift = 0.5;
    LinePropsLogic d;
    EXPECT_TRUE(d.UpdateShift(s));
    EXPECT_EQ(d.horizontalStep, "0.125");
    EXPECT_EQ(d.verticalStep, "0.5");

    s.horizontalShift = 1;
    s.verticalShift = 2;
    EXPECT_FALSE(d.UpdateShift(s));
    EXPECT_EQ(d.horizontalStep, "0.125");

    d.horizontalStep = "  ";
    d.verticalStep = "0.3";
    EXPECT_TRUE(d.UpdateShift(s));
    EXPECT_EQ(d.horizontalStep, "1");
    EXPECT_EQ(d.verticalStep, "0.3");
}
