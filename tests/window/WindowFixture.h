#pragma once
// What the window tests share: a window of the test's own user interface and data
// folder, and the ways a user reaches it.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>
#include <QWheelEvent>
#include <cstdlib>

#include "../server/RepositoryServerProcess.h"
#include "dialogs/qt/FrmLineProps.h"
#include "dialogs/qt/FrmLists.h"
#include "dialogs/qt/FrmProps.h"
#include "dialogs/qt/FrmSize.h"
#include "drawing/CanvasPainter.h"
#include "layout/LayoutTestSupport.h"
#include "layout/LayoutWriter.h"
#include "server/qt/FrmCopyForms.h"
#include "server/qt/FrmDB.h"
#include "server/qt/LookupPickerDialog.h"
#include "shell/NullUserInterface.h"
#include "shell/RecoveryFiles.h"
#include "window/FrmMain.h"
#include "window/ItemDialogs.h"
#include "window/PageCanvas.h"
#include "window/PageStrip.h"

inline std::string DataPath(const std::string& name) {
    const char* dir = std::getenv("FD_TEST_DATA");
    return std::string(dir ? dir : "tests/data") + "/" + name;
}

// The program of a window: the test's user interface and a scratch data folder.
inline DesignerProgramOptions ProgramOptions(RecordingUserInterface& ui,
                                             const QTemporaryDir& data) {
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

// Pixels of a point on the page at the test's 96 per inch.
inline QPoint Px(double x, double y) {
    return QPoint(int(x * 96), int(y * 96));
}
inline int AddLabel(FrmMain& w, double left, double top, double width = 1) {
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

struct NamePrompt : SaveFormPrompt {
    bool ShowSaveDialog(FormSettings& s, bool) override {
        s.formCode = "WINDOWFORM";
        s.formName = "Saved from the window";
        s.formType = "TEST";
        s.formDocumentType = "LAB";
        return true;
    }
};

// Chooses the entry with this text (in a sub-menu when given) of the pop-up menu
// that the next right click opens.
inline void ChooseFromNextPopup(const QString& entry, const QString& subMenu = {}) {
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

// The layout text the window would write now.
inline std::string Written(FrmMain& w) {
    NullUserInterface quiet;
    return LayoutWriter(w.Model(), w.Canvas(), quiet).ReassembleData();
}
// A form of three labels, opened from a file so that it starts with no steps.
inline void OpenThreeLabels(Window& win) {
    FrmMain& w = *win.w;
    AddLabel(w, 1, 1), AddLabel(w, 3, 2), AddLabel(w, 1, 4);
    const std::string path = win.data.filePath("three.ldt").toStdString();
    ASSERT_TRUE(w.SaveLayout(path));
    ASSERT_TRUE(w.OpenLayout(path));
}
// The page's kept picture, brought up to date by a repaint, is what painting the form
// afresh gives: no edit leaves part of it stale.
inline void ExpectPageAsDrawnAfresh(FrmMain& w, int page, int step) {
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
// Keys go where a keyboard sends them: to the widget that has the focus.
inline void Press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr) << "no widget has the keyboard focus";
    QTest::keyClick(focused, Qt::Key(key), mods);
}
// Moves the page strip's scroll bars, as a user does, until the point of w shows.
inline void ScrollIntoView(QWidget* w, QPoint at) {
    for (const char* name : {"VScroll1", "HScroll1"}) {
        auto* bar = w->window()->findChild<QScrollBar*>(name);
        if (!bar || !bar->isVisible()) continue;
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
// Where a pointer at `at` of `w` lands: the point is scrolled into view first, and the
// click goes to whatever widget is in front there.
inline QWidget* Under(QWidget* w, QPoint& at) {
    if (qobject_cast<PageCanvas*>(w)) ScrollIntoView(w, at);
    QWidget* top = w->window();
    QPoint inTop = w->mapTo(top, at);
    QWidget* hit = top->childAt(inTop);
    if (!hit) hit = top;
    at = hit->mapFrom(top, inTop);
    // A click on a window that is not in front brings it there, as the window system does.
    if (!top->isActiveWindow()) {
        QApplication::setActiveWindow(top);
        EXPECT_TRUE(QTest::qWaitForWindowActive(top));
    }
    return hit;
}
inline void ClickAt(QWidget* w, QPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier,
                    Qt::MouseButton button = Qt::LeftButton) {
    QWidget* hit = Under(w, at);
    QTest::mouseClick(hit, button, mods, at);
}
inline void DoubleClickAt(QWidget* w, QPoint at) {
    QWidget* hit = Under(w, at);
    QTest::mouseDClick(hit, Qt::LeftButton, Qt::NoModifier, at);
}
// A button pressed with the mouse, where it shows.
inline void ClickOn(QWidget* button) {
    ClickAt(button, button->rect().center());
}
// Types into a field as a user does: a click into it, then (unless appending) Ctrl+A to
// take what it holds, then the keys, all to the widget that has the focus.
inline void Type(QWidget* field, const QString& text, bool append = false) {
    ClickOn(field);
    ASSERT_EQ(QApplication::focusWidget(), field) << "a click did not give the field the focus";
    Press(append ? Qt::Key_End : Qt::Key_A, append ? Qt::NoModifier : Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), text);
}
// The widget the button went down on keeps the pointer until it comes up, as Qt grabs it.
inline void Drag(QWidget* page, QPoint from, QPoint to) {
    QPoint at = from;
    QWidget* hit = Under(page, at);
    QPoint shift = at - from;
    QTest::mousePress(hit, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseMove(hit, to + shift);
    QTest::mouseRelease(hit, Qt::LeftButton, Qt::NoModifier, to + shift);
}
