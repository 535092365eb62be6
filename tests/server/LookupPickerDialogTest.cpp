// The lookup picker's window driven as a user drives it: choosing, finding by typing,
// cancelling.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTableWidget>
#include <fstream>

#include "server/qt/LookupPickerDialog.h"
#include "support/UserInput.h"

namespace {
// One application for the whole program, gone before static destruction starts.
class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        // A screen as large as a desk's, so that every window fits on it to be clicked.
        const std::string config = ::testing::TempDir() + "fd_desk_screen.json";
        std::ofstream(config) << R"({"screens": [{"name": "desk", "x": 0, "y": 0, "width": 1920,
                                   "height": 1200, "logicalDpi": 96}]})";
        if (qgetenv("QT_QPA_PLATFORM") == "offscreen")
            qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str());
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
}  // namespace

TEST(LookupPickerDialog, DoubleClickOrTypingChoosesTheCodeAndEscapeCancels) {
    const struct {
        const char *current, *typed;
        int chosenFirst, doubleClicked;  // a row, or -1: a key ends it
        Qt::Key key;
        const char* answer;
        int result;
    } cases[] = {{"", "", 0, 2, Qt::Key_unknown, "XS    Extra", QDialog::Accepted},
                 // The current text is chosen at first; typing finds the first code it begins.
                 {"xs    Extra", "x", 2, -1, Qt::Key_Return, "XR    X-ray", QDialog::Accepted},
                 {"LAB    Laboratory", "", 0, -1, Qt::Key_Escape, "CANCEL", QDialog::Rejected}};
    for (const auto& c : cases) {
        LookupPickerDialog dlg;
        dlg.SetEntries({{"LAB", "Laboratory"}, {"XR", "X-ray"}, {"XS", "Extra"}}, c.current);
        dlg.show();
        ASSERT_EQ(dlg.Table()->rowCount(), 3);
        EXPECT_EQ(dlg.Table()->selectionModel()->selectedRows().first().row(), c.chosenFirst);
        if (c.doubleClicked >= 0) {
            QRect r = dlg.Table()->visualItemRect(dlg.Table()->item(c.doubleClicked, 0));
            ClickAt(dlg.Table()->viewport(), r.center());
            DoubleClickAt(dlg.Table()->viewport(), r.center());
        } else {
            Keys(c.typed);
            if (c.key != Qt::Key_unknown) Press(c.key);
        }
        EXPECT_EQ(dlg.Answer(), c.answer) << c.current;
        EXPECT_EQ(dlg.result(), c.result) << c.current;
    }
}
