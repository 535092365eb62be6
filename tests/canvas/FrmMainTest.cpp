// The designer window driven as a user drives it, on the offscreen platform.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QWheelEvent>
#include <cstdlib>

#include "canvas/CanvasPainter.h"
#include "canvas/view/FrmMain.h"
#include "canvas/view/PageCanvas.h"
#include "canvas/view/PageStrip.h"
#include "dialogs/qt/FrmLineProps.h"
#include "dialogs/qt/FrmLists.h"
#include "layout/LayoutTestSupport.h"
#include "server/qt/LookupPickerDialog.h"

namespace {

std::string DataPath(const std::string& name) {
    const char* dir = std::getenv("FD_TEST_DATA");
    return std::string(dir ? dir : "tests/data") + "/" + name;
}

// The program of a window: the test's user interface and a scratch data folder.
DesignerProgramOptions ProgramOptions(RecordingUserInterface& ui, const QTemporaryDir& data) {
    return {&ui, data.path().toStdString(), {}};
}

// A window of the test's user interface with a scratch data folder (or dataFolder).
struct Window {
    QTemporaryDir data;
    RecordingUserInterface ui;
    DesignerProgram program;
    std::unique_ptr<FrmMain> w;

    explicit Window(bool dataEntry = false, const char* dataFolder = nullptr)
        : program(dataFolder ? DesignerProgramOptions{&ui, dataFolder, {}}
                             : ProgramOptions(ui, data)) {
        FrmMainOptions o;
        o.pixelsPerInch = 96;
        o.dataEntryForm = dataEntry;
        o.recoveryDelayMs = 0;
        w = std::make_unique<FrmMain>(program, o);
        w->resize(1000, 760);
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    template <class T>
    T* Find(const char* name) {
        T* t = w->findChild<T*>(name);
        EXPECT_NE(t, nullptr) << name;
        return t;
    }
    QString Text(const char* label) { return Find<QLabel>(label)->text(); }
    void Click(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
};

}  // namespace

TEST(FrmMain, StartsWithAnEmptyLetterPageOrADataEntryPage) {
    Window plain;
    EXPECT_EQ(plain.Text("lblFrmSize"), " 8.5'' X  11''");
    EXPECT_DOUBLE_EQ(plain.w->Canvas().PageWidth(), 8.5);
    EXPECT_DOUBLE_EQ(plain.w->Canvas().PageHeight(), 11);
    ASSERT_NE(plain.w->PageView(0), nullptr);
    EXPECT_EQ(plain.w->PageView(0)->height(), 11 * 96 + 1);
    EXPECT_EQ(plain.w->Canvas().Window().insertMode, kInsertLabel);
    EXPECT_TRUE(plain.ui.calls.empty());  // no question, no server request

    Window entry(true);
    EXPECT_EQ(entry.Text("lblFrmSize"), " 8'' X  5.5''");
    EXPECT_TRUE(entry.Find<QCheckBox>("chkDataEntryForm")->isChecked());
    EXPECT_EQ(entry.w->PageView(0)->width(), 8 * 96 + 1);
}

TEST(FrmMain, CaptionAndStatusTellTheConnection) {
    Window win;
    EXPECT_EQ(win.w->windowTitle(), "Form Designer   ***  not connected *** ");
    EXPECT_EQ(win.Text("lblStatus"), "   ***  not connected *** ");
    win.w->SetStatusText("   ***  Connected to 127.0.0.1  5001  *** ");
    EXPECT_EQ(win.w->windowTitle(), "Form Designer   ***  Connected to 127.0.0.1  5001  *** ");
    // An open form's name comes before the connection.
    ASSERT_TRUE(win.w->OpenLayout(DataPath("layouts/minimal.ldt")));
    EXPECT_EQ(win.w->windowTitle(),
              "Form Designer - minimal   ***  Connected to 127.0.0.1  5001  *** ");
    win.w->NewForm();
    EXPECT_EQ(win.w->windowTitle(), "Form Designer   ***  Connected to 127.0.0.1  5001  *** ");
}

TEST(FrmMain, TheToolBarShowsItsWholeStripAndTheInteractiveToolsOnlyForInteractiveForms) {
    Window win;
    FrmMain& w = *win.w;
    // A new form is not interactive; the page sits 400 twips below the tool bar.
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
    // A form that is not interactive has no hotspot or signature-box tool; one in use
    // is given up.
    w.ToolButton(kInsertHotspot)->trigger();
    w.Model().settings.interactive = false;
    w.UpdateInteractive();
    EXPECT_FALSE(w.ToolButton(kInsertHotspot)->isVisible());
    EXPECT_FALSE(w.ToolButton(kInsertSignatureBox)->isVisible());
    EXPECT_EQ(w.Canvas().Window().insertMode, kInsertLabel);
    // No tool bar offers a menu that could hide it or show its internal name.
    EXPECT_EQ(w.createPopupMenu(), nullptr);
    for (QToolBar* bar : w.findChildren<QToolBar*>()) {
        EXPECT_EQ(bar->contextMenuPolicy(), Qt::PreventContextMenu);
        EXPECT_FALSE(bar->toggleViewAction()->isVisible());
    }
}

TEST(FrmMain, PageButtonsWalkThePagesOfAnOpenedForm) {
    Window win;
    // One page: the buttons cannot be used.
    EXPECT_EQ(win.Text("lblPageTotal"), "1");
    EXPECT_FALSE(win.Find<QPushButton>("pageMove2")->isEnabled());

    ASSERT_TRUE(win.w->OpenLayout(DataPath("layouts/full.ldt")));
    EXPECT_EQ(win.Text("lblPageTotal"), "2");
    EXPECT_EQ(win.Text("lblPageCurr"), "1");
    for (const char* b : {"pageMove0", "pageMove1", "pageMove2", "pageMove3"})
        EXPECT_TRUE(win.Find<QPushButton>(b)->isEnabled()) << b;
    win.Click("pageMove1");  // previous on page 1
    EXPECT_EQ(win.Text("lblPageCurr"), "1");
    win.Click("pageMove2");
    EXPECT_EQ(win.Text("lblPageCurr"), "2");
    EXPECT_EQ(win.w->Model().currentPage, 1);
    EXPECT_TRUE(win.w->PageView(1)->isVisible());
    EXPECT_FALSE(win.w->PageView(0)->isVisible());
    win.Click("pageMove2");  // next on the last page
    EXPECT_EQ(win.Text("lblPageCurr"), "2");
    win.Click("pageMove0");
    EXPECT_EQ(win.Text("lblPageCurr"), "1");
    win.Click("pageMove3");
    EXPECT_EQ(win.Text("lblPageCurr"), "2");

    // Multipage off hides the navigation.
    win.Find<QAction>("mnuMultipage")->trigger();
    EXPECT_FALSE(win.Find<QPushButton>("pageMove0")->isVisible());
    EXPECT_FALSE(win.Find<QLabel>("lblPageTotal")->isVisible());
    win.Find<QAction>("mnuMultipage")->trigger();
    EXPECT_TRUE(win.Find<QPushButton>("pageMove0")->isVisible());
}

TEST(FrmMain, AFourteenInchPageScrollsTheCanvasInHundredTwipSteps) {
    Window win;
    win.w->SetPage(8.5, 14);
    auto* v = win.Find<QScrollBar>("VScroll1");
    auto* container = win.Find<QWidget>("picContainer");
    ScrollBarState expected = ComputeVerticalScrollBar(14, container->height() / 96.0);
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(v->maximum(), expected.maximum);
    EXPECT_EQ(v->pageStep(), expected.largeChange);
    EXPECT_EQ(v->singleStep(), expected.smallChange);
    // The whole page can be reached: the last value shows its bottom edge.
    EXPECT_GE(v->maximum() * 96.0 / 14.4 + container->height(), 14 * 96 - 96 / 14.4);
    v->setValue(10);
    EXPECT_EQ(win.w->PageView(0)->y(), -int(std::lround(10 * 96 / 14.4)));
    EXPECT_EQ(win.w->Canvas().Window().lastVertical, 10);
    // The wheel scrolls the page too: a notch down, then one up.
    auto wheel = [&](int angle) {
        QPointF at(200, 200);
        QWheelEvent e(at, win.w->PageView(0)->mapToGlobal(at), {}, {0, angle}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(win.w->PageView(0), &e);
    };
    wheel(-120);
    EXPECT_EQ(v->value(), 19);
    wheel(120);
    EXPECT_EQ(v->value(), 10);
    // A small page needs no bars; the canvas goes back to the corner.
    win.w->SetPage(3, 2);
    EXPECT_FALSE(v->isVisible());
    EXPECT_EQ(win.w->PageView(0)->pos(), QPoint(0, 0));
}

TEST(FrmMain, AutoScrollTakesOneStepPerFortyMilliseconds) {
    Window win;
    win.w->SetPage(8.5, 30);
    auto* v = win.Find<QScrollBar>("VScroll1");
    ASSERT_TRUE(v->isVisible());
    win.w->AutoScroll(0, 1);
    int first = v->value();
    EXPECT_EQ(first, v->singleStep());
    win.w->AutoScroll(0, 1);  // throttled
    EXPECT_EQ(v->value(), first);
    QTest::qWait(80);
    win.w->AutoScroll(0, 1);
    EXPECT_EQ(v->value(), 2 * first);
    QTest::qWait(80);
    win.w->AutoScroll(0, -1);
    QTest::qWait(80);
    win.w->AutoScroll(0, -1);
    QTest::qWait(80);
    win.w->AutoScroll(0, -1);  // stops at the minimum
    EXPECT_EQ(v->value(), 0);
}

TEST(FrmMain, GuideLinesFollowThePointer) {
    Window win;
    PageCanvas* page = win.w->PageView(0);
    QTest::mouseClick(win.Find<QCheckBox>("chkLinesOn"), Qt::LeftButton);
    EXPECT_TRUE(win.w->Canvas().Window().guideLines);
    QTest::mouseMove(page, QPoint(192, 288));
    EXPECT_NEAR(page->GuidePoint().x(), 2.0, 0.02);
    EXPECT_NEAR(page->GuidePoint().y(), 3.0, 0.02);
    EXPECT_EQ(win.Text("lblPosition"), "X 2.000  Y 3.000");
}

TEST(FrmMain, LayoutFilesOpenAndSaveThroughTheFileDialogs) {
    Window win;
    // A cancelled dialog changes nothing.
    win.Find<QAction>("mnuGetFromFile")->trigger();
    EXPECT_EQ(win.Text("lblPageTotal"), "1");

    win.ui.fileAnswers.push_back(DataPath("layouts/full.ldt"));
    win.Find<QAction>("mnuGetFromFile")->trigger();
    EXPECT_EQ(win.Text("lblPageTotal"), "2");
    std::string out = win.data.filePath("copy").toStdString();
    win.ui.fileAnswers.push_back(out);
    win.ui.boolAnswers.assign(4, true);  // save even when a field is not in the catalogue
    win.Find<QAction>("mnuSaveToFile")->trigger();
    std::string written, error;
    ASSERT_TRUE(files::ReadWholeFile(out + ".ldt", written, error)) << error;

    // What was written reads back to the same layout.
    LoadedLayout original, copy;
    ASSERT_TRUE(original.Read(TestDataFile("layouts/full.ldt")));
    ASSERT_TRUE(copy.Read(written));
    EXPECT_EQ(copy.Write(), original.Write());

    // Once a forms list was read, the stamp is the listed form's, or none.
    const std::string code = win.w->Model().settings.formCode;
    for (auto [listed, stamp] : {std::pair{code, "777"}, {code + "X", ""}}) {
        win.w->Flows().Definitions().Clear();
        FormDefinition def;
        def.name = listed;
        def.timeStamp = "777";
        win.w->Flows().Definitions().Add(def);
        win.ui.fileAnswers.push_back(out);
        win.Find<QAction>("mnuSaveToFile")->trigger();
        ASSERT_TRUE(files::ReadWholeFile(out + ".ldt", written, error)) << error;
        EXPECT_NE(written.find(std::string("TimeStamp:\t") + stamp + "\r\n"), std::string::npos);
    }
    win.w->Flows().Definitions().Clear();

    // A damaged file: the reader's message, and the window still works.
    std::string bad = win.data.filePath("bad.ldt").toStdString();
    std::string badError;
    ASSERT_TRUE(files::AtomicWriteFile(bad, "no header here", badError));
    win.ui.Clear();
    EXPECT_FALSE(win.w->OpenLayout(bad));
    ASSERT_FALSE(win.ui.Messages().empty());
    EXPECT_EQ(win.ui.Messages()[0].title, "Open Layout");
    win.w->NewForm();
    EXPECT_EQ(win.Text("lblPageTotal"), "1");
    EXPECT_EQ(win.w->Canvas().ItemLabelCount(), 0);
}

namespace {
// Pixels of a point on the page at the test's 96 per inch.
QPoint Px(double x, double y) {
    return QPoint(int(x * 96), int(y * 96));
}
int AddLabel(FrmMain& w, double left, double top, double width = 1) {
    CanvasModel& c = w.Canvas();
    int i = c.LoadOneLabel(0);
    LabelControl& l = c.Label(i);
    l.left = left;
    l.top = top;
    l.width = width;
    l.height = 0.2;
    l.caption = "Item";
    l.visible = true;
    return i;
}
}  // namespace

TEST(FrmMainEditing, ShiftClickTwiceIsARubberBandAndCtrlClickToggles) {
    Window win;
    FrmMain& w = *win.w;
    int a = AddLabel(w, 1, 1), b = AddLabel(w, 2, 2), far = AddLabel(w, 6, 8);
    PageCanvas* page = w.PageView(0);
    QTest::mouseClick(page, Qt::LeftButton, Qt::ShiftModifier, Px(0.5, 0.5));
    EXPECT_TRUE(w.Canvas().Window().cornerPick);
    QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(3.5, 3.5));
    EXPECT_FALSE(w.Canvas().Window().cornerPick);
    EXPECT_EQ(w.Editor().SelectedLabels(), (std::vector<int>{a, b}));
    QTest::mouseClick(page, Qt::LeftButton, Qt::ControlModifier, Px(6.2, 8.1));
    EXPECT_EQ(w.Editor().SelectedLabels(), (std::vector<int>{a, b, far}));
    QTest::mouseClick(page, Qt::LeftButton, Qt::ControlModifier, Px(2.2, 2.1));
    EXPECT_EQ(w.Editor().SelectedLabels(), (std::vector<int>{a, far}));
    // Escape clears, Ctrl+A takes every label of the page; Delete removes only what is
    // selected.
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_TRUE(w.Editor().SelectedLabels().empty());
    QTest::keyClick(&w, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(w.Editor().SelectedLabels(), (std::vector<int>{a, b, far}));
    QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(1.2, 1.1));
    QTest::keyClick(&w, Qt::Key_Delete);
    EXPECT_EQ(w.Canvas().LabelAt(a), nullptr);
    EXPECT_NE(w.Canvas().LabelAt(b), nullptr);
}

TEST(FrmMainEditing, DraggingAGroupMovesEveryMemberByTheSameAmount) {
    Window win;
    FrmMain& w = *win.w;
    int a = AddLabel(w, 1, 1), b = AddLabel(w, 3, 2);
    PageCanvas* page = w.PageView(0);
    QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(1.2, 1.1));
    QTest::mouseClick(page, Qt::LeftButton, Qt::ControlModifier, Px(3.2, 2.1));
    QTest::mousePress(page, Qt::LeftButton, Qt::NoModifier, Px(1.2, 1.1));
    QTest::mouseMove(page, Px(2.2, 1.6));
    QTest::mouseRelease(page, Qt::LeftButton, Qt::NoModifier, Px(2.2, 1.6));
    EXPECT_NEAR(w.Canvas().Label(a).left, 2, 0.02);
    EXPECT_NEAR(w.Canvas().Label(a).top, 1.5, 0.02);
    EXPECT_NEAR(w.Canvas().Label(b).left, 4, 0.02);
    EXPECT_NEAR(w.Canvas().Label(b).top, 2.5, 0.02);
    // A click on a member of the group, without moving, leaves it alone selected.
    QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(4.2, 2.6));
    EXPECT_EQ(w.Editor().SelectedLabels(), (std::vector<int>{b}));
    // Arrow keys step the selection by the form's shift.
    w.Model().settings.horizontalShift = 0.25;
    double before = w.Canvas().Label(b).left;
    QTest::keyClick(&w, Qt::Key_Right);
    EXPECT_NEAR(w.Canvas().Label(b).left, before + 0.25, 1e-9);
}

