#include <gtest/gtest.h>

#include "dialogs/FormSizeLogic.h"
#include "dialogs/RecordingHost.h"
#include "layout/FormSettings.h"
#include "shell/RecordingUserInterface.h"

namespace {

using Field = FormSizeLogic::Field;

struct FormSize : ::testing::Test {
    FormSettings settings;
    RecordingUserInterface ui;
    RecordingHost host;
    FormSizeLogic dlg{settings};

    void SetUp() override { dlg.Load(8.5, 11); }

    // Width, height, shifts and pages typed, then OK.
    bool Try(const std::string& w, const std::string& h, const std::string& hs = "0.02",
             const std::string& vs = "0.02", const std::string& pages = "1") {
        dlg.width = w;
        dlg.height = h;
        dlg.horizontalShift = hs;
        dlg.verticalShift = vs;
        dlg.numberOfPages = pages;
        ui.Clear();
        host.calls.clear();
        return dlg.Ok(host, ui);
    }
    void ExpectRefused(const std::string& text, const std::string& title, Field field) {
        auto m = ui.Messages();
        ASSERT_EQ(m.size(), 1u) << text;
        EXPECT_EQ(m[0].text, text);
        EXPECT_EQ(m[0].title, title);
        EXPECT_EQ(dlg.FocusField(), field) << text;
        EXPECT_TRUE(host.calls.empty()) << text;
    }
    void ExpectAccepted() {
        EXPECT_TRUE(ui.Messages().empty()) << (ui.Messages().empty() ? "" : ui.Messages()[0].text);
        EXPECT_FALSE(dlg.Cancelled());
    }
};

TEST_F(FormSize, LoadShowsSettings) {
    settings.horizontalShift = 0.5;
    settings.verticalShift = -0.25;
    settings.numberOfPages = 7;
    settings.interactive = true;
    settings.posting = settings.singleRecord = settings.openLast = true;
    settings.lookupDiagnoses = settings.obstetrics = settings.dataGrid = true;
    settings.statement = true;
    settings.gridTags = {"GRID_TAG:\t1\tTotal", "", "GRID_TAG:\t2\tDue\textra", "GRID_TAG:\t3"};
    dlg.Load(8.25, 10.75);
    EXPECT_EQ(dlg.width, "8.25");
    EXPECT_EQ(dlg.height, "10.75");
    EXPECT_EQ(dlg.horizontalShift, "0.5");
    EXPECT_EQ(dlg.verticalShift, "-0.25");
    EXPECT_EQ(dlg.numberOfPages, "7");
    EXPECT_TRUE(dlg.interactive && dlg.posting && dlg.singleRecord && dlg.openLast);
    EXPECT_TRUE(dlg.lookupDG && dlg.obgyn && dlg.dataGrid && dlg.isStatement);
    EXPECT_FALSE(dlg.lookupPC || dlg.signpad || dlg.saveImage);
    EXPECT_TRUE(dlg.ObgynNoteVisible());
    EXPECT_EQ(dlg.gridTagText, "1\tTotal\r\n\r\n2\tDue\r\n3");
    EXPECT_TRUE(dlg.TagFieldEnabled());
    EXPECT_EQ(dlg.TagFieldBackground(), FormSizeLogic::kWhite);

    // Outside the multi-page mode the page count shows 1 and cannot be edited.
    settings.multipageMode = false;
    dlg.Load(8.5, 11);
    EXPECT_EQ(dlg.numberOfPages, "1");
    EXPECT_FALSE(dlg.PagesFieldEnabled());
    EXPECT_EQ(dlg.PagesFieldBackground(), FormSizeLogic::kGrey);
    settings.multipageMode = true;
    EXPECT_TRUE(dlg.PagesFieldEnabled());
    EXPECT_EQ(dlg.PagesFieldBackground(), FormSizeLogic::kWhite);
}

TEST_F(FormSize, EmptyFieldsInOrder) {
    EXPECT_FALSE(Try(" ", "", "", "", ""));
    ExpectRefused("Please enter Form Width.", "Form Width", Field::Width);
    EXPECT_FALSE(Try("8", "  ", "", "", ""));
    ExpectRefused("Please enter Form Height.", "Form Height", Field::Height);
    EXPECT_FALSE(Try("8", "9", "", "", ""));
    ExpectRefused("Please enter Horizontal Shift.", "Horizontal Shift", Field::HorizontalShift);
    EXPECT_FALSE(Try("8", "9", "0", "", ""));
    ExpectRefused("Please enter Vertical Shift.", "Vertical Shift", Field::VerticalShift);
    EXPECT_FALSE(Try("8", "9", "0", "0", ""));
    ExpectRefused("Please enter Number of Pages.", "Number of Pages", Field::NumberOfPages);
    // Emptiness is looked at for all five before any text is tested as a number.
    EXPECT_FALSE(Try("abc", "9", "0", "0", ""));
    ExpectRefused("Please enter Number of Pages.", "Number of Pages", Field::NumberOfPages);
}

TEST_F(FormSize, NonNumericTextsInOrder) {
    EXPECT_FALSE(Try("8in", "x", "y", "z", "w"));
    ExpectRefused("Invalid Form Width", "Form Width", Field::Width);
    EXPECT_FALSE(Try("8", "1,5", "y", "z", "w"));
    ExpectRefused("Invalid Form Height", "Form Height", Field::Height);
    EXPECT_FALSE(Try("8", "9", "0..1", "z", "w"));
    ExpectRefused("Invalid Horizontal Shift", "Horizontal Shift", Field::HorizontalShift);
    EXPECT_FALSE(Try("8", "9", "0", "-", "w"));
    ExpectRefused("Invalid Vertical Shift", "Vertical Shift", Field::VerticalShift);
    EXPECT_FALSE(Try("8", "9", "0", "0", "2 pages"));
    ExpectRefused("Invalid Number of Pages", "Number of Pages", Field::NumberOfPages);
}

TEST_F(FormSize, NumbersBeyondRangeAreRefusedNotZeroed) {
    const double vsBefore = settings.verticalShift;
    EXPECT_FALSE(Try("8.5", "11", "0", "1e400"));
    ExpectRefused("Invalid Vertical Shift", "Vertical Shift", Field::VerticalShift);
    EXPECT_DOUBLE_EQ(settings.verticalShift, vsBefore);
    EXPECT_FALSE(Try("8.5", "11", "-1e999", "0"));
    ExpectRefused("Invalid Horizontal Shift", "Horizontal Shift", Field::HorizontalShift);
    EXPECT_FALSE(Try("1e400", "11"));
    ExpectRefused("Invalid Form Width", "Form Width", Field::Width);
    EXPECT_FALSE(Try("8.5", "11", "0", "0", "1e400"));
    ExpectRefused("Invalid Number of Pages", "Number of Pages", Field::NumberOfPages);
    // Large but representable values still reach their own limits.
    EXPECT_FALSE(Try("8.5", "11", "0", "0", "1e300"));
    ExpectRefused("Max Number of Pages is 99", "Number of Pages", Field::NumberOfPages);
    EXPECT_TRUE(Try("8.5", "11", "0", "1e300"));
    EXPECT_DOUBLE_EQ(settings.verticalShift, 1e300);
}

TEST_F(FormSize, MinimumSize) {
    EXPECT_TRUE(Try("0.25", "0.25"));
    ExpectAccepted();
    EXPECT_FLOAT_EQ(dlg.FormWidthValue(), 0.25f);
    EXPECT_FLOAT_EQ(dlg.FormHeightValue(), 0.25f);
    EXPECT_FALSE(Try("0.24", "0.1"));
    ExpectRefused("Min width is 0.25", "Form Width", Field::Width);
    EXPECT_FALSE(Try("-5", "9"));
    ExpectRefused("Min width is 0.25", "Form Width", Field::Width);
    EXPECT_FALSE(Try("1", "0.2"));
    ExpectRefused("Min height is 0.25", "Form Height", Field::Height);
}

TEST_F(FormSize, PortraitLimits) {
    dlg.SetLandscape(false);
    EXPECT_TRUE(Try("85", "140"));
    ExpectAccepted();
    EXPECT_FALSE(Try("85.01", "140"));
    ExpectRefused("Max width is 85", "Form Width", Field::Width);
    EXPECT_FALSE(Try("85", "140.5"));
    ExpectRefused("Max height is 140.", "Form Height", Field::Height);
    // The width is tested before the height.
    EXPECT_FALSE(Try("90", "200"));
    ExpectRefused("Max width is 85", "Form Width", Field::Width);

    settings.dataEntryForm = true;
    EXPECT_TRUE(Try("85", "6"));
    ExpectAccepted();
    EXPECT_FALSE(Try("10", "6.5"));
    ExpectRefused("Max height is 6", "Form Height", Field::Height);
}

TEST_F(FormSize, LandscapeLimits) {
    dlg.SetLandscape(true);
    EXPECT_TRUE(settings.landscape);
    EXPECT_TRUE(Try("140", "85"));
    ExpectAccepted();
    EXPECT_FALSE(Try("140.5", "85"));
    ExpectRefused("Max width is 140.", "Form Width", Field::Width);
    EXPECT_FALSE(Try("200", "85.5"));
    ExpectRefused("Max height is 85", "Form Height", Field::Height);

    settings.dataEntryForm = true;
    EXPECT_TRUE(Try("6", "85"));
    ExpectAccepted();
    EXPECT_FALSE(Try("6.5", "5"));
    ExpectRefused("Max width is 6", "Form Width", Field::Width);
    EXPECT_FALSE(Try("6.5", "86"));
    ExpectRefused("Max height is 85", "Form Height", Field::Height);
}

TEST_F(FormSize, ShiftLimits) {
    EXPECT_TRUE(Try("8.5", "11", "2", "0.02"));
    ExpectAccepted();
    EXPECT_FALSE(Try("8.5", "11", "2.01", "0.02"));
    ExpectRefused("Max value is 2", "Horizontal Shift", Field::HorizontalShift);
    EXPECT_TRUE(Try("8.5", "11", "-3", "50"));
    ExpectAccepted();
    EXPECT_DOUBLE_EQ(settings.horizontalShift, -3);
    EXPECT_DOUBLE_EQ(settings.verticalShift, 50);
}

TEST_F(FormSize, PageCountLimitsAndRounding) {
    EXPECT_FALSE(Try("8.5", "11", "0", "0", "0"));
    ExpectRefused("Min Number of Pages is 1", "Number of Pages", Field::NumberOfPages);
    EXPECT_FALSE(Try("8.5", "11", "0", "0", "100"));
    ExpectRefused("Max Number of Pages is 99", "Number of Pages", Field::NumberOfPages);
    EXPECT_FALSE(Try("8.5", "11", "0", "0", "1e300"));
    ExpectRefused("Max Number of Pages is 99", "Number of Pages", Field::NumberOfPages);
    // Ties go to the even neighbour.
    EXPECT_FALSE(Try("8.5", "11", "0", "0", "0.5"));
    ExpectRefused("Min Number of Pages is 1", "Number of Pages", Field::NumberOfPages);
    EXPECT_TRUE(Try("8.5", "11", "0", "0", "1.5"));
    EXPECT_EQ(settings.numberOfPages, 2);
    EXPECT_TRUE(Try("8.5", "11", "0", "0", "2.5"));
    EXPECT_EQ(settings.numberOfPages, 2);
    EXPECT_TRUE(Try("8.5", "11", "0", "0", "99.4"));
    EXPECT_EQ(settings.numberOfPages, 99);
}

TEST_F(FormSize, RefusedOkStoresOnlyThePrintSettings) {
    FormSettings before = settings;
    dlg.SetInteractive(true);
    dlg.posting = dlg.dataGrid = dlg.isStatement = true;
    dlg.gridTagText = "1\tx";
    dlg.borderYes = false;
    EXPECT_FALSE(Try("0.1", "11", "1", "1", "5"));
    EXPECT_EQ(settings.printingSelection, "BOX=N\tBOX_COLOR=\tSHADED=N\tSHADE_COLOR=");
    EXPECT_EQ(settings.interactive, before.interactive);
    EXPECT_EQ(settings.posting, before.posting);
    EXPECT_EQ(settings.dataGrid, before.dataGrid);
    EXPECT_EQ(settings.statement, before.statement);
    EXPECT_EQ(settings.gridTags, before.gridTags);
    EXPECT_EQ(settings.numberOfPages, before.numberOfPages);
    EXPECT_DOUBLE_EQ(settings.horizontalShift, before.horizontalShift);
}

TEST_F(FormSize, AcceptanceStoresInOrderAndRefreshesTheWindow) {
    dlg.SetInteractive(true);
    dlg.posting = dlg.singleRecord = dlg.openLast = dlg.signpad = true;
    dlg.lookupDG = dlg.lookupPC = dlg.obgyn = dlg.saveImage = dlg.dataGrid = true;
    EXPECT_TRUE(Try("8", "10", "0.1", "0.2", "3"));
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"UpdateShiftOfOpenDialogs", "UpdatePageNumberSetting",
                                        "UpdateInteractive", "UpdateDataGridRecalc"}));
    EXPECT_DOUBLE_EQ(settings.horizontalShift, 0.1);
    EXPECT_DOUBLE_EQ(settings.verticalShift, 0.2);
    EXPECT_EQ(settings.numberOfPages, 3);
    EXPECT_TRUE(settings.interactive && settings.posting && settings.singleRecord &&
                settings.openLast && settings.signpad && settings.lookupDiagnoses &&
                settings.lookupProcedures && settings.obstetrics && settings.saveImage &&
                settings.dataGrid);
    EXPECT_FALSE(settings.statement);
    EXPECT_FLOAT_EQ(dlg.FormWidthValue(), 8);
    EXPECT_FLOAT_EQ(dlg.FormHeightValue(), 10);
}

