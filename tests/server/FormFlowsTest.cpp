// Saving and opening forms against the real repository server, with temporary local
// folders: the save dialog answered by a script, the layout and its pictures back,
// the local copy's time-stamp rules, deleting, and a link cut mid-save.
#include "ServerTestSupport.h"
#include "shell/AtomicFile.h"
#include "shell/TextUtils.h"
#include "wire/Framing.h"

namespace fs = std::filesystem;

namespace {

// What follows the header: the items, which must come back byte for byte.
std::string Pages(const std::string& layout) {
    size_t at = layout.find("</HEADER>");
    return at == std::string::npos ? std::string() : layout.substr(at);
}

using Designer = ::Designer<CuttingComm>;

struct FormFlowsTest : WithServer {
    std::unique_ptr<Designer> NewDesigner(const std::string& name) {
        return std::make_unique<Designer>(dir / name, server->Port());
    }
    static void PutPicture(Designer& d, const std::string& name, const std::string& bytes) {
        WriteTestFile(d.folders.ImagesFolder() + "/" + name, bytes);
    }
};

}  // namespace

TEST_F(FormFlowsTest, ANewFormSavedAndReopenedElsewhereComesBackWhole) {
    auto a = NewDesigner("a");
    // A picture name with two dots finds its own time stamp in the forms list; a caption
    // that sends the record in three pieces.
    std::string full =
        text::ReplaceAll(TestDataFile("layouts/full.ldt"), "logo.bmp", "logo.v2.bmp");
    ASSERT_TRUE(a->Read(text::ReplaceAll(full, "Patient name", std::string(70000, '\xE9'))));
    a->model.settings.formCode.clear();  // a new form: the dialog asks for its name
    // The logo is large enough to travel in numbered pieces both ways.
    std::string logo = Picture(2 * 1024 * 1024, 1), back = Picture(500, 2);
    PutPicture(*a, "logo.v2.bmp", logo);
    PutPicture(*a, "back.png", back);
    std::string before = a->Write();

    ASSERT_EQ(a->flows.SaveFormToServer(false), SaveOutcome::Saved);
    EXPECT_EQ(a->prompt.shown, 1);  // not connected yet: the dialog came first
    EXPECT_EQ(a->save.offered, std::vector<std::string>{""});
    EXPECT_TRUE(HasMessage(a->ui, "Form Saved.", "Save"));
    EXPECT_EQ(a->model.settings.formCode, "NEWFORM");
    EXPECT_FALSE(a->model.settings.timeStamp.empty());
    EXPECT_EQ(a->folders.LocalFormTimeStamp("NEWFORM"), a->model.settings.timeStamp);
    const std::string logoStamp = a->flows.Definitions().ImageTimeStamp("NEWFORM", "logo.v2.bmp");
    ASSERT_FALSE(logoStamp.empty());
    EXPECT_EQ(a->folders.LocalPictureTimeStamp("NEWFORM", false, "logo.v2.bmp"), logoStamp);
    // sig.png is not in the images folder: the user was asked first and saved without it.
    EXPECT_EQ(Asked(a->ui, "The form names pictures that cannot be read from the images folder (" +
                               a->folders.ImagesFolder() +
                               "):\r\n    sig.png\r\n\r\nSave the form without them?"),
              1);
    EXPECT_TRUE(a->flows.Definitions().ImageTimeStamp("NEWFORM", "sig.png").empty());

    // Another designer with empty folders: layout and pictures come from the server.
    auto b = NewDesigner("b");
    PutPicture(*b, "back.png", "stale");  // there, but not the server's: fetched anew
    ASSERT_TRUE(b->flows.OpenFormFromServer("newform"));
    EXPECT_EQ(b->model.settings.formCode, "NEWFORM");
    EXPECT_EQ(b->model.settings.formName, "New form");
    EXPECT_EQ(Pages(b->Write()), Pages(before));
    EXPECT_TRUE(Slurp(b->folders.ImagesFolder() + "/logo.v2.bmp") == logo);
    EXPECT_EQ(Slurp(b->folders.ImagesFolder() + "/back.png"), back);
    // The local copy records the fetched pictures, so the next opening keeps them.
    EXPECT_EQ(b->folders.LocalPictureTimeStamp("NEWFORM", false, "logo.v2.bmp"), logoStamp);
    // The stored text carries the forms list's stamp: none for a form not listed yet.
    std::string stored;
    ASSERT_TRUE(requests::LoadLayoutText(b->comm, b->ui, "NEWFORM", stored));
    EXPECT_NE(stored.find("TimeStamp:\t\r\n"), std::string::npos);
    // Found under any case of its name (deleting: the browser's test).
    EXPECT_TRUE(b->flows.FormExistsOnServer("NewForm", stored));
    EXPECT_EQ(stored, "NEWFORM");
}

