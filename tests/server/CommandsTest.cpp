// One command each on replies a real server would not give on demand: what it returns,
// how many requests it sends, and every message the user sees; the outside components:
// created and linked once, the utility's log and cache, the lookup validator.
#include <fstream>
#include <regex>

#include "ServerTestSupport.h"
#include "server/OutsideComponents.h"
#include "shell/TextUtils.h"

using namespace requests;

namespace {
const std::string E230 = "\xE6";
using Answer = ScriptedComm::Answer;
const Answer kFail{false, {}}, kPiece{true, {"|OK||PIECE|END|"}}, kDone{true, {"|OK||DONE|END|"}};
Answer Reply(std::string text) {
    return {true, {std::move(text)}};
}

// A scripted link, the user, and a folder of the test's own.
struct Commands : ::testing::Test {
    ScriptedComm comm;
    RecordingUserInterface ui;
    std::string dir = TestFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    void TearDown() override { std::filesystem::remove_all(dir); }
    // call on a link answering with answers: "RESULT SENT", then each message shown as
    // "|title: text".
    std::string Run(std::vector<Answer> answers, const std::function<bool()>& call) {
        comm.Script(answers);
        comm.SetDebugMode(false);
        ui.Clear();
        const bool result = call();
        return std::to_string(result) + " " + std::to_string(comm.Sent().size()) + Shown(ui);
    }
};

}  // namespace

TEST_F(Commands, EachFailureOrRefusalEndsTheCommandWithItsOwnMessage) {
    FormsDefinitions list;
    std::vector<std::string> props;
    std::vector<StaticItem> items;
    std::string text = "keep";
    const Answer listed = Reply("|OK||A^d^t^i:|END|"), empty{true, {"|OK||", "|END|"}};
    auto update = [&] { return UpdateFormsDefinitions(comm, ui, list); };
    auto deleteForm = [&] { return DeleteReport(comm, ui, "F"); };
    auto deleteImages = [&] { return DeleteAllImagesForReport(comm, ui, "F"); };
    auto saveLarge = [&] { return SaveImage(comm, ui, "F", "a.bmp", std::string(20000, 'b')); };
    auto layout = [&](SaveResult want) {
        return SaveLayoutRecord(comm, ui,
                                SaveRecord("F", "D", "T", "X", std::string(30000, 'z'))) == want;
    };
    const struct {
        std::vector<Answer> answers;
        std::function<bool()> call;
        std::string outcome;
    } rows[] = {
        {{kFail}, update, "0 1|ERROR: |GET|CUSTFORM|L error\r\nscripted failure"},
        {{Reply("Error: no forms table")},
         update,
         "0 1|ERROR: |GET|CUSTFORM|L error\r\nError: no forms table"},
        {{listed, Reply("ERROR: flags")},
         update,
         "1 2|ERROR: |GET|CUSTFORM|H error\r\nERROR: flags"},
        {{listed, kFail}, update, "1 2|ERROR: |GET|CUSTFORM|H error\r\nscripted failure"},
        // An empty list still reads the flags; a wrong format stops before them; counts
        // that differ are shown.
        {{empty, empty}, update, "1 2"},
        {{Reply("|OK||A^d^t^i:B^x:|END|")}, update, "0 1|ERROR: Wrong format\r\nB^x"},
        {{listed, Reply("|OK||A\t1\t1" + E230 + "B\t0\t0" + E230 + "C\t0\t0" + E230 + "|END|")},
         update,
         "1 2|DEBUG: FormDefinition count: 1\r\nActive/Selected count:3"},
        {{kPiece, kDone}, [&] { return layout(SaveResult::Saved); }, "1 2"},
        {{Reply("ERROR: form record piece out of sequence")},
         [&] { return layout(SaveResult::Refused); },
         "1 1|Error in '|SET|CUSTFORM|T': ERROR: form record piece out of sequence"},
        // In debug mode each piece's length is shown.
        {{},
         [&] {
             comm.SetDebugMode(true);
             return SendFormData(comm, ui, std::string(30001, 'q'), text);
         },
         "1 2|DEBUG: Piece 1 length: 7|DEBUG: Piece 2 length: 30016"},
        {{kFail}, deleteForm, "0 1|ERROR: |SET|CUSTFORM|T-D| error"},
        {{kDone, kFail}, deleteForm, "1 2|ERROR: Could not delete associated Static list"},
        {{kFail},
         [&] { return SaveActiveSelected(comm, ui, "F", true, true); },
         "0 1|ERROR: |SET|CUSTFORM|O error"},
        {{Reply("ERROR: x")},
         [&] { return SaveActiveSelected(comm, ui, "F", false, true); },
         "0 1|Error in '|SET|CUSTFORM|O': ERROR: x"},
        {{Reply("ERROR: y")},
         deleteImages,
         "0 1|ERROR: Error:\r\nERROR: y\r\nAfter:\r\n|SET|CUSTFORM|I|F|D|"},
        {{kFail}, deleteImages, "0 1|ERROR: Error after:\r\n|SET|CUSTFORM|I|F|D|"},
        {{Reply("ERROR: too big")},
         [&] { return SaveImage(comm, ui, "F", "a.bmp", "small"); },
         "0 1|Error in |SET|CUSTFORM|I-0|F|a.bmp|: ERROR: too big"},
        // The rest of the pieces is not sent after one failed.
        {{kDone, kFail}, saveLarge, "0 2|ERROR: ERR in SaveLargeImages \r\nscripted failure"},
        {{kDone, Reply("ERROR: image piece out of order")},
         saveLarge,
         "0 2|Error in |SET|CUSTFORM|I-2|F|a.bmp|: ERROR: image piece out of order"},
        // A name so long that no byte fits beside it sends nothing and says so.
        {{},
         [&] { return SaveImage(comm, ui, "F", std::string(9000, 'n') + ".bmp", "big"); },
         "0 0|ERROR: ERR in SaveLargeImages name too long for a picture piece"},
        {{kFail},
         [&] { return LoadLayoutText(comm, ui, "F", text); },
         "0 1|ERROR: Error loading layout from DB"},
        {{Answer{true, {"|OK||x", "|END|"}}},
         [&] { return LoadImageToFileFromDB(comm, ui, "F", "TS", "../p.png", dir); },
         "0 1|ERROR: 22\r\nCould not create Image File in LoadImageToFileFromDB    "},
        {{kFail},
         [&] { return LoadImageToFileFromDB(comm, ui, "F", "TS", "p.png", dir); },
         "0 1||GET|CUSTFORM|I|F|TS|p.png: ERR in LoadImageFromDB   "},
        // A failed fetch empties the list it was given.
        {{kFail},
         [&] { return GetStaticList(comm, ui, "F", text = "keep") || !text.empty(); },
         "0 1|ERROR: Error loading Static List from DB"},
        // A form without a name has no list.
        {{}, [&] { return GetStaticList(comm, ui, "", text); }, "0 0"},
        {{}, [&] { return SaveStaticList(comm, ui, "", "x"); }, "0 0"},
        {{kFail},
         [&] { return SaveStaticList(comm, ui, "F", "x"); },
         "0 1|ERROR: Error saving Static List"},
        {{kFail},
         [&] { return GetFieldProperties(comm, ui, "D", "T", "F", props); },
         "0 1|ERROR: Error getting fields data "},
        {{Reply("error: unknown set")},
         [&] { return GetCodeList(comm, ui, "S9", items); },
         "0 1|ERROR: Failed to get Code Data.\r\nRequest: \r\n|GET|CODE1|CHL:0|S9\r\nResponse: "
         "\r\nerror: unknown set"},
    };
    for (const auto& row : rows) EXPECT_EQ(Run(row.answers, row.call), row.outcome);
}

