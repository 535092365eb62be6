#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include "dialogs/LookupFakes.h"
#include "dialogs/qt/FrmPopUp.h"
#include "layout/LayoutTestSupport.h"
#include "support/UserInput.h"

namespace {

struct PopUpForm : ::testing::Test {
    FormSettings settings;
    RecordingUserInterface ui;
    FakePicker picker;
    FakeValidator validator;
    FrmPopUp dlg{ui, &picker, &validator};

    void SetUp() override {
        NameForm(settings, "OLD", "Old form", "ZEPH", "NOTE");
        validator.codes = {{"PROG", "prog"}, {"NOTE", "note"}};
    }
    void Open(bool exists) {
        dlg.Prepare(settings, exists);
        dlg.show();
        InFront(&dlg);
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

    std::vector<std::string> asked;
    dlg.SetConfirm([&](const std::string& t, const std::string&) {
        asked.push_back(t);
        return false;
    });
    Type(dlg.NameField(), "NEW");
    Check(dlg.OverwriteBox());
    ClickAt(dlg.OkButton());
    EXPECT_EQ(asked, std::vector<std::string>{"Are you sure you want to overwrite 'OLD' ?"});
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(dlg.Cancelled());
    EXPECT_EQ(settings.formCode, "OLD");

    Open(false);
    EXPECT_FALSE(dlg.OverwriteBox()->isVisible());
    EXPECT_TRUE(dlg.OkButton()->isEnabled());
    EXPECT_FALSE(dlg.Cancelled());
}

TEST_F(PopUpForm, TypingAndOkStoresTheSettings) {
    Open(false);
    EXPECT_EQ(dlg.NameField()->text(), "OLD");
    EXPECT_EQ(dlg.TypeList()->currentText(), "ZEPH");
    // A field taking the focus selects all of its text.
    ClickAt(dlg.DescriptionField());
    QTest::qWait(20);
    EXPECT_EQ(dlg.DescriptionField()->selectedText(), "Old form");
    Type(dlg.NameField(), "CS2");
    Type(dlg.DescriptionField(), " Charge slip two ");
    Type(dlg.TypeList()->lineEdit(), "My type");
    Type(dlg.DocumentTypeField(), "PROG");
    ClickAt(dlg.OkButton());
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_FALSE(dlg.Cancelled());
    EXPECT_EQ(settings.formCode + "|" + settings.formName + "|" + settings.formType + "|" +
                  settings.formDocumentType,
              "CS2|Charge slip two|My type|PROG");
}

TEST_F(PopUpForm, RefusalKeepsTheDialogOpenWithTheFocusOnTheFieldAndEscapeCancels) {
    Open(false);
    Type(dlg.DescriptionField(), "a/b");
    ClickAt(dlg.OkButton());
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].title, "Invalid Description");
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), dlg.DescriptionField());
    EXPECT_EQ(settings.formName, "Old form");

    ui.Clear();
    Type(dlg.NameField(), "2024");
    ClickAt(dlg.OkButton());
    EXPECT_EQ(OnlyMessage(ui), "Invalid Name: Numbers not allowed for Name.");
    EXPECT_EQ(QApplication::focusWidget(), dlg.NameField());

    Type(dlg.NameField(), "X");
    Press(Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(dlg.Cancelled());
    EXPECT_EQ(settings.formCode, "OLD");
}

TEST_F(PopUpForm, DocumentTypeLookUpAndLeaving) {
    Open(false);
    ClickAt(dlg.LookupButton());  // cancelled: nothing changes
    EXPECT_EQ(dlg.DocumentTypeField()->text(), "NOTE");
    picker.answers = {"PROG    Progress note"};
    ClickAt(dlg.LookupButton());
    EXPECT_EQ(dlg.DocumentTypeField()->text(), "PROG");
    EXPECT_EQ(picker.configured.at(0).substr(0, 4), "IDT|");

    // Leaving the field validates it, trimmed: the list's spelling comes back in upper case.
    Type(dlg.DocumentTypeField(), " note");
    ClickAt(dlg.NameField());
    QTest::qWait(20);
    EXPECT_EQ(dlg.DocumentTypeField()->text(), "NOTE");
    EXPECT_EQ(validator.asked.back(), "IDT:note");
    EXPECT_FALSE(dlg.DocumentTypeField()->hasSelectedText());

    // Not valid: the picker opens; its cancel leaves the text, its choice replaces it.
    for (const char* chosen : {"", "OPN    Operative note"}) {
        if (*chosen) picker.answers = {chosen};
        Type(dlg.DocumentTypeField(), "bogus");
        ClickAt(dlg.DescriptionField());
        QTest::qWait(20);
        EXPECT_EQ(dlg.DocumentTypeField()->text(), *chosen ? "OPN" : "bogus");
        EXPECT_EQ(picker.shownWith.back(), "bogus");
    }

    // Left empty: no list holds an empty code, so the picker opens as well.
    Type(dlg.DocumentTypeField(), "");
    ClickAt(dlg.NameField());
    QTest::qWait(20);
    EXPECT_EQ(picker.shownWith.back(), "");
}

TEST_F(PopUpForm, ShowSaveDialogRunsModally) {
    for (bool ok : {true, false}) {
        QTimer::singleShot(0, [this, ok] {
            ASSERT_EQ(QApplication::activeModalWidget(), &dlg);
            ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
            if (ok) ClickAt(dlg.OkButton());
            if (!ok) ClickAt(dlg.CancelButton());
        });
        EXPECT_EQ(dlg.ShowSaveDialog(settings, false), ok);
    }
}

}  // namespace
