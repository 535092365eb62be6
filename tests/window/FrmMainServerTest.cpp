// The window against the real reference server.
#include "shell/StartOptions.h"
#include "shell/Version.h"
#include "window/WindowFixture.h"

namespace {
// A seeded reference server on this machine, and others when a test asks.
struct FrmMainServer : testing::Test {
    QTemporaryDir repo;
    std::unique_ptr<RepositoryServerProcess> server;
    NamePrompt prompt;  // names the form a save sends
    Window win{false, nullptr, &prompt};
    FrmMain& w = *win.w;
    void SetUp() override {
        if (RepositoryServerProcess::ProgramPath().empty()) GTEST_SKIP() << "no reference server";
        server = Start("repo.db", true);
    }
    std::unique_ptr<RepositoryServerProcess> Start(const char* name, bool seeded) {
        auto s =
            std::make_unique<RepositoryServerProcess>(repo.filePath(name).toStdString(), seeded);
        EXPECT_GT(s->Port(), 0);
        return s;
    }
};
}  // namespace

TEST_F(FrmMainServer, SavesToAndOpensFromTheReferenceServer) {
    RecordingUserInterface& ui = win.ui;
    ASSERT_TRUE(win.Connect(server->Port()));
    w.ConnectDialog().RefreshControls();
    ASSERT_TRUE(w.OpenLayout(DataPath("layouts/full.ldt")));
    w.Model().settings.formCode.clear();
    EXPECT_EQ(w.SaveToServer(false), SaveOutcome::Saved);
    EXPECT_EQ(w.windowTitle().toStdString(),
              "Form Designer - WINDOWFORM[*]   ***  Connected to 127.0.0.1  " +
                  std::to_string(server->Port()) + "  *** ");
    w.NewForm();
    EXPECT_EQ(w.Canvas().ItemLabelCount(), 0);
    EXPECT_EQ(w.windowTitle().toStdString() + "|" + win.Text("lblStatus").toStdString(),
              "Form Designer[*]" + win.Text("lblStatus").toStdString() + "|" +
                  "   ***  Connected to 127.0.0.1  " + std::to_string(server->Port()) + "  *** ");
    ASSERT_TRUE(w.OpenFormFromServer("WINDOWFORM"));
    EXPECT_EQ(w.Model().settings.formName, "Saved from the window");
    EXPECT_EQ(w.findChild<QLabel*>("lblPageTotal")->text(), "2");
    EXPECT_GT(w.Canvas().ItemLabelCount(), 10);
    // A demo form of the seeded server opens too.
    ASSERT_TRUE(w.OpenFormFromServer("CHARGE01"));
    EXPECT_EQ(w.Model().settings.formCode, "CHARGE01");
    EXPECT_FALSE(w.IsModified());
    // The catalogue over the open form: removing the prompt its label shows asks first.
    int questions = -1;
    QTimer::singleShot(0, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() != "frmDBLists" || !top->isVisible()) continue;
            auto* prompts = top->findChild<QTreeWidget*>("lvwPromptsSelected");
            ClickAt(prompts->viewport(),
                    prompts->visualItemRect(prompts->topLevelItem(0)).center());
            ui.Clear();
            ui.boolAnswers = {false};
            ClickAt(top->findChild<QPushButton*>("cmdRemove2"));
            questions = int(ui.calls.size()) * 10 + prompts->topLevelItemCount();
            ClickAt(top->findChild<QPushButton*>("cmdExit2"));
        }
    });
    w.ShowCatalogue();
    EXPECT_EQ(questions, 11);  // one question, the row kept
    // A save that fails leaves the form on the canvas and marked as changed.
    AddLabel(w, 1, 9);
    server->Kill();
    EXPECT_NE(w.SaveToServer(false), SaveOutcome::Saved);
    EXPECT_TRUE(w.IsModified());
}

