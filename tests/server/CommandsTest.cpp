// One command each: what is sent, in which order, and every message the user sees; the
// outside components: created and linked once, the utility's log and cache, the lookup
// validator over a server code list.
#include <algorithm>
#include <cctype>
#include <fstream>

#include "RepositoryServerProcess.h"
#include "ScriptedComm.h"
#include "server/OutsideComponents.h"
#include "server/RepositoryCommands.h"
#include "shell/RecordingUserInterface.h"
#include "shell/TextUtils.h"

using namespace requests;

namespace {
const std::string E230 = "\xE6";

// A scripted link, the user, and a folder of the test's own.
struct Fixture : ::testing::Test {
    ScriptedComm comm;
    RecordingUserInterface ui;
    std::string dir = TestFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    void TearDown() override { std::filesystem::remove_all(dir); }
    // The one message shown, as "title: text".
    std::string Only() {
        auto m = ui.Messages();
        return m.size() == 1 ? m[0].title + ": " + m[0].text
                             : "<" + std::to_string(m.size()) + " messages>";
    }
};

}  // namespace

using FormsDefinitionsUpdate = Fixture;

TEST_F(FormsDefinitionsUpdate, FailuresAndErrorRepliesNameTheCommand) {
    FormsDefinitions list;
    comm.Fail();
    EXPECT_FALSE(UpdateFormsDefinitions(comm, ui, list));
    EXPECT_EQ(Only(), "ERROR: |GET|CUSTFORM|L error\r\nscripted failure");
    ui.Clear();
    comm.Ok({"Error: no forms table"});
    EXPECT_FALSE(UpdateFormsDefinitions(comm, ui, list));
    EXPECT_EQ(Only(), "ERROR: |GET|CUSTFORM|L error\r\nError: no forms table");
    ui.Clear();
    comm.Ok({"|OK||A^d^t^i:|END|"});
    comm.Ok({"ERROR: flags"});
    EXPECT_TRUE(UpdateFormsDefinitions(comm, ui, list));
    EXPECT_EQ(Only(), "ERROR: |GET|CUSTFORM|H error\r\nERROR: flags");
    ui.Clear();
    comm.Ok({"|OK||A^d^t^i:|END|"});
    comm.Fail();
    EXPECT_TRUE(UpdateFormsDefinitions(comm, ui, list));
    EXPECT_EQ(Only(), "ERROR: |GET|CUSTFORM|H error\r\nscripted failure");
}

TEST_F(FormsDefinitionsUpdate, AnEmptyListStillReadsFlagsAWrongFormatStopsCountsThatDifferShow) {
    FormsDefinitions list;
    comm.Ok({"|OK||", "|END|"});
    comm.Ok({"|OK||", "|END|"});
    EXPECT_TRUE(UpdateFormsDefinitions(comm, ui, list));
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(comm.sent, (std::vector<std::string>{"|GET|CUSTFORM|L", "|GET|CUSTFORM|H"}));
    EXPECT_TRUE(ui.Messages().empty());
    comm.sent.clear();
    comm.Ok({"|OK||A^d^t^i:B^x:|END|"});
    EXPECT_FALSE(UpdateFormsDefinitions(comm, ui, list));
    EXPECT_EQ(Only(), "ERROR: Wrong format\r\nB^x");
    EXPECT_EQ(list.Count(), 1u);
    EXPECT_EQ(comm.sent.size(), 1u);  // flags are not read after a bad list
    ui.Clear();
    comm.Ok({"|OK||A^d^t^i:|END|"});
    comm.Ok({"|OK||A\t1\t1" + E230 + "B\t0\t0" + E230 + "C\t0\t0" + E230 + "|END|"});
    EXPECT_TRUE(UpdateFormsDefinitions(comm, ui, list));
    EXPECT_EQ(Only(), "DEBUG: FormDefinition count: 1\r\nActive/Selected count:3");
    EXPECT_TRUE(list.At(1).active);
}

using SaveCommands = Fixture;

