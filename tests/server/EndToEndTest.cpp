// The designer's commands against the real repository server: an upload split by a
// restart, the demo data's look-ups, saved records and pictures, and the catalogue.
// (Saving, listing, fetching and deleting forms: the form flows' tests.)
#include "../dialogs/LookupFakes.h"
#include "ServerTestSupport.h"
#include "server/CatalogueLogic.h"

using namespace requests;

// (The catalogue, code lists and static lists the logic reads are proven with it.)
TEST_F(DemoServer, LookupsSavedRecordsAPictureTheCatalogueAndAnUploadSplitByARestart) {
    SCOPED_TRACE("look-ups, saved records and a picture");
    ServerLookupValidator validator;
    validator.Link(nullptr, &comm);
    std::vector<LookupEntry> docTypes;
    std::string error, corrected;
    EXPECT_FALSE(FetchLookupList(comm, "NOSUCH", docTypes, error));
    EXPECT_EQ(error, "ERROR: code list not found");
    ASSERT_TRUE(FetchLookupList(comm, "IDT", docTypes, error)) << error;
    ASSERT_FALSE(docTypes.empty());
    EXPECT_EQ(ValidateLookupByServer(validator, "IDT", text::ToLower(docTypes[0].code), corrected),
              "True");
    EXPECT_EQ(corrected, text::ToUpper(docTypes[0].code));
    EXPECT_EQ(ValidateLookupByServer(validator, "IDT", "NOT-A-TYPE", corrected), "NOT VALID");

    FileUtilityComponent util(dir.string());
    EXPECT_TRUE(EMRRecordsAlreadyExist(comm, ui, util, "EMRVITALS", true));
    EXPECT_FALSE(EMRRecordsAlreadyExist(comm, ui, util, "EMRVITALS", false));
    EXPECT_TRUE(EMRRecordsAlreadyExist(comm, ui, util, "INTAKE", false));
    EXPECT_FALSE(EMRRecordsAlreadyExist(comm, ui, util, "CHARGE01", true));

    FormsDefinitions list;
    ASSERT_TRUE(UpdateFormsDefinitions(comm, ui, list));
    std::string bytes;
    ASSERT_TRUE(LoadImageBytes(comm, ui, "CHARGE01", list.ImageTimeStamp("CHARGE01", "slipbg.bmp"),
                               "slipbg.bmp", bytes));
    EXPECT_GT(bytes.size(), 9000u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_TRUE(ui.Messages().empty());

    SCOPED_TRACE("catalogue fields, prompts and static items applied into the layout");
    CatalogueLogic cat(comm, ui);
    FormModel model;
    std::vector<StaticItem> statics;
    cat.FillSelected(model, statics);
    ASSERT_TRUE(cat.GetTablesData());
    ASSERT_GE(cat.Tables().size(), 4u);
    cat.ChooseTable(0);
    ASSERT_GE(cat.TableFields().size(), 2u);
    EXPECT_FALSE(cat.AddField() || cat.AddFunction("AGE"));  // no field chosen yet
    ASSERT_TRUE(cat.ChooseField(1));  // PATIENT.LAST_NAME (its texts: the window's test)
    // Numbered and function codes keep the long name (the same field twice: the window's).
    EXPECT_TRUE(cat.AddField());
    EXPECT_TRUE(cat.AddMultiple("1", "3"));
    EXPECT_TRUE(cat.AddFunction(" xname"));
    std::vector<CatalogueLogic::FieldRow> want;
    for (const char* code :
         {"~PT_NAME", "~PT_NAME?1", "~PT_NAME?2", "~PT_NAME?3", "~$$XNAME(PT_NAME)"})
        want.push_back({code, "PATIENT.LAST_NAME"});
    EXPECT_EQ(cat.fields, want);
    for (auto [from, thru] :
         {std::pair{"0", "3"}, {"5", "2"}, {"1", ""}, {"x", "2"}, {"1", "10001"}})
        EXPECT_FALSE(cat.AddMultiple(from, thru)) << from << "-" << thru;
    EXPECT_FALSE(cat.AddFunction(""));
    ASSERT_EQ(ui.Messages().size(), 6u);
    EXPECT_EQ(ui.Messages()[0].text, "Please enter correct \"from - to\" values.");
    EXPECT_EQ(ui.Messages()[5].text, "Please select or enter Function Name.");
    EXPECT_EQ(cat.fields.size(), 5u);
    ui.Clear();

    // Prompts: a from/thru default joins its values with character 186.
    CatalogueLogic::PromptRow dates{
        "PERIOD", "Period", "Date(From/Thru)", CatalogueLogic::JoinDefaults("T", "E"),
        "",       "Y",      "VS_DOS",          ""};
    CatalogueLogic::PromptRow doctor{"DOC", "Doctor", "Lookup", "", "PV", "N", "", ""};
    EXPECT_TRUE(cat.AddPrompt(dates));
    EXPECT_TRUE(cat.AddPrompt(doctor));
    FakePicker picker;
    picker.answers = {"DRJONES    Anna Jones MD"};
    EXPECT_EQ(CatalogueLogic::PickLookupCode(picker, "PV", ""), "DRJONES");
    auto used = [](const std::string& id) { return id == "DOC"; };
    ui.boolAnswers = {false};
    EXPECT_FALSE(cat.RemovePrompt(1, used));
    EXPECT_TRUE(cat.RemovePrompt(0, used));  // unused: no question
    ASSERT_EQ(ui.calls.size(), 1u);
    EXPECT_EQ(ui.calls[0].text,
              "Prompt currently used on the form.\r\nDo you still want to remove it?");
    EXPECT_EQ(ui.calls[0].title, "Remove Prompt?");
    ui.boolAnswers = {true};
    EXPECT_TRUE(cat.RemovePrompt(0, used));
    EXPECT_TRUE(cat.AddPrompt(dates));
    EXPECT_TRUE(cat.AddPrompt(doctor));
    EXPECT_EQ(CatalogueLogic::Move(cat.prompts, 1, -1), 0);
    ui.Clear();

    // Static items: a charge-slip set's codes, then the clipboard (another form's: the
    // window's test).
    picker.answers = {"OFFICE    Office Visits"};
    ASSERT_TRUE(cat.ChargeSlipSets(picker));
    EXPECT_EQ(picker.configured.back().substr(0, 4), "CHL|");
    ASSERT_EQ(cat.available.size(), 6u);
    EXPECT_EQ(cat.available[0], (StaticItem{"NEW PATIENT", "", ""}));
    EXPECT_EQ(cat.available[4], (StaticItem{"99213", "Established, low", "15"}));
    cat.LoadClipboard("|OK||A1\tAlpha\r\nB2\tBeta\tX\textra\r\n|END|");
    ASSERT_EQ(cat.available.size(), 8u);
    EXPECT_EQ(cat.available[7], (StaticItem{"B2", "Beta", "X"}));
    cat.AddStatic({4, 7});
    EXPECT_TRUE(ui.Messages().empty());

    cat.ApplyFields(model);
    cat.ApplyPrompts(model);
    cat.ApplyStatic(statics);
    EXPECT_EQ(statics, (std::vector<StaticItem>{cat.available[4], cat.available[7]}));
    ASSERT_EQ(model.databaseFields.size(), 5u);
    EXPECT_EQ(model.databaseFields[4].fieldName, "$$XNAME(PT_NAME)");
    FixedTextMetrics metrics;
    CanvasModel store{model, metrics};
    std::string layout = LayoutWriter(model, store, ui).ReassembleData();
    EXPECT_NE(layout.find("^DOC@Doctor@LOOKUP@PV@False@1@@@"), std::string::npos) << layout;
    EXPECT_NE(layout.find("^PERIOD@Period@DATE_FROMTHRU@@True@2@T\xBA" + std::string("E@VS_DOS@")),
              std::string::npos);
    // Filled back from the form, the lists are as applied.
    CatalogueLogic again(comm, ui);
    again.FillSelected(model, statics);
    EXPECT_EQ(again.fields, cat.fields);
    EXPECT_EQ(again.prompts, cat.prompts);
    EXPECT_EQ(again.selected, statics);

    SCOPED_TRACE("an upload split by a server restart fails and stores nothing");
    ui.Clear();
    CuttingComm link;  // its server restarts, on the same port, before request cutAt
    int port = server->Port();
    link.restart = [&] {
        server.reset();
        server = std::make_unique<RepositoryServerProcess>((dir / "repo.db").string(), false, port);
    };
    link.SetTimeouts(5000, 20000);
    OpenLink(link, "127.0.0.1", std::to_string(port), "1");
    std::string record = SaveRecord("SPLIT", "d", "", "", std::string(70000, '\xE9'));
    for (int at : {2, 3}) {  // between the "|SETL|" pieces, and before the last request
        link.sent = 0, link.cutAt = at;
        EXPECT_EQ(SaveLayoutRecord(link, ui, record), SaveResult::Failed);
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_NE(ui.Messages()[0].text.find("lost in the middle of a multi-part upload"),
                  std::string::npos);
        ui.Clear();
    }
    link.sent = 0, link.cutAt = 3;
    EXPECT_FALSE(SaveImage(link, ui, "SPLIT", "p.bmp", std::string(40000, 'p')));
    EXPECT_EQ(ui.Messages().size(), 1u);
    ASSERT_TRUE(UpdateFormsDefinitions(link, ui, list));  // a new request goes through
    EXPECT_EQ(list.Find("SPLIT"), nullptr);
}