// Cut before a request reaches the server or after: each form whole with its own pictures
// and list, "Form Saved." exactly when the new one is stored, a failed save's local copy kept.
TEST_F(FormFlowsTest, ASaveCutAtAnyRequestLeavesTheOldOrTheNewFormWhole) {
    auto a = NewDesigner("a");
    const std::string v1 = TestDataFile("layouts/full.ldt");
    const std::string v2 = text::ReplaceAll(v1, "sig.png", "big.png");  // needs 4 pieces
    unsigned seed = 0;
    for (auto [name, size] :
         {std::pair{"back.png", 500}, {"logo.bmp", 3000}, {"sig.png", 400}, {"big.png", 30000}})
        PutPicture(*a, name, Picture(size_t(size), ++seed));
    // Layout items, each picture of the form with its bytes, and the static list.
    RecordingUserInterface quiet;
    auto& probe = a->comm;
    auto stored = [&] {
        std::string layout, list, out;
        FormsDefinitions defs;
        requests::LoadLayoutText(probe, quiet, "CUT", layout);
        requests::UpdateFormsDefinitions(probe, quiet, defs);
        out = Pages(layout) + "|";
        if (const FormDefinition* def = defs.Find("CUT"))
            for (const auto& img : def->images) {
                std::string name = img.baseName + "." + img.extension, bytes;
                requests::LoadImageBytes(probe, quiet, "CUT", img.timeStamp, name, bytes);
                out += name + ":" + std::to_string(std::hash<std::string>()(bytes)) + "|";
            }
        requests::GetStaticList(probe, quiet, "CUT", list);
        return out + list;
    };
    auto save = [&](const std::string& layout, const std::string& item, int cutAt, bool lost) {
        EXPECT_TRUE(a->Read(layout));
        a->model.settings.formCode = "CUT";
        a->flows.StaticItems() = {{item, "d", "o"}};
        a->comm.sent = 0, a->comm.cutAt = cutAt, a->comm.replyLost = lost;
        a->ui.Clear();
        const std::string copy = Slurp(a->folders.LocalFormCopyPath("CUT")),
                          stamp = a->model.settings.timeStamp;
        SaveOutcome outcome = a->flows.SaveFormToServer(false);
        a->comm.cutAt = 0;
        EXPECT_EQ(HasMessage(a->ui, "Form Saved.", "Save"), outcome == SaveOutcome::Saved);
        if (outcome != SaveOutcome::Saved) {  // the local copy and the stamp stay as they were
            EXPECT_EQ(Slurp(a->folders.LocalFormCopyPath("CUT")), copy);
            EXPECT_EQ(a->model.settings.timeStamp, stamp);
        }
        return outcome;
    };
    ASSERT_EQ(save(v1, "A", 0, false), SaveOutcome::Saved);
    const std::string old = stored();
    ASSERT_EQ(save(v2, "B", 0, false), SaveOutcome::Saved);
    const std::string fresh = stored();
    const int requests = a->comm.sent;
    ASSERT_NE(fresh.find("big.png"), std::string::npos);
    ASSERT_EQ(fresh.find("sig.png"), std::string::npos);  // no longer named: gone with it
    ASSERT_NE(old, fresh);
    ASSERT_GE(requests, 8);  // record, 2 whole pictures, 4 pieces, static list, forms list

    for (int k = 1; k <= requests; ++k)
        for (bool lost : {false, true}) {
            ASSERT_EQ(save(v1, "A", 0, false), SaveOutcome::Saved);
            SaveOutcome outcome = save(v2, "B", k, lost);
            std::string now = stored();
            EXPECT_TRUE(now == old || now == fresh) << "cut at " << k << ": " << now;
            // A reply lost after the server stored the form cannot tell the designer so;
            // everything else reports what the server holds.
            if (outcome == SaveOutcome::Saved || !lost) {
                EXPECT_EQ(now == fresh, outcome == SaveOutcome::Saved) << "cut at " << k;
            }
        }
}

