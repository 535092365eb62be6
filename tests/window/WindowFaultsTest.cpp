// Faults of the window as a user meets them: keys that reach the page, the kept page
// picture, the zoom, the status strip and the question on leaving a changed form.
#include <QMessageBox>
#include <QWindow>

#include "window/WindowFixture.h"

namespace {
// A key as the keyboard sends it: to whichever widget holds the focus.
void PressKey(Qt::Key key) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, key);
}
}  // namespace

TEST(WindowFaults, KeysReachThePageAtStartAfterEveryDialogAndAfterTheZoomBox) {
    Window win;
    FrmMain& w = *win.w;
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.Model().settings.verticalShift = 0.25;
    const int label = AddLabel(w, 1, 1);
    auto* zoom = win.Find<QComboBox>("cboZoom");
    auto closeModal = [](auto&& act) {
        QTimer::singleShot(0, [act] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            act(modal);
        });
    };
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"at start", [] {}},
        {"after Form Setup",
         [&] {
             closeModal([](QWidget* d) { qobject_cast<FrmSize*>(d)->OkButton()->click(); });
             win.Find<QAction>("mnuPage")->trigger();
         }},
        {"after a question",
         [&] {
             closeModal([](QWidget* d) { d->close(); });
             QMessageBox::question(&w, "Recovery", "Open the form?");
         }},
        {"after the zoom box took the keys and the label was clicked",
         [&] {
             zoom->setFocus(Qt::MouseFocusReason);
             QTest::mouseClick(w.PageView(0), Qt::LeftButton, Qt::NoModifier, Px(1.2, 1.1));
         }},
    };
    for (const auto& [way, lead] : ways) {
        lead();
        // The window manager gives the window back its activation.
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        w.Editor().SelectInRect({0, 0, 20, 20}, 0, false);
        const double top = w.Canvas().Label(label).top;
        PressKey(Qt::Key_Down);
        EXPECT_NEAR(w.Canvas().Label(label).top, top + 0.25, 1e-9) << way;
        EXPECT_EQ(w.Pages().Zoom(), 1) << way;
        EXPECT_EQ(QApplication::focusWidget(), w.PageView(0)) << way;
    }
}

