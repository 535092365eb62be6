#include <gtest/gtest.h>

#include "dialogs/LookupFakes.h"
#include "dialogs/PopUpLogic.h"
#include "layout/FormSettings.h"
#include "shell/RecordingUserInterface.h"

namespace {

const std::string kSet = std::string("|") + '\xE6' + '\xC5' + ",:/\\`*?<>';@^~";

struct PopUp : ::testing::Test {
    FormSettings settings;
    RecordingUserInterface ui;
    PopUpLogic dlg;

    void SetUp() override {
        settings.formCode = "OLD";
        settings.formName = "Old form";
        settings.formType = "ZEPH";
        settings.formDocumentType = "NOTE";
    }
    void Fill(const std::string& n, const std::string& d, const std::string& t,
              const std::string& dt) {
        dlg.name = n;
        dlg.description = d;
        dlg.type = t;
        dlg.documentType = dt;
    }
    // The one message of a refused OK.
    void ExpectRefused(const std::string& text, const std::string& title, PopUpLogic::Field field) {
        EXPECT_EQ(dlg.Ok(settings, ui), PopUpLogic::OkOutcome::KeepOpen);
        auto m = ui.Messages();
        ASSERT_EQ(m.size(), 1u);
        EXPECT_EQ(m[0].text, text);
        EXPECT_EQ(m[0].title, title);
        EXPECT_EQ(dlg.FocusField(), field);
        EXPECT_EQ(settings.formCode, "OLD");
        EXPECT_EQ(settings.formName, "Old form");
        EXPECT_EQ(settings.formType, "ZEPH");
        EXPECT_EQ(settings.formDocumentType, "NOTE");
        ui.Clear();
    }
};

TEST_F(PopUp, FixedListsInOrder) {
    EXPECT_EQ(PopUpLogic::FormTypes(),
              (std::vector<std::string>{"ZEPH", "ZEPH_R", "ZEPH Prestan", "ZEPH Oskarin",
                                        "Interactive", "TEST"}));
    EXPECT_EQ(PopUpLogic::ForbiddenCharacters(), kSet);
    EXPECT_EQ(std::string(PopUpLogic::kDocumentTypeList), "IDT");
}

TEST_F(PopUp, LoadFillsFieldsAndOverwriteGuard) {
    dlg.Load(settings, false);
    EXPECT_EQ(dlg.name, "OLD");
    EXPECT_EQ(dlg.description, "Old form");
    EXPECT_EQ(dlg.type, "ZEPH");
    EXPECT_EQ(dlg.documentType, "NOTE");
    EXPECT_FALSE(dlg.OverwriteShown());
    EXPECT_TRUE(dlg.OkEnabled());

    dlg.Load(settings, true);
    EXPECT_TRUE(dlg.OverwriteShown());
    EXPECT_FALSE(dlg.OkEnabled());
    dlg.SetOverwriteChecked(true);
    EXPECT_TRUE(dlg.OkEnabled());
    dlg.SetOverwriteChecked(false);
    EXPECT_FALSE(dlg.OkEnabled());
    // A disabled OK never stores anything, even when called.
    EXPECT_EQ(dlg.Ok(settings, ui), PopUpLogic::OkOutcome::KeepOpen);
    EXPECT_TRUE(ui.calls.empty());
}

TEST_F(PopUp, AcceptsTrimmedValuesAndStoresThem) {
    dlg.Load(settings, false);
    Fill("  CS2024 ", " Charge slip 2 ", " ZEPH_R", " PROG ");
    EXPECT_EQ(dlg.Ok(settings, ui), PopUpLogic::OkOutcome::Accepted);
    EXPECT_TRUE(ui.calls.empty());
    EXPECT_FALSE(dlg.Cancelled());
    EXPECT_EQ(settings.formCode, "CS2024");
    EXPECT_EQ(settings.formName, "Charge slip 2");
    EXPECT_EQ(settings.formType, "ZEPH_R");
    EXPECT_EQ(settings.formDocumentType, "PROG");
}

TEST_F(PopUp, NameChecks) {
    dlg.Load(settings, false);
    Fill("   ", "d", "t", "x");
    ExpectRefused("Please enter Form name.", "Saving Form", PopUpLogic::Field::Name);
    Fill("12345", "d", "t", "x");
    ExpectRefused("Numbers not allowed for Name.", "Invalid Name", PopUpLogic::Field::Name);
    Fill("1.5", "d", "t", "x");
    ExpectRefused("Numbers not allowed for Name.", "Invalid Name", PopUpLogic::Field::Name);
    for (char c : kSet) {
        Fill(std::string("ab") + c + "cd", "d", "t", "x");
        ExpectRefused("Name cannot include the following characters: \r\n" + kSet, "Invalid Name",
                      PopUpLogic::Field::Name);
    }
    Fill("ABC123", "d", "t", "x");
    EXPECT_EQ(dlg.Ok(settings, ui), PopUpLogic::OkOutcome::Accepted);
    EXPECT_EQ(settings.formCode, "ABC123");
}

TEST_F(PopUp, DescriptionChecksComeAfterName) {
    dlg.Load(settings, false);
    Fill("", "", "", "");
    ExpectRefused("Please enter Form name.", "Saving Form", PopUpLogic::Field::Name);
    Fill("N", "", "", "");
    ExpectRefused("Please enter Form description.", "Saving Form", PopUpLogic::Field::Description);
    Fill("N", "Visit: new", "t", "x");
    ExpectRefused("Description cannot include the following characters: \r\n" + kSet,
                  "Invalid Description", PopUpLogic::Field::Description);
    Fill("N", " 42 ", "t", "x");
    ExpectRefused("Numbers not allowed for Description.", "Invalid Description",
                  PopUpLogic::Field::Description);
}

TEST_F(PopUp, TypeAndDocumentTypeOrder) {
    dlg.Load(settings, false);
    Fill("N", "D", " ", "");
    ExpectRefused("Please enter Form type.", "Saving Form", PopUpLogic::Field::Type);
    // An empty document type is reported before a bad type.
    Fill("N", "D", "ZE*PH", " ");
    ExpectRefused("Please enter Document type.", "Saving Form", PopUpLogic::Field::DocumentType);
    Fill("N", "D", "ZE*PH", "NOTE");
    ExpectRefused("Type cannot include the following characters: \r\n" + kSet, "Invalid Type",
                  PopUpLogic::Field::Type);
    Fill("N", "D", "7", "NOTE");
    ExpectRefused("Numbers not allowed for Type.", "Invalid Type", PopUpLogic::Field::Type);
    // The document type itself is not tested for characters or digits.
    Fill("N", "D", "Interactive", "12*");
    EXPECT_EQ(dlg.Ok(settings, ui), PopUpLogic::OkOutcome::Accepted);
    EXPECT_EQ(settings.formDocumentType, "12*");
    EXPECT_EQ(settings.formType, "Interactive");
}

TEST_F(PopUp, OverwriteConfirmation) {
    dlg.Load(settings, true);
    dlg.SetOverwriteChecked(true);
    Fill("NEW", "New", "TEST", "PROG");
    ui.boolAnswers = {false};
    EXPECT_EQ(dlg.Ok(settings, ui), PopUpLogic::OkOutcome::Cancelled);
    ASSERT_EQ(ui.calls.size(), 1u);
    EXPECT_EQ(ui.calls[0].kind, RecordingUserInterface::Kind::OkCancel);
    EXPECT_EQ(ui.calls[0].text, "Are you sure you want to overwrite 'OLD' ?");
    EXPECT_EQ(ui.calls[0].title, "Confirm Overwrite");
    EXPECT_TRUE(dlg.Cancelled());
    EXPECT_EQ(settings.formCode, "OLD");
    EXPECT_EQ(settings.formDocumentType, "NOTE");

    // Confirmed: the checks still run after the question.
    ui.Clear();
    dlg.Load(settings, true);
    dlg.SetOverwriteChecked(true);
    Fill("", "New", "TEST", "PROG");
    std::vector<std::string> asked;
    auto confirm = [&](const std::string& t, const std::string& title) {
        asked.push_back(title + ":" + t);
        return true;
    };
    EXPECT_EQ(dlg.Ok(settings, ui, confirm), PopUpLogic::OkOutcome::KeepOpen);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "Confirm Overwrite:Are you sure you want to overwrite 'OLD' ?");
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "Please enter Form name.");
    Fill("NEW", "New", "TEST", "PROG");
    EXPECT_EQ(dlg.Ok(settings, ui, confirm), PopUpLogic::OkOutcome::Accepted);
    EXPECT_EQ(settings.formCode, "NEW");
    EXPECT_FALSE(dlg.Cancelled());
}

