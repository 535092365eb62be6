// Faults of the window as a user meets them: keys that reach the page, the kept page
// picture, the zoom, the status strip and the question on leaving a changed form.
#include <QMessageBox>

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
        QPoint at;   // viewport pixels
        int angle;   // eighths of a degree; 120 a notch
    } turns[] = {{{1000, 300}, 120}, {{460, 300}, 120}, {{300, 200}, 240}, {{500, 400}, -120}, {{1150, 300}, 120}};
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
