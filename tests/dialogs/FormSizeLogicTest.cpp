#include <cstdlib>

#include "dialogs/FormSizeLogic.h"
#include "dialogs/RecordingHost.h"
#include "layout/LayoutTestSupport.h"

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
        dlg.width = w, dlg.height = h, dlg.horizontalShift = hs, dlg.verticalShift = vs;
        dlg.numberOfPages = pages;
        ui.Clear();
        host.calls.clear();
        return dlg.Ok(host, ui);
    }
};

TEST_F(FormSize, LoadShowsSettings) {
    settings.horizontalShift = 0.5, settings.verticalShift = -0.25, settings.numberOfPages = 7;
    settings.interactive = true;
    settings.posting = settings.singleRecord = settings.openLast = true;
    settings.lookupDiagnoses = settings.obstetrics = settings.dataGrid = true;
    settings.statement = true;
    settings.gridTags = {"GRID_TAG:\t1\tTotal", "", "GRID_TAG:\t2\tDue\textra", "GRID_TAG:\t3",
                         "GRID_TAG:"};
    dlg.Load(8.25, 10.75);
    EXPECT_EQ((std::vector<std::string>{dlg.width, dlg.height, dlg.horizontalShift,
                                        dlg.verticalShift, dlg.numberOfPages}),
              (std::vector<std::string>{"8.25", "10.75", "0.5", "-0.25", "7"}));
    EXPECT_TRUE(dlg.interactive && dlg.posting && dlg.singleRecord && dlg.openLast);
    EXPECT_TRUE(dlg.lookupDG && dlg.obgyn && dlg.dataGrid && dlg.isStatement);
    EXPECT_FALSE(dlg.lookupPC || dlg.signpad || dlg.saveImage);
    EXPECT_EQ(dlg.gridTagText, "1\tTotal\r\n\r\n2\tDue\r\n3\r\n");
}