TEST(FrmMainEditing, TheBoxToolPicksTwoCornersAndTheToolButtonsStayOneGroup) {
    Window win;
    FrmMain& w = *win.w;
    QAction* boxTool = w.ToolButton(kInsertBox);
    ASSERT_NE(boxTool, nullptr);
    boxTool->trigger();
    EXPECT_TRUE(boxTool->isChecked());
    EXPECT_EQ(w.Canvas().Window().insertMode, kInsertBox);
    w.ToolButton(kInsertImage)->trigger();
    EXPECT_FALSE(boxTool->isChecked());
    boxTool->trigger();
    PageCanvas* page = w.PageView(0);
    QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(1, 1));
    EXPECT_TRUE(w.Editor().TopMarker().visible);
    QTest::mouseMove(page, Px(2, 2));
    EXPECT_TRUE(w.Editor().BottomMarker().visible);
    QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(3, 2.5));
    ASSERT_EQ(w.Canvas().Boxes().size(), 1u);
    EXPECT_NEAR(w.Canvas().Boxes()[0].r.width, 2, 0.02);
    EXPECT_NEAR(w.Canvas().Boxes()[0].r.height, 1.5, 0.02);
    EXPECT_FALSE(w.Editor().TopMarker().visible);
    // Shift picks a band: the boxes inside join the marked ones, others keep theirs.
    QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(5, 5));
    QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(6, 6));
    ASSERT_EQ(w.Canvas().Boxes().size(), 2u);
    EXPECT_FALSE(w.Canvas().Boxes()[0].marked);
    QTest::mouseClick(page, Qt::LeftButton, Qt::ShiftModifier, Px(0.5, 0.5));
    QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(3.5, 3));
    EXPECT_EQ(w.Canvas().Boxes().size(), 2u);
    EXPECT_TRUE(w.Canvas().Boxes()[0].marked);
    EXPECT_TRUE(w.Canvas().Boxes()[1].marked);
    boxTool->trigger();  // pressed again: back to the label tool, nothing pressed
    EXPECT_FALSE(boxTool->isChecked());
    EXPECT_EQ(w.Canvas().Window().insertMode, kInsertLabel);
    // The label tool drops the template's label where the page is clicked, with no
    // key held.
    int count = w.Canvas().ItemLabelCount();
    QTest::mouseClick(page, Qt::LeftButton, Qt::ControlModifier, Px(5, 8));
    QTest::mouseClick(page, Qt::LeftButton, Qt::AltModifier, Px(5, 8));
    EXPECT_EQ(w.Canvas().ItemLabelCount(), count);
    QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(5, 8));
    EXPECT_EQ(w.Canvas().ItemLabelCount(), count + 1);
}

