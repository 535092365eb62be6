// The lookup picker's window driven by events: choosing, finding by typing, cancelling.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "ScriptedComm.h"
#include "server/qt/LookupPickerDialog.h"

namespace {
// One application for the whole program, gone before static destruction starts.
class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "server_qt_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
    }
    void TearDown() override { delete app_; }

  private:
    QApplication* app_ = nullptr;
};
[[maybe_unused]] auto* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);
const std::vector<LookupEntry> kEntries = {{"LAB", "Laboratory"}, {"XR", "X-ray"}, {"XS", "Extra"}};
}  // namespace

TEST(LookupPickerDialog, DoubleClickChoosesCodeAndDescription) {
    LookupPickerDialog dlg;
    dlg.SetEntries(kEntries, "");
    dlg.show();
    ASSERT_EQ(dlg.Table()->rowCount(), 3);
    auto* cell = dlg.Table()->item(1, 0);
    QRect r = dlg.Table()->visualItemRect(cell);
    QTest::mouseClick(dlg.Table()->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(dlg.Table()->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(dlg.Answer(), "XR    X-ray");
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST(LookupPickerDialog, TypingFindsTheFirstCodeWithThatPrefix) {
    LookupPickerDialog dlg;
    dlg.SetEntries(kEntries, "LAB    Laboratory");
    dlg.show();
    EXPECT_EQ(dlg.Table()->selectionModel()->selectedRows().first().row(), 0);  // current text
    QTest::keyClicks(dlg.Filter(), "xs");
    dlg.AcceptCurrent();
    EXPECT_EQ(dlg.Answer(), "XS    Extra");
}

TEST(LookupPickerDialog, EscapeCancels) {
    LookupPickerDialog dlg;
    dlg.SetEntries(kEntries, "");
    dlg.show();
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(dlg.Answer(), "CANCEL");
}

TEST(QtLookupPicker, ShowsTheServersListAndReturnsTheChoice) {
    ScriptedComm comm;
    comm.Ok({"|OK||", "A1    First", "B2    Second", "|END|"});
    QtLookupPicker picker(comm);
    picker.Configure("CHL", "Charge Slip", "1", "1");
    QString title;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<LookupPickerDialog*>(QApplication::activeModalWidget());
        if (!dlg) return;
        title = dlg->windowTitle();
        dlg->Table()->selectRow(1);
        dlg->AcceptCurrent();
    });
    EXPECT_EQ(picker.Show(""), "B2    Second");
    EXPECT_EQ(title, QStringLiteral("Charge Slip"));
    EXPECT_EQ(comm.sent, (std::vector<std::string>{"|GET|CODE1|CHL"}));
}