TEST_F(SaveCommands, LayoutSaveInPiecesItsMessagesAndPieceLengthsInDebugMode) {
    std::string record = SaveRecord("F", "D", "T", "X", std::string(30000, 'z'));
    comm.Ok({"|OK||PIECE|END|"});
    comm.Ok({"|OK||DONE|END|"});
    EXPECT_EQ(SaveLayoutRecord(comm, ui, record), SaveResult::Saved);
    ASSERT_EQ(comm.sent.size(), 2u);
    EXPECT_EQ(comm.sent[0].rfind("|SETL|", 0), 0u);
    EXPECT_EQ(comm.sent[1].rfind("|SET|CUSTFORM|T|F|D:T:X|", 0), 0u);
    EXPECT_TRUE(ui.Messages().empty());

    // A refused piece ends the save there, with its reply shown.
    comm.sent.clear();
    comm.Ok({"ERROR: form record piece out of sequence"});
    EXPECT_EQ(SaveLayoutRecord(comm, ui, record), SaveResult::Refused);
    EXPECT_EQ(comm.sent.size(), 1u);
    EXPECT_EQ(Only(), "Error in '|SET|CUSTFORM|T': ERROR: form record piece out of sequence");
    // In debug mode each piece's length is shown.
    ui.Clear();
    comm.debug = true;
    std::string reply;
    EXPECT_TRUE(SendFormData(comm, ui, std::string(30001, 'q'), reply));
    auto m = ui.Messages();
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].text, "Piece 1 length: 7");
    EXPECT_EQ(m[1].text, "Piece 2 length: 30016");
}

TEST_F(SaveCommands, DeleteReportAndStaticListMessages) {
    EXPECT_TRUE(DeleteReport(comm, ui, "F"));
    EXPECT_EQ(comm.sent, (std::vector<std::string>{"|SET|CUSTFORM|T-D|F", "|SET|CUSTFORM|S-D|F"}));
    comm.Fail();
    EXPECT_FALSE(DeleteReport(comm, ui, "F"));
    EXPECT_EQ(Only(), "ERROR: |SET|CUSTFORM|T-D| error");
    ui.Clear();
    comm.Ok({"ERROR: form not found"});
    EXPECT_FALSE(DeleteReport(comm, ui, "F"));
    EXPECT_EQ(Only(), "Error in '|SET|CUSTFORM|T-D|': ERROR: form not found");
    ui.Clear();
    comm.Ok({"|OK||DONE|END|"});
    comm.Fail();
    EXPECT_TRUE(DeleteReport(comm, ui, "F"));
    EXPECT_EQ(Only(), "ERROR: Could not delete associated Static list");
}

TEST_F(SaveCommands, ActiveSelectedAndImageDeleteMessages) {
    comm.Fail();
    EXPECT_FALSE(SaveActiveSelected(comm, ui, "F", true, true));
    EXPECT_EQ(Only(), "ERROR: |SET|CUSTFORM|O error");
    ui.Clear();
    comm.Ok({"ERROR: x"});
    EXPECT_FALSE(SaveActiveSelected(comm, ui, "F", false, true));
    EXPECT_EQ(comm.sent.back(), "|SET|CUSTFORM|O|F|0\t1");
    EXPECT_EQ(Only(), "Error in '|SET|CUSTFORM|O': ERROR: x");
    ui.Clear();
    comm.Ok({"ERROR: y"});
    EXPECT_FALSE(DeleteAllImagesForReport(comm, ui, "F"));
    EXPECT_EQ(Only(), "ERROR: Error:\r\nERROR: y\r\nAfter:\r\n|SET|CUSTFORM|I|F|D|");
    ui.Clear();
    comm.Fail();
    EXPECT_FALSE(DeleteAllImagesForReport(comm, ui, "F"));
    EXPECT_EQ(Only(), "ERROR: Error after:\r\n|SET|CUSTFORM|I|F|D|");
}

TEST_F(SaveCommands, ImagesWholeOrInPiecesWithTheirMessages) {
    std::string small(100, 's');
    EXPECT_TRUE(SaveImage(comm, ui, "F", "a.bmp", small));
    EXPECT_EQ(comm.sent.back(), "|SET|CUSTFORM|I-0|F|a.bmp|" + small);
    comm.Ok({"ERROR: too big"});
    EXPECT_FALSE(SaveImage(comm, ui, "F", "a.bmp", small));
    EXPECT_EQ(Only(), "Error in |SET|CUSTFORM|I-0|F|a.bmp|: ERROR: too big");
    // The rest of the pieces is not sent after one failed (messages: the save's table).
    ui.Clear();
    comm.sent.clear();
    comm.Ok({"|OK||DONE|END|"});
    comm.Fail();
    EXPECT_FALSE(SaveImage(comm, ui, "F", "a.bmp", std::string(20000, 'b')));
    EXPECT_EQ(comm.sent.size(), 2u);
    EXPECT_EQ(Only(), "ERROR: ERR in SaveLargeImages \r\nscripted failure");
}