// Emptiness is looked at for all five fields before any is tested as a number, then the
// numbers, then the limits of the orientation (width before height), the shift, the pages.
TEST_F(FormSize, OkTestsTheFieldsInOrderAgainstTheLimitsOfThePage) {
    enum Page { P, L, PE, LE };  // portrait, landscape, and each as a data entry form
    const char* titles[] = {
        "", "Form Width", "Form Height", "Horizontal Shift", "Vertical Shift", "Number of Pages"};
    const struct {
        const char *w, *h, *hs, *vs, *pages;
        Page page;
        const char* refusal;  // "" when taken
        Field field = Field::None;
        int storedPages = 1;
    } cases[] = {
        {" ", "", "", "", "", P, "Please enter Form Width.", Field::Width},
        {"8", "  ", "", "", "", P, "Please enter Form Height.", Field::Height},
        {"8", "9", "", "", "", P, "Please enter Horizontal Shift.", Field::HorizontalShift},
        {"8", "9", "0", "", "", P, "Please enter Vertical Shift.", Field::VerticalShift},
        {"8", "9", "0", "0", "", P, "Please enter Number of Pages.", Field::NumberOfPages},
        {"abc", "9", "0", "0", "", P, "Please enter Number of Pages.", Field::NumberOfPages},
        {"8in", "x", "y", "z", "w", P, "Invalid Form Width", Field::Width},
        {"8", "1,5", "y", "z", "w", P, "Invalid Form Height", Field::Height},
        {"8", "9", "0..1", "z", "w", P, "Invalid Horizontal Shift", Field::HorizontalShift},
        {"8", "9", "0", "-", "w", P, "Invalid Vertical Shift", Field::VerticalShift},
        {"8", "9", "0", "0", "2 pages", P, "Invalid Number of Pages", Field::NumberOfPages},
        // Beyond what a double holds: refused, never stored as 0.
        {"8.5", "11", "0", "1e400", "1", P, "Invalid Vertical Shift", Field::VerticalShift},
        {"8.5", "11", "-1e999", "0", "1", P, "Invalid Horizontal Shift", Field::HorizontalShift},
        {"1e400", "11", "0", "0", "1", P, "Invalid Form Width", Field::Width},
        {"8.5", "11", "0", "0", "1e400", P, "Invalid Number of Pages", Field::NumberOfPages},
        // Large but representable values still reach their own limits.
        {"8.5", "11", "0", "0", "1e300", P, "Max Number of Pages is 99", Field::NumberOfPages},
        {"8.5", "11", "0", "1e300", "1", P, ""},
        {"0.25", "0.25", "0", "0", "1", P, ""},
        {"0.24", "0.1", "0", "0", "1", P, "Min width is 0.25", Field::Width},
        {"1", "0.2", "0", "0", "1", P, "Min height is 0.25", Field::Height},
        {"85", "140", "0", "0", "1", P, ""},
        {"85.01", "140", "0", "0", "1", P, "Max width is 85", Field::Width},
        {"85", "140.5", "0", "0", "1", P, "Max height is 140.", Field::Height},
        {"90", "200", "0", "0", "1", P, "Max width is 85", Field::Width},
        {"85", "6", "0", "0", "1", PE, ""},
        {"10", "6.5", "0", "0", "1", PE, "Max height is 6", Field::Height},
        {"140", "85", "0", "0", "1", L, ""},
        {"140.5", "85", "0", "0", "1", L, "Max width is 140.", Field::Width},
        {"200", "85.5", "0", "0", "1", L, "Max height is 85", Field::Height},
        {"6", "85", "0", "0", "1", LE, ""},
        {"6.5", "5", "0", "0", "1", LE, "Max width is 6", Field::Width},
        {"6.5", "86", "0", "0", "1", LE, "Max height is 85", Field::Height},
        {"8.5", "11", "2", "0.02", "1", P, ""},
        {"8.5", "11", "2.01", "0.02", "1", P, "Max value is 2", Field::HorizontalShift},
        {"8.5", "11", "0", "0", "0", P, "Min Number of Pages is 1", Field::NumberOfPages},
        {"8.5", "11", "0", "0", "100", P, "Max Number of Pages is 99", Field::NumberOfPages},
        // Ties go to the even neighbour.
        {"8.5", "11", "0", "0", "0.5", P, "Min Number of Pages is 1", Field::NumberOfPages},
        {"8.5", "11", "0", "0", "1.5", P, "", Field::None, 2},
        {"8.5", "11", "0", "0", "2.5", P, "", Field::None, 2},
        {"8.5", "11", "0", "0", "99.4", P, "", Field::None, 99},
        {"8.5", "11", "0", "0", " 99 ", P, "", Field::None, 99},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.w) + " " + c.h + " " + c.hs + " " + c.vs + " " + c.pages);
        settings.dataEntryForm = c.page == PE || c.page == LE;
        dlg.SetLandscape(c.page == L || c.page == LE);
        const FormSettings before = settings;
        const bool taken = Try(c.w, c.h, c.hs, c.vs, c.pages);
        EXPECT_EQ(taken, *c.refusal == 0);
        EXPECT_EQ(OnlyMessage(ui),
                  taken ? "0 messages" : titles[int(c.field)] + std::string(": ") + c.refusal);
        EXPECT_EQ(dlg.FocusField(), c.field);
        if (!taken) {
            EXPECT_TRUE(host.calls.empty());
            EXPECT_EQ(std::tie(settings.horizontalShift, settings.verticalShift),
                      std::tie(before.horizontalShift, before.verticalShift));
            EXPECT_EQ(settings.numberOfPages, before.numberOfPages);
            continue;
        }
        EXPECT_FALSE(dlg.Cancelled());
        EXPECT_FLOAT_EQ(dlg.FormWidthValue(), std::strtof(c.w, nullptr));
        EXPECT_FLOAT_EQ(dlg.FormHeightValue(), std::strtof(c.h, nullptr));
        EXPECT_DOUBLE_EQ(settings.horizontalShift, std::strtod(c.hs, nullptr));
        EXPECT_DOUBLE_EQ(settings.verticalShift, std::strtod(c.vs, nullptr));
        EXPECT_EQ(settings.numberOfPages, c.storedPages);
    }
}

TEST_F(FormSize, AcceptanceStoresInOrderAndRefreshesTheWindow) {
    dlg.SetInteractive(true);
    dlg.posting = dlg.singleRecord = dlg.openLast = dlg.signpad = true;
    dlg.lookupDG = dlg.lookupPC = dlg.obgyn = dlg.saveImage = dlg.dataGrid = true;
    EXPECT_TRUE(Try("8", "10", "0.1", "0.2", "3"));
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"UpdateShiftOfOpenDialogs", "UpdatePageNumberSetting",
                                        "UpdateInteractive", "UpdateDataGridRecalc"}));
    EXPECT_TRUE(settings.interactive && settings.posting && settings.singleRecord &&
                settings.openLast && settings.signpad && settings.lookupDiagnoses &&
                settings.lookupProcedures && settings.obstetrics && settings.saveImage &&
                settings.dataGrid);
    EXPECT_FALSE(settings.statement);
    // Options that depend on Interactive are stored off when unchecked on an interactive form.
    dlg.posting = dlg.openLast = false;
    EXPECT_TRUE(Try("8", "10"));
    EXPECT_FALSE(settings.posting || settings.openLast);
}

