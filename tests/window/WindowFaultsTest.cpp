// Faults of the window as a user meets them: keys that reach the page and the zoom
// under the pointer.
#include <QMessageBox>

#include "window/WindowFixture.h"

// Keys reach the page at start, after each kind of dialog and after the zoom box, sent
// as a keyboard sends them (to the focused widget); Ctrl+wheel keeps the point under the
// pointer on both axes, over the page and over the grey beside it.
TEST(WindowFaults, KeysReachThePageAndTheWheelZoomsAroundThePointer) {
    Window win;
    FrmMain& w = *win.w;
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
            ClickAt(w.PageView(0), Px(1.2, 1.1));
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
        return QPointF(w.PageView(0)->mapFrom(container, at)) / w.PageView(0)->PixelsPerInch();
    };
    const std::pair<QPoint, int> turns[] = {
        {{1000, 300}, 120}, {{460, 300}, 120}, {{300, 200}, 240}, {{500, 400}, -120}};
    for (auto [at, angle] : turns) {
        const QPointF before = under(at);
        QWidget* target = container->childAt(at) ? container->childAt(at) : container;
        const QPoint local = target->mapFrom(container, at);
        QWheelEvent wheel(local, target->mapToGlobal(local), {}, {0, angle}, Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
        EXPECT_EQ(win.Find<QComboBox>("cboZoom")->placeholderText(),
                  QString("%1 %").arg(std::lround(w.Pages().Zoom() * 100)));
        EXPECT_NEAR(under(at).x(), before.x(), 0.035) << at.x();  // half a bar's step
        EXPECT_NEAR(under(at).y(), before.y(), 0.035) << at.x();
    }
}