TEST_F(FrmMainServer, APictureInsertedFromAnotherFolderIsKeptAndComesBackFromTheServer) {
    QTemporaryDir elsewhere;
    ASSERT_TRUE(win.Connect(server->Port()));
    std::string bytes = std::string("BM\0\r\n\xff", 6) + std::string(20000, 'p');
    std::string source = elsewhere.filePath("logo.v2.bmp").toStdString();
    WriteTestFile(source, bytes);

    win.ui.fileAnswers.push_back(source);
    Choose(w.ToolButton(kInsertImage));
    ClickAt(w.PageView(0), Px(1, 1));
    ClickAt(w.PageView(0), Px(3, 2));
    ASSERT_EQ(w.Canvas().Images().size(), 1u);
    EXPECT_EQ(w.Canvas().Images()[0].path, win.data.filePath("IMAGES/logo.v2.bmp").toStdString());
    ASSERT_EQ(w.SaveToServer(false), SaveOutcome::Saved);
    const std::string stamp = w.Flows().Definitions().ImageTimeStamp("WINDOWFORM", "logo.v2.bmp");
    EXPECT_FALSE(stamp.empty());
    EXPECT_EQ(w.Canvas().Images()[0].timeStamp, stamp);

    // Nothing left locally: the picture can only come from the server.
    w.NewForm();
    QDir(win.data.filePath("IMAGES")).removeRecursively();
    QDir(win.data.filePath("FORMS")).removeRecursively();
    ASSERT_TRUE(w.OpenFormFromServer("WINDOWFORM"));
    ASSERT_EQ(w.Canvas().Images().size(), 1u);
    EXPECT_TRUE(Slurp(w.Canvas().Images()[0].path) == bytes);
}

TEST_F(FrmMainServer, ConnectedFromTheMenuOpenGoesThroughTheBrowserAndSaveAsLooksUpDocumentTypes) {
    Window asking;  // with its own save dialog
    FrmMain& w = *asking.w;
    // File > "Connection...": the port typed and Connect clicked in the dialog.
    OnNextModal<FrmConnect>([&](FrmConnect* dlg) {
        Type(dlg->findChild<QLineEdit*>("txtPort"), QString::number(server->Port()));
        Type(dlg->findChild<QLineEdit*>("txtEntity"), "1");
        ClickAt(dlg->findChild<QPushButton*>("cmdConnect"));
    });
    Choose(&w, "mnuConnection");
    ASSERT_TRUE(w.Connection().Connected());
    for (const char* name : {"mnuOpen", "tbOpen"}) {
        OnNextModal<FrmDB>([](FrmDB* dlg) {
            QTreeView* list = dlg->List();
            int row = 0;
            while (row < list->model()->rowCount() &&
                   list->model()->index(row, 0).data().toString() != "INTAKE")
                ++row;
            ClickAt(list->viewport(), list->visualRect(list->model()->index(row, 0)).center());
            ClickAt(dlg->findChild<QPushButton*>("cmdGetForm"));
        });
        w.NewForm();
        asking.Choose(name);
        EXPECT_EQ(w.Model().settings.formCode, "INTAKE") << name;
        EXPECT_EQ(w.Model().settings.formName, "New Patient Intake") << name;
    }
    int opened = 0;
    w.SetCatalogueOpener([&] { ++opened; });
    // Opening the sub-menu leaves its entries reachable; "Build List" opens it.
    asking.Choose("mnuDBFieldsBuild");
    EXPECT_EQ(opened, 1);

    // "Save As...": the "..." button opens the picker on the server's document types.
    QString picked, pickerTitle;
    QTimer::singleShot(0, [&] {
        QWidget* dlg = QApplication::activeModalWidget();
        if (!dlg || dlg->windowTitle() != "Save Form As") return;
        QTimer::singleShot(0, [&] {
            auto* picker = qobject_cast<LookupPickerDialog*>(QApplication::activeModalWidget());
            if (!picker) return;
            pickerTitle = picker->windowTitle();
            QTableWidget* rows = picker->Table();
            DoubleClickAt(rows->viewport(), rows->visualItemRect(rows->item(2, 0)).center());
        });
        for (auto* b : dlg->findChildren<QPushButton*>())
            if (b->text() == "...") ClickAt(b);
        for (auto* field : dlg->findChildren<QLineEdit*>())
            if (field->text() == "EMR") picked = field->text();
        dlg->close();
    });
    EXPECT_EQ(w.SaveToServer(true), SaveOutcome::NotSaved);
    EXPECT_EQ(pickerTitle, "Document Type");
    EXPECT_EQ(picked, "EMR");
}

