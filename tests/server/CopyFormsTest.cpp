// Copying forms between two real repository servers: layouts and picture bytes arrive
// whole, the overwrite question, a target that dies mid-copy, bad input.
#include "ServerTestSupport.h"
#include "server/CopyFormsLogic.h"

using namespace requests;
namespace fs = std::filesystem;

namespace {

std::string Layout(const std::string& headerLines) {
    return "<HEADER>\r\nForm_Code:\tX\r\n" + headerLines + "</HEADER>\r\n<PAGE 1>\r\n</PAGE 1>";
}

// The fixture's server is the source.
struct CopyForms : WithServer {
    std::unique_ptr<RepositoryServerProcess> target;
    TcpComm from, to, probe;
    RecordingUserInterface ui;
    std::unique_ptr<CopyFormsLogic> logic;
    const std::string small = Picture(700, 1), big = Picture(2 << 20, 2);

    void SetUp() override {
        WithServer::SetUp();
        if (!Ready()) return;
        target = std::make_unique<RepositoryServerProcess>((dir / "b.db").string());
        ASSERT_GT(target->Port(), 0);
        for (TcpComm* c : {&from, &to, &probe}) c->SetTimeouts(3000, 20000);
        logic = std::make_unique<CopyFormsLogic>(from, to, ui);
        logic->fromAddress = logic->toAddress = "127.0.0.1";
        logic->fromPort = std::to_string(server->Port());
        logic->toPort = std::to_string(target->Port());
        Open(server->Port());
        Store("PLAIN", Layout(""), {});
        Store("SMALL", Layout("Image:\t1\t1\t1\t1\tsmall.bmp\r\n"), {{"small.bmp", small}});
        Store("BIG", Layout("Background_Image:\tbig.bmp\r\n"), {{"big.bmp", big}});
        // A layout naming a picture the source does not hold.
        Store("LACKS", Layout("Image:\t1\t1\t1\t1\tgone.bmp\r\n"), {});
    }
    void TearDown() override {
        target.reset();
        WithServer::TearDown();
    }
    void Open(int port) { OpenLink(probe, "127.0.0.1", std::to_string(port), ""); }
    void Store(const std::string& form, const std::string& layout,
               const std::vector<std::pair<std::string, std::string>>& pictures) {
        ASSERT_EQ(SaveLayoutRecord(probe, ui, SaveRecord(form, form + " desc", "2", "LAB", layout)),
                  SaveResult::Saved);
        for (const auto& [file, bytes] : pictures)
            ASSERT_TRUE(SaveImage(probe, ui, form, file, bytes));
    }
    // Layout and picture as the target holds them.
    std::string TargetPicture(const std::string& form, const std::string& file) {
        Open(target->Port());
        FormsDefinitions list;
        EXPECT_TRUE(UpdateFormsDefinitions(probe, ui, list));
        std::string bytes;
        LoadImageBytes(probe, ui, form, list.ImageTimeStamp(form, file), file, bytes);
        return bytes;
    }
    std::string TargetLayout(const std::string& form) {
        Open(target->Port());
        std::string text;
        LoadLayoutText(probe, ui, form, text);
        return text;
    }
    void Choose(const std::vector<std::string>& names) {
        ASSERT_TRUE(logic->ConnectAndList(CopyFormsLogic::Server::From));
        for (const auto& n : names)
            for (std::size_t i = 0; i < logic->available.size(); ++i)
                if (logic->available[i].name == n) logic->MoveToCopy({i});
    }
};

// A form whose picture is missing, or whose target dies under it, is not listed on the
// target and is kept for another try; the retry copies it whole.
TEST_F(CopyForms, CopiesLayoutsAndPicturesWholeAndKeepsWhatFailedForARetry) {
    Choose({"PLAIN", "SMALL", "LACKS", "BIG"});
    const int port = target->Port();
    int saving = 0;
    logic->onStatus = [&] {
        if (logic->state == "Saving Image" && ++saving == 2) target->Kill();  // BIG's
    };
    auto summary = [&] {
        std::vector<CopyResult::Outcome> outcomes;
        for (const auto& r : logic->CopyFormsToNewServer()) outcomes.push_back(r.outcome);
        return std::pair(outcomes, ui.Messages().back().text);
    };
    using O = CopyResult::Outcome;
    EXPECT_EQ(summary(), std::pair(std::vector<O>{O::Whole, O::Whole, O::Failed, O::Failed},
                                   std::string("Copied 2 of 4 forms whole: PLAIN, SMALL. Not "
                                               "copied: LACKS (gone.bmp); BIG (big.bmp).")));
    std::string busy;  // the busy pointer, while the forms are copied
    for (const auto& c : ui.calls)
        if (c.kind == RecordingUserInterface::Kind::Busy) busy += c.text + " ";
    EXPECT_EQ(busy, "on off ");
    target = std::make_unique<RepositoryServerProcess>((dir / "b.db").string(), false, port);
    ASSERT_EQ(target->Port(), port);
    EXPECT_EQ(summary(), std::pair(std::vector<O>{O::Failed, O::Whole},
                                   std::string("Copied 1 of 2 forms whole: BIG. Not copied: "
                                               "LACKS (gone.bmp).")));
    EXPECT_NE(logic->state, "Ready");
    EXPECT_EQ(logic->existing.size(), 3u);
    ASSERT_EQ(logic->toCopy.size(), 1u);
    EXPECT_EQ(logic->existing[0].documentType, "LAB");
    EXPECT_NE(TargetLayout("BIG").find("Background_Image:\tbig.bmp"), std::string::npos);
    EXPECT_TRUE(TargetPicture("BIG", "big.bmp") == big);
    EXPECT_EQ(TargetPicture("SMALL", "small.bmp"), small);
}

TEST_F(CopyForms, ChangedTargetDropsItsListAndTheQuestionComesFromTheServerWritten) {
    // PLAIN carries a static list and flags; the target holds an older PLAIN.
    Open(server->Port());
    ASSERT_TRUE(SaveStaticList(probe, ui, "PLAIN", FormatStaticList({{"A1", "First", "x"}})));
    ASSERT_TRUE(SaveActiveSelected(probe, ui, "PLAIN", false, true));
    Open(target->Port());
    Store("PLAIN", Layout("Form_Name:\told\r\n"), {});
    // The target box names the source, is listed, then names the target: no Connect.
    const std::string targetPort = logic->toPort;
    logic->toPort = logic->fromPort;
    ASSERT_TRUE(logic->ConnectAndList(CopyFormsLogic::Server::To));
    EXPECT_EQ(logic->existing.size(), 4u);
    logic->toPort = targetPort;
    logic->BoxesChanged();
    EXPECT_TRUE(logic->existing.empty());
    ui.Clear();
    Choose({"PLAIN"});
    EXPECT_TRUE(ui.calls.empty());  // no list of the target yet: no question
    for (bool answer : {false, true}) {
        ui.Clear();
        ui.boolAnswers = {answer};
        auto results = logic->CopyFormsToNewServer();
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(Asked(ui,
                        "Form Already Exisits.\r\nForm ID: 1\r\nForm Type: 2\r\nForm Name: "
                        "PLAIN\r\nForm Doc Type: LAB\r\nThe select item will be overwritten. "),
                  1);
        EXPECT_EQ(results[0].outcome,
                  answer ? CopyResult::Outcome::Whole : CopyResult::Outcome::Skipped);
        EXPECT_EQ(TargetLayout("PLAIN").find("old") == std::string::npos, answer);
    }
    // The whole form arrived: static list and flags with the layout.
    Open(target->Port());
    std::string list;
    ASSERT_TRUE(GetStaticList(probe, ui, "PLAIN", list));
    EXPECT_EQ(ReadStaticList(list), (std::vector<StaticItem>{{"A1", "First", "x"}}));
    FormsDefinitions defs;
    ASSERT_TRUE(UpdateFormsDefinitions(probe, ui, defs));
    const FormDefinition* plain = defs.Find("PLAIN");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(std::pair(plain->active, plain->selected), std::pair(false, true));
}

TEST_F(CopyForms, BadInputGivesItsMessageAndCopiesNothing) {
    const struct {
        std::string toPort;
        bool empty;
        std::string message;
    } cases[] = {
        {"", false, "Please make sure we have an IP and port"},
        {logic->fromPort, false, "copied onto the server they come from"},
        {logic->fromPort, true, "No forms to copy. "},
        // Unreachable target: its list cannot be read, so nothing is copied.
        {"1", false, "Ping error: cannot connect to 127.0.0.1:1"},
    };
    for (const auto& c : cases) {
        ui.Clear();
        logic->toCopy.clear();
        if (!c.empty) logic->toCopy.push_back({.name = "PLAIN"});
        logic->toPort = c.toPort;
        EXPECT_TRUE(logic->CopyFormsToNewServer().empty());
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_NE(ui.Messages()[0].text.find(c.message), std::string::npos) << c.message;
    }
    EXPECT_EQ(logic->toCopy.size(), 1u);  // kept for another try
    logic->toAddress = "localhost";
    EXPECT_TRUE(logic->CheckAddress(CopyFormsLogic::Server::To));
    EXPECT_EQ(logic->toAddress, "127.0.0.1");
    logic->toAddress = "no-such-host.invalid";
    EXPECT_FALSE(logic->CheckAddress(CopyFormsLogic::Server::To));
    EXPECT_EQ(logic->toAddress, "");
}

}  // namespace