TEST(WindowFaults, CtrlWheelKeepsThePointUnderThePointerOnBothAxesOverThePageAndBeside) {
    Window win;
    FrmMain& w = *win.w;
    // Wide enough that the page at 156 % runs only a little past the viewport.
    w.resize(1280, 900);
    QCoreApplication::processEvents();
    auto* container = win.Find<QWidget>("picContainer");
    // The inches of the page under a point of the viewport.
    auto under = [&](QPoint at) {
        PageCanvas* page = w.PageView(0);
        QPointF p = page->mapFrom(container, at);
        return QPointF(page->ToInches(p.x()), page->ToInches(p.y()));
    };
    struct Turn {
        QPoint at;  // viewport pixels
        int angle;  // eighths of a degree; 120 a notch
    } turns[] = {{{1000, 300}, 120},
                 {{460, 300}, 120},
                 {{300, 200}, 240},
                 {{500, 400}, -120},
                 {{1150, 300}, 120}};
    for (const Turn& t : turns) {
        const QPointF before = under(t.at);
        const double zoom = w.Pages().Zoom();
        // Over the page where it lies, else over the grey beside it.
        QWidget* target = container->childAt(t.at) ? container->childAt(t.at) : container;
        const QPoint local = target->mapFrom(container, t.at);
        QWheelEvent wheel(local, target->mapToGlobal(local), {}, {0, t.angle}, Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
        EXPECT_NE(w.Pages().Zoom(), zoom) << t.at.x();
        const QPointF after = under(t.at);
        // Within half of a scroll bar step.
        EXPECT_NEAR(after.x(), before.x(), 0.035) << t.at.x() << " " << w.Pages().Zoom();
        EXPECT_NEAR(after.y(), before.y(), 0.035) << t.at.x() << " " << w.Pages().Zoom();
    }
}

TEST(WindowFaults, TheKeptPictureOfAPageWithABackgroundFollowsClicksAndTheGridDialog) {
    Window win;
    FrmMain& w = *win.w;
    // A page picture that covers the page, a logo over it and a data grid's labels.
    const QString images = QString::fromStdString(win.program.ImagesFolder());
    QDir().mkpath(images);
    QImage page(425, 550, QImage::Format_RGB32), logo(60, 30, QImage::Format_RGB32);
    page.fill(QColor(230, 230, 200));
    page.setDotsPerMeterX(qRound(50 / 0.0254));
    page.setDotsPerMeterY(qRound(50 / 0.0254));
    logo.fill(Qt::red);
    ASSERT_TRUE(page.save(images + "/slip.png"));
    ASSERT_TRUE(logo.save(images + "/logo.png"));
    QFile layout(win.data.filePath("slip.ldt"));
    ASSERT_TRUE(layout.open(QIODevice::WriteOnly));
    layout.write(
        "<HEADER>\r\nPage:\t8.5\t11\r\nBackground_Image:\tslip.png\t\t1\r\n"
        "Image:\t0.5\t0.4\t1.2\t0.6\tlogo.png\t\t1\r\nData_Grid:\tYes\r\n</HEADER>\r\n"
        "<PAGE>\r\nStatement\t3.5\t0.5\tArial\t8\tN\tN\tL\t1.5\tN\t\t\t\r\n</PAGE>\r\n");
    layout.close();
    ASSERT_TRUE(w.OpenLayout(layout.fileName().toStdString()));
    PageCanvas* canvas = w.PageView(0);
    int step = 0;
    ExpectPageAsDrawnAfresh(w, 0, step++);
    // A click on a label and Escape leave the logo above the page picture.
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, Px(3.6, 0.55));
    ExpectPageAsDrawnAfresh(w, 0, step++);
    QTest::keyClick(canvas, Qt::Key_Escape);
    ExpectPageAsDrawnAfresh(w, 0, step++);

    w.ToolButton(kInsertGrid)->trigger();
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, Px(1, 2));
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, Px(5, 3));
    FrmGrid* grid = w.Dialogs().Grid();
    ASSERT_NE(grid, nullptr);
    auto type = [&](const char* field, const char* text) {
        grid->Field(field)->selectAll();
        QTest::keyClicks(grid->Field(field), text);
    };
    type("Columns", "3");
    type("Rows", "2");
    grid->Check("DATAGRID")->setChecked(true);
    type("Adjust column #", "2");
    for (const char* button : {"Apply", ">", "<", "+", "-", "+", "Done"}) {
        QTest::mouseClick(grid->Button(button), Qt::LeftButton);
        QCoreApplication::processEvents();
        ExpectPageAsDrawnAfresh(w, 0, step++);
    }
    EXPECT_EQ(w.Editor().SelectedLabels().size(), 6u);
}

TEST(WindowFaults, TheTitleMarksChangesAndLeavingAChangedFormCanSaveItWhereItCameFrom) {
    Window win;
    FrmMain& w = *win.w;
    OpenThreeLabels(win);
    const QString file = win.data.filePath("three.ldt");
    EXPECT_FALSE(w.isWindowModified());
    Drag(w.PageView(0), Px(1.2, 1.1), Px(2.2, 1.6));
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.isWindowModified());
    EXPECT_TRUE(w.windowHandle()->title().startsWith("Form Designer - three*   "));
    w.Undo();
    EXPECT_FALSE(w.isWindowModified());
    w.Redo();
    EXPECT_TRUE(w.isWindowModified());
    const std::string moved = Written(w);

    // Cancel stays; Save writes the file the form came from, then the form may go.
    win.ui.saveAnswers = {SaveChoice::Cancel};
    win.Find<QAction>("mnuNew")->trigger();
    EXPECT_EQ(Written(w), moved);
    win.ui.saveAnswers = {SaveChoice::Save};
    win.Find<QAction>("mnuNew")->trigger();
    EXPECT_EQ(w.Canvas().ItemLabelCount(), 0);
    ASSERT_TRUE(w.OpenLayout(file.toStdString()));
    EXPECT_EQ(Written(w), moved);

    // A form that has no file yet is saved where the user names one; Discard drops it.
    win.Find<QAction>("mnuNew")->trigger();
    AddLabel(w, 1, 1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.isWindowModified());
    const QString named = win.data.filePath("named.ldt");
    win.ui.saveAnswers = {SaveChoice::Save};
    win.ui.fileAnswers = {named.toStdString()};
    win.Find<QAction>("mnuNew")->trigger();
    EXPECT_TRUE(QFile::exists(named));
    AddLabel(w, 2, 2);
    QCoreApplication::processEvents();
    win.ui.saveAnswers = {SaveChoice::Discard};
    EXPECT_TRUE(w.close());
}
