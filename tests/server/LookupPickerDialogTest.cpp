// The lookup picker's window driven as a user drives it: choosing, finding by typing,
// cancelling.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTableWidget>

#include "server/qt/LookupPickerDialog.h"
#include "support/UserInput.h"

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
