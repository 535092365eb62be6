#pragma once
// What the window tests share: a window of their own, and the ways a user reaches it.
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
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>
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
#include "support/UserInput.h"
#include "window/FrmMain.h"
#include "window/ItemDialogs.h"
#include "window/PageCanvas.h"
#include "window/PageStrip.h"

// A fresh copy of a test file, in a folder of this run's own: a save that goes astray
// writes over the copy, never over the test data the next run reads.
inline std::string DataPath(const std::string& name) {
    static const QTemporaryDir scratch;
    const QString file = QFileInfo(QString::fromStdString(name)).fileName();
    const std::string to = scratch.filePath(file).toStdString();
    WriteTestFile(to, TestDataFile(name));
    return to;
}

// Clicks the entry of this caption in an open menu; gives back the sub-menu it opens.
inline QMenu* ClickEntry(QMenu* menu, const QString& caption) {
    EXPECT_TRUE(menu && QTest::qWaitFor([menu] { return menu->isVisible(); }, 1000));
    for (QAction* a : menu->actions())
        if (a->text() == caption) {
            ClickAt(menu, menu->actionGeometry(a).center());
            return a->menu();
        }
    ADD_FAILURE() << "no entry " << caption.toStdString();
    return nullptr;
}
// Clicks the menu's title, each sub-menu on the way, then the entry (a tool bar's: its button).
inline void Choose(QAction* entry) {
    ASSERT_NE(entry, nullptr);
    QStringList path{entry->text()};
    QAction* title = entry;
    // Up to the menu bar's title (the bar's overflow menu lists the titles too).
    auto menuOf = [](QAction* a) -> QMenu* {
        QMenu* menu = nullptr;
        for (QObject* o : a->associatedObjects()) {
            if (qobject_cast<QMenuBar*>(o)) return nullptr;
            if (!menu) menu = qobject_cast<QMenu*>(o);
        }
        return menu;
    };
    for (QMenu* menu = menuOf(title); menu; menu = menuOf(title)) {
        title = menu->menuAction();
        path.prepend(title->text());
    }
    for (QObject* o : title->associatedObjects()) {
        if (auto* tools = qobject_cast<QToolBar*>(o); tools && title == entry)
            return ClickAt(tools->widgetForAction(entry));
        auto* bar = qobject_cast<QMenuBar*>(o);
        if (!bar) continue;
        ClickAt(bar, bar->actionGeometry(title).center());
        QMenu* open = title->menu();
        for (qsizetype i = 1; i < path.size() && open; ++i) open = ClickEntry(open, path[i]);
        return;
    }
    ADD_FAILURE() << entry->objectName().toStdString() << " is in no menu or tool bar";
}
inline void Choose(QWidget* window, const char* name) {
    Choose(window->findChild<QAction*>(name));
}

// A window of the test's user interface with a scratch data folder (or dataFolder).
struct Window {
    QTemporaryDir data;
    RecordingUserInterface ui;
    DesignerProgram program;
    std::unique_ptr<FrmMain> w;

    explicit Window(bool dataEntry = false, const char* dataFolder = nullptr,
                    SaveFormPrompt* savePrompt = nullptr)
        : program({&ui, dataFolder ? dataFolder : data.path().toStdString(), {}}) {
        FrmMainOptions o;
        o.pixelsPerInch = 96, o.dataEntryForm = dataEntry, o.savePrompt = savePrompt;
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
    // Connected to a server on this machine, as the connection dialog's Connect button does.
    bool Connect(int port) {
        w->Connection().port = std::to_string(port);
        w->Connection().entity = "1";
        return w->Connection().Connect();
    }
    void Choose(const char* entry) { ::Choose(Find<QAction>(entry)); }
};
// A test that starts from a window of its own, `w` its form.
struct WindowTest : testing::Test {
    Window win;
    FrmMain& w = *win.w;
    PageCanvas* page = w.PageView(0);  // the first page's view lives as long as the window
};

// Pixels of a point on the page at the test's 96 per inch.
inline QPoint Px(double x, double y) {
    return QPoint(int(x * 96), int(y * 96));
}
inline int AddLabel(FrmMain& w, double left, double top) {
    return PlaceLabel(w.Canvas(), left, top, 1, "Item", 0, 0.2);
}

struct NamePrompt : SaveFormPrompt {
    bool ShowSaveDialog(FormSettings& s, bool) override {
        NameForm(s, "WINDOWFORM", "Saved from the window", "TEST", "LAB");
        return true;
    }
};

// Acts on the modal dialog of this kind once the next step has brought it up.
template <class Dialog, class Act>
void OnNextModal(Act act, int tries = 500) {
    QTimer::singleShot(10, [act, tries] {
        if (auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget()))
            act(d);
        else if (tries > 0)
            OnNextModal<Dialog>(act, tries - 1);
    });
}
// Right-clicks the point of w and chooses the entry (of the sub-menu, if any) of the menu.
inline void ChooseFromPopupAt(QWidget* w, QPoint at, const QString& entry,
                              const QString& subMenu = {}) {
    QTimer::singleShot(50, [=] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        ClickEntry(subMenu.isEmpty() ? menu : ClickEntry(menu, subMenu), entry);
    });
    ClickAt(w, at, Qt::NoModifier, Qt::RightButton);
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
// The page's kept picture, once repainted, is the form painted afresh: nothing left stale.
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
