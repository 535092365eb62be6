#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "dialogs/qt/FrmLineProps.h"
#include "layout/FormSettings.h"

TEST(LinePropsForm, ActivationFillsEmptyStepFields) {
    FormSettings settings;
    settings.horizontalShift = 0.05;
    settings.verticalShift = 0.1;
    FrmLineProps dlg(settings);
    EXPECT_EQ(dlg.windowTitle(), "Line Properties");
    ASSERT_EQ(dlg.StyleList()->count(), 5);
    EXPECT_EQ(dlg.StyleList()->itemText(4), "5 - Dash-Dot-Dot");
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    EXPECT_EQ(dlg.HorizontalStepField()->text(), "0.05");
    EXPECT_EQ(dlg.VerticalStepField()->text(), "0.1");

    dlg.HorizontalStepField()->clear();
    dlg.VerticalStepField()->setText("0.3");
    settings.horizontalShift = 0.25;
    dlg.UpdateShift();
    EXPECT_EQ(dlg.HorizontalStepField()->text(), "0.25");
    EXPECT_EQ(dlg.VerticalStepField()->text(), "0.3");
}