TEST_F(CopyForms, CommandLineGetPutCopyDelete) {
    if (FormDesignerPath().empty()) GTEST_SKIP() << "formdesigner not built";
    const std::string a = " --server 127.0.0.1:" + logic->fromPort;
    const std::string b = " --server 127.0.0.1:" + logic->toPort;
    const std::string out = (dir / "out").string();
    std::string text;
    EXPECT_EQ(RunFormDesigner("forms", "get SMALL " + out + a, text), 0) << text;
    EXPECT_EQ(RunFormDesigner("forms", "put " + out + b, text), 0) << text;
    EXPECT_EQ(TargetPicture("SMALL", "small.bmp"), small);
    EXPECT_EQ(RunFormDesigner("forms", "put " + out + "/missing.ldt" + b, text), 1);
    // A picture the layout names is not in IMAGES: it is named, and nothing is stored.
    std::string listed;
    EXPECT_EQ(RunFormDesigner("forms", "list" + b, listed), 0);
    fs::remove(dir / "out" / "IMAGES" / "small.bmp");
    EXPECT_EQ(RunFormDesigner("forms", "put " + out + b, text), 1) << text;
    EXPECT_NE(text.find("cannot be read from the images folder"), std::string::npos) << text;
    EXPECT_NE(text.find("small.bmp"), std::string::npos) << text;
    EXPECT_EQ(RunFormDesigner("forms", "list" + b, text), 0);
    EXPECT_EQ(text, listed);
    EXPECT_EQ(RunFormDesigner("forms", "get 'A|B'" + a, text), 2);

    const std::string copy =
        "copy --from localhost:" + logic->fromPort + " --to 127.0.0.1:" + logic->toPort + " ";
    EXPECT_EQ(RunFormDesigner("forms", copy + "BIG SMALL", text), 1);  // SMALL exists on the target
    EXPECT_NE(text.find("skipped (exists on the target"), std::string::npos);
    EXPECT_TRUE(TargetPicture("BIG", "big.bmp") == big);
    EXPECT_EQ(RunFormDesigner("forms", copy + "--overwrite SMALL", text), 0) << text;
    EXPECT_EQ(RunFormDesigner("forms", copy + "NOPE", text), 1);
    EXPECT_EQ(RunFormDesigner("forms",
                              "copy --from 127.0.0.1:" + logic->fromPort +
                                  " --to localhost:" + logic->fromPort + " --overwrite SMALL",
                              text),
              1);  // one server: refused before anything is read

    EXPECT_EQ(RunFormDesigner("forms", "delete BIG" + b, text), 0) << text;
    EXPECT_EQ(RunFormDesigner("forms", "list" + b, text), 0);
    EXPECT_EQ(text.find("BIG\t"), std::string::npos);
    EXPECT_NE(text.find("SMALL\tSMALL desc\t2\tLAB\t"), std::string::npos);
}

// Either ping switch opens the link without a ping request, going straight to the list;
// otherwise a ping that fails names the server.
TEST(CopyFormsPing, SkippedOnlyWhenAskedAndAFailedOneNamesTheServer) {
    for (bool skip : {false, true}) {
        ScriptedComm from, to;
        RecordingUserInterface ui;
        CopyFormsLogic logic(from, to, ui, StartOptions{.ignorePing = skip});
        logic.fromAddress = "127.0.0.1", logic.fromPort = std::to_string(from.Port());
        if (!skip) from.Ok({"|OK||PING|END|"});  // the link's own ping passes
        from.Fail();
        EXPECT_FALSE(logic.ConnectAndList(CopyFormsLogic::Server::From));
        using Texts = std::vector<std::string>;
        EXPECT_EQ(from.Sent(),
                  (skip ? Texts{"|GET|CUSTFORM|L"} : Texts{"|GET|PING|", "|GET|PING|"}));
        EXPECT_EQ(Shown(ui), skip ? "|ERROR: |GET|CUSTFORM|L error\r\nscripted failure"
                                  : "|Not Connected: Error connecting to \r\n127.0.0.1 " +
                                        logic.fromPort +
                                        "|Copy Forms: No Connection available to Server.");
    }
}
