// The data catalogue's window against the real reference server with its demo data,
// driven by clicks and keys.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>

#include "RepositoryServerProcess.h"
#include "server/RepositoryCommands.h"
#include "server/TcpComm.h"
#include "server/qt/FrmDBLists.h"
#include "shell/RecordingUserInterface.h"

namespace {
void Click(QWidget& dlg, const char* name) {
    auto* b = dlg.findChild<QPushButton*>(name);
    ASSERT_NE(b, nullptr) << name;
    QTest::mouseClick(b, Qt::LeftButton);
}
void ClickRow(QTreeWidget* view, int row) {
    QRect r = view->visualItemRect(view->topLevelItem(row));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
}
}  // namespace

TEST(FrmDBLists, EachTabFilledFromTheServerAndAppliedIntoTheForm) {
    if (RepositoryServerProcess::ProgramPath().empty()) GTEST_SKIP() << "no reference server";
    auto dir = std::filesystem::temp_directory_path() / ("fd_cat_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    RepositoryServerProcess server((dir / "repo.db").string(), true);
    ASSERT_GT(server.Port(), 0);
    RecordingUserInterface ui;
    TcpComm comm;
    comm.SetTimeouts(2000, 5000);
    std::string error;
    ASSERT_TRUE(
        requests::OpenConnection(comm, "127.0.0.1", std::to_string(server.Port()), "1", error));
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
    QTest::keyClick(tables, Qt::Key_Down);  // PATIENT
    ASSERT_GE(fields->count(), 2);
    QTest::mouseClick(fields->viewport(), Qt::LeftButton, {},
                      fields->visualItemRect(fields->item(1)).center());
    EXPECT_EQ(dlg.findChild<QLabel*>("lblFieldCode")->text(), "PT_NAME");
    auto props = dlg.findChildren<QLabel*>("lblProperty");
    ASSERT_EQ(props.size(), 7);
    EXPECT_EQ(props[0]->text(), "Last Name");
    EXPECT_EQ(props[0]->palette().color(QPalette::Window), QColor(255, 255, 255));
    Click(dlg, "cmdAdd");
    Click(dlg, "cmdAdd");
    EXPECT_EQ(dlg.findChild<QTreeWidget*>("lvwDBFields")->topLevelItemCount(), 1);

    // A from/thru prompt, then modified while its row blinks.
    dlg.findChild<QTabWidget*>("TabStrip1")->setCurrentIndex(1);
    QTest::keyClicks(dlg.findChild<QLineEdit*>("txtID"), "PERIOD");
    QTest::keyClicks(dlg.findChild<QLineEdit*>("txtCaption"), "Period");
    dlg.findChild<QComboBox*>("cmbPromptType")->setCurrentText("Date(From/Thru)");
    EXPECT_TRUE(dlg.findChild<QLineEdit*>("txtDefaultDouble")->isVisible());
    EXPECT_FALSE(dlg.findChild<QComboBox*>("cmbLookupCode")->isVisible());
    QTest::keyClicks(dlg.findChild<QLineEdit*>("txtDefault"), "T");
    QTest::keyClicks(dlg.findChild<QLineEdit*>("txtDefaultDouble"), "E");
    Click(dlg, "cmdAddPrompt");
    auto* prompts = dlg.findChild<QTreeWidget*>("lvwPromptsSelected");
    ASSERT_EQ(prompts->topLevelItemCount(), 1);
    EXPECT_EQ(prompts->topLevelItem(0)->text(3), QString("T\u00BA"
                                                         "E"));
    ClickRow(prompts, 0);
    EXPECT_TRUE(dlg.findChild<QTimer*>("tmrModifyBlink")->isActive());
    QTest::keyClicks(dlg.findChild<QLineEdit*>("txtCaption"), " range");
    Click(dlg, "cmdModify");
    EXPECT_FALSE(dlg.findChild<QTimer*>("tmrModifyBlink")->isActive());
    EXPECT_EQ(prompts->topLevelItem(0)->text(1), "Period range");

    // Static items from the clipboard and from another form; Exit applies nothing.
    dlg.findChild<QTabWidget*>("TabStrip1")->setCurrentIndex(2);
    Click(dlg, "cmdGetClipboard");
    Click(dlg, "cmdGetStaticList");
    auto* available = dlg.findChild<QTreeWidget*>("lvwStaticList");
    ASSERT_EQ(available->topLevelItemCount(), 5);
    ClickRow(available, 4);
    Click(dlg, "cmdAddStatic");
    Click(dlg, "cmdExit3");
    EXPECT_EQ(statics.size(), 1u);
    Click(dlg, "cmdApplyStatic");
    Click(dlg, "cmdApplyFields");
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
    std::filesystem::remove_all(dir);
}