TEST(FrmMainEditing, DragsAndInsertsLandOnTheSameInchesAtEveryZoom) {
    std::vector<double> landed[3];
    const double zooms[] = {1, 0.5, 3};
    for (int z = 0; z < 3; ++z) {
        Window win;
        FrmMain& w = *win.w;
        w.Pages().SetZoom(zooms[z]);
        PageCanvas* page = w.PageView(0);
        auto at = [&](double x, double y) {
            return QPoint(int(std::lround(page->ToPixels(x))), int(std::lround(page->ToPixels(y))));
        };
        int a = AddLabel(w, 1, 1);
        QTest::mousePress(page, Qt::LeftButton, Qt::NoModifier, at(1.2, 1.1));
        QTest::mouseMove(page, at(2.2, 1.6));
        QTest::mouseRelease(page, Qt::LeftButton, Qt::NoModifier, at(2.2, 1.6));
        QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, at(5, 8));  // the label tool
        const LabelControl& dropped = w.Canvas().Label(w.Canvas().LabelOrder().back());
        landed[z] = {w.Canvas().Label(a).left, w.Canvas().Label(a).top, dropped.left, dropped.top};
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(landed[z][i], landed[0][i], 0.02) << zooms[z];
    }
    EXPECT_NEAR(landed[0][0], 2, 0.02);
    // Ctrl and the wheel zoom around the pointer; the keys' entries take it back.
    Window win;
    PageStrip& strip = win.w->Pages();
    PageCanvas* page = win.w->PageView(0);
    QPoint pointer(200, 150);
    QPointF global = page->mapToGlobal(QPointF(pointer));
    QWheelEvent wheel(QPointF(pointer), global, {}, {0, 120}, Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(page, &wheel);
    EXPECT_DOUBLE_EQ(strip.Zoom(), 1.25);
    EXPECT_EQ(win.Find<QComboBox>("cboZoom")->placeholderText(), "125 %");
    EXPECT_NEAR(page->mapFromGlobal(global).x() / page->PixelsPerInch(), 200 / 96.0, 0.1);
    for (int i = 0; i < 20; ++i) win.Find<QAction>("mnuZoomIn")->trigger();
    EXPECT_DOUBLE_EQ(strip.Zoom(), PageStrip::kMaxZoom);
    win.Find<QAction>("mnuZoomActual")->trigger();
    EXPECT_DOUBLE_EQ(strip.Zoom(), 1);
    EXPECT_EQ(win.Find<QAction>("mnuZoomActual")->shortcut(), QKeySequence("Ctrl+0"));
}

TEST(FrmMainEditing, WithSnapOnDropsAndInsertsLandOnTheGrid) {
    Window win;
    FrmMain& w = *win.w;
    int a = AddLabel(w, 1.03, 1.01);
    PageCanvas* page = w.PageView(0);
    win.Find<QAction>("mnuSnap")->trigger();
    win.ui.inputAnswers.push_back("0.25");
    win.Find<QAction>("mnuSnapStep")->trigger();
    EXPECT_EQ(w.Editor().SnapStep(), 0.25);
    QTest::mousePress(page, Qt::LeftButton, Qt::NoModifier, Px(1.2, 1.1));
    QTest::mouseMove(page, Px(2.4, 1.7));
    QTest::mouseRelease(page, Qt::LeftButton, Qt::NoModifier, Px(2.4, 1.7));
    QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(4.4, 6.1));  // the label tool
    const LabelControl& dropped = w.Canvas().Label(w.Canvas().LabelOrder().back());
    for (double v : {w.Canvas().Label(a).left, w.Canvas().Label(a).top, dropped.left, dropped.top})
        EXPECT_DOUBLE_EQ(std::fmod(v, 0.25), 0) << v;
    EXPECT_DOUBLE_EQ(w.Canvas().Label(a).left, 2.25);
    // Off again: items land where the pointer leaves them.
    win.Find<QAction>("mnuSnap")->trigger();
    EXPECT_EQ(w.Editor().SnapStep(), 0);
}

#include "../server/RepositoryServerProcess.h"

namespace {
struct NamePrompt : SaveFormPrompt {
    bool ShowSaveDialog(FormSettings& s, bool) override {
        s.formCode = "WINDOWFORM";
        s.formName = "Saved from the window";
        s.formType = "TEST";
        s.formDocumentType = "LAB";
        return true;
    }
};
}  // namespace

TEST(FrmMainServer, SavesToAndOpensFromTheReferenceServer) {
    if (RepositoryServerProcess::ProgramPath().empty()) GTEST_SKIP() << "no reference server";
    QTemporaryDir repo;
    RepositoryServerProcess server(repo.filePath("repo.db").toStdString(), true);
    ASSERT_GT(server.Port(), 0);
    NamePrompt prompt;
    RecordingUserInterface ui;
    QTemporaryDir data;
    DesignerProgram program(ProgramOptions(ui, data));
    FrmMainOptions o;
    o.pixelsPerInch = 96;
    o.savePrompt = &prompt;
    FrmMain w(program, o);
    w.show();
    // Connected through the dialog's logic, as its Connect button does.
    w.Connection().port = std::to_string(server.Port());
    w.Connection().entity = "1";
    ASSERT_TRUE(w.Connection().Connect());
    w.ConnectDialog().RefreshControls();
    ASSERT_TRUE(w.OpenLayout(DataPath("layouts/full.ldt")));
    w.Model().settings.formCode.clear();
    EXPECT_EQ(w.SaveToServer(false), SaveOutcome::Saved);
    EXPECT_EQ(w.windowTitle().toStdString(),
              "Form Designer - WINDOWFORM   ***  Connected to 127.0.0.1  " +
                  std::to_string(server.Port()) + "  *** ");
    w.NewForm();
    EXPECT_EQ(w.Canvas().ItemLabelCount(), 0);
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
            prompts->setCurrentItem(prompts->topLevelItem(0));
            ui.Clear();
            ui.boolAnswers = {false};
            QTest::mouseClick(top->findChild<QPushButton*>("cmdRemove2"), Qt::LeftButton);
            questions = int(ui.calls.size()) * 10 + prompts->topLevelItemCount();
            QTest::mouseClick(top->findChild<QPushButton*>("cmdExit2"), Qt::LeftButton);
        }
    });
    w.ShowCatalogue();
    EXPECT_EQ(questions, 11);  // one question, the row kept
    // A save that fails leaves the form on the canvas and marked as changed.
    AddLabel(w, 1, 9);
    server.Kill();
    EXPECT_NE(w.SaveToServer(false), SaveOutcome::Saved);
    EXPECT_TRUE(w.IsModified());
}

