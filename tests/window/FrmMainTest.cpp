// The designer window driven as a user drives it: its start, strips, menus, pages and files.
#include <QMessageBox>

#include "window/WindowFixture.h"

using MainWindow = WindowTest;
using WindowFaults = WindowTest;

TEST_F(MainWindow,
       StartsWithALetterOrDataEntryPageAndTheWholeToolBarInteractiveToolsOnlyWhenAsked) {
    EXPECT_EQ(win.Text("lblFrmSize"), " 8.5'' X  11''");
    EXPECT_EQ((std::pair{w.Canvas().PageWidth(), w.Canvas().PageHeight()}), (std::pair{8.5, 11.0}));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->height(), 11 * 96 + 1);
    EXPECT_EQ(w.Canvas().Window().insertMode, kInsertLabel);
    EXPECT_TRUE(win.ui.calls.empty());  // no question, no server request
    EXPECT_EQ(w.windowTitle() + "|" + win.Text("lblStatus"),
              "Form Designer[*]   ***  not connected *** |   ***  not connected *** ");

    Window entry(true);
    EXPECT_EQ(entry.Text("lblFrmSize"), " 8'' X  5.5''");
    EXPECT_TRUE(entry.Find<QCheckBox>("chkDataEntryForm")->isChecked());
    EXPECT_EQ(entry.w->PageView(0)->width(), 8 * 96 + 1);

    // The tool bar: a new form is not interactive; the page sits 400 twips below the bar.
    EXPECT_FALSE(w.ToolButton(kInsertHotspot)->isVisible());
    EXPECT_EQ(win.Find<QWidget>("picContainer")->y(), 27);
    // Nothing hides behind the tool bar's overflow arrow, even with every tool shown.
    w.Model().settings.interactive = true;
    w.UpdateInteractive();
    for (int width : {1024, 1280}) {
        w.resize(width, 900);
        QTest::qWait(20);
        for (const char* name : {"picFormSize", "lblTextDefault", "lblTemplate"})
            EXPECT_TRUE(win.Find<QWidget>(name)->isVisible()) << name << " at " << width;
        auto* bar = win.Find<QToolBar>("Toolbar1");
        for (QAction* a : bar->actions()) {
            if (a->isSeparator()) continue;
            EXPECT_FALSE(a->icon().isNull()) << a->objectName().toStdString();
            QWidget* b = bar->widgetForAction(a);
            EXPECT_TRUE(b->isVisible() && bar->rect().contains(b->geometry()))
                << a->objectName().toStdString() << " at " << width;
        }
    }
    // A form not interactive has no hotspot or signature-box tool, and gives up one in use.
    Choose(w.ToolButton(kInsertHotspot));
    w.Model().settings.interactive = false;
    w.UpdateInteractive();
    EXPECT_FALSE(w.ToolButton(kInsertHotspot)->isVisible() ||
                 w.ToolButton(kInsertSignatureBox)->isVisible());
    EXPECT_EQ(w.Canvas().Window().insertMode, kInsertLabel);
    // No tool bar offers a menu that could hide it or show its internal name.
    EXPECT_EQ(w.createPopupMenu(), nullptr);
    for (QToolBar* bar : w.findChildren<QToolBar*>()) {
        EXPECT_EQ(bar->contextMenuPolicy(), Qt::PreventContextMenu);
        EXPECT_FALSE(bar->toggleViewAction()->isVisible());
    }
}