TEST_F(Commands, ASaveIsOneUploadOfRecordPicturesAndListEndedByAnyFailingPart) {
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

    // Record pieces, the whole picture, the pieces of the large one, then the list; each
    // part that fails or is refused ends the save with its own message.
    std::string record = SaveRecord("F", "D", "T", "X", std::string(30000, 'z'));
    auto upload = [&](SaveResult want) {
        return SaveFormUpload(comm, ui, "F", record, pictures, "") == want;
    };
    EXPECT_EQ(Run({}, [&] { return upload(SaveResult::Saved); }), "1 7");
    const struct {
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
        std::vector<Answer> answers(row.at - 1, kPiece);
        answers.push_back(row.fails ? kFail : Reply(row.text));
        EXPECT_EQ(Run(answers, [&] { return upload(row.result); }),
                  "1 " + std::to_string(row.at) + "|" + row.title + ": " + row.text);
    }
}

TEST_F(Commands, SavedRecordsProbeAndLookupValidatorAskTheServerAndLogTheirFailures) {
    FileUtilityComponent util(dir);
    auto probe = [&](const char* form, bool newKind) {
        return [&util, this, form, newKind] {
            return EMRRecordsAlreadyExist(comm, ui, util, form, newKind);
        };
    };
    const Answer yes = Reply("|OK||1|END|");
    EXPECT_EQ(Run({yes, Answer{true, {"|OK||", "REC1", "|END|"}}}, probe("F", true)), "1 2");
    EXPECT_EQ(comm.Sent()[1], "|GET|EMR|*||SEARCH|AND|DESCR\tOR\tF");
    EXPECT_EQ(util.CacheGet("NEW_EMR_FOR_ALL_ACCOUNTS_F"), "REC1");
    // The second time the cache answers; only the probe goes out.
    EXPECT_EQ(Run({yes}, probe("F", true)), "1 1");
    // Failures beep and go to the log, not to a box; an error from the probe is shown.
    EXPECT_EQ(Run({kFail}, probe("G", false)), "0 1");
    EXPECT_EQ(ui.BeepCount(), 1);
    EXPECT_EQ(Run({yes, Reply("|OK||ERROR: search failed")}, probe("G", false)), "0 2");
    EXPECT_EQ(ui.BeepCount(), 1);
    EXPECT_EQ(text::CountOf(Slurp(util.LogPath()),
                            "mcomm.GetServerStringData failed in EMRRecordsAlreadyExist\r\n"),
              2);
    EXPECT_EQ(Run({Reply("ERROR: no")}, probe("G", true)),
              "0 1|ERROR: ERROR: no\r\nafter:\r\n|GETP|CUSTFORM|L");

    // The lookup validator answers in the designer's terms.
    comm.Script({});
    ServerLookupValidator v;
    v.Link(&util, &comm);
    comm.Ok({"|OK||VALID|Lab|END|"});
    std::string corrected;
    EXPECT_EQ(ValidateLookupByServer(v, "IDT", " lab ", corrected), "True");
    EXPECT_EQ(corrected, "LAB");
    EXPECT_EQ(comm.Sent().back(), "|GET|CODE1|IDT:V|lab");
    comm.Fail();
    EXPECT_EQ(ValidateLookupByServer(v, "IDT", "XR", corrected), "NOT VALID");
    comm.Ok({"ERROR: code list not found"});
    EXPECT_EQ(ValidateLookupByServer(v, "ZZZ", "XR", corrected), "NOT VALID");
    EXPECT_EQ(text::CountOf(Slurp(util.LogPath()), "not validated"), 2);  // failures are logged
    EXPECT_EQ(ValidateLookupByServer(v, "IDT", "  ", corrected), "NOT VALID");
    EXPECT_EQ(comm.Sent().size(), 3u);  // an empty value is not asked about

    auto e = ParseLookupList(
        {"|OK||", "A    Alpha", "B    Beta    two|END|", "|END|", "C    after end"});
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[1].description, "Beta    two");
    EXPECT_EQ(LookupAnswer(e[0]), "A    Alpha");
    EXPECT_EQ(LookupAnswerCode("CANCEL"), "CANCEL");
}