// One designer, step by step.
TEST_F(FormFlowsTest, LocalCopyRulesSavingOverAnotherFormSavesThatStoreNothingAndConnecting) {
    auto a = NewDesigner("a");
    const std::string minimal = TestDataFile("layouts/minimal.ldt");
    SCOPED_TRACE("the local copy is used only when allowed and as new as the server's");
    ASSERT_TRUE(a->Read(minimal));
    a->model.settings.formCode = "LOCAL1", a->model.settings.formName = "Local";
    ASSERT_EQ(a->flows.SaveFormToServer(false), SaveOutcome::Saved);
    EXPECT_TRUE(a->save.offered.empty());  // a named form saves without the dialog
    // Change the local copy behind the designer's back, keeping its time stamp.
    std::string path = a->folders.LocalFormCopyPath("LOCAL1");
    const std::string changed = text::ReplaceAll(Slurp(path), "Hello", "FromLocal");
    WriteTestFile(path, changed);
    // Asked to fetch: the server's text, whatever the local copy says.
    ASSERT_TRUE(a->flows.LoadLayoutFromServer("LOCAL1", true));
    EXPECT_NE(a->Write().find("Hello\t"), std::string::npos);
    // The server's copy overwrote the local one.
    EXPECT_EQ(Slurp(path).find("FromLocal"), std::string::npos);
    WriteTestFile(path, changed);
    // Local files allowed and the stamps agree: the local copy is read.
    ASSERT_TRUE(a->flows.LoadLayoutFromServer("LOCAL1", false));
    EXPECT_NE(a->Write().find("FromLocal\t"), std::string::npos);
    // A local copy with another stamp is not trusted.
    a->model.settings.timeStamp = "19990101000000000";
    ASSERT_TRUE(a->flows.LoadLayoutFromServer("LOCAL1", false));
    EXPECT_NE(a->Write().find("Hello\t"), std::string::npos);

    SCOPED_TRACE("saving over another stored form asks first; a too large one replaces nothing");
    ASSERT_TRUE(a->Read(minimal));
    a->model.settings.formCode = "FIRST";
    ASSERT_EQ(a->flows.SaveFormToServer(false), SaveOutcome::Saved);
    a->model.settings.formCode = "SECOND";
    ASSERT_EQ(a->flows.SaveFormToServer(false), SaveOutcome::Saved);
    // "Save As..." onto FIRST: No keeps asking, with the old identity back; the second
    // time round the user cancels.
    a->save.code = "first";
    a->ui.boolAnswers = {false};
    a->save.answers = {true, false};
    EXPECT_EQ(a->flows.SaveFormToServer(true), SaveOutcome::NotSaved);
    EXPECT_EQ(a->save.offered, (std::vector<std::string>{"SECOND", "SECOND"}));
    EXPECT_EQ(
        Asked(a->ui, "Form 'first' already exists.\r\nDo you want to overwrite the existing Form?"),
        1);
    EXPECT_EQ(a->model.settings.formCode, "SECOND");
    // Answered Yes, but too large to read back: refused before the stored form is replaced.
    std::string stored, after;
    ASSERT_TRUE(requests::LoadLayoutText(a->comm, a->ui, "FIRST", stored));
    a->model.Item(1);
    a->store.Label(1).caption = std::string(wire::kMaxFormRecordBytes, 'w');
    a->save.answers = {true};
    a->ui.boolAnswers = {true};
    a->ui.Clear();
    EXPECT_EQ(a->flows.SaveFormToServer(true), SaveOutcome::NotSaved);
    EXPECT_TRUE(HasMessage(a->ui, "The form is too large to save (", "Form not saved"));
    EXPECT_FALSE(HasMessage(a->ui, "Form Saved."));
    ASSERT_TRUE(requests::LoadLayoutText(a->comm, a->ui, "FIRST", after));
    EXPECT_EQ(after, stored);

    SCOPED_TRACE("cancelled dialogs, empty forms and unsafe names save nothing");
    ASSERT_TRUE(a->Read(minimal));
    a->model.settings.formCode.clear();
    a->save.answers = {false};
    EXPECT_EQ(a->flows.SaveFormToServer(false), SaveOutcome::NotSaved);
    EXPECT_TRUE(HasMessage(a->ui, "Form not saved.", "Saving Form..."));
    ASSERT_TRUE(a->Read("<HEADER>\r\nPage:\t8.5\t11\r\n</HEADER>\r\n<PAGE>\r\n</PAGE>"));
    a->model.settings.formCode = "OLDNAME", a->model.settings.formName = "Old";
    a->save.code = "EMPTY", a->save.answers = {true};
    EXPECT_EQ(a->flows.SaveFormToServer(true), SaveOutcome::NotSaved);
    EXPECT_TRUE(HasMessage(a->ui, "There is no data to save.", "Form not saved"));
    EXPECT_EQ(a->model.settings.formCode, "OLDNAME");  // the old identity is back
    EXPECT_EQ(a->model.settings.formName, "Old");
    a->ui.Clear();
    EXPECT_FALSE(a->flows.LoadLayoutFromServer("../../etc/passwd", true));
    EXPECT_FALSE(a->ui.Messages().empty());
    EXPECT_FALSE(fs::exists(a->root / "etc"));
    // A layout naming a picture outside the images folder fetches nothing and says why.
    a->ui.Clear();
    const std::string layout = "image:\t1\t1\t2\t2\t../../outside.png\r\n";
    ASSERT_EQ(requests::ImagesOfLayout(layout).size(), 1u);
    a->flows.FetchPictures("EMPTY", layout);
    EXPECT_TRUE(HasMessage(a->ui,
                           "The picture name '../../outside.png' cannot be used as a file name.",
                           "Load Layout"));
    EXPECT_FALSE(fs::exists(a->root / "outside.png"));

    // (Its status texts and its dialog: the window's and the connection dialog's tests.)
    SCOPED_TRACE("the connection is only connected after an answered ping");
    ConnectionLogic& logic = a->connection;
    RecordingUserInterface& ui = a->ui;
    ASSERT_TRUE(logic.Connect());  // connected already: the whole sequence once more

    // A failed attempt leaves the designer connected as before, over the link it had.
    const std::string port = logic.port;
    logic.port = "1";
    EXPECT_FALSE(logic.Connect());
    EXPECT_TRUE(logic.Connected());
    EXPECT_EQ(logic.port, port);
    EXPECT_EQ(ui.Messages().back().text, "ERROR connecting to \r\n127.0.0.1 1");
    FormsDefinitions list;
    EXPECT_TRUE(requests::UpdateFormsDefinitions(a->comm, ui, list));

    // The server goes: that link cannot be had again either, so it is not connected.
    server->Kill();
    EXPECT_FALSE(logic.Connect());
    EXPECT_FALSE(logic.Connected());
    EXPECT_EQ(logic.StatusText(), "   ***  not connected *** ");
    EXPECT_EQ(ui.Messages().back().text, "ERROR connecting to \r\n127.0.0.1 " + port);

    ScriptedComm scripted;
    ConnectionLogic skipping(scripted, ui, StartOptions{.noPing = true});
    skipping.port = std::to_string(scripted.Port());
    EXPECT_TRUE(skipping.DoPingTest("", 0));
    EXPECT_TRUE(skipping.Connect());
    EXPECT_TRUE(scripted.Sent().empty());  // not even the ping request
}