TEST(FrmMainServer, APictureInsertedFromAnotherFolderIsKeptAndComesBackFromTheServer) {
    if (RepositoryServerProcess::ProgramPath().empty()) GTEST_SKIP() << "no reference server";
    QTemporaryDir repo, data, elsewhere;
    RepositoryServerProcess server(repo.filePath("repo.db").toStdString());
    ASSERT_GT(server.Port(), 0);
    NamePrompt prompt;
    RecordingUserInterface ui;
    DesignerProgram program(ProgramOptions(ui, data));
    FrmMainOptions o;
    o.pixelsPerInch = 96;
    o.savePrompt = &prompt;
    FrmMain w(program, o);
    w.show();
    w.Connection().port = std::to_string(server.Port());
    w.Connection().entity = "1";
    ASSERT_TRUE(w.Connection().Connect());
    std::string bytes = std::string("BM\0\r\n\xff", 6) + std::string(20000, 'p'), error;
    std::string source = elsewhere.filePath("logo.v2.bmp").toStdString();
    ASSERT_TRUE(files::AtomicWriteFile(source, bytes, error));

    ui.fileAnswers.push_back(source);
    w.ToolButton(kInsertImage)->trigger();
    QTest::mouseClick(w.PageView(0), Qt::LeftButton, Qt::NoModifier, Px(1, 1));
    QTest::mouseClick(w.PageView(0), Qt::LeftButton, Qt::NoModifier, Px(3, 2));
    ASSERT_EQ(w.Canvas().Images().size(), 1u);
    EXPECT_EQ(w.Canvas().Images()[0].path, data.filePath("IMAGES/logo.v2.bmp").toStdString());
    ASSERT_EQ(w.SaveToServer(false), SaveOutcome::Saved);
    const std::string stamp = w.Flows().Definitions().ImageTimeStamp("WINDOWFORM", "logo.v2.bmp");
    EXPECT_FALSE(stamp.empty());
    EXPECT_EQ(w.Canvas().Images()[0].timeStamp, stamp);

    // Nothing left locally: the picture can only come from the server.
    w.NewForm();
    QDir(data.filePath("IMAGES")).removeRecursively();
    QDir(data.filePath("FORMS")).removeRecursively();
    ASSERT_TRUE(w.OpenFormFromServer("WINDOWFORM"));
    ASSERT_EQ(w.Canvas().Images().size(), 1u);
    std::string fetched;
    ASSERT_TRUE(files::ReadWholeFile(w.Canvas().Images()[0].path, fetched, error)) << error;
    EXPECT_TRUE(fetched == bytes);
}

TEST(FrmMainServer, AfterConnectingFromTheMenuTheSaveDialogLooksUpDocumentTypes) {
    if (RepositoryServerProcess::ProgramPath().empty()) GTEST_SKIP() << "no reference server";
    QTemporaryDir repo, data;
    RepositoryServerProcess server(repo.filePath("repo.db").toStdString(), true);
    ASSERT_GT(server.Port(), 0);
    RecordingUserInterface ui;
    DesignerProgram program(ProgramOptions(ui, data));
    FrmMainOptions o;
    o.pixelsPerInch = 96;
    FrmMain w(program, o);  // with its own save dialog
    w.show();
    // File > "Connection...": the port typed and Connect clicked in the dialog.
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<FrmConnect*>(QApplication::activeModalWidget());
        if (!dlg) return;
        dlg->findChild<QLineEdit*>("txtPort")->setText(QString::number(server.Port()));
        dlg->findChild<QLineEdit*>("txtEntity")->setText("1");
        QTest::mouseClick(dlg->findChild<QPushButton*>("cmdConnect"), Qt::LeftButton);
    });
    w.findChild<QAction*>("mnuConnection")->trigger();
    ASSERT_TRUE(w.Connection().Connected());

    // "Save As...": the "..." button opens the picker on the server's document types.
    QString picked, pickerTitle;
    QTimer::singleShot(0, [&] {
        QWidget* dlg = QApplication::activeModalWidget();
        if (!dlg || dlg->windowTitle() != "Save Form As") return;
        QTimer::singleShot(0, [&] {
            auto* picker = qobject_cast<LookupPickerDialog*>(QApplication::activeModalWidget());
            if (!picker) return;
            pickerTitle = picker->windowTitle();
            picker->Table()->selectRow(2);
            picker->AcceptCurrent();
        });
        for (auto* b : dlg->findChildren<QPushButton*>())
            if (b->text() == "...") QTest::mouseClick(b, Qt::LeftButton);
        for (auto* field : dlg->findChildren<QLineEdit*>())
            if (field->text() == "EMR") picked = field->text();
        dlg->close();
    });
    EXPECT_EQ(w.SaveToServer(true), SaveOutcome::NotSaved);
    EXPECT_EQ(pickerTitle, "Document Type");
    EXPECT_EQ(picked, "EMR");
}

TEST(FrmMainEditing, TheGridToolOpensInsertGridWhichBuildsAndSnapsRowsToTheBackgroundsLines) {
    Window win;
    FrmMain& w = *win.w;
    // A ruled page picture at 50 pixels per inch: four lines 0.3 inch apart from 2 inches.
    QImage ruled(425, 550, QImage::Format_RGB32);
    ruled.fill(Qt::white);
    ruled.setDotsPerMeterX(qRound(50 / 0.0254));
    ruled.setDotsPerMeterY(qRound(50 / 0.0254));
    for (int k = 0; k < 4; ++k) QPainter(&ruled).fillRect(0, 100 + 15 * k, 425, 2, Qt::black);
    const QString images = QString::fromStdString(win.program.ImagesFolder());
    QDir().mkpath(images);
    ASSERT_TRUE(ruled.save(images + "/ruled.png"));
    QFile layout(win.data.filePath("ruled.ldt"));
    ASSERT_TRUE(layout.open(QIODevice::WriteOnly));
    layout.write(
        "<HEADER>\r\nPage:\t8.5\t11\r\nBackground_Image:\truled.png\t1\t1\r\n</HEADER>\r\n"
        "<PAGE>\r\n</PAGE>\r\n");
    layout.close();
    ASSERT_TRUE(w.OpenLayout(layout.fileName().toStdString()));

    w.ToolButton(kInsertGrid)->trigger();
    QTest::mouseClick(w.PageView(0), Qt::LeftButton, Qt::NoModifier, Px(1, 1.5));
    QTest::mouseClick(w.PageView(0), Qt::LeftButton, Qt::NoModifier, Px(5, 3.5));
    FrmGrid* grid = w.Dialogs().Grid();
    ASSERT_TRUE(grid && grid->isVisible());
    EXPECT_EQ(grid->windowTitle(), "Insert Grid");
    EXPECT_EQ(grid->Field("Left")->text() + grid->Field("Bottom")->text(), "1.0003.500");
    auto type = [&](const char* field, const char* text) {
        grid->Field(field)->selectAll();
        QTest::keyClicks(grid->Field(field), text);
    };
    auto press = [&](const char* button) {
        QTest::mouseClick(grid->Button(button), Qt::LeftButton);
    };
    type("Columns", "3");
    type("Rows", "2");
    press("Apply");
    EXPECT_EQ(w.Editor().SelectedLabels().size(), 6u);

    // Check boxes and options take a click on their mark.
    for (QAbstractButton* b : {(QAbstractButton*)grid->Check("Auto calc - snap to lines"),
                               (QAbstractButton*)grid->Option("Both")})
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    press("Apply");
    // Five rows, each label centred between two lines (or beyond the last ones).
    std::vector<int> cells = w.Editor().SelectedLabels();
    ASSERT_EQ(cells.size(), 15u);
    for (int r = 0; r < 5; ++r) {
        const LabelControl& l = w.Canvas().Label(cells[size_t(r * 3)]);
        EXPECT_NEAR(l.top + l.height / 2, 1.85 + 0.3 * r, 0.02) << r;
    }
    press("Fill from List");
    EXPECT_TRUE(w.Dialogs().Lists()->isVisible());
    press("Clear");
    for (int i : cells) EXPECT_EQ(w.Canvas().LabelAt(i), nullptr);
    press("Done");
    EXPECT_FALSE(grid->isVisible());
    EXPECT_FALSE(w.Editor().GridAreaVisible());
    EXPECT_TRUE(win.ui.Messages().empty());
}