TEST_F(SaveCommands, ASaveIsOneUploadOfRecordPicturesAndList) {
    const std::string logo("BM\r\n\0x", 6), big(20000, 'b');
    std::ofstream(dir + "/logo.bmp", std::ios::binary) << logo;
    std::ofstream(dir + "/big.bmp", std::ios::binary) << big;
    std::ofstream(dir + "/empty.bmp", std::ios::binary);
    std::string layout =
        "Image:\t1\t2\t3\t4\tlogo.bmp\r\nBackground_Image:\t../etc.bmp\r\nImage:\t\t\t\t\tgone.bmp"
        "\r\nImage:\t\t\t\t\tempty.bmp\r\nBackground_Image:\tbig.bmp\r\nImage:\t\t\t\t\tlogo.bmp";
    std::vector<std::string> missing;
    auto pictures = ReadSavePictures("F", layout, dir, missing);
    EXPECT_EQ(missing, (std::vector<std::string>{"../etc.bmp", "gone.bmp", "empty.bmp"}));
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0].bytes, logo);
    EXPECT_EQ(pictures[1].name, "big.bmp");

    // Record pieces, the whole picture, the pieces of the large one, then the list.
    std::string record = SaveRecord("F", "D", "T", "X", std::string(30000, 'z'));
    EXPECT_EQ(SaveFormUpload(comm, ui, "F", record, pictures, ""), SaveResult::Saved);
    ASSERT_EQ(comm.sent.size(), 7u);
    const char* heads[] = {"|SETL|",
                           "|SET|CUSTFORM|T|F|",
                           "|SET|CUSTFORM|I-0|F|logo.bmp|",
                           "|SET|CUSTFORM|I-1|F|big.bmp|",
                           "|SET|CUSTFORM|I-2|F|big.bmp|",
                           "|SET|CUSTFORM|I-3|F|big.bmp|",
                           "|SET|CUSTFORM|S-D|F"};
    for (size_t i = 0; i < 7; ++i) EXPECT_EQ(comm.sent[i].rfind(heads[i], 0), 0u) << i;
    EXPECT_TRUE(ui.Messages().empty());

    // Each part that fails or is refused ends the save with its own message.
    struct Row {
        size_t at;
        bool fails;
        std::string text, title;
        SaveResult result;
    } rows[] = {
        {1, true, "|SET|CUSTFORM| error\r\nscripted failure", "ERROR", SaveResult::Failed},
        {2, false, "ERROR: bad form record", "Error in '|SET|CUSTFORM|T'", SaveResult::Refused},
        {3, true, "ERR in SaveImages \r\nscripted failure", "ERROR", SaveResult::Failed},
        {5, false, "ERROR: image piece out of order", "Error in |SET|CUSTFORM|I-2|F|big.bmp|",
         SaveResult::Refused},
        {6, true, "ERR in SaveLargeImages \r\nscripted failure", "ERROR", SaveResult::Failed},
        {7, true, "Error saving Static List\r\nscripted failure", "ERROR", SaveResult::Failed},
        {7, false, "ERROR: database error: disk full", "Error in '|SET|CUSTFORM|T'",
         SaveResult::Refused},
    };
    for (const auto& row : rows) {
        comm.sent.clear();
        comm.answers.clear();
        ui.Clear();
        for (size_t i = 1; i < row.at; ++i) comm.Ok({"|OK||PIECE|END|"});
        if (row.fails)
            comm.Fail();
        else
            comm.Ok({row.text});
        EXPECT_EQ(SaveFormUpload(comm, ui, "F", record, pictures, ""), row.result) << row.at;
        EXPECT_EQ(comm.sent.size(), row.at);
        EXPECT_EQ(Only(), row.title + ": " + row.text) << row.at;
    }
}

using LoadCommands = Fixture;

