// The data catalogue's window against the real reference server with its demo data, and
// the lookup picker's window, driven by clicks and keys.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>

#include "ServerTestSupport.h"
#include "server/qt/FrmDBLists.h"
#include "server/qt/LookupPickerDialog.h"
#include "support/UserInput.h"

namespace {
void Click(QWidget& dlg, const char* name) {
    auto* b = dlg.findChild<QPushButton*>(name);
    ASSERT_NE(b, nullptr) << name;
    ClickAt(b);
}
void ClickRow(QTreeWidget* view, int row) {
    ClickAt(view->viewport(), view->visualItemRect(view->topLevelItem(row)).center());
}
void ClickTab(QWidget& dlg, int tab) {
    QTabBar* bar = dlg.findChild<QTabWidget*>("TabStrip1")->tabBar();
    ClickAt(bar, bar->tabRect(tab).center());
}
}  // namespace

TEST_F(DemoServer, FrmDBListsFillsEachTabFromTheServerAndAppliesIntoTheForm) {
    FormModel model;
    std::vector<requests::StaticItem> statics{{"OLD", "Kept until applied", ""}};
    CatalogueHost host{model, statics};
    host.promptUsed = [](const std::string&) { return false; };
    host.selectForm = [] { return std::string("CHARGE01"); };
    host.clipboard = [] { return std::string("A1\tAlpha\r\nB2\tBeta\tX\r\n"); };
    FrmDBLists dlg(comm, ui, host);
    dlg.Prepare();
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), "Data Fields, User Prompts, Static Items");
    auto* tables = dlg.findChild<QComboBox*>("cmbTables");
    auto* fields = dlg.findChild<QListWidget*>("lstFields");
    EXPECT_EQ(dlg.findChild<QLabel*>("lblDB")->text(), "PRACTICE");
    ASSERT_GE(tables->count(), 4);
    tables->setFocus();
    Press(Qt::Key_Down);  // PATIENT
    ASSERT_GE(fields->count(), 2);
    ClickAt(fields->viewport(), fields->visualItemRect(fields->item(1)).center());
    EXPECT_EQ(dlg.findChild<QLabel*>("lblFieldCode")->text(), "PT_NAME");
    auto props = dlg.findChildren<QLabel*>("lblProperty");
    ASSERT_EQ(props.size(), 7);
    EXPECT_EQ(props[0]->text(), "Last Name");
    EXPECT_EQ(props[0]->palette().color(QPalette::Window), QColor(255, 255, 255));
    Click(dlg, "cmdAdd");
    Click(dlg, "cmdAdd");
    EXPECT_EQ(dlg.findChild<QTreeWidget*>("lvwDBFields")->topLevelItemCount(), 1);

    // A from/thru prompt, then modified while its row blinks.
    ClickTab(dlg, 1);
    Type(dlg.findChild<QLineEdit*>("txtID"), "PERIOD");
    Type(dlg.findChild<QLineEdit*>("txtCaption"), "Period");
    dlg.findChild<QComboBox*>("cmbPromptType")->setCurrentText("Date(From/Thru)");
    EXPECT_TRUE(dlg.findChild<QLineEdit*>("txtDefaultDouble")->isVisible());
    EXPECT_FALSE(dlg.findChild<QComboBox*>("cmbLookupCode")->isVisible());
    Type(dlg.findChild<QLineEdit*>("txtDefault"), "T");
    Type(dlg.findChild<QLineEdit*>("txtDefaultDouble"), "E");
    Click(dlg, "cmdAddPrompt");
    auto* prompts = dlg.findChild<QTreeWidget*>("lvwPromptsSelected");
    ASSERT_EQ(prompts->topLevelItemCount(), 1);
    EXPECT_EQ(prompts->topLevelItem(0)->text(3), QString("T\u00BA"
                                                         "E"));
    ClickRow(prompts, 0);
    EXPECT_TRUE(dlg.findChild<QTimer*>("tmrModifyBlink")->isActive());
    Type(dlg.findChild<QLineEdit*>("txtCaption"), "Period range");
    Click(dlg, "cmdModify");
    EXPECT_FALSE(dlg.findChild<QTimer*>("tmrModifyBlink")->isActive());
    EXPECT_EQ(prompts->topLevelItem(0)->text(1), "Period range");

    // Static items from the clipboard and from another form; Exit applies nothing.
    ClickTab(dlg, 2);
    Click(dlg, "cmdGetClipboard");
    Click(dlg, "cmdGetStaticList");
    auto* available = dlg.findChild<QTreeWidget*>("lvwStaticList");
    ASSERT_EQ(available->topLevelItemCount(), 5);
    ClickRow(available, 4);
    Click(dlg, "cmdAddStatic");
    Click(dlg, "cmdExit3");
    EXPECT_EQ(statics.size(), 1u);
    dlg.show();
    Click(dlg, "cmdApplyStatic");
    ClickTab(dlg, 0);
    Click(dlg, "cmdApplyFields");
    ClickTab(dlg, 1);
    Click(dlg, "cmdApplyPrompts");
    EXPECT_EQ(statics, (std::vector<requests::StaticItem>{{"OLD", "Kept until applied", ""},
                                                          {"36415", "Venipuncture", "LAB"}}));
    ASSERT_EQ(model.databaseFields.size(), 1u);
    EXPECT_EQ(model.databaseFields[0].longName, "PATIENT.LAST_NAME");
    ASSERT_EQ(model.prompts.size(), 1u);
    EXPECT_EQ(model.prompts[0].defaultValue(),
              "T\xBA"
              "E");
    EXPECT_EQ(model.prompts[0].dataEntryType(), "DATE_FROMTHRU");
    EXPECT_TRUE(ui.Messages().empty());
}

// Finding by typing, cancelling. (A double click on a row: the main window's "Save As..."
// test against the server.)
TEST(LookupPickerDialog, TypingChoosesTheCodeAndEscapeCancels) {
    const struct {
        const char *current, *typed;
        int chosenFirst;
        Qt::Key key;
        const char* answer;
        int result;
    } cases[] = {// The current text is chosen at first; typing finds the first code it begins.
                 {"xs    Extra", "x", 2, Qt::Key_Return, "XR    X-ray", QDialog::Accepted},
                 {"LAB    Laboratory", "", 0, Qt::Key_Escape, "CANCEL", QDialog::Rejected}};
    for (const auto& c : cases) {
        LookupPickerDialog dlg;
        dlg.SetEntries({{"LAB", "Laboratory"}, {"XR", "X-ray"}, {"XS", "Extra"}}, c.current);
        dlg.show();
        ASSERT_EQ(dlg.Table()->rowCount(), 3);
        EXPECT_EQ(dlg.Table()->selectionModel()->selectedRows().first().row(), c.chosenFirst);
        Keys(c.typed);
        Press(c.key);
        EXPECT_EQ(dlg.Answer(), c.answer) << c.current;
        EXPECT_EQ(dlg.result(), c.result) << c.current;
    }
}