TEST(FrmMainEditing, GridsGetConsecutiveNumbersAndComeBackSelected) {
    Window win;
    GridArea area;
    area.left = 1;
    area.top = 1;
    area.right = 4;
    area.bottom = 2;
    area.columns = 2;
    area.rows = 2;
    area.tag = "grid";
    auto first = win.w->BuildGrid(area);
    auto second = win.w->BuildGrid(area);
    ASSERT_EQ(first.size(), 4u);
    EXPECT_EQ(win.w->Canvas().Label(first[0]).caption, "1:1,1");
    EXPECT_EQ(win.w->Canvas().Label(second[0]).caption, "2:1,1");
    EXPECT_EQ(win.w->Editor().SelectedLabels(), second);
    EXPECT_EQ(win.w->Canvas().Label(second[1]).tag, "");
    area.dataGrid = true;
    area.columns = 3;
    area.columnsInRecord = 2;
    EXPECT_TRUE(win.w->BuildGrid(area).empty());  // refused: the number is not used up
    area.columns = 4;
    auto data = win.w->BuildGrid(area);
    ASSERT_FALSE(data.empty());
    EXPECT_EQ(win.w->Canvas().Label(data[0]).caption,
              "\xF4"
              "3:1,1");
}

#include <QApplication>
#include <QMenu>
#include <QTimer>

namespace {
// Chooses the entry with this text (in a sub-menu when given) of the pop-up menu
// that the next right click opens.
void ChooseFromNextPopup(const QString& entry, const QString& subMenu = {}) {
    QTimer::singleShot(50, [=] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        QMenu* target = menu;
        if (!subMenu.isEmpty())
            for (QAction* a : menu->actions())
                if (a->text() == subMenu) target = a->menu();
        for (QAction* a : target->actions())
            if (a->text() == entry) {
                a->trigger();
                break;
            }
        menu->close();
    });
}
}  // namespace

TEST(FrmMainEditing, TheItemMenuTurnsALabelIntoADataFieldOrStaticTextOrDeletesIt) {
    Window win;
    FrmMain& w = *win.w;
    w.Model().databaseFields.push_back({"PT_NAME", "PATIENT.LAST_NAME"});
    int a = AddLabel(w, 1, 1), b = AddLabel(w, 3, 2);
    PageCanvas* page = w.PageView(0);
    ChooseFromNextPopup("PT_NAME PATIENT.LAST_NAME", "Data Fields");
    QTest::mouseClick(page, Qt::RightButton, Qt::NoModifier, Px(1.2, 1.1));
    EXPECT_EQ(w.Canvas().Label(a).caption, "~PT_NAME");
    EXPECT_TRUE(w.Canvas().Label(a).autoSize);
    EXPECT_EQ(w.Model().Item(a).itemKind, ItemKind::DatabaseField);

    w.Canvas().Label(0).caption = "Default";
    ChooseFromNextPopup("Text (Static)");
    QTest::mouseClick(page, Qt::RightButton, Qt::NoModifier, Px(1.2, 1.1));
    EXPECT_EQ(w.Canvas().Label(a).caption, "Default");
    EXPECT_EQ(w.Model().Item(a).itemKind, ItemKind::StaticText);

    ChooseFromNextPopup("Delete");
    QTest::mouseClick(page, Qt::RightButton, Qt::NoModifier, Px(3.2, 2.1));
    EXPECT_EQ(w.Canvas().LabelAt(b), nullptr);
    EXPECT_NE(w.Canvas().LabelAt(a), nullptr);
}

TEST(FrmMainEditing, RightClickDeleteTakesThatItemAloneAndABarcodeLabelHasTheLabelMenu) {
    Window win;
    FrmMain& w = *win.w;
    CanvasModel& c = w.Canvas();
    int a = AddLabel(w, 1, 1), b = AddLabel(w, 3, 1);
    int image = c.AddImage({1, 3, 1, 1}, 0, "a.png", "");
    int box = c.AddBox({4, 3, 2, 2}, 0);
    PageCanvas* page = w.PageView(0);
    QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(1.2, 1.1));
    QTest::mouseClick(page, Qt::LeftButton, Qt::ControlModifier, Px(3.2, 1.1));
    ChooseFromNextPopup("Delete");
    QTest::mouseClick(page, Qt::RightButton, Qt::NoModifier, Px(1.5, 3.5));  // the image
    EXPECT_FALSE(c.Images()[size_t(image)].active);
    EXPECT_EQ(w.Editor().SelectedLabels(), (std::vector<int>{a, b}));  // still there
    // The box's label stands for the box.
    ChooseFromNextPopup("Delete");
    QTest::mouseClick(page, Qt::RightButton, Qt::NoModifier, Px(4.05, 3.05));
    EXPECT_FALSE(c.Boxes()[size_t(box)].active);
    EXPECT_NE(c.LabelAt(a), nullptr);
    EXPECT_NE(c.LabelAt(b), nullptr);
    // A barcode's label is turned into a data field as any label is; it stays a
    // barcode of its size.
    w.Model().databaseFields.push_back({"PT_ID", "PATIENT.ID"});
    int barcode = c.AddBarcode({1, 6, 2, 0.5}, 0, "123");
    ChooseFromNextPopup("PT_ID PATIENT.ID", "Data Fields");
    QTest::mouseClick(page, Qt::RightButton, Qt::NoModifier, Px(1.05, 6.05));
    EXPECT_EQ(c.Label(barcode).caption, "~PT_ID");
    EXPECT_EQ(c.GetBarcodeWidthHeight(barcode), "2\t0.5");
}

TEST(FrmMainEditing, ChangesAreNotLostByClosingOrStartingANewFormUnasked) {
    Window win;
    FrmMain& w = *win.w;
    ASSERT_TRUE(w.OpenLayout(DataPath("layouts/full.ldt")));
    EXPECT_FALSE(w.IsModified());
    // Selecting is not a change.
    PageCanvas* page = w.PageView(0);
    const int a = AddLabel(w, 4, 9.5);
    w.MarkSaved();
    QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(4.2, 9.6));
    EXPECT_TRUE(w.Editor().IsSelected(a));
    EXPECT_FALSE(w.IsModified());
    // Moving is.
    QTest::keyClick(&w, Qt::Key_Right);
    EXPECT_TRUE(w.IsModified());

    auto asked = [&] {
        int n = 0;
        for (const auto& c : win.ui.calls)
            if (c.kind == RecordingUserInterface::Kind::OkCancel) ++n;
        return n;
    };
    win.ui.Clear();
    win.ui.boolAnswers = {false};  // keep the form
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(asked(), 1);
    win.ui.boolAnswers = {false};
    win.Find<QAction>("mnuNew")->trigger();
    EXPECT_NE(w.Canvas().LabelAt(a), nullptr);  // still there
    EXPECT_EQ(asked(), 2);

    // Saved to a file, the form closes without a question.
    win.ui.fileAnswers.push_back(win.data.filePath("kept.ldt").toStdString());
    win.ui.boolAnswers.assign(4, true);
    win.Find<QAction>("mnuSaveToFile")->trigger();
    EXPECT_FALSE(w.IsModified());
    win.ui.Clear();
    EXPECT_TRUE(w.close());
    EXPECT_EQ(asked(), 0);
}

TEST(FrmMainEditing, PopupMenusFromCaptionsGiveBackTheChoice) {
    Window win;
    ChooseFromNextPopup("Properties");
    EXPECT_EQ(win.w->ShowPopupMenu({"Delete", "-", "Properties"}), "Properties");
    QTimer::singleShot(50, [] {
        if (QWidget* menu = QApplication::activePopupWidget()) menu->close();
    });
    EXPECT_EQ(win.w->ShowPopupMenu({"Delete"}), "");  // closed without a choice
}

#include "dialogs/qt/FrmProps.h"

