// Undo, redo and the recovery files.
#include "window/WindowFixture.h"

using FrmMainUndo = WindowTest;

// The page is painted as afresh after every step, undo and redo: no part of it is left stale.
TEST_F(FrmMainUndo, EachCommandKindIsUndoneAndRedoneByteForByte) {
    OpenThreeLabels(win);
    auto* undo = win.Find<QAction>("mnuUndo");
    auto* redo = win.Find<QAction>("mnuRedo");
    EXPECT_FALSE(undo->isEnabled());
    const struct {
        const char* caption;
        std::function<void()> act;
    } steps[] = {
        {"Undo Move", [&] { Drag(page, Px(1.2, 1.1), Px(2.2, 1.6)); }},
        {"Undo Move",
         [&] {
             ClickAt(page, Px(3.2, 2.1));
             Press(Qt::Key_Right);
         }},
        {"Undo Delete",
         [&] {
             ClickAt(page, Px(1.2, 4.1));
             Press(Qt::Key_Delete);
         }},
        {"Undo Insert", [&] { ClickAt(page, Px(5, 6)); }},
        {"Undo Insert Grid",
         [&] {
             GridArea area{.left = 4, .top = 8, .right = 7, .bottom = 9, .columns = 3, .rows = 2};
             area.tag = "grid";
             w.BuildGrid(area);
         }},
        {"Undo Properties",
         [&] {
             OnNextModal<FrmSize>([](FrmSize* d) {
                 Type(d->WidthField(), "11");
                 Type(d->HeightField(), "8.5");
                 ClickAt(d->OkButton());
             });
             win.Choose("mnuPage");
         }},
    };
    std::vector<std::string> texts{Written(w)};
    for (const auto& step : steps) {
        step.act();
        QCoreApplication::processEvents();
        std::string now = Written(w);
        EXPECT_NE(now, texts.back()) << step.caption;
        EXPECT_EQ(undo->text(), step.caption);
        ExpectPageAsDrawnAfresh(w, 0, int(texts.size()));
        texts.push_back(now);
    }
    // Selecting alone is no step.
    ClickAt(page, Px(3.2, 2.1));
    for (size_t i = texts.size() - 1; i > 0; --i) {
        Press(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Written(w), texts[i - 1]) << i;
        ExpectPageAsDrawnAfresh(w, 0, -int(i));
    }
    EXPECT_FALSE(undo->isEnabled() || w.IsModified());
    EXPECT_EQ(page->height(), 11 * 96 + 1);  // the page shows the size it is undone to
    EXPECT_EQ(redo->text(), "Redo Move");
    for (size_t i = 1; i < texts.size(); ++i) {
        Press(i % 2 ? Qt::Key_Y : Qt::Key_Z,
              i % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(Written(w), texts[i]) << i;
        ExpectPageAsDrawnAfresh(w, 0, int(i));
    }
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_EQ(page->height(), 8.5 * 96 + 1);
    // A new command after an undo drops the redo; opening a form clears the history.
    Choose(undo);
    ClickAt(page, Px(6, 9));
    EXPECT_FALSE(redo->isEnabled());
    w.NewForm();
    EXPECT_FALSE(undo->isEnabled());
}

TEST_F(FrmMainUndo, AnOpenPropertiesDialogStaysOnItsLabelAndShowsTheUndoneValues) {
    OpenThreeLabels(win);
    // A deleted label before it: its index stays taken, so no label is renumbered.
    ClickAt(page, Px(1.2, 1.1));
    Press(Qt::Key_Delete);
    DoubleClickAt(page, Px(3.2, 2.1));
    auto* dlg = w.findChild<FrmProps*>("frmProps");
    ASSERT_TRUE(dlg && dlg->isVisible());
    const int label = dlg->CurrentLabelIndx();
    const std::string caption = w.Canvas().LabelAt(label)->caption.str();
    auto* left = dlg->findChild<QLineEdit*>("txtLeft");
    Type(left, "2.25");
    ClickAt(dlg->findChild<QPushButton*>("cmdApply"));
    EXPECT_EQ(win.Find<QAction>("mnuUndo")->text(), "Undo Properties");
    for (const char* shown : {"3.000", "2.250", "3.000"}) {
        std::string(shown) == "2.250" ? w.Redo() : w.Undo();
        EXPECT_TRUE(dlg->isVisible() && dlg->CurrentLabelIndx() == label) << shown;
        EXPECT_EQ(w.Canvas().LabelAt(label)->caption, caption);
        EXPECT_EQ(left->text(), shown);
    }
    EXPECT_EQ(win.Find<QAction>("mnuUndo")->text(), "Undo Delete");
}

TEST_F(FrmMainUndo, ChangesReachTheRecoveryFileThatRestoresThemAndACloseRemovesIt) {
    OpenThreeLabels(win);
    const std::string path = w.RecoveryPath();
    Drag(page, Px(1.2, 1.1), Px(2.2, 1.6));
    QTest::qWait(20);
    recovery::Entry e = recovery::Read(path);
    ASSERT_EQ(e.problem, "");
    EXPECT_EQ(e.formName, "three");
    EXPECT_TRUE(e.layoutText == Written(w));
    // Undone back to the saved form: nothing to recover.
    w.Undo();
    QTest::qWait(20);
    EXPECT_FALSE(files::FileExists(path));
    w.Redo();
    QTest::qWait(20);
    Window other;
    ASSERT_TRUE(other.w->OpenRecovered(recovery::Read(path).layoutText));
    EXPECT_EQ(Written(*other.w), Written(w));
    EXPECT_TRUE(other.w->IsModified());
    const std::string otherPath = other.w->RecoveryPath();
    EXPECT_TRUE(files::FileExists(otherPath));
    other.w.reset();
    EXPECT_FALSE(files::FileExists(otherPath));
    // The opened layout heads the recent list of the File menu, which opens it again.
    QMenuBar* bar = w.menuBar();
    ClickAt(bar, bar->actionGeometry(bar->actions()[0]).center());
    QMenu* recent = ClickEntry(bar->actions()[0]->menu(), "Recent Layouts");
    ASSERT_TRUE(recent && QTest::qWaitFor([recent] { return recent->isVisible(); }));
    EXPECT_TRUE(recent->actions()[0]->text().endsWith("three.ldt"));
    win.ui.boolAnswers = {true};  // the changes may go
    ClickEntry(recent, recent->actions()[0]->text());
    EXPECT_FALSE(w.IsModified() || files::FileExists(path));
}

// Runs twice: the parent starts this test again as a child with FD_CRASH_DATA set, which
// changes a form and is killed once its recovery file is written.
TEST_F(FrmMainUndo, AKilledWindowsFormIsOfferedAtTheNextStartAndRestoredExactly) {
    if (const char* dir = std::getenv("FD_CRASH_DATA")) {
        Window crashing(false, dir);
        OpenThreeLabels(crashing);
        Drag(crashing.w->PageView(0), Px(1.2, 1.1), Px(2.2, 1.6));
        WriteTestFile(std::string(dir) + "/expected", Written(*crashing.w));
        if (QTest::qWaitFor([&] { return files::FileExists(crashing.w->RecoveryPath()); }))
            raise(SIGKILL);
        return;  // not killed: the parent fails
    }
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    const std::string filter = std::string("--gtest_filter=") +
                               testing::UnitTest::GetInstance()->current_test_suite()->name() +
                               "." + testing::UnitTest::GetInstance()->current_test_info()->name();
    setenv("FD_CRASH_DATA", folder.c_str(), 1);
    setenv("TMPDIR", folder.c_str(), 1);  // the child's scratch folders go with this one
    char* argv[] = {const_cast<char*>("/proc/self/exe"), const_cast<char*>(filter.c_str()),
                    nullptr};
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], nullptr, nullptr, argv, environ);
    unsetenv("FD_CRASH_DATA");
    unsetenv("TMPDIR");
    ASSERT_EQ(spawned, 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;

    RecordingUserInterface ui;
    ui.boolAnswers = {true};
    std::optional<recovery::Entry> e = recovery::Offer(ui, folder);
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(ui.calls.at(0).text.rfind("Recover the unsaved form three of ", 0), 0u);
    ASSERT_TRUE(w.OpenRecovered(e->layoutText));
    EXPECT_TRUE(Written(w) == Slurp(folder + "/expected"));
    EXPECT_TRUE(w.IsModified());
}
