#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "dialogs/RecordingHost.h"
#include "dialogs/qt/FieldBehaviour.h"
#include "dialogs/qt/FrmSize.h"
#include "layout/LayoutTestSupport.h"
#include "support/UserInput.h"

namespace {

struct SizeForm : ::testing::Test {
    FormSettings settings;
    RecordingUserInterface ui;
    RecordingHost host;
    std::unique_ptr<FrmSize> dlg;

    void Open(double w = 8.5, double h = 11) {
        dlg = std::make_unique<FrmSize>(settings, host, ui);
        dlg->Prepare(w, h);
        dlg->show();
        InFront(dlg.get());
    }
    void ClickOk() {
        ui.Clear();
        host.calls.clear();
        ClickAt(dlg->OkButton());
    }
};

TEST_F(SizeForm, RefusalFocusesTheFieldOnItsTabAndOkStoresTheTypedValues) {
    Open();
    EXPECT_EQ(dlg->WidthField()->text() + " " + dlg->HeightField()->text(), "8.5 11");
    Type(dlg->WidthField(), "0.24");
    ClickAt(dlg->Tabs()->tabBar(), dlg->Tabs()->tabBar()->tabRect(4).center());
    ClickOk();
    EXPECT_EQ(OnlyMessage(ui), "Form Width: Min width is 0.25");
    EXPECT_TRUE(dlg->isVisible());
    // The focus goes back to the field, on its own tab, with the text selected.
    EXPECT_EQ(dlg->Tabs()->currentIndex(), 1);
    EXPECT_EQ(QApplication::focusWidget(), dlg->WidthField());
    EXPECT_EQ(dlg->WidthField()->selectedText(), "0.24");

    Type(dlg->WidthField(), "85");
    Type(dlg->HeightField(), "20");
    Type(dlg->HorizontalShiftField(), "2.01");
    ClickOk();
    EXPECT_EQ(OnlyMessage(ui), "Horizontal Shift: Max value is 2");
    EXPECT_EQ(dlg->Tabs()->currentIndex(), 3);
    EXPECT_EQ(QApplication::focusWidget(), dlg->HorizontalShiftField());
    Type(dlg->HorizontalShiftField(), "-3");
    Type(dlg->PagesField(), "1.5");
    Type(dlg->VerticalShiftField(), "50");
    ClickOk();
    EXPECT_EQ(OnlyMessage(ui), "0 messages");
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_FALSE(dlg->Cancelled());
    EXPECT_EQ(std::tuple(dlg->FormWidthValue(), dlg->FormHeightValue(), settings.numberOfPages),
              std::tuple(85.f, 20.f, 2));
    EXPECT_EQ(std::tie(settings.horizontalShift, settings.verticalShift), std::tuple(-3.0, 50.0));
}

TEST_F(SizeForm, LandscapeIsStoredWhenClickedAndChangesTheLimits) {
    settings.dataEntryForm = true;
    Open(8, 5.5);
    Check(dlg->InteractiveBox());
    EXPECT_TRUE(dlg->PortraitOption()->isChecked());
    Check(dlg->LandscapeOption());
    EXPECT_TRUE(settings.landscape);
    Type(dlg->WidthField(), "6.5");
    Type(dlg->HeightField(), "5");
    ClickOk();
    EXPECT_EQ(OnlyMessage(ui), "Form Width: Max width is 6");
    Check(dlg->PortraitOption());
    EXPECT_FALSE(settings.landscape);
    Check(dlg->LandscapeOption());
    ClickAt(dlg->CancelButton());
    EXPECT_TRUE(dlg->Cancelled());
    EXPECT_TRUE(settings.landscape);
    EXPECT_TRUE(host.calls.empty());
    // Cancel keeps nothing else; a new opening is not cancelled.
    EXPECT_FALSE(settings.interactive);
    Open();
    EXPECT_FALSE(dlg->Cancelled());
}

TEST_F(SizeForm, InteractiveBoxDrivesTheOthers) {
    settings.interactive = true, settings.posting = settings.singleRecord = true;
    Open();
    EXPECT_TRUE(dlg->PostingBox()->isEnabled());
    Check(dlg->ObgynBox());
    EXPECT_TRUE(dlg->ObgynNote()->isVisible());
    Check(dlg->InteractiveBox());
    EXPECT_FALSE(dlg->InteractiveBox()->isChecked() || dlg->PostingBox()->isChecked() ||
                 dlg->PostingBox()->isEnabled() || dlg->SingleRecordBox()->isEnabled() ||
                 dlg->ObgynBox()->isChecked() || dlg->ObgynNote()->isVisible());
    EXPECT_TRUE(dlg->SingleRecordBox()->isChecked() && dlg->SaveImageBox()->isEnabled());
    // Save image may be checked alone; changing another box keeps it.
    Check(dlg->SaveImageBox());
    Check(dlg->DataGridBox());
    EXPECT_TRUE(dlg->SaveImageBox()->isChecked());
    ClickOk();
    EXPECT_FALSE(settings.interactive || settings.posting || settings.singleRecord ||
                 settings.obstetrics);
    EXPECT_TRUE(settings.saveImage && settings.dataGrid);
    // Opening the dialog applies the rule too; checking Interactive again enables the boxes
    // and checks none of them.
    settings.obstetrics = settings.posting = true;
    Open();
    EXPECT_FALSE(dlg->ObgynBox()->isChecked() || dlg->PostingBox()->isChecked());
    Check(dlg->InteractiveBox());
    EXPECT_TRUE(dlg->PostingBox()->isEnabled());
    EXPECT_FALSE(dlg->PostingBox()->isChecked());
}

TEST_F(SizeForm, StatementTagsTypedWithCtrlTab) {
    Open();
    EXPECT_FALSE(dlg->TagField()->isEnabled());
    Check(dlg->StatementBox());
    EXPECT_TRUE(dlg->TagField()->isEnabled());
    EXPECT_EQ(dlg->TagField()->palette().color(QPalette::Base), ColourFromBgr(16777215));
    ClickAt(dlg->TagField());
    Keys("1");
    Press(Qt::Key_Tab, Qt::ControlModifier);
    Keys("Total");
    Press(Qt::Key_Return);
    EXPECT_EQ(dlg->Tabs()->currentIndex(), 4);
    // Coming back to the field (its tab gives it the focus again) selects all of it, as in
    // every field of the dialog.
    ClickAt(dlg->WidthField());
    ShowTabOf(dlg->TagField());
    QTest::qWait(20);
    EXPECT_EQ(QApplication::focusWidget(), dlg->TagField());
    EXPECT_EQ(dlg->TagField()->textCursor().selectedText(), QString("1\tTotal") + QChar(0x2029));
    Type(dlg->WidthField(), "");  // refused: the tags wait for an OK that is taken
    ClickOk();
    EXPECT_EQ(settings.gridTags, FormSettings().gridTags);
    Type(dlg->WidthField(), "8.5");
    ClickOk();
    EXPECT_TRUE(settings.statement);
    EXPECT_EQ(settings.gridTags, (std::vector<std::string>{"GRID_TAG:\t1\tTotal", ""}));
}

TEST_F(SizeForm, ColourChooserSetsTheSwatch) {
    Open();
    EXPECT_TRUE(dlg->BorderYes()->isChecked());
    EXPECT_TRUE(dlg->ShadedNo()->isChecked());
    std::vector<int> presets;
    bool answer = true;
    dlg->SetColourChooser([&](int& bgr) {
        presets.push_back(bgr);
        if (answer) bgr = 0x0000FF;
        return answer;
    });
    ClickAt(dlg->BorderColourButton());
    EXPECT_EQ(presets, std::vector<int>{0});
    EXPECT_EQ(dlg->BorderSwatch()->palette().color(QPalette::Window), QColor(255, 0, 0));
    answer = false;
    ClickAt(dlg->ShadeColourButton());
    EXPECT_EQ(dlg->ShadeSwatch()->palette().color(QPalette::Window), QColor(255, 255, 255));
    Check(dlg->ShadedYes());
    // The print settings are stored even when a check then fails; the options are not.
    Check(dlg->InteractiveBox());
    Check(dlg->DataGridBox());
    Check(dlg->StatementBox());
    Type(dlg->WidthField(), "");
    ClickOk();
    EXPECT_EQ(OnlyMessage(ui), "Form Width: Please enter Form Width.");
    EXPECT_EQ(settings.printingSelection, "BOX=Y\tBOX_COLOR=255\tSHADED=Y\tSHADE_COLOR=16777215");
    EXPECT_FALSE(settings.interactive || settings.dataGrid || settings.statement);
}

TEST_F(SizeForm, PagesFieldOnlyInMultipageMode) {
    settings.numberOfPages = 4;
    for (auto [multipage, shown, base] :
         {std::tuple{false, "1", 14737632}, {true, "4", 16777215}}) {
        settings.multipageMode = multipage;
        Open();
        EXPECT_EQ(dlg->PagesField()->isEnabled(), multipage);
        EXPECT_EQ(dlg->PagesField()->text(), shown);
        EXPECT_EQ(dlg->PagesField()->palette().color(QPalette::Base), ColourFromBgr(base));
    }
}

}  // namespace