TEST(FrmMainEditing, ThePropertiesOfTheItemMenuEditALabelThatIsThenWritten) {
    Window win;
    FrmMain& w = *win.w;
    int a = AddLabel(w, 1, 1), b = AddLabel(w, 3, 2);
    PageCanvas* page = w.PageView(0);
    ChooseFromNextPopup("Properties");
    QTest::mouseClick(page, Qt::RightButton, Qt::NoModifier, Px(1.2, 1.1));
    auto* dlg = w.findChild<FrmProps*>("frmProps");
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->windowTitle(), "Properties");
    auto field = [&](const char* name) { return dlg->findChild<QLineEdit*>(name); };
    field("txtStatic")->selectAll();
    QTest::keyClicks(field("txtStatic"), "Balance due");
    EXPECT_EQ(dlg->findChild<QLabel*>("lblPreview")->text(), "Balance due");
    field("txtLeft")->setText("2.25");
    field("txtTop")->setText("oops");  // refused: nothing is written
    QTest::mouseClick(dlg->findChild<QPushButton*>("cmdApply"), Qt::LeftButton);
    EXPECT_EQ(field("txtTop")->text(), "1.000");
    EXPECT_EQ(w.Canvas().Label(a).caption, "Item");
    QTest::mouseClick(dlg->findChild<QPushButton*>("cmdApply"), Qt::LeftButton);
    EXPECT_EQ(w.Canvas().Label(a).caption, "Balance due");
    EXPECT_DOUBLE_EQ(w.Canvas().Label(a).left, 2.25);
    // The dialog follows a click on another label; a step press reaches its fields.
    QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(3.2, 2.1));
    EXPECT_EQ(dlg->CurrentLabelIndx(), b);
    w.Model().settings.horizontalShift = 0.5;
    w.UpdateShiftOfOpenDialogs();
    EXPECT_EQ(field("txtHSpacing")->text(), "0.5");
    // Closed, a double click on a label opens it again on that label.
    dlg->close();
    QTest::mouseDClick(page, Qt::LeftButton, Qt::NoModifier, Px(2.3, 1.1));
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->CurrentLabelIndx(), a);
    // "Text Default" binds it to the template.
    for (QAction* act : w.findChildren<QAction*>())
        if (act->objectName() == "mnuTextDefault") act->trigger();
    EXPECT_EQ(dlg->windowTitle(), "Default Text Properties");
    EXPECT_FALSE(field("txtLeft")->isVisibleTo(dlg));

    QString path = win.data.filePath("edited.ldt");
    ASSERT_TRUE(w.SaveLayout(path.toStdString()));
    std::string text = files::ReadTextFile(path.toStdString());
    EXPECT_NE(text.find("Balance due\t2.25\t1\t"), std::string::npos) << text;
}

#include "canvas/view/ItemDialogs.h"

TEST(FrmMainEditing, EachItemDialogOpensFromTheItemMenuAndApplies) {
    Window win;
    FrmMain& w = *win.w;
    CanvasModel& c = w.Canvas();
    int box = c.AddBox({1, 1, 2, 1}, 0);
    int hotspot = c.AddHotspot({1, 3, 2, 1}, 0);
    int image = c.AddImage({1, 5, 2, 1}, 0, "gone.bmp", "/nowhere/gone.bmp");
    int barcode = c.AddBarcode({1, 7, 2, 1}, 0, "A1");
    ItemDialogs& d = w.Dialogs();
    const struct {
        double y;  // where the item is clicked, 1.6 inches from the page's left
        std::function<FrmItemProps*()> dialog;
        const char* title;
        std::function<double()> left;
    } cases[] = {
        {1.98, [&] { return d.Box(); }, "Box Properties",
         [&] { return c.Boxes()[size_t(box)].r.left; }},
        {3.9, [&] { return d.Shape(); }, "Hotspot Properties",
         [&] { return c.Hotspots()[size_t(hotspot)].r.left; }},
        {5.9, [&] { return d.Image(); }, "Image Properties",
         [&] { return c.Images()[size_t(image)].r.left; }},
        {7.9, [&] { return d.Barcode(); }, "Barcode Properties",
         [&] { return c.BarcodeRect(barcode).left; }},
    };
    FrmItemProps* previous = nullptr;
    for (const auto& k : cases) {
        ChooseFromNextPopup("Properties");
        QTest::mouseClick(w.PageView(0), Qt::RightButton, Qt::NoModifier, Px(1.6, k.y));
        FrmItemProps* dialog = k.dialog();
        ASSERT_NE(dialog, nullptr) << k.title;
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->windowTitle(), k.title);
        if (previous) {
            EXPECT_FALSE(previous->isVisible()) << k.title;  // other kinds close
        }
        previous = dialog;
        QLineEdit* left = dialog->Field("Left");
        left->selectAll();
        QTest::keyClicks(left, "2.5");
        QTest::keyClicks(dialog->Field("Width"), "-");  // refused
        EXPECT_EQ(dialog->Field("Width")->text(), "2.000");
        QTest::mouseClick(dialog->ApplyButton(), Qt::LeftButton);
        EXPECT_EQ(k.left(), 2.5) << k.title;
    }
    EXPECT_EQ(d.Image()->SizeLabel()->text(), "0 B");  // the picture file is gone
    // A new step in one dialog shows in every open one.
    d.Barcode()->HorizontalStepField()->setText("0.5");
    QTest::mouseClick(d.Barcode()->StepButton(ItemPropsLogic::Step::Right), Qt::LeftButton);
    EXPECT_EQ(c.BarcodeRect(barcode).left, 3);
    EXPECT_EQ(w.Model().settings.horizontalShift, 0.5);
    EXPECT_TRUE(win.ui.Messages().empty());
}

TEST(FrmMain, ANewMoveStepReachesTheOpenPropertyDialogsOnly) {
    Window win;
    FrmLineProps* shown = win.w->Dialogs().OpenLineProps();
    FrmLineProps* hidden = win.w->Dialogs().OpenLineProps();
    hidden->hide();
    for (FrmLineProps* d : {shown, hidden}) d->HorizontalStepField()->clear();
    win.w->Model().settings.horizontalShift = 0.25;
    win.w->UpdateShiftOfOpenDialogs();
    EXPECT_EQ(shown->HorizontalStepField()->text(), "0.25");
    EXPECT_EQ(hidden->HorizontalStepField()->text(), "");
    // Closed dialogs are gone and forgotten.
    shown->close();
    hidden->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    win.w->UpdateShiftOfOpenDialogs();
}

#include <QFile>
#include <QTreeView>

#include "server/qt/FrmDB.h"

TEST(FrmMain, EveryMenuEntryHasItsCaptionNameAndStartState) {
    Window win;
    struct Entry {
        const char* name;
        const char* caption;
        int checked;  // -1: not an option
    };
    const Entry entries[] = {
        {"mnuConnection", "Connection...", -1},
        {"mnuNew", "New", -1},
        {"mnuOpen", "Open...", -1},
        {"mnuGetFromFile", "Get from file...", -1},
        {"mnuSave", "Save", -1},
        {"mnuSaveAs", "Save As...", -1},
        {"mnuSaveToFile", "Save to file...", -1},
        {"mnuPrint", "Print", -1},
        {"mnuPrintPreview", "Print Preview...", -1},
        {"mnuExportPdf", "Export PDF...", -1},
        {"mnuExit", "Exit", -1},
        {"mnuUndo", "Undo", -1},
        {"mnuRedo", "Redo", -1},
        {"mnuSelectAll", "Select All", -1},
        {"mnuPage", "Form Setup", -1},
        {"mnuTextDefault", "Text Default", -1},
        {"mnuBackgroundLoad", "Load", -1},
        {"mnuBackgroundClear", "Clear", -1},
        {"mnuDBFieldsBuild", "Build List", -1},
        {"mnuDBFieldsLoad", "TEMP - Load List", -1},
        {"mnuShowProps", "Show Properties", -1},
        {"mnuFillFromList", "Fill from List", -1},
        {"mnuClearSelection", "Clear Selection", -1},
        {"mnuDeleteSelected", "Delete Selected", -1},
        {"mnuKillLocalFiles", "Clear local files", -1},
        {"mnuRecalcChkTxt", "Recalculate Checkboxes/Textboxes IDs", -1},
        {"mnuRecalcDataGridRows", "Recalculate Data Grid Rows...", -1},
        {"mnuMultipage", "OPTION - Enable Multipage", 1},
        {"mnuLoadFromLocalFiles", "OPTION - Load from local files if available", 0},
        {"mnuDoNotUseLocalFolder", "OPTION - Do not use local folder", 0},
        {"mnuFillin", "OPTION - Fill in Hotspot boxes", 0},
        {"mnuSelectGridOnly", "OPTION - Select grid-only", 0},
        {"mnuSnap", "OPTION - Snap to grid", 0},
        {"mnuHelp", "Mouse and Keys", -1},
    };
    for (const Entry& e : entries) {
        auto* a = win.Find<QAction>(e.name);
        ASSERT_NE(a, nullptr) << e.name;
        EXPECT_EQ(a->text(), e.caption) << e.name;
        EXPECT_EQ(a->isCheckable(), e.checked >= 0) << e.name;
        EXPECT_EQ(a->isChecked(), e.checked == 1) << e.name;
    }
    for (auto [name, title] : {std::pair{"mnuFile", "File"},
                               {"mnuEdit", "Edit"},
                               {"mnuSettings", "Settings"},
                               {"mnuTools", "Tools"},
                               {"mnuBackground", "Background"},
                               {"mnuDBFields", "Data Fields, User Prompts"}})
        if (auto* m = win.Find<QMenu>(name)) {
            EXPECT_EQ(m->title(), title) << name;
        }
}

