#pragma once
// Input as a user gives it: keys go to the widget that has the keyboard focus, clicks to
// the widget on top under the pointer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

// Clicks at a point of w (its middle by default) on whatever is on top there; the click
// brings its window to the front.
inline void ClickAt(QWidget* w, QPoint at = {-1, -1}, bool twice = false) {
    QApplication::setActiveWindow(w->window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(w->window()));
    const QPoint global = w->mapToGlobal(at.x() < 0 ? w->rect().center() : at);
    QWidget* under = QApplication::widgetAt(global);
    ASSERT_TRUE(under == w || w->isAncestorOf(under))
        << (under ? under->metaObject()->className() : "nothing") << " is on top of "
        << w->objectName().toStdString();
    const QPoint local = under->mapFromGlobal(global);
    if (twice)
        QTest::mouseDClick(under, Qt::LeftButton, {}, local);
    else
        QTest::mouseClick(under, Qt::LeftButton, {}, local);
}

// Types text, then a key when one is given, into the focused widget of the active window.
inline void Type(QWidget* window, const QString& text, Qt::Key key = Qt::Key_unknown) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    if (!text.isEmpty()) QTest::keyClicks(QApplication::focusWidget(), text);
    if (key != Qt::Key_unknown) QTest::keyClick(QApplication::focusWidget(), key);
}

// Replaces a field's text as a user does: a click into it, Ctrl+A, the new text.
inline void Retype(QLineEdit* field, const QString& text) {
    ClickAt(field);
    Type(field->window(), {}, Qt::Key_unknown);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), text);
}