TEST_F(MainWindow, PageButtonsWalkThePagesOfAnOpenedForm) {
    // One page: the buttons cannot be used.
    EXPECT_FALSE(win.Find<QPushButton>("pageMove2")->isEnabled());
    ASSERT_TRUE(w.OpenLayout(DataPath("layouts/full.ldt")));
    EXPECT_EQ(win.Text("lblPageTotal"), "2");
    // Previous on the first page and next on the last stay where they are.
    const std::pair<const char*, int> clicks[] = {{"pageMove1", 0}, {"pageMove2", 1},
                                                  {"pageMove2", 1}, {"pageMove1", 0},
                                                  {"pageMove3", 1}, {"pageMove0", 0}};
    for (auto [button, page] : clicks) {
        ClickAt(win.Find<QPushButton>(button));
        EXPECT_EQ(win.Text("lblPageCurr"), QString::number(page + 1)) << button;
        EXPECT_EQ(w.Model().currentPage, page) << button;
        EXPECT_TRUE(w.PageView(page)->isVisible() && !w.PageView(1 - page)->isVisible()) << button;
    }
    // Multipage off hides the navigation.
    win.Choose("mnuMultipage");
    EXPECT_FALSE(win.Find<QPushButton>("pageMove0")->isVisible() ||
                 win.Find<QLabel>("lblPageTotal")->isVisible());
    win.Choose("mnuMultipage");
    EXPECT_TRUE(win.Find<QPushButton>("pageMove0")->isVisible());
}

TEST_F(MainWindow, ALongPageScrollsInHundredTwipStepsAndGuideLinesFollowThePointer) {
    ClickAt(win.Find<QCheckBox>("chkLinesOn"));
    EXPECT_TRUE(w.Canvas().Window().guideLines);
    Hover(page, QPoint(192, 288));
    EXPECT_NEAR(page->GuidePoint().x(), 2.0, 0.02);
    EXPECT_NEAR(page->GuidePoint().y(), 3.0, 0.02);
    EXPECT_EQ(win.Text("lblPosition"), "X 2.000  Y 3.000");

    w.SetPage(8.5, 14);
    auto* v = win.Find<QScrollBar>("VScroll1");
    auto* container = win.Find<QWidget>("picContainer");
    ScrollBarState expected = ComputeVerticalScrollBar(14, container->height() / 96.0);
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(std::tuple(v->maximum(), v->pageStep(), v->singleStep()),
              std::tuple(expected.maximum, expected.largeChange, expected.smallChange));
    // The whole page can be reached: the last value shows its bottom edge.
    EXPECT_GE(v->maximum() * 96.0 / 14.4 + container->height(), 14 * 96 - 96 / 14.4);
    v->setValue(10);
    EXPECT_EQ(page->y(), -int(std::lround(10 * 96 / 14.4)));
    EXPECT_EQ(w.Canvas().Window().lastVertical, 10);
    // The wheel scrolls the page too: a notch down, then one up.
    for (auto [angle, value] : {std::pair{-120, 19}, {120, 10}}) {
        Wheel(page, QPoint(200, 200), angle);
        EXPECT_EQ(v->value(), value);
    }
    // Auto scroll takes one step per 40 ms, and stops at the top.
    v->setValue(0);
    const int steps[][3] = {{1, 0, 1},   {1, 0, 1},   {1, 80, 2},
                            {-1, 80, 1}, {-1, 80, 0}, {-1, 80, 0}};
    for (auto [way, wait, value] : steps) {
        QTest::qWait(wait);
        w.AutoScroll(0, way);
        EXPECT_EQ(v->value(), value * v->singleStep()) << way << " after " << wait;
    }
    // A small page needs no bars; the canvas goes back to the corner.
    w.SetPage(3, 2);
    EXPECT_FALSE(v->isVisible());
    EXPECT_EQ(page->pos(), QPoint(0, 0));
}