TEST_F(FormSize, InteractiveDependencies) {
    dlg.SetInteractive(true);
    dlg.posting = dlg.singleRecord = dlg.openLast = dlg.signpad = true;
    dlg.lookupDG = dlg.lookupPC = dlg.obgyn = dlg.saveImage = true;
    EXPECT_TRUE(dlg.DependentOptionsEnabled());
    dlg.SetInteractive(false);
    EXPECT_FALSE(dlg.DependentOptionsEnabled());
    EXPECT_FALSE(dlg.posting || dlg.openLast || dlg.signpad || dlg.saveImage || dlg.lookupDG ||
                 dlg.lookupPC || dlg.obgyn);
    EXPECT_FALSE(dlg.ObgynNoteVisible());
    // Single Record is only disabled; OK still stores it off on a form that is not interactive.
    EXPECT_TRUE(dlg.singleRecord);
    EXPECT_TRUE(Try("8.5", "11"));
    EXPECT_FALSE(settings.singleRecord || settings.posting || settings.openLast);
    // Checking Interactive again enables the boxes and checks none of them.
    dlg.SetInteractive(true);
    EXPECT_TRUE(dlg.DependentOptionsEnabled());
    EXPECT_FALSE(dlg.posting);
    // Filling the dialog applies the rule too.
    settings.interactive = false;
    settings.saveImage = settings.obstetrics = true;
    dlg.Load(8.5, 11);
    EXPECT_FALSE(dlg.saveImage || dlg.obgyn);
}

