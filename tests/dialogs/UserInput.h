#pragma once
// Keys and clicks as a keyboard and a mouse deliver them: keys to the widget that has the
// focus, a click to whatever widget is on top under the pointer.
#include <QApplication>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace userinput {

inline void Click(QWidget* w, QPoint at = {});

// Clicks the tab that w is on, if it is on one.
inline void ShowTabOf(QWidget* w) {
    for (auto* up = w->parentWidget(); up; up = up->parentWidget())
        if (auto* tabs = qobject_cast<QTabWidget*>(up))
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->widget(i)->isAncestorOf(w))
                    Click(tabs->tabBar(), tabs->tabBar()->tabRect(i).center());
}

// A click at a point of w (its middle when not given), after a click on the tab w is on.
inline void Click(QWidget* w, QPoint at) {
    ShowTabOf(w);
    QWidget* top = w->window();
    const QPoint p = w->mapTo(top, at.isNull() ? w->rect().center() : at);
    QWidget* hit = top->childAt(p);
    if (!hit) hit = top;
    QTest::mouseClick(hit, Qt::LeftButton, {}, hit->mapFrom(top, p));
    QApplication::processEvents();
}

// A check box or option button, clicked on its indicator.
inline void Check(QWidget* box) {
    ShowTabOf(box);
    Click(box, QPoint(6, box->height() / 2));
}

inline void Key(Qt::Key key, Qt::KeyboardModifiers mods = {}) {
    QTest::keyClick(QApplication::focusWidget(), key, mods);
}

// Clicks into the field and types over all of its text.
inline void Retype(QWidget* field, const QString& text) {
    Click(field);
    Key(Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_Backspace);
    QTest::keyClicks(QApplication::focusWidget(), text);
}

}  // namespace userinput