// The tag text becomes one entry a line (CR LF or, from a plain text field, LF alone), only
// on a statement; otherwise the stored tags stay whatever the field shows.
TEST_F(FormSize, StatementTags) {
    settings.gridTags = {"GRID_TAG:\t9\tkept"};
    const struct {
        bool statement;
        const char* text;
        std::vector<std::string> stored;
    } cases[] = {
        {true, "1\tTotal\r\n", {"GRID_TAG:\t1\tTotal", ""}},
        {true, "1\ta\n\n2\tb", {"GRID_TAG:\t1\ta", "", "GRID_TAG:\t2\tb"}},
        {true, "", {""}},
        {false, "1\tlost", {""}},
    };
    for (const auto& c : cases) {
        dlg.isStatement = c.statement, dlg.gridTagText = c.text;
        EXPECT_TRUE(Try("8.5", "11"));
        EXPECT_EQ(settings.gridTags, c.stored) << c.text;
        EXPECT_EQ(settings.statement, c.statement);
        EXPECT_EQ(dlg.TagFieldEnabled(), c.statement);
        EXPECT_EQ(dlg.TagFieldBackground(),
                  c.statement ? FormSizeLogic::kWhite : FormSizeLogic::kGrey);
    }
}

TEST_F(FormSize, PrintSettingsText) {
    const int kBlack = FormSizeLogic::kBlack, kWhite = FormSizeLogic::kWhite;
    const struct {
        const char* stored;
        bool borderYes;
        int borderColor;
        bool shadedYes;
        int shadeColor;
        const char* written;
    } cases[] = {
        // Empty text: borders yes, shading no.
        {"", true, kBlack, false, kWhite, "BOX=Y\tBOX_COLOR=0\tSHADED=N\tSHADE_COLOR="},
        {"BOX=N\tBOX_COLOR=\tSHADED=Y\tSHADE_COLOR=255", false, kWhite, true, 255,
         "BOX=N\tBOX_COLOR=\tSHADED=Y\tSHADE_COLOR=255"},
        // Unknown values select "Yes"; an empty border colour of borders on is black.
        {"SHADED=maybe\tBOX=?\tBOX_COLOR=\tSHADE_COLOR=", true, kBlack, true, kWhite,
         "BOX=Y\tBOX_COLOR=0\tSHADED=Y\tSHADE_COLOR=16777215"},
        // Colours out of range or not numbers do no harm.
        {"BOX=Y\tBOX_COLOR=99999999\tSHADED=Y\tSHADE_COLOR=-5", true, kWhite, true, 0,
         "BOX=Y\tBOX_COLOR=16777215\tSHADED=Y\tSHADE_COLOR=0"},
        {"BOX=Y\tBOX_COLOR=16777215\tSHADED=N\tSHADE_COLOR=x", true, kWhite, false, 0,
         "BOX=Y\tBOX_COLOR=16777215\tSHADED=N\tSHADE_COLOR="},
        // A field left out keeps its default.
        {"SHADED=Y\tSHADE_COLOR=5", true, kBlack, true, 5,
         "BOX=Y\tBOX_COLOR=0\tSHADED=Y\tSHADE_COLOR=5"},
        {"BOX=N\tBOX_COLOR=", false, kWhite, false, kWhite,
         "BOX=N\tBOX_COLOR=\tSHADED=N\tSHADE_COLOR="},
    };
    for (const auto& c : cases) {
        settings.printingSelection = c.stored;
        dlg.Load(8.5, 11);
        EXPECT_EQ(std::tie(dlg.borderYes, dlg.borderColor, dlg.shadedYes, dlg.shadeColor),
                  std::tie(c.borderYes, c.borderColor, c.shadedYes, c.shadeColor))
            << c.stored;
        EXPECT_TRUE(Try("8.5", "11"));
        EXPECT_EQ(settings.printingSelection, c.written);
    }
    // A text without a TAB leaves the tab as designed.
    dlg.borderYes = false;
    dlg.ReadPrintSettings("BOX=Y");
    EXPECT_FALSE(dlg.borderYes);
}

}  // namespace