TEST_F(LoadCommands, LayoutImageAndStaticList) {
    std::string layout;
    comm.Ok({"|OK||<HEADER>", "</HEADER>|END|"});
    EXPECT_TRUE(LoadLayoutText(comm, ui, "F", layout));
    EXPECT_EQ(layout, "|OK||<HEADER>\r\n</HEADER>|END|");
    comm.Fail();
    EXPECT_FALSE(LoadLayoutText(comm, ui, "F", layout));
    EXPECT_EQ(Only(), "ERROR: Error loading layout from DB");
    ui.Clear();

    std::string bytes("\x89PNG\r\n\x1A\n\0\xE6", 10);
    comm.Ok({"|OK||" + bytes, "|END|"});
    EXPECT_TRUE(LoadImageToFileFromDB(comm, ui, "F", "TS", "p.png", dir));
    EXPECT_EQ(Slurp(dir + "/p.png"), bytes);
    comm.Ok({"|OK||x", "|END|"});
    EXPECT_FALSE(LoadImageToFileFromDB(comm, ui, "F", "TS", "../p.png", dir));
    EXPECT_EQ(Only(), "ERROR: 22\r\nCould not create Image File in LoadImageToFileFromDB    ");
    ui.Clear();
    comm.Fail();
    EXPECT_FALSE(LoadImageToFileFromDB(comm, ui, "F", "TS", "p.png", dir));
    EXPECT_EQ(Only(), "|GET|CUSTFORM|I|F|TS|p.png: ERR in LoadImageFromDB   ");
    ui.Clear();

    std::string list = "keep";
    comm.Fail();
    EXPECT_FALSE(GetStaticList(comm, ui, "F", list));
    EXPECT_EQ(list, "");
    EXPECT_EQ(Only(), "ERROR: Error loading Static List from DB");
    ui.Clear();
    EXPECT_FALSE(GetStaticList(comm, ui, "", list));  // a form without a name has none
    comm.sent.clear();
    EXPECT_TRUE(SaveStaticList(comm, ui, "F", ""));
    EXPECT_TRUE(SaveStaticList(comm, ui, "F", "A" + E230 + "B" + E230));
    EXPECT_FALSE(SaveStaticList(comm, ui, "", "x"));
    EXPECT_EQ(comm.sent, (std::vector<std::string>{"|SET|CUSTFORM|S-D|F",
                                                   "|SET|CUSTFORM|S|F|A" + E230 + "B" + E230}));
    comm.Fail();
    EXPECT_FALSE(SaveStaticList(comm, ui, "F", "x"));
    EXPECT_EQ(Only(), "ERROR: Error saving Static List");
}

TEST_F(LoadCommands, CatalogueAndCodeListMessages) {
    TableList t;
    comm.Fail();
    EXPECT_FALSE(GetTablesData(comm, ui, t));
    EXPECT_EQ(Only(), "ERROR: no DB data received");
    ui.Clear();
    std::vector<std::string> props;
    comm.Fail();
    EXPECT_FALSE(GetFieldProperties(comm, ui, "D", "T", "F", props));
    EXPECT_EQ(Only(), "ERROR: Error getting fields data ");
    ui.Clear();
    std::vector<StaticItem> items;
    comm.Ok({"error: unknown set"});
    EXPECT_FALSE(GetCodeList(comm, ui, "S9", items));
    EXPECT_EQ(Only(),
              "ERROR: Failed to get Code Data.\r\nRequest: \r\n|GET|CODE1|CHL:0|S9\r\nResponse: "
              "\r\nerror: unknown set");
}

using RecordSearch = Fixture;

TEST_F(RecordSearch, ProbeCacheAndLog) {
    FileUtilityComponent util(dir);
    comm.Ok({"|OK||1|END|"});
    comm.Ok({"|OK||", "REC1", "|END|"});
    EXPECT_TRUE(EMRRecordsAlreadyExist(comm, ui, util, "F", true));
    EXPECT_EQ(comm.sent[1], "|GET|EMR|*||SEARCH|AND|DESCR\tOR\tF");
    EXPECT_TRUE(util.CacheTest("NEW_EMR_FOR_ALL_ACCOUNTS_F"));
    EXPECT_EQ(util.CacheGet("NEW_EMR_FOR_ALL_ACCOUNTS_F"), "REC1");
    // Second time the cache answers; only the probe goes out.
    comm.sent.clear();
    comm.Ok({"|OK||1|END|"});
    EXPECT_TRUE(EMRRecordsAlreadyExist(comm, ui, util, "F", true));
    EXPECT_EQ(comm.sent.size(), 1u);
    // Nothing saved with the older kind.
    comm.Ok({"|OK||1|END|"});
    comm.Ok({"|OK||", "|END|"});
    EXPECT_FALSE(EMRRecordsAlreadyExist(comm, ui, util, "F", false));
    // Failures beep and go to the log, not to a box.
    comm.Fail();
    EXPECT_FALSE(EMRRecordsAlreadyExist(comm, ui, util, "G", false));
    comm.Ok({"|OK||1|END|"});
    comm.Ok({"|OK||ERROR: search failed"});
    EXPECT_FALSE(EMRRecordsAlreadyExist(comm, ui, util, "G", false));
    EXPECT_EQ(ui.BeepCount(), 2);
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(text::CountOf(Slurp(util.LogPath()),
                            "mcomm.GetServerStringData failed in EMRRecordsAlreadyExist\r\n"),
              2);
    // An error from the probe is shown.
    comm.Ok({"ERROR: no"});
    EXPECT_FALSE(EMRRecordsAlreadyExist(comm, ui, util, "G", true));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "ERROR: no\r\nafter:\r\n|GETP|CUSTFORM|L");
}

