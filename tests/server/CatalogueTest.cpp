// The data catalogue on replies a real server would not give: failures, replies out of
// the grammar, huge catalogues, and clipboard text of any bytes.
#include "ServerTestSupport.h"
#include "server/CatalogueLogic.h"
#include "server/CatalogueTypes.h"
#include "shell/TextUtils.h"

using requests::StaticItem;

namespace {
const std::string E230 = "\xE6", E231 = "\xE7", E232 = "\xE8";
struct Catalogue : ::testing::Test {
    ScriptedComm comm;
    RecordingUserInterface ui;
    CatalogueLogic cat{comm, ui};
};
}  // namespace

TEST_F(Catalogue, FailedOrMalformedRepliesLeaveListsEmptyOrUntouched) {
    comm.Fail();
    EXPECT_FALSE(cat.GetTablesData());
    EXPECT_TRUE(cat.Tables().empty());
    EXPECT_EQ(Shown(ui), "|ERROR: no DB data received");

    // A table with no fields, a field with a NUL, and properties too short for a code.
    comm.Ok({"DB" + E231 + "T1" + E231 + "T2" + E232 + std::string("A\0B", 3) + E232 + "C"});
    ASSERT_TRUE(cat.GetTablesData());
    ASSERT_EQ(cat.Tables().size(), 2u);
    cat.ChooseTable(1);
    EXPECT_EQ(cat.TableFields(), (std::vector<std::string>{"A   B", "C"}));
    comm.Ok({"only\xE6two"});
    EXPECT_TRUE(cat.ChooseField(0));
    EXPECT_FALSE(cat.AddField());
    EXPECT_FALSE(cat.AddMultiple("1", "2"));
    EXPECT_TRUE(cat.fields.empty());

    cat.available = {{"KEEP", "", ""}};
    for (std::string reply : {"", "error: no such set", "too:few:parts"}) {
        comm.Ok({reply});
        EXPECT_FALSE(cat.LoadCodeList("SET")) << reply;
        EXPECT_EQ(cat.available, (std::vector<StaticItem>{{"KEEP", "", ""}})) << reply;
    }
    comm.Fail();
    EXPECT_FALSE(cat.AddStaticListOf("OTHER"));
    EXPECT_EQ(cat.available.size(), 1u);

    // A preview asks for the tables once, however many fields it types.
    comm.Script({});
    CatalogueTypes types(comm);
    EXPECT_EQ(types.TypeOf("T.A") + types.TypeOf("T.B"), "");
    const auto sent = comm.Sent();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), requests::Tables()), 1) << sent.size();
}

TEST_F(Catalogue, TenThousandFieldsAndAWideNumberedRange) {
    std::string reply = "DB" + E231 + "BIG";
    for (int i = 0; i < 10000; ++i) reply += E232 + "F" + std::to_string(i);
    comm.Ok({reply});
    ASSERT_TRUE(cat.GetTablesData());
    cat.ChooseTable(0);
    ASSERT_EQ(cat.TableFields().size(), 10000u);
    comm.Ok({text::Join({"L", "T", "S", "X", "XT", "Y", "CODE"}, E230)});
    ASSERT_TRUE(cat.ChooseField(9999));
    EXPECT_TRUE(cat.AddMultiple("1", "10000"));
    EXPECT_EQ(cat.fields.size(), 10000u);
    EXPECT_EQ(cat.fields.back().code, "~CODE?10000");
    EXPECT_EQ(cat.fields.back().longName, "BIG.F9999");
}