TEST_F(Commands, TheUtilityLogKeepsOneStampedLinePerEntryInTheDataFolder) {
    OutsideComponents parts;
    CreateAndLinkComponents(parts, comm, dir, "formdesigner", {});
    auto* util = dynamic_cast<FileUtilityComponent*>(parts.utility.get());
    ASSERT_NE(util, nullptr);
    EXPECT_EQ(util->LogPath(), dir + "/FormsDesignerErrors.log");
    EXPECT_EQ(util->Linked(), parts.linkedForUtility.get());
    EXPECT_EQ(parts.linkedForComm->Comm(), &comm);
    util->Log("first");
    util->Log("two\r\nlines");
    const std::string stamped = R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\tFD\t)";
    EXPECT_TRUE(std::regex_match(Slurp(util->LogPath()),
                                 std::regex(stamped + "first\r\n" + stamped + "two  lines\r\n")));

    // Created once: a second call keeps the same components.
    auto* before = parts.utility.get();
    CreateAndLinkComponents(parts, comm, dir, "formdesigner", {});
    EXPECT_EQ(parts.utility.get(), before);

    FileUtilityComponent loose("");
    EXPECT_EQ(loose.Field("a@b@c", "@", 2), "b");
    EXPECT_EQ(loose.Field("a@b@c", "@", 4), "");
    EXPECT_EQ(loose.FieldCount("a@b@c", "@"), 3);
    EXPECT_EQ(loose.FieldCount("", "@"), 0);
    loose.CachePut("k", "", "EMR Records");
    EXPECT_TRUE(loose.CacheTest("k"));
    loose.Reset();
    EXPECT_FALSE(loose.CacheTest("k"));
    loose.SetLoggingIdentity("file: x", "FD", "FormsDesigner", "../escape.log");
    EXPECT_EQ(loose.LogPath(), "FormsDesignerErrors.log");
}