TEST_F(MainWindow, LayoutFilesOpenSaveAndExportThroughTheFileDialogs) {
    // A cancelled dialog changes nothing.
    win.Choose("mnuGetFromFile");
    EXPECT_EQ(win.Text("lblPageTotal"), "1");

    win.ui.fileAnswers.push_back(DataPath("layouts/full.ldt"));
    win.Choose("mnuGetFromFile");
    EXPECT_EQ(win.Text("lblPageTotal"), "2");
    std::string out = win.data.filePath("copy").toStdString();
    win.ui.fileAnswers.push_back(out);
    win.ui.boolAnswers.assign(4, true);  // save even when a field is not in the catalogue
    win.Choose("mnuSaveToFile");

    // What was written reads back to the same layout.
    LoadedLayout original, copy;
    ASSERT_TRUE(original.Read(TestDataFile("layouts/full.ldt")));
    ASSERT_TRUE(copy.Read(Slurp(out + ".ldt")));
    EXPECT_EQ(copy.Write(), original.Write());

    // Once a forms list was read, the stamp is the listed form's, or none.
    const std::string code = w.Model().settings.formCode;
    for (auto [listed, stamp] : {std::pair{code, "777"}, {code + "X", ""}}) {
        w.Flows().Definitions().Clear();
        w.Flows().Definitions().Add({.name = listed, .timeStamp = "777"});
        win.ui.fileAnswers.push_back(out);
        win.Choose("mnuSaveToFile");
        EXPECT_NE(Slurp(out + ".ldt").find(std::string("TimeStamp:\t") + stamp + "\r\n"),
                  std::string::npos);
    }
    w.Flows().Definitions().Clear();
    // PDF: a name without its ending gets ".pdf"; a folder that is not there, a message.
    win.ui.fileAnswers = {out, win.data.filePath("no/such/form.pdf").toStdString()};
    win.Choose("mnuExportPdf");
    EXPECT_TRUE(files::FileExists(out + ".pdf"));
    const size_t messages = win.ui.Messages().size();
    win.Choose("mnuExportPdf");
    EXPECT_EQ(win.ui.Messages().size(), messages + 1);

    // A damaged file: the reader's message, and the window still works.
    std::string bad = win.data.filePath("bad.ldt").toStdString();
    WriteTestFile(bad, "no header here");
    win.ui.Clear();
    EXPECT_FALSE(w.OpenLayout(bad));
    ASSERT_FALSE(win.ui.Messages().empty());
    EXPECT_EQ(win.ui.Messages()[0].title, "Open Layout");
    w.NewForm();
    EXPECT_EQ(win.Text("lblPageTotal"), "1");
    EXPECT_EQ(w.Canvas().ItemLabelCount(), 0);
}

TEST_F(MainWindow, BackgroundListFileAndLocalFilesCommands) {
    QTemporaryDir elsewhere;
    const std::string picture = elsewhere.filePath("slip.bmp").toStdString();
    QImage(20, 10, QImage::Format_RGB32).save(QString::fromStdString(picture));
    auto trigger = [&](const char* name, std::string answer) {
        win.ui.fileAnswers = {answer};
        win.Choose(name);
    };
    trigger("mnuBackgroundLoad", picture);
    EXPECT_EQ(win.ui.calls.back().text, "*.jpg;*.jpeg");  // the name box starts with the filter
    EXPECT_EQ(w.Canvas().CurrentBackgroundImage(), "slip.bmp");
    EXPECT_TRUE(QFile::exists(win.data.filePath("IMAGES/slip.bmp")));
    // A cancelled dialog, or the initial name left, changes nothing.
    for (const char* cancelled : {"", "*.emf"}) trigger("mnuBackgroundLoad", cancelled);
    EXPECT_EQ(w.Canvas().CurrentBackgroundImage(), "slip.bmp");
    trigger("mnuBackgroundLoad", picture);  // replaces, never doubles
    EXPECT_EQ(std::count_if(w.Canvas().Backgrounds().begin(), w.Canvas().Backgrounds().end(),
                            [](const auto& b) { return b.active; }),
              1);

    // The picture the open form shows survives "Clear local files"; the rest goes.
    const LocalFolders& folders = w.Program().Folders();
    for (std::string f : {folders.ImagesFolder() + "/old.bmp", folders.FormsFolder() + "/OLD.ldt"})
        WriteTestFile(f, "x");
    win.Choose("mnuKillLocalFiles");
    EXPECT_FALSE(QFile::exists(win.data.filePath("IMAGES/old.bmp")) ||
                 QFile::exists(win.data.filePath("FORMS/OLD.ldt")));
    EXPECT_TRUE(QFile::exists(win.data.filePath("IMAGES/slip.bmp")));
    win.Choose("mnuBackgroundClear");
    EXPECT_EQ(w.Canvas().CurrentBackgroundImage(), "");
    EXPECT_EQ(w.Canvas().GetBackgroundImagesDefinitions(), "");

    const std::string list = elsewhere.filePath("fields.dbd").toStdString();
    WriteTestFile(list, "Patient name\tPT_NAME\r\nAccount\tPT_ACCT\r\n");
    trigger("mnuDBFieldsLoad", list);
    ASSERT_EQ(w.Model().databaseFields.size(), 2u);
    EXPECT_EQ(w.Model().databaseFields[1].fieldName, "PT_ACCT");
    for (const char* cancelled : {"", "*.dbd"}) trigger("mnuDBFieldsLoad", cancelled);
    EXPECT_EQ(w.Model().databaseFields.size(), 2u);

    // Not connected: the catalogue stays shut.
    int opened = 0;
    w.SetCatalogueOpener([&] { ++opened; });
    win.Choose("mnuDBFieldsBuild");
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(win.ui.Messages().empty());
}