TEST_F(FormSize, StatementTags) {
    dlg.isStatement = true;
    dlg.gridTagText = "1\tTotal\r\n";
    EXPECT_TRUE(Try("8.5", "11"));
    EXPECT_EQ(settings.gridTags, (std::vector<std::string>{"GRID_TAG:\t1\tTotal", ""}));
    EXPECT_TRUE(settings.statement);
    // Lines from a plain text field end in LF alone.
    dlg.gridTagText = "1\ta\n\n2\tb";
    EXPECT_TRUE(Try("8.5", "11"));
    EXPECT_EQ(settings.gridTags,
              (std::vector<std::string>{"GRID_TAG:\t1\ta", "", "GRID_TAG:\t2\tb"}));
    dlg.gridTagText = "";
    EXPECT_TRUE(Try("8.5", "11"));
    EXPECT_EQ(settings.gridTags, std::vector<std::string>{""});
    // Not a statement: the stored tags stay whatever the field shows.
    settings.gridTags = {"GRID_TAG:\t9\tkept"};
    dlg.isStatement = false;
    dlg.gridTagText = "1\tlost";
    EXPECT_TRUE(Try("8.5", "11"));
    EXPECT_EQ(settings.gridTags, std::vector<std::string>{"GRID_TAG:\t9\tkept"});
    EXPECT_FALSE(settings.statement);
    EXPECT_FALSE(dlg.TagFieldEnabled());
    EXPECT_EQ(dlg.TagFieldBackground(), FormSizeLogic::kGrey);
}