TEST_F(FrmMainServer, CopyFormsWindowCopiesBetweenTwoServersOnItsOwnLinks) {
    RepositoryServerProcess& source = *server;
    auto target = Start("b.db", false);
    win.Choose("mnuCopyForms");
    auto* dlg = w.findChild<FrmCopyForms*>("frmCopyForms");
    ASSERT_NE(dlg, nullptr);
    auto box = [&](const char* name) { return dlg->findChild<QLineEdit*>(name); };
    auto list = [&](const char* name) { return dlg->findChild<QTreeWidget*>(name); };
    auto click = [&](const char* name) { ClickAt(dlg->findChild<QPushButton*>(name)); };
    EXPECT_EQ(box("txtToIPAddress")->text(), "127.0.0.1");
    EXPECT_EQ(box("txtToPort")->text(), "5012");
    Type(box("txtFromIPAddress"), "localhost");
    Type(box("txtFromPort"), "x" + QString::number(source.Port()));  // leaves the address
    EXPECT_EQ(box("txtFromIPAddress")->text(), "127.0.0.1");
    EXPECT_EQ(box("txtFromPort")->text(), QString::number(source.Port()));  // digits only
    Type(box("txtToPort"), QString::number(target->Port()));

    click("cmdConnect");
    ASSERT_EQ(list("lvwFromServerForms")->topLevelItemCount(), 4);
    EXPECT_EQ(list("lvwFromServerForms")->topLevelItem(0)->text(2), "CHARGE01");
    QTreeWidget* from = list("lvwFromServerForms");
    ClickAt(from->viewport(), from->visualItemRect(from->topLevelItem(0)).center());
    click("cmdCopy");
    EXPECT_EQ(list("lvwFromServerForms")->topLevelItemCount(), 3);
    ASSERT_EQ(list("lvwCopyFormsToServer")->topLevelItemCount(), 1);
    click("cmdToConnect");
    EXPECT_EQ(list("lvwFromsInNewServer")->topLevelItemCount(), 0);
    click("cmdCopyForms");
    ASSERT_EQ(list("lvwFromsInNewServer")->topLevelItemCount(), 1);
    EXPECT_EQ(list("lvwFromsInNewServer")->topLevelItem(0)->text(3), "CHG");
    EXPECT_EQ(list("lvwCopyFormsToServer")->topLevelItemCount(), 0);
    EXPECT_EQ(dlg->findChild<QLabel*>("CopyStatusState")->text(), "Ready");
    EXPECT_TRUE(win.ui.Messages().empty());
    EXPECT_EQ(dlg->Logic().existing[0].imageCount, 2);  // the pictures came along
    EXPECT_FALSE(win.program.Connection().Connected());
}

// The version under Help, and the form previewed with sample data (a server of no catalogue).
TEST_F(FrmMainServer, ConnectedAtStartToTheServerTheCommandLineNames) {
    auto server = Start("bare.db", false);
    const std::string port = std::to_string(server->Port());
    for (bool answers : {true, false}) {
        if (!answers) server->Kill();
        RecordingUserInterface ui;
        QTemporaryDir data;
        DesignerProgramOptions o{&ui, data.path().toStdString(), {}};
        o.start = ParseStartOptions(std::vector<std::string>{"--connect", "127.0.0.1:" + port});
        DesignerProgram program(o);
        FrmMain w(program);
        w.show();
        EXPECT_EQ(w.windowTitle().toStdString(),
                  answers ? "Form Designer[*]   ***  Connected to 127.0.0.1  " + port + "  *** "
                          : "Form Designer[*]   ***  not connected *** ");
        EXPECT_EQ(w.ConnectDialog().windowTitle().toStdString(),
                  answers ? "127.0.0.1   " + port : "Disconnected");
        // A server that does not answer says so once; the designer opens all the same.
        ASSERT_EQ(ui.Messages().size(), answers ? 0u : 1u);
        if (!answers) {
            EXPECT_EQ(ui.Messages()[0].title, "Not Connected");
        }

        Choose(&w, "mnuAbout");
        ASSERT_FALSE(ui.Messages().empty());
        EXPECT_EQ(ui.Messages().back().title, "About Form Designer");
        EXPECT_EQ(ui.Messages().back().text.find(std::string("Form Designer ") + app::kVersion),
                  0u);
        if (!answers) continue;

        // "Preview with Sample Data": the account's 20 Courier characters overflow its 1.5 in.
        ASSERT_TRUE(w.OpenLayout(DataPath("layouts/full.ldt")));
        QString listed;
        OnNextModal<QDialog>([&](QDialog* dlg) {
            listed = dlg->findChild<QLabel*>("lblSampleOverflow")->text();
            dlg->reject();
        });
        Choose(&w, "mnuSamplePreview");
        EXPECT_TRUE(listed.contains("page 1: PATIENT.ACCOUNT needs")) << listed.toStdString();
    }
}
