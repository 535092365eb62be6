#include "dialogs/PopUpLogic.h"
#include "layout/LayoutTestSupport.h"

namespace {

using Outcome = PopUpLogic::OkOutcome;
using Fields = std::vector<std::string>;
const std::string kSet = std::string("|") + '\xE6' + '\xC5' + ",:/\\`*?<>';@^~";

struct PopUp : ::testing::Test {
    FormSettings settings;
    RecordingUserInterface ui;
    PopUpLogic dlg;

    void SetUp() override { NameForm(settings, "OLD", "Old form", "ZEPH", "NOTE"); }
    void Fill(const std::string& n, const std::string& d, const std::string& t,
              const std::string& dt) {
        dlg.name = n, dlg.description = d, dlg.type = t, dlg.documentType = dt;
    }
    Fields Shown() const { return {dlg.name, dlg.description, dlg.type, dlg.documentType}; }
    Fields Stored() const {
        return {settings.formCode, settings.formName, settings.formType, settings.formDocumentType};
    }
};

// Name, then description, then type and document type; each refusal says one thing, puts the
// focus on its field and stores nothing.
TEST_F(PopUp, OkChecksTheFieldsInOrderAndStoresThemTrimmed) {
    using F = PopUpLogic::Field;
    const std::string chars = " cannot include the following characters: \r\n" + kSet;
    struct Row {
        std::string n, d, t, dt, text, title;
        F field;
    };
    std::vector<Row> rows = {
        {"   ", "d", "t", "x", "Please enter Form name.", "Saving Form", F::Name},
        {"", "", "", "", "Please enter Form name.", "Saving Form", F::Name},
        {"12345", "d", "t", "x", "Numbers not allowed for Name.", "Invalid Name", F::Name},
        {"1.5", "d", "t", "x", "Numbers not allowed for Name.", "Invalid Name", F::Name},
        {"N", "", "", "", "Please enter Form description.", "Saving Form", F::Description},
        {"N", "Visit: new", "t", "x", "Description" + chars, "Invalid Description", F::Description},
        {"N", " 42 ", "t", "x", "Numbers not allowed for Description.", "Invalid Description",
         F::Description},
        {"N", "D", " ", "", "Please enter Form type.", "Saving Form", F::Type},
        // An empty document type is reported before a bad type.
        {"N", "D", "ZE*PH", " ", "Please enter Document type.", "Saving Form", F::DocumentType},
        {"N", "D", "ZE*PH", "NOTE", "Type" + chars, "Invalid Type", F::Type},
        {"N", "D", "7", "NOTE", "Numbers not allowed for Type.", "Invalid Type", F::Type},
    };
    for (char c : kSet)
        rows.push_back(
            {std::string("ab") + c + "cd", "d", "t", "x", "Name" + chars, "Invalid Name", F::Name});
    // A disabled OK (the overwrite box unchecked) asks nothing and stores nothing.
    dlg.Load(settings, true);
    Fill("NEW", "New", "TEST", "PROG");
    EXPECT_EQ(dlg.Ok(settings, ui), Outcome::KeepOpen);
    EXPECT_TRUE(ui.calls.empty());
    EXPECT_EQ(Stored(), (Fields{"OLD", "Old form", "ZEPH", "NOTE"}));
    dlg.Load(settings, false);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.n + "/" + r.d + "/" + r.t + "/" + r.dt);
        Fill(r.n, r.d, r.t, r.dt);
        ui.Clear();
        EXPECT_EQ(dlg.Ok(settings, ui), Outcome::KeepOpen);
        EXPECT_EQ(OnlyMessage(ui), r.title + ": " + r.text);
        EXPECT_EQ(dlg.FocusField(), r.field);
        EXPECT_EQ(Stored(), (Fields{"OLD", "Old form", "ZEPH", "NOTE"}));
    }
    // The document type itself is not tested for characters or digits.
    Fill("  CS2024 ", " Charge slip 2 ", " ZEPH_R", " 12* ");
    ui.Clear();
    EXPECT_EQ(dlg.Ok(settings, ui), Outcome::Accepted);
    EXPECT_TRUE(ui.calls.empty());
    EXPECT_FALSE(dlg.Cancelled());
    EXPECT_EQ(dlg.FocusField(), F::None);
    EXPECT_EQ(Stored(), (Fields{"CS2024", "Charge slip 2", "ZEPH_R", "12*"}));
    EXPECT_EQ(Shown(), Stored());
}

}  // namespace