TEST_F(FormSize, TagTextRoundTrip) {
    std::vector<std::string> entries{"GRID_TAG:\t1\tTotal", "", "GRID_TAG:\t12\tBalance due"};
    EXPECT_EQ(FormSizeLogic::EntriesFromTagText(FormSizeLogic::TagTextFromEntries(entries)),
              entries);
    EXPECT_EQ(FormSizeLogic::TagTextFromEntries({""}), "");
}

TEST_F(FormSize, PrintSettingsText) {
    // Empty text: borders yes, shading no.
    settings.printingSelection = "";
    dlg.Load(8.5, 11);
    EXPECT_TRUE(dlg.borderYes);
    EXPECT_FALSE(dlg.shadedYes);
    EXPECT_TRUE(Try("8.5", "11"));
    EXPECT_EQ(settings.printingSelection,
              "BOX=Y\tBOX_COLOR=" + std::to_string(dlg.borderColor) + "\tSHADED=N\tSHADE_COLOR=");

    settings.printingSelection = "BOX=N\tBOX_COLOR=\tSHADED=Y\tSHADE_COLOR=255";
    dlg.Load(8.5, 11);
    EXPECT_FALSE(dlg.borderYes);
    EXPECT_EQ(dlg.borderColor, FormSizeLogic::kWhite);
    EXPECT_TRUE(dlg.shadedYes);
    EXPECT_EQ(dlg.shadeColor, 255);
    EXPECT_EQ(dlg.PrintSettingsText(), "BOX=N\tBOX_COLOR=\tSHADED=Y\tSHADE_COLOR=255");

    // Unknown values select "Yes"; an empty border colour of borders on is black.
    settings.printingSelection = "SHADED=maybe\tBOX=?\tBOX_COLOR=\tSHADE_COLOR=";
    dlg.Load(8.5, 11);
    EXPECT_TRUE(dlg.borderYes);
    EXPECT_EQ(dlg.borderColor, FormSizeLogic::kBlack);
    EXPECT_TRUE(dlg.shadedYes);
    EXPECT_EQ(dlg.shadeColor, FormSizeLogic::kWhite);

    // Colours out of range or not numbers do no harm.
    settings.printingSelection = "BOX=Y\tBOX_COLOR=99999999\tSHADED=Y\tSHADE_COLOR=-5";
    dlg.Load(8.5, 11);
    EXPECT_EQ(dlg.borderColor, FormSizeLogic::kWhite);
    EXPECT_EQ(dlg.shadeColor, 0);

    // A text without a TAB leaves the tab as designed.
    dlg.borderYes = false;
    dlg.ReadPrintSettings("BOX=Y");
    EXPECT_FALSE(dlg.borderYes);
}

TEST_F(FormSize, OrientationIsStoredAtOnceAndCancelKeepsIt) {
    settings.landscape = false;
    dlg.Load(8.5, 11);
    EXPECT_FALSE(dlg.Landscape());
    dlg.SetLandscape(true);
    dlg.interactive = true;
    dlg.Cancel();
    EXPECT_TRUE(dlg.Cancelled());
    EXPECT_TRUE(settings.landscape);
    EXPECT_FALSE(settings.interactive);
    dlg.Load(8.5, 11);
    EXPECT_FALSE(dlg.Cancelled());
}

}  // namespace