TEST(FrmMain, ExportPdfWritesEveryPageWithSomethingOnIt) {
    Window win;
    win.ui.fileAnswers.push_back(DataPath("layouts/full.ldt"));
    win.Find<QAction>("mnuGetFromFile")->trigger();
    std::string out = win.data.filePath("form").toStdString();
    win.ui.fileAnswers.push_back(out);
    win.Find<QAction>("mnuExportPdf")->trigger();
    std::string bytes, error;
    ASSERT_TRUE(files::ReadWholeFile(out + ".pdf", bytes, error)) << error;
    EXPECT_EQ(bytes.rfind("%PDF", 0), 0u);
    // A folder that is not there: a message, no file.
    win.ui.fileAnswers.push_back(win.data.filePath("no/such/form.pdf").toStdString());
    size_t messages = win.ui.Messages().size();
    win.Find<QAction>("mnuExportPdf")->trigger();
    EXPECT_EQ(win.ui.Messages().size(), messages + 1);
}

TEST(FrmMain, BackgroundListFileAndLocalFilesCommands) {
    Window win;
    FrmMain& w = *win.w;
    QTemporaryDir elsewhere;
    const std::string picture = elsewhere.filePath("slip.bmp").toStdString();
    QImage(20, 10, QImage::Format_RGB32).save(QString::fromStdString(picture));
    auto trigger = [&](const char* name, std::string answer) {
        win.ui.fileAnswers = {answer};
        win.Find<QAction>(name)->trigger();
    };
    trigger("mnuBackgroundLoad", picture);
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
    std::string error;
    const LocalFolders& folders = w.Program().Folders();
    for (std::string f : {folders.ImagesFolder() + "/old.bmp", folders.FormsFolder() + "/OLD.ldt"})
        ASSERT_TRUE(files::AtomicWriteFile(f, "x", error));
    win.Find<QAction>("mnuKillLocalFiles")->trigger();
    EXPECT_FALSE(QFile::exists(win.data.filePath("IMAGES/old.bmp")));
    EXPECT_FALSE(QFile::exists(win.data.filePath("FORMS/OLD.ldt")));
    EXPECT_TRUE(QFile::exists(win.data.filePath("IMAGES/slip.bmp")));
    win.Find<QAction>("mnuBackgroundClear")->trigger();
    EXPECT_EQ(w.Canvas().CurrentBackgroundImage(), "");
    EXPECT_EQ(w.Canvas().GetBackgroundImagesDefinitions(), "");

    const std::string list = elsewhere.filePath("fields.dbd").toStdString();
    ASSERT_TRUE(
        files::AtomicWriteFile(list, "Patient name\tPT_NAME\r\nAccount\tPT_ACCT\r\n", error));
    trigger("mnuDBFieldsLoad", list);
    ASSERT_EQ(w.Model().databaseFields.size(), 2u);
    EXPECT_EQ(w.Model().databaseFields[1].fieldName, "PT_ACCT");
    for (const char* cancelled : {"", "*.dbd"}) trigger("mnuDBFieldsLoad", cancelled);
    EXPECT_EQ(w.Model().databaseFields.size(), 2u);

    // Not connected: the catalogue stays shut.
    int opened = 0;
    w.SetCatalogueOpener([&] { ++opened; });
    emit win.Find<QMenu>("mnuDBFields")->aboutToShow();
    QTest::qWait(10);
    win.Find<QAction>("mnuDBFieldsBuild")->trigger();
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(win.ui.Messages().empty());
}

TEST(FrmMainServer, OpenGoesThroughTheFormsBrowserAndTheCatalogueOpensWhenConnected) {
    if (RepositoryServerProcess::ProgramPath().empty()) GTEST_SKIP() << "no reference server";
    QTemporaryDir repo;
    RepositoryServerProcess server(repo.filePath("repo.db").toStdString(), true);
    ASSERT_GT(server.Port(), 0);
    Window win;
    FrmMain& w = *win.w;
    w.Connection().port = std::to_string(server.Port());
    w.Connection().entity = "1";
    ASSERT_TRUE(w.Connection().Connect());
    for (const char* name : {"mnuOpen", "tbOpen"}) {
        QTimer::singleShot(0, [] {
            auto* dlg = qobject_cast<FrmDB*>(QApplication::activeModalWidget());
            if (!dlg) return;
            QTreeView* list = dlg->List();
            int row = 0;
            while (row < list->model()->rowCount() &&
                   list->model()->index(row, 0).data().toString() != "INTAKE")
                ++row;
            list->setCurrentIndex(list->model()->index(row, 0));
            QTest::mouseClick(dlg->findChild<QPushButton*>("cmdGetForm"), Qt::LeftButton);
        });
        w.NewForm();
        win.Find<QAction>(name)->trigger();
        EXPECT_EQ(w.Model().settings.formCode, "INTAKE") << name;
        EXPECT_EQ(w.Model().settings.formName, "New Patient Intake") << name;
    }
    int opened = 0;
    w.SetCatalogueOpener([&] { ++opened; });
    emit win.Find<QMenu>("mnuDBFields")->aboutToShow();
    QTest::qWait(10);
    win.Find<QAction>("mnuDBFieldsBuild")->trigger();
    EXPECT_EQ(opened, 2);
}

#include <QTreeWidget>

#include "server/qt/FrmCopyForms.h"

