#include "dialogs/qt/FrmLineProps.h"
#include "layout/FormSettings.h"
#include "support/UserInput.h"

// The step fields take the shared shift when the dialog comes up, but only where they are
// empty (blanks count as empty): a step the user typed stays.
TEST(LinePropsForm, ActivationFillsEmptyStepFields) {
    FormSettings settings;
    settings.horizontalShift = 0.05, settings.verticalShift = 0.1;
    FrmLineProps dlg(settings);
    dlg.show();
    InFront(&dlg);
    EXPECT_EQ(dlg.HorizontalStepField()->text(), "0.05");
    EXPECT_EQ(dlg.VerticalStepField()->text(), "0.1");

    Type(dlg.HorizontalStepField(), "  ");
    Type(dlg.VerticalStepField(), "0.3");
    settings.horizontalShift = 0.25, settings.verticalShift = 2;
    dlg.UpdateShift();
    EXPECT_EQ(dlg.HorizontalStepField()->text(), "0.25");
    EXPECT_EQ(dlg.VerticalStepField()->text(), "0.3");
    // With no field left empty the fields are not touched: what is being typed keeps its undo.
    Type(dlg.VerticalStepField(), "0.4");
    dlg.UpdateShift();
    EXPECT_TRUE(dlg.VerticalStepField()->isUndoAvailable());
}