TEST_F(FormFlowsTest, SavedRecordsOfferANewNameOrAnOverwriteAndAStatementMayBeMarkedNotActive) {
    server = std::make_unique<RepositoryServerProcess>((dir / "demo.db").string(), true);
    ASSERT_GT(server->Port(), 0);
    auto a = NewDesigner("a");
    ASSERT_TRUE(a->flows.OpenFormFromServer("EMRVITALS"));
    const std::string question =
        "Saved records for form 'EMRVITALS' already exist.\r\n"
        "Do you want to save this form with a different name?\r\n\r\n"
        "'Yes' - Save with different name.\r\n'No'  - Overwrite existing form.";

    // Yes: the dialog offers the next free suffix; cancelling it keeps the old name.
    a->ui.boolAnswers = {true};
    a->save.answers = {false};
    EXPECT_EQ(a->flows.SaveFormToServer(false), SaveOutcome::NotSaved);
    EXPECT_EQ(Asked(a->ui, question), 1);
    EXPECT_EQ(a->save.offered, std::vector<std::string>{"EMRVITALS_1"});
    EXPECT_EQ(a->save.overwrite, std::vector<bool>{false});
    EXPECT_EQ(a->model.settings.formCode, "EMRVITALS");
    EXPECT_TRUE(HasMessage(a->ui, "Form not saved.", "Saving Form..."));

    // No: the dialog opens to confirm the overwrite, and the form is saved in place.
    a->ui.boolAnswers = {false};
    a->save.answers = {true}, a->save.code = "EMRVITALS", a->save.name = "Vital Signs";
    EXPECT_EQ(a->flows.SaveFormToServer(false), SaveOutcome::Saved);
    EXPECT_EQ(Asked(a->ui, question), 2);
    EXPECT_EQ(a->save.offered, (std::vector<std::string>{"EMRVITALS_1", "EMRVITALS"}));
    EXPECT_EQ(a->save.overwrite, (std::vector<bool>{false, true}));

    // Forms without saved records are saved without that question. A statement can be marked
    // not active right after it is saved; answered No, or not a statement, the flags stay.
    for (auto [code, statement, answer] :
         {std::tuple{"STMT", true, true}, {"STMT2", true, false}, {"PLAIN", false, true}}) {
        a->ui.calls.clear();
        a->ui.boolAnswers = {answer};
        a->model.settings.formCode = code, a->model.settings.statement = statement;
        ASSERT_EQ(a->flows.SaveFormToServer(false), SaveOutcome::Saved);
        EXPECT_EQ(Asked(a->ui, "Mark this form as not active?"), statement ? 1 : 0) << code;
        EXPECT_EQ(Asked(a->ui, question), 0) << code;
        ASSERT_TRUE(requests::UpdateFormsDefinitions(a->comm, a->ui, a->flows.Definitions()));
        ASSERT_NE(a->flows.Definitions().Find(code), nullptr);
        EXPECT_EQ(a->flows.Definitions().Find(code)->active, !(statement && answer)) << code;
    }
}
