#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "dialogs/LookupFakes.h"
#include "dialogs/UserInput.h"
#include "dialogs/qt/FrmPopUp.h"
#include "layout/FormSettings.h"
#include "shell/RecordingUserInterface.h"

using namespace userinput;

namespace {

struct PopUpForm : ::testing::Test {
    FormSettings settings;
    RecordingUserInterface ui;
    FakePicker picker;
    FakeValidator validator;
    FrmPopUp dlg{ui, &picker, &validator};

    void SetUp() override {
        settings.formCode = "OLD";
        settings.formName = "Old form";
        settings.formType = "ZEPH";
        settings.formDocumentType = "NOTE";
        validator.codes = {{"PROG", "prog"}, {"NOTE", "note"}};
    }
    void Open(bool exists) {
        dlg.Prepare(settings, exists);
        dlg.show();
        dlg.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    }
};

TEST_F(PopUpForm, OkWaitsForOverwriteAndARefusedOverwriteCancels) {
    Open(true);
    EXPECT_TRUE(dlg.OverwriteBox()->isVisible());
    EXPECT_FALSE(dlg.OkButton()->isEnabled());
    Check(dlg.OverwriteBox());
    EXPECT_TRUE(dlg.OkButton()->isEnabled());
    Check(dlg.OverwriteBox());
    EXPECT_FALSE(dlg.OkButton()->isEnabled());
    // A click on the disabled button does nothing.
    Click(dlg.OkButton());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(ui.calls.empty());

    std::vector<std::string> asked;
    dlg.SetConfirm([&](const std::string& t, const std::string&) {
        asked.push_back(t);
        return false;
    });
    Retype(dlg.NameField(), "NEW");
    Check(dlg.OverwriteBox());
    Click(dlg.OkButton());
    EXPECT_EQ(asked, std::vector<std::string>{"Are you sure you want to overwrite 'OLD' ?"});
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(dlg.Cancelled());
    EXPECT_EQ(settings.formCode, "OLD");

    Open(false);
    EXPECT_FALSE(dlg.OverwriteBox()->isVisible());
    EXPECT_TRUE(dlg.OkButton()->isEnabled());
}

TEST_F(PopUpForm, TypingAndOkStoresTheSettings) {
    Open(false);
    EXPECT_EQ(dlg.NameField()->text(), "OLD");
    QStringList types;
    for (int i = 0; i < dlg.TypeList()->count(); ++i) types << dlg.TypeList()->itemText(i);
    EXPECT_EQ(types, QStringList({"ZEPH", "ZEPH_R", "ZEPH Prestan", "ZEPH Oskarin", "Interactive",
                                  "TEST"}));
    EXPECT_EQ(dlg.TypeList()->currentText(), "ZEPH");
    // A field taking the focus selects all of its text.
    Click(dlg.DescriptionField());
    QTest::qWait(20);
    EXPECT_EQ(dlg.DescriptionField()->selectedText(), "Old form");
    Retype(dlg.NameField(), "CS2");
    Retype(dlg.DescriptionField(), " Charge slip two ");
    Retype(dlg.TypeList()->lineEdit(), "My type");
    Retype(dlg.DocumentTypeField(), "PROG");
    Click(dlg.OkButton());
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_FALSE(dlg.Cancelled());
    EXPECT_EQ(settings.formCode, "CS2");
    EXPECT_EQ(settings.formName, "Charge slip two");
    EXPECT_EQ(settings.formType, "My type");
    EXPECT_EQ(settings.formDocumentType, "PROG");
}

TEST_F(PopUpForm, RefusalKeepsTheDialogOpenWithTheFocusOnTheFieldAndEscapeCancels) {
    Open(false);
    Retype(dlg.DescriptionField(), "a/b");
    Click(dlg.OkButton());
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].title, "Invalid Description");
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), dlg.DescriptionField());
    EXPECT_EQ(settings.formName, "Old form");

    ui.Clear();
    Retype(dlg.NameField(), "2024");
    Click(dlg.OkButton());
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "Numbers not allowed for Name.");
    EXPECT_EQ(QApplication::focusWidget(), dlg.NameField());

    Retype(dlg.NameField(), "X");
    Key(Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(dlg.Cancelled());
    EXPECT_EQ(settings.formCode, "OLD");
}

TEST_F(PopUpForm, DocumentTypeLookUpAndLeaving) {
    Open(false);
    picker.answers = {"PROG    Progress note"};
    Click(dlg.LookupButton());
    EXPECT_EQ(dlg.DocumentTypeField()->text(), "PROG");
    EXPECT_EQ(picker.configured.size(), 1u);

    // Leaving the field validates it: the list's spelling comes back in upper case.
    Retype(dlg.DocumentTypeField(), "note");
    Click(dlg.NameField());
    QTest::qWait(20);
    EXPECT_EQ(dlg.DocumentTypeField()->text(), "NOTE");
    EXPECT_FALSE(dlg.DocumentTypeField()->hasSelectedText());

    // Not valid: the picker opens; its cancel leaves the text.
    Retype(dlg.DocumentTypeField(), "bogus");
    Click(dlg.DescriptionField());
    QTest::qWait(20);
    EXPECT_EQ(dlg.DocumentTypeField()->text(), "bogus");
    EXPECT_EQ(picker.shownWith.back(), "bogus");

    // Left empty: no list holds an empty code, so the picker opens as well.
    Retype(dlg.DocumentTypeField(), "");
    Click(dlg.NameField());
    QTest::qWait(20);
    EXPECT_EQ(picker.shownWith.back(), "");
}

TEST_F(PopUpForm, ShowSaveDialogRunsModally) {
    for (bool ok : {true, false}) {
        QTimer::singleShot(0, [this, ok] {
            ASSERT_EQ(QApplication::activeModalWidget(), &dlg);
            ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
            if (ok) Click(dlg.OkButton());
            if (!ok) Click(dlg.CancelButton());
        });
        EXPECT_EQ(dlg.ShowSaveDialog(settings, false), ok);
    }
}

}  // namespace
