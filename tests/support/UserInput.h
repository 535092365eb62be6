#pragma once
// Keys and clicks as a keyboard and a mouse deliver them: keys to the focused widget, a
// click to the widget on top under the pointer once the point is in view, which must be
// the one the test meant. Their events are handled before the next, as a user is never
// quicker than the event loop.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

inline constexpr QPoint kMiddle{-1, -1};

inline void ClickAt(QWidget* w, QPoint at = kMiddle, Qt::KeyboardModifiers mods = {},
                    Qt::MouseButton button = Qt::LeftButton);

// An open pop-up, else the focused widget of the window in front, once it has one.
inline QWidget* Focused() {
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup->focusWidget() ? popup->focusWidget() : popup;
    (void)QTest::qWaitFor(
        [] {
            QWidget* focused = QApplication::focusWidget();
            return focused && focused->window() == QApplication::activeWindow();
        },
        1000);
    QWidget* focused = QApplication::focusWidget();
    EXPECT_TRUE(!focused || focused->window() == QApplication::activeWindow())
        << focused->metaObject()->className() << " has the focus in a window not in front";
    return focused;
}
inline void Press(int key, Qt::KeyboardModifiers mods = {}) {
    QWidget* focused = Focused();
    ASSERT_NE(focused, nullptr) << "no widget has the keyboard focus";
    QTest::keyClick(focused, Qt::Key(key), mods);
    QApplication::processEvents();
}
inline void Keys(const QString& text) {
    QWidget* focused = Focused();
    ASSERT_NE(focused, nullptr) << "no widget has the keyboard focus";
    QTest::keyClicks(focused, text);
    QApplication::processEvents();
}

// A window that comes up or is clicked is in front (offscreen may leave another active).
inline void InFront(QWidget* window) {
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    if (!window->isActiveWindow()) QApplication::setActiveWindow(window);
    ASSERT_TRUE(window->isActiveWindow());
}

// Clicks the tab that w is on when it is not shown, scrolling the tab bar to it first.
inline void ShowTabOf(QWidget* w) {
    for (auto* up = w->parentWidget(); up; up = up->parentWidget()) {
        auto* tabs = qobject_cast<QTabWidget*>(up);
        if (!tabs) continue;
        for (int i = 0; i < tabs->count(); ++i) {
            if (!tabs->widget(i)->isAncestorOf(w) || tabs->currentIndex() == i) continue;
            QTabBar* bar = tabs->tabBar();
            for (int guard = 0; guard < 50 && !bar->rect().contains(bar->tabRect(i)); ++guard)
                for (auto* arrow : bar->findChildren<QToolButton*>())
                    if (arrow->isVisible() && arrow->isEnabled() &&
                        (arrow->arrowType() == Qt::LeftArrow) == (bar->tabRect(i).x() < 0))
                        ClickAt(arrow);
            ClickAt(bar, bar->tabRect(i).center());
        }
    }
}

// Moves the page strip's scroll bars, as a user does, until the point of w shows.
inline void ScrollIntoView(QWidget* w, QPoint at) {
    for (const char* name : {"VScroll1", "HScroll1"}) {
        auto* bar = w->window()->findChild<QScrollBar*>(name);
        if (!bar || !bar->isVisible() || !bar->parentWidget()->isAncestorOf(w)) continue;
        const bool vertical = bar->orientation() == Qt::Vertical;
        for (int guard = 0; guard < 100000 && !w->visibleRegion().contains(at); ++guard) {
            const QRect shown = w->visibleRegion().boundingRect();
            const int pos = vertical ? at.y() : at.x();
            if (pos >= (vertical ? shown.top() : shown.left()) &&
                pos <= (vertical ? shown.bottom() : shown.right()))
                break;
            const int next =
                bar->value() + (pos > (vertical ? shown.bottom() : shown.right()) ? 1 : -1);
            if (next < bar->minimum() || next > bar->maximum()) break;
            bar->setValue(next);
        }
    }
}

// The widget on top at `at` of w (kMiddle: its middle), `at` in its coordinates.
inline QWidget* Under(QWidget* w, QPoint& at) {
    ShowTabOf(w);
    if (at == kMiddle) at = w->rect().center();
    ScrollIntoView(w, at);
    QWidget* top = w->window();
    if (!top->isActiveWindow()) InFront(top);
    const QPoint inTop = w->mapTo(top, at);
    QWidget* hit = top->childAt(inTop);
    if (!hit) hit = top;
    EXPECT_TRUE(hit == w || w->isAncestorOf(hit))
        << hit->metaObject()->className() << " " << hit->objectName().toStdString()
        << " is on top of " << w->metaObject()->className() << " " << w->objectName().toStdString();
    at = hit->mapFrom(top, inTop);
    return hit;
}

inline void ClickAt(QWidget* w, QPoint at, Qt::KeyboardModifiers mods, Qt::MouseButton button) {
    QWidget* hit = Under(w, at);
    QTest::mouseClick(hit, button, mods, at);
    QApplication::processEvents();
}
// A double click is a click, then a second press that Qt reports as the double click.
inline void DoubleClickAt(QWidget* w, QPoint at = kMiddle) {
    QWidget* hit = Under(w, at);
    QTest::mouseClick(hit, Qt::LeftButton, {}, at);
    QTest::mouseDClick(hit, Qt::LeftButton, {}, at);
    QTest::mouseRelease(hit, Qt::LeftButton, {}, at);
    QApplication::processEvents();
}
// The pointer moved over the point of w, no button down.
inline void Hover(QWidget* w, QPoint at) {
    QWidget* hit = Under(w, at);
    QTest::mouseMove(hit, at);
    QApplication::processEvents();
}
// The wheel turned by angle (120 a notch, up) over the point of w.
inline void Wheel(QWidget* w, QPoint at, int angle, Qt::KeyboardModifiers mods = {}) {
    QWidget* hit = Under(w, at);
    QWheelEvent e(at, hit->mapToGlobal(at), {}, {0, angle}, Qt::NoButton, mods, Qt::NoScrollPhase,
                  false);
    QApplication::sendEvent(hit, &e);
    QApplication::processEvents();
}
// A check box or an option button, clicked on its mark (laid out once its tab shows).
inline void Check(QWidget* box) {
    ShowTabOf(box);
    ClickAt(box, QPoint(6, box->height() / 2));
}
// The widget the button went down on keeps the pointer until it comes up, as Qt grabs it.
inline void Drag(QWidget* w, QPoint from, QPoint to) {
    QPoint at = from;
    QWidget* hit = Under(w, at);
    const QPoint shift = at - from;
    QTest::mousePress(hit, Qt::LeftButton, {}, at);
    QTest::mouseMove(hit, to + shift);
    QTest::mouseRelease(hit, Qt::LeftButton, {}, to + shift);
    QApplication::processEvents();
}

// A click into the field, Ctrl+A (unless appending), then the keys; nothing is a Backspace.
inline void Type(QWidget* field, const QString& text, bool append = false) {
    ClickAt(field);
    ASSERT_TRUE(field->hasFocus())
        << "a click did not give " << field->objectName().toStdString() << " the focus";
    Press(append ? Qt::Key_End : Qt::Key_A, append ? Qt::NoModifier : Qt::ControlModifier);
    if (text.isEmpty() && !append)
        Press(Qt::Key_Backspace);
    else
        Keys(text);
}