// Keys reach the page at start, after each kind of dialog and after the zoom box; Ctrl+wheel
// keeps the point under the pointer on both axes, over the page and the grey beside it.
TEST_F(WindowFaults, KeysReachThePageAndTheWheelZoomsAroundThePointer) {
    w.Model().settings.verticalShift = 0.25;
    const int label = AddLabel(w, 1, 1);
    for (int way = 0; way < 4; ++way) {  // at start, Form Setup, a question, the zoom box
        if (way == 1) {
            OnNextModal<FrmSize>([](FrmSize* d) {
                Type(d->WidthField(), "11");
                Press(Qt::Key_Escape);  // nothing typed is kept
            });
            win.Choose("mnuPage");
            EXPECT_EQ(w.Canvas().PageWidth(), 8.5);
        } else if (way == 2) {
            OnNextModal<QWidget>([](QWidget* d) {
                InFront(d);
                Press(Qt::Key_Escape);
            });
            QMessageBox::question(&w, "Recovery", "Open the form?");
        } else if (way == 3) {
            ClickAt(win.Find<QComboBox>("cboZoom"));  // its list opens; Escape shuts it
            Press(Qt::Key_Escape);
            ClickAt(page, Px(1.2, 1.1));
        }
        InFront(&w);  // as the window manager does when a dialog goes
        w.Editor().SelectInRect({0, 0, 20, 20}, 0, false);
        const double top = w.Canvas().Label(label).top;
        Press(Qt::Key_Down);
        EXPECT_NEAR(w.Canvas().Label(label).top, top + 0.25, 1e-9) << way;
        EXPECT_EQ(w.Pages().Zoom(), 1) << way;
    }
    w.resize(1280, 900);  // the page at 156 % runs only a little past the viewport
    QCoreApplication::processEvents();
    auto* container = win.Find<QWidget>("picContainer");
    auto under = [&](QPoint at) {  // inches of the page under a point of the viewport
        return QPointF(page->mapFrom(container, at)) / page->PixelsPerInch();
    };
    const std::pair<QPoint, int> turns[] = {
        {{1000, 300}, 120}, {{460, 300}, 120}, {{300, 200}, 240}, {{500, 400}, -120}};
    for (auto [at, angle] : turns) {
        const QPointF before = under(at);
        // The page under the pointer, or the grey beside it.
        QWidget* target = container->childAt(at) ? container->childAt(at) : container;
        Wheel(target, target->mapFrom(container, at), angle, Qt::ControlModifier);
        EXPECT_EQ(win.Find<QComboBox>("cboZoom")->placeholderText(),
                  QString("%1 %").arg(std::lround(w.Pages().Zoom() * 100)));
        EXPECT_NEAR(under(at).x(), before.x(), 0.035) << at.x();  // half a bar's step
        EXPECT_NEAR(under(at).y(), before.y(), 0.035) << at.x();
    }
}
