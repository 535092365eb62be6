#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "dialogs/LookupFakes.h"
#include "dialogs/qt/FrmPopUp.h"
#include "layout/FormSettings.h"
#include "shell/RecordingUserInterface.h"

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
    static void Retype(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
    }
};

TEST_F(PopUpForm, OkWaitsForOverwrite) {
    Open(true);
    EXPECT_TRUE(dlg.OverwriteBox()->isVisible());
    EXPECT_FALSE(dlg.OkButton()->isEnabled());
    QTest::mouseClick(dlg.OverwriteBox(), Qt::LeftButton);
    EXPECT_TRUE(dlg.OkButton()->isEnabled());
    QTest::mouseClick(dlg.OverwriteBox(), Qt::LeftButton);
    EXPECT_FALSE(dlg.OkButton()->isEnabled());
    // A click on the disabled button does nothing.
    QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(ui.calls.empty());

    dlg.hide();
    Open(false);
    EXPECT_FALSE(dlg.OverwriteBox()->isVisible());
    EXPECT_TRUE(dlg.OkButton()->isEnabled());
}

TEST_F(PopUpForm, TypingAndOkStoresTheSettings) {
    Open(false);
    EXPECT_EQ(dlg.NameField()->text(), "OLD");
    EXPECT_EQ(dlg.TypeList()->currentText(), "ZEPH");
    ASSERT_EQ(dlg.TypeList()->count(), 6);
    EXPECT_EQ(dlg.TypeList()->itemText(3), "ZEPH Oskarin");
    Retype(dlg.NameField(), "CS2");
    Retype(dlg.DescriptionField(), " Charge slip two ");
    Retype(dlg.TypeList()->lineEdit(), "My type");
    Retype(dlg.DocumentTypeField(), "PROG");
    QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_FALSE(dlg.Cancelled());
    EXPECT_EQ(settings.formCode, "CS2");
    EXPECT_EQ(settings.formName, "Charge slip two");
    EXPECT_EQ(settings.formType, "My type");
    EXPECT_EQ(settings.formDocumentType, "PROG");
}

TEST_F(PopUpForm, RefusalKeepsTheDialogOpenWithTheFocusOnTheField) {
    Open(false);
    Retype(dlg.DescriptionField(), "a/b");
    QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].title, "Invalid Description");
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), dlg.DescriptionField());
    EXPECT_EQ(settings.formName, "Old form");

    ui.Clear();
    Retype(dlg.NameField(), "2024");
    QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "Numbers not allowed for Name.");
    EXPECT_EQ(QApplication::focusWidget(), dlg.NameField());
}

TEST_F(PopUpForm, RefusedOverwriteCancels) {
    Open(true);
    std::vector<std::string> asked;
    dlg.SetConfirm([&](const std::string& t, const std::string&) {
        asked.push_back(t);
        return false;
    });
    Retype(dlg.NameField(), "NEW");
    QTest::mouseClick(dlg.OverwriteBox(), Qt::LeftButton);
    QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
    EXPECT_EQ(asked, std::vector<std::string>{"Are you sure you want to overwrite 'OLD' ?"});
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(dlg.Cancelled());
    EXPECT_EQ(settings.formCode, "OLD");
}

TEST_F(PopUpForm, EscapeCancels) {
    Open(false);
    Retype(dlg.NameField(), "X");
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(dlg.Cancelled());
    EXPECT_EQ(settings.formCode, "OLD");
}

TEST_F(PopUpForm, DocumentTypeLookUpAndLeaving) {
    Open(false);
    picker.answers = {"PROG    Progress note"};
    QTest::mouseClick(dlg.LookupButton(), Qt::LeftButton);
    EXPECT_EQ(dlg.DocumentTypeField()->text(), "PROG");
    EXPECT_EQ(picker.configured.size(), 1u);

    // Leaving the field validates it: the list's spelling comes back in upper case.
    Retype(dlg.DocumentTypeField(), "note");
    dlg.NameField()->setFocus();
    QTest::qWait(20);
    EXPECT_EQ(dlg.DocumentTypeField()->text(), "NOTE");
    EXPECT_FALSE(dlg.DocumentTypeField()->hasSelectedText());

    // Not valid: the picker opens; its cancel leaves the text.
    Retype(dlg.DocumentTypeField(), "bogus");
    dlg.DescriptionField()->setFocus();
    QTest::qWait(20);
    EXPECT_EQ(dlg.DocumentTypeField()->text(), "bogus");
    EXPECT_EQ(picker.shownWith.back(), "bogus");

    // Left empty: no list holds an empty code, so the picker opens as well.
    dlg.DocumentTypeField()->setFocus();
    dlg.DocumentTypeField()->clear();
    dlg.NameField()->setFocus();
    QTest::qWait(20);
    EXPECT_EQ(picker.shownWith.back(), "");
}

TEST_F(PopUpForm, FocusSelectsTheWholeField) {
    Open(false);
    dlg.NameField()->deselect();
    dlg.DescriptionField()->setFocus();
    QTest::qWait(20);
    EXPECT_EQ(dlg.DescriptionField()->selectedText(), "Old form");
}

TEST_F(PopUpForm, ShowSaveDialogRunsModally) {
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<FrmPopUp*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        d->OkButton()->click();
    });
    EXPECT_TRUE(dlg.ShowSaveDialog(settings, false));
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<FrmPopUp*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        d->CancelButton()->click();
    });
    EXPECT_FALSE(dlg.ShowSaveDialog(settings, false));
}

}  // namespace