TEST(FrmMainServer, CopyFormsWindowCopiesBetweenTwoServersOnItsOwnLinks) {
    if (RepositoryServerProcess::ProgramPath().empty()) GTEST_SKIP() << "no reference server";
    QTemporaryDir repo;
    RepositoryServerProcess source(repo.filePath("a.db").toStdString(), true);
    RepositoryServerProcess target(repo.filePath("b.db").toStdString());
    ASSERT_GT(target.Port(), 0);
    Window win;
    win.w->findChild<QAction*>("mnuCopyForms")->trigger();
    auto* dlg = win.w->findChild<FrmCopyForms*>("frmCopyForms");
    ASSERT_NE(dlg, nullptr);
    auto box = [&](const char* name) { return dlg->findChild<QLineEdit*>(name); };
    auto list = [&](const char* name) { return dlg->findChild<QTreeWidget*>(name); };
    auto click = [&](const char* name) {
        QTest::mouseClick(dlg->findChild<QPushButton*>(name), Qt::LeftButton);
    };
    EXPECT_EQ(box("txtToIPAddress")->text(), "127.0.0.1");
    EXPECT_EQ(box("txtToPort")->text(), "5012");
    QTest::keyClicks(box("txtFromIPAddress"), "localhost");
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(box("txtFromIPAddress"), &out);
    EXPECT_EQ(box("txtFromIPAddress")->text(), "127.0.0.1");
    QTest::keyClicks(box("txtFromPort"), "x" + QString::number(source.Port()));
    EXPECT_EQ(box("txtFromPort")->text(), QString::number(source.Port()));  // digits only
    box("txtToPort")->setText(QString::number(target.Port()));

    click("cmdConnect");
    ASSERT_EQ(list("lvwFromServerForms")->topLevelItemCount(), 4);
    EXPECT_EQ(list("lvwFromServerForms")->topLevelItem(0)->text(2), "CHARGE01");
    list("lvwFromServerForms")->topLevelItem(0)->setSelected(true);
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

#include "layout/LayoutWriter.h"
#include "shell/NullUserInterface.h"

namespace {
// The layout text the window would write now.
std::string Written(FrmMain& w) {
    NullUserInterface quiet;
    return LayoutWriter(w.Model(), w.Canvas(), quiet).ReassembleData();
}
// A form of three labels, opened from a file so that it starts with no steps.
void OpenThreeLabels(Window& win) {
    FrmMain& w = *win.w;
    AddLabel(w, 1, 1), AddLabel(w, 3, 2), AddLabel(w, 1, 4);
    const std::string path = win.data.filePath("three.ldt").toStdString();
    ASSERT_TRUE(w.SaveLayout(path));
    ASSERT_TRUE(w.OpenLayout(path));
}
// The page's kept picture, brought up to date by a repaint, is what painting the form
// afresh gives: no edit leaves part of it stale.
void ExpectPageAsDrawnAfresh(FrmMain& w, int page, int step) {
    PageCanvas* view = w.PageView(page);
    view->grab();
    PictureCache pictures;
    CanvasPainter painter(w.Canvas(), w.Model(), pictures);
    QImage fresh(view->KeptPicture().size(), QImage::Format_RGB32);
    QPainter p(&fresh);
    p.fillRect(fresh.rect(), view->palette().color(QPalette::Mid));
    CanvasPainter::BeginPage(p, view->PixelsPerInch());
    painter.PaintPage(p, page);
    p.end();
    EXPECT_TRUE(view->KeptPicture() == fresh) << "after step " << step;
}
void Drag(PageCanvas* page, QPoint from, QPoint to) {
    QTest::mousePress(page, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(page, to);
    QTest::mouseRelease(page, Qt::LeftButton, Qt::NoModifier, to);
}
}  // namespace

TEST(FrmMainUndo, EachCommandKindIsUndoneAndRedoneByteForByte) {
    Window win;
    FrmMain& w = *win.w;
    OpenThreeLabels(win);
    PageCanvas* page = w.PageView(0);
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
             QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(3.2, 2.1));
             QTest::keyClick(&w, Qt::Key_Right);
         }},
        {"Undo Delete",
         [&] {
             QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(1.2, 4.1));
             QTest::keyClick(&w, Qt::Key_Delete);
         }},
        {"Undo Insert", [&] { QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(5, 6)); }},
        {"Undo Insert Grid",
         [&] {
             GridArea area;
             area.left = 4, area.top = 8, area.right = 7, area.bottom = 9;
             area.columns = 3, area.rows = 2, area.tag = "grid";
             w.BuildGrid(area);
         }},
    };
    std::vector<std::string> texts{Written(w)};
    for (const auto& step : steps) {
        step.act();
        QCoreApplication::processEvents();
        std::string now = Written(w);
        EXPECT_NE(now, texts.back()) << step.caption;
        EXPECT_EQ(undo->text(), step.caption);
        texts.push_back(now);
    }
    // Selecting alone is no step.
    QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(3.2, 2.1));
    QCoreApplication::processEvents();
    for (size_t i = texts.size() - 1; i > 0; --i) {
        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Written(w), texts[i - 1]) << i;
    }
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(w.IsModified());
    EXPECT_EQ(redo->text(), "Redo Move");
    for (size_t i = 1; i < texts.size(); ++i) {
        QTest::keyClick(&w, i % 2 ? Qt::Key_Y : Qt::Key_Z,
                        i % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(Written(w), texts[i]) << i;
    }
    EXPECT_FALSE(redo->isEnabled());
    // A new command after an undo drops the redo; opening a form clears the history.
    undo->trigger();
    QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(6, 9));
    QCoreApplication::processEvents();
    EXPECT_FALSE(redo->isEnabled());
    w.NewForm();
    EXPECT_FALSE(undo->isEnabled());
}

TEST(FrmMainUndo, FiftyMixedCommandsUndoToTheOpenedText) {
    Window win;
    FrmMain& w = *win.w;
    OpenThreeLabels(win);
    const std::string opened = Written(w);
    PageCanvas* page = w.PageView(0);
    size_t changes = 0;
    std::string last = opened;
    for (int i = 0; i < 50; ++i) {
        if (i % 3 == 0) {
            QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(0.5 + i % 6, 6 + i / 10));
        } else if (i % 3 == 1) {
            QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, Px(3.2, 2.1));
            QTest::keyClick(&w, Qt::Key_Down);
        } else {
            const double x = 1.2 + (i % 2) * 0.5;
            Drag(page, Px(x, 1.1), Px(x + 0.5, 1.1));
        }
        QCoreApplication::processEvents();
        if (std::string now = Written(w); now != last) ++changes, last = now;
        ExpectPageAsDrawnAfresh(w, 0, i);
    }
    EXPECT_GT(changes, 40u);
    EXPECT_EQ(w.History().Steps(), changes);
    for (int i = 0; w.History().CanUndo(); ++i) {
        w.Undo();
        if (i % 8 == 0) ExpectPageAsDrawnAfresh(w, 0, -i);
    }
    EXPECT_EQ(Written(w), opened);
    EXPECT_FALSE(w.IsModified());
}

TEST(FrmMainUndo, AnOpenPropertiesDialogShowsTheUndoneValues) {
    Window win;
    FrmMain& w = *win.w;
    OpenThreeLabels(win);
    QTest::mouseDClick(w.PageView(0), Qt::LeftButton, Qt::NoModifier, Px(1.2, 1.1));
    auto* dlg = w.findChild<FrmProps*>("frmProps");
    ASSERT_TRUE(dlg && dlg->isVisible());
    auto* left = dlg->findChild<QLineEdit*>("txtLeft");
    left->setText("2.25");
    QTest::mouseClick(dlg->findChild<QPushButton*>("cmdApply"), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(win.Find<QAction>("mnuUndo")->text(), "Undo Properties");
    w.Undo();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(left->text(), "1.000");
    EXPECT_DOUBLE_EQ(w.Canvas().Label(dlg->CurrentLabelIndx()).left, 1);
}

#include "shell/RecoveryFiles.h"

TEST(FrmMainUndo, ChangesReachTheRecoveryFileThatRestoresThemAndACloseRemovesIt) {
    Window win;
    FrmMain& w = *win.w;
    OpenThreeLabels(win);
    const std::string path = w.RecoveryPath();
    Drag(w.PageView(0), Px(1.2, 1.1), Px(2.2, 1.6));
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
    auto* menu = win.Find<QMenu>("mnuRecent");
    emit menu->aboutToShow();
    ASSERT_FALSE(menu->actions().isEmpty());
    EXPECT_TRUE(menu->actions()[0]->text().endsWith("three.ldt"));
    win.ui.boolAnswers = {true};  // the changes may go
    menu->actions()[0]->trigger();
    EXPECT_FALSE(w.IsModified());
    EXPECT_FALSE(files::FileExists(path));
}

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include "dialogs/qt/FrmSize.h"

TEST(FrmMainUndo, FormSetupIsUndoneAndRedoneByteForByte) {
    Window win;
    FrmMain& w = *win.w;
    OpenThreeLabels(win);
    const std::string opened = Written(w);
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<FrmSize*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        d->WidthField()->setText("11");
        d->HeightField()->setText("8.5");
        d->OkButton()->click();
    });
    win.Find<QAction>("mnuPage")->trigger();
    QCoreApplication::processEvents();
    const std::string changed = Written(w);
    ASSERT_NE(changed, opened);
    EXPECT_EQ(win.Find<QAction>("mnuUndo")->text(), "Undo Properties");
    w.Undo();
    EXPECT_EQ(Written(w), opened);
    EXPECT_EQ(w.PageView(0)->height(), 11 * 96 + 1);
    EXPECT_FALSE(w.IsModified());
    w.Redo();
    EXPECT_TRUE(Written(w) == changed);
    EXPECT_EQ(w.PageView(0)->height(), 8.5 * 96 + 1);
}

// Runs twice: the parent starts this test again as a child with FD_CRASH_DATA set, which
// changes a form and is killed once its recovery file is written.
TEST(FrmMainUndo, AKilledWindowsFormIsOfferedAtTheNextStartAndRestoredExactly) {
    if (const char* dir = std::getenv("FD_CRASH_DATA")) {
        Window win(false, dir);
        OpenThreeLabels(win);
        Drag(win.w->PageView(0), Px(1.2, 1.1), Px(2.2, 1.6));
        std::string error;
        files::AtomicWriteFile(std::string(dir) + "/expected", Written(*win.w), error);
        if (QTest::qWaitFor([&] { return files::FileExists(win.w->RecoveryPath()); }))
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
    std::string expected, error;
    ASSERT_TRUE(files::ReadWholeFile(folder + "/expected", expected, error)) << error;
    Window next;
    ASSERT_TRUE(next.w->OpenRecovered(e->layoutText));
    EXPECT_TRUE(Written(*next.w) == expected);
    EXPECT_TRUE(next.w->IsModified());
}
