// How the designer starts: connected to the server its command line names, the
// program's version under Help, and the form previewed with sample data.
#include "shell/StartOptions.h"
#include "shell/Version.h"
#include "window/WindowFixture.h"

TEST(FrmMainStart, ConnectedAtStartToTheServerTheCommandLineNames) {
    if (RepositoryServerProcess::ProgramPath().empty()) GTEST_SKIP() << "no reference server";
    QTemporaryDir repo;
    RepositoryServerProcess server(repo.filePath("repo.db").toStdString());
    ASSERT_GT(server.Port(), 0);
    const std::string port = std::to_string(server.Port());
    for (bool answers : {true, false}) {
        if (!answers) server.Kill();
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

        // File > "Preview with Sample Data": the account's 20 characters of Courier do not
        // fit its 1.5 in (the server has no catalogue: the field's name decides).
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