using OutsideComponent = Fixture;

TEST_F(OutsideComponent, TheUtilityLogKeepsOneStampedLinePerEntryInTheDataFolder) {
    OutsideComponents parts;
    CreateAndLinkComponents(parts, comm, dir, "formdesigner", {});
    auto* util = dynamic_cast<FileUtilityComponent*>(parts.utility.get());
    ASSERT_NE(util, nullptr);
    EXPECT_EQ(util->LogPath(), dir + "/FormsDesignerErrors.log");
    EXPECT_EQ(util->Linked(), parts.linkedForUtility.get());
    EXPECT_EQ(parts.linkedForComm->Comm(), &comm);
    util->Log("first");
    util->Log("two\r\nlines");
    std::string log = Slurp(util->LogPath());
    auto lines = std::count(log.begin(), log.end(), '\n');
    EXPECT_EQ(lines, 2);
    EXPECT_NE(log.find("\tFD\tfirst\r\n"), std::string::npos);
    EXPECT_NE(log.find("two  lines\r\n"), std::string::npos);
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(log[0])));

    // Created once: a second call keeps the same components.
    auto* before = parts.utility.get();
    CreateAndLinkComponents(parts, comm, dir, "formdesigner", {});
    EXPECT_EQ(parts.utility.get(), before);
}

TEST(OutsideComponentPieces, UtilityFieldsAndCache) {
    FileUtilityComponent util("");
    EXPECT_EQ(util.Field("a@b@c", "@", 2), "b");
    EXPECT_EQ(util.Field("a@b@c", "@", 4), "");
    EXPECT_EQ(util.FieldCount("a@b@c", "@"), 3);
    EXPECT_EQ(util.FieldCount("", "@"), 0);
    EXPECT_FALSE(util.CacheTest("k"));
    util.CachePut("k", "", "EMR Records");
    EXPECT_TRUE(util.CacheTest("k"));
    EXPECT_EQ(util.CacheGet("k"), "");
    util.Reset();
    EXPECT_FALSE(util.CacheTest("k"));
    util.SetLoggingIdentity("file: x", "FD", "FormsDesigner", "../escape.log");
    EXPECT_EQ(util.LogPath(), "FormsDesignerErrors.log");
}

TEST_F(OutsideComponent, TheLookupValidatorAsksTheServerAndAnswersInTheDesignersTerms) {
    FileUtilityComponent util(dir);
    ServerLookupValidator v;
    v.Link(&util, &comm);
    comm.Ok({"|OK||VALID|Lab|END|"});
    std::string corrected;
    EXPECT_EQ(ValidateLookupByServer(v, "IDT", " lab ", corrected), "True");
    EXPECT_EQ(corrected, "LAB");
    EXPECT_EQ(comm.sent.back(), "|GET|CODE1|IDT:V|lab");
    comm.Ok({"|OK||NOT VALID||END|"});
    EXPECT_EQ(ValidateLookupByServer(v, "IDT", "nope", corrected), "NOT VALID");
    EXPECT_EQ(corrected, "");
    comm.Fail();
    EXPECT_EQ(ValidateLookupByServer(v, "IDT", "XR", corrected), "NOT VALID");
    comm.Ok({"ERROR: code list not found"});
    EXPECT_EQ(ValidateLookupByServer(v, "ZZZ", "XR", corrected), "NOT VALID");
    EXPECT_EQ(text::CountOf(Slurp(util.LogPath()), "\n"), 2);  // failures are logged
    EXPECT_EQ(ValidateLookupByServer(v, "IDT", "  ", corrected), "NOT VALID");
    EXPECT_EQ(comm.sent.size(), 4u);       // an empty value is not asked about
}

TEST(OutsideComponentPieces, LookupListParseAndAnswerForm) {
    auto e = ParseLookupList(
        {"|OK||", "A    Alpha", "B    Beta    two|END|", "|END|", "C    after end"});
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[1].description, "Beta    two");
    EXPECT_EQ(LookupAnswer(e[0]), "A    Alpha");
    EXPECT_EQ(LookupAnswerCode("A    Alpha    x"), "A");
    EXPECT_EQ(LookupAnswerCode("CANCEL"), "CANCEL");
    EXPECT_EQ(LookupListRequest("CHL"), "|GET|CODE1|CHL");
}