TEST_F(PopUp, LookUpButton) {
    FakePicker picker;
    dlg.Load(settings, false);
    EXPECT_FALSE(dlg.LookUpDocumentType(picker));  // CANCEL
    EXPECT_EQ(dlg.documentType, "NOTE");
    ASSERT_EQ(picker.configured.size(), 1u);
    EXPECT_EQ(picker.configured[0].substr(0, 4), "IDT|");
    EXPECT_EQ(picker.shownWith, std::vector<std::string>{"NOTE"});
    picker.answers = {"PROG    Progress note"};
    EXPECT_TRUE(dlg.LookUpDocumentType(picker));
    EXPECT_EQ(dlg.documentType, "PROG");
}

TEST_F(PopUp, LeavingTheDocumentType) {
    FakePicker picker;
    FakeValidator validator;
    validator.codes = {{"PROG", "prog"}};
    dlg.Load(settings, false);

    dlg.documentType = " Prog";
    EXPECT_TRUE(dlg.LeaveDocumentType(validator, picker));
    EXPECT_EQ(dlg.documentType, "PROG");  // the list's form, upper case
    EXPECT_EQ(validator.asked, std::vector<std::string>{"IDT:Prog"});
    EXPECT_TRUE(picker.shownWith.empty());

    // Not valid: the picker opens; cancelling it leaves the typed text.
    dlg.documentType = "ZZZ";
    EXPECT_FALSE(dlg.LeaveDocumentType(validator, picker));
    EXPECT_EQ(dlg.documentType, "ZZZ");
    EXPECT_EQ(picker.shownWith, std::vector<std::string>{"ZZZ"});

    picker.answers = {"OPN    Operative note"};
    EXPECT_TRUE(dlg.LeaveDocumentType(validator, picker));
    EXPECT_EQ(dlg.documentType, "OPN");

    // Nothing typed is not a document type either: the picker opens.
    dlg.documentType = "  ";
    validator.asked.clear();
    picker.answers = {"PROG    Progress note"};
    EXPECT_TRUE(dlg.LeaveDocumentType(validator, picker));
    EXPECT_EQ(validator.asked, std::vector<std::string>{"IDT:"});
    EXPECT_EQ(dlg.documentType, "PROG");
}

}  // namespace