TEST_F(Catalogue, ClipboardOfAnyBytesGivesItemsThatSurviveTheStaticListText) {
    std::string clip;
    for (int i = 0; i < 10000; ++i)
        clip += "C" + std::to_string(i) + (i % 2 ? "\tD\xE6x\tO\r\n" : "\tD\tO\r\n");
    for (int b = 0; b < 256; ++b) clip += char(b);
    cat.LoadClipboard(clip);
    // "\xE6" is a letter, and the stored list's separator: such an item is left out
    // and said so once, never stored without the letter.
    ASSERT_EQ(cat.available.size(), 5000u);
    EXPECT_EQ(cat.available[4999], (StaticItem{"C9998", "D", "O"}));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_NE(ui.Messages()[0].text.find("hold \"\xE6\""), std::string::npos);
    EXPECT_NE(ui.Messages()[0].text.find("Left out: C1, C3, "), std::string::npos);
    // Every other separator of the stored list is refused by its name, in any of the texts.
    const std::pair<StaticItem, const char*> refused[] = {{{"T", "a\tb", ""}, "TAB"},
                                                          {{"R", "", "a\rb"}, "a line break"},
                                                          {{"N\nN", "", ""}, "a line break"},
                                                          {{"Z", {"a\0b", 3}, ""}, "NUL"}};
    for (const auto& [item, name] : refused) {
        ui.Clear();
        EXPECT_FALSE(cat.CreateItem(item.code, item.description, item.other)) << name;
        ASSERT_EQ(ui.Messages().size(), 1u) << name;
        EXPECT_NE(ui.Messages()[0].text.find(std::string("hold ") + name + " ("), std::string::npos)
            << ui.Messages()[0].text;
    }
    ASSERT_EQ(cat.available.size(), 5000u);
    // Ten left out are named, all of them.
    std::string ten;
    for (int i = 0; i < 10; ++i) ten += "B" + std::to_string(i) + "\tD\xE6x\tO\r\n";
    ui.Clear();
    cat.LoadClipboard(ten);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_TRUE(
        text::EndsWith(ui.Messages()[0].text, "Left out: B0, B1, B2, B3, B4, B5, B6, B7, B8, B9"))
        << ui.Messages()[0].text;
    cat.AddStatic({0, 1, 4999});
    cat.RemoveStatic({1});
    std::vector<StaticItem> applied;
    cat.ApplyStatic(applied);
    ASSERT_EQ(applied.size(), 2u);
    EXPECT_EQ(applied[1], cat.available[4999]);
    EXPECT_EQ(requests::ReadStaticList(requests::FormatStaticList(applied)), applied);
}

TEST_F(Catalogue, PromptTextsThatWouldBreakTheDefinitionAreRefusedPlacedOnesAreListed) {
    struct Case {
        CatalogueLogic::PromptRow row;
        const char* title;
    } cases[] = {
        {{"", "Caption", "Text"}, "Prompt ID"},
        {{"ID", "", "Text"}, "Prompt Caption"},
        {{"ID", "Cap@tion", "Text"}, "Prompt Caption"},
        {{"I^D", "Caption", "Text"}, "Prompt ID"},  // titled by the field holding it
        {{"ID", "Caption", "Text", "a\tb"}, "Default"},
        {{"ID", "Caption", "Lookup"}, "Prompt Lookup Key"},
        {{" LK", "Again", "Text"}, "Prompt ID"},  // one ID, one "^" definition
    };
    ASSERT_TRUE(cat.AddPrompt({"LK", "First", "Text"}));
    for (const Case& c : cases) {
        ui.Clear();
        EXPECT_FALSE(cat.AddPrompt(c.row)) << c.row.caption;
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_EQ(ui.Messages()[0].title, c.title);
    }
    EXPECT_EQ(cat.prompts.size(), 1u);
    EXPECT_FALSE(cat.ModifyPrompt(1, {"NEW", "Past the end", "Text"}));
    EXPECT_TRUE(CatalogueLogic::LayoutOfType("Text(From/Thru)").secondDefault);

    // Prompts placed on labels are listed in place of those added, and take the edited details.
    FormModel model;
    FormItem placed;
    placed.Prompt().promptKey = "^DOC";
    placed.itemKind = ItemKind::UserPrompt;
    placed.Prompt().dataEntryType = "LOOKUP";
    placed.Prompt().lookupKey = "PV";
    FormItem own = placed;
    own.Prompt().promptKey = "^FREE";
    own.Prompt().dataEntryType = "TEXT";
    own.barcodeHeight = 0.6;  // read from the form's own record, beyond the list
    FormItem bare = placed;   // a "^" alone names no prompt
    bare.Prompt().promptKey = "^";
    model.items = {FormItem{}, placed, placed, bare};
    model.prompts = {own};
    cat.FillSelected(model, {});
    ASSERT_EQ(cat.prompts.size(), 2u);
    EXPECT_EQ(cat.prompts[1].id, "DOC");
    EXPECT_EQ(cat.prompts[1].type, "Lookup");
    cat.prompts[1].caption = "Doctor";
    cat.prompts[1].type = "Text";
    cat.ApplyPrompts(model);
    for (int i : {1, 2}) {
        EXPECT_EQ(model.items[size_t(i)].promptCaption(), "Doctor");
        EXPECT_EQ(model.items[size_t(i)].dataEntryType(), "LOOKUP");
    }
    ASSERT_EQ(model.prompts.size(), 2u);
    // Each prompt keeps what its own record held, and only that.
    for (const FormItem& p : model.prompts)
        EXPECT_EQ(p.barcodeHeight, p.promptKey() == "^FREE" ? 0.6 : 0)
            << std::string(p.promptKey());
}
