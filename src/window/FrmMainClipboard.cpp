// Cut, copy and paste through the system clipboard, and the Arrange commands, with
// their menu entries and their tool bar.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QMenu>
#include <QMimeData>
#include <QToolBar>

#include "canvas/CanvasClipboard.h"
#include "shell/qt/QtText.h"
#include "window/FrmMain.h"
#include "window/PageCanvas.h"

namespace {

using A = CanvasEditor::Arrange;
struct ArrangeEntry {
    const char* caption;
    A how;
};
const ArrangeEntry kArrange[] = {{"Align Left", A::Left},
                                 {"Align Centres", A::Centres},
                                 {"Align Right", A::Right},
                                 {"Align Top", A::Top},
                                 {"Align Middles", A::Middles},
                                 {"Align Bottom", A::Bottom},
                                 {"Distribute Across", A::DistributeAcross},
                                 {"Distribute Down", A::DistributeDown},
                                 {"Same Width", A::SameWidth},
                                 {"Same Height", A::SameHeight}};

QString ObjectName(const char* prefix, const char* caption) {
    return QString(prefix) + QString(caption).remove(' ');
}

}  // namespace

void FrmMain::CopySelection() {
    const std::string text =
        clipboard::CopySelection(*editor_, canvas_, model_, program_.Metrics());
    if (text.empty()) return;  // nothing selected: the clipboard keeps what it holds
    auto* data = new QMimeData;
    data->setData(clipboard::kMimeType, QByteArray(text.data(), qsizetype(text.size())));
    data->setText(toUnicode(text));
    QApplication::clipboard()->setMimeData(data);
}

void FrmMain::CutSelection() {
    NameStep("Cut");
    CopySelection();
    editor_->DeleteSelection();
    dialogs_->CloseAll();
}

void FrmMain::PasteClipboard() {
    NameStep("Paste");
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data) return;
    std::string text;
    if (data->hasFormat(clipboard::kMimeType)) {
        const QByteArray bytes = data->data(clipboard::kMimeType);
        text.assign(bytes.constData(), size_t(bytes.size()));
    } else if (data->hasText()) {
        text = fromUnicode(data->text());
    }
    if (!clipboard::IsLayoutText(text)) return;
    const int page = canvas_.Window().currentPage;
    clipboard::Placement where;
    // At the pointer when it is over the page in view (a key pressed there) ...
    PageCanvas* view = PageView(page);
    const QPoint global = QCursor::pos();
    if (view && view->isVisible() && QApplication::widgetAt(global) == view) {
        const QPoint at = view->mapFromGlobal(global);
        where.atPoint = true;
        where.x = editor_->Snapped(view->ToInches(at.x()));
        where.y = editor_->Snapped(view->ToInches(at.y()));
    } else {
        // ... else one shift further with each paste of the same text.
        pastes_ = text == pastedText_ ? pastes_ + 1 : 1;
        pastedText_ = text;
        const FormSettings& s = model_.settings;
        where.dx = pastes_ * (s.horizontalShift > 0 ? s.horizontalShift : 0.02);
        where.dy = pastes_ * (s.verticalShift > 0 ? s.verticalShift : 0.02);
    }
    dialogs_->CloseAll();
    clipboard::Paste(*editor_, canvas_, model_, program_.Metrics(), ui_, text, page, where);
}

void FrmMain::Arrange(CanvasEditor::Arrange how, const std::string& caption) {
    NameStep(caption);
    editor_->ArrangeSelection(how);
    // An open dialog shows its item where it now is.
    dialogs_->Reload();
}

void FrmMain::BuildEditCommands(QMenu* edit) {
    edit->addSeparator();
    auto entry = [this](QMenu* menu, const char* caption, const char* name, auto act) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, act);
        return a;
    };
    entry(edit, "Cut", "mnuCut", [this] { CutSelection(); })->setShortcut(QKeySequence::Cut);
    entry(edit, "Copy", "mnuCopy", [this] { CopySelection(); })->setShortcut(QKeySequence::Copy);
    entry(edit, "Paste", "mnuPaste", [this] {
        PasteClipboard();
    })->setShortcut(QKeySequence::Paste);
    QMenu* arrange = edit->addMenu("Arrange");
    arrange->setObjectName("mnuArrange");
    for (const ArrangeEntry& e : kArrange) {
        const QString name = ObjectName("mnu", e.caption);
        entry(arrange, e.caption, name.toLatin1().constData(),
              [this, e] { Arrange(e.how, e.caption); });
        if (e.how == A::Bottom || e.how == A::DistributeDown) arrange->addSeparator();
    }
}

void FrmMain::BuildEditToolbar() {
    // Beside the form size on the second row: icons alone, their names in the tips.
    QToolBar* bar = FixedToolBar(this, "Edit", "Toolbar3");
    bar->setIconSize(QSize(20, 20));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    auto button = [&](const char* caption, auto act) {
        QAction* a = bar->addAction(ToolbarIcon(caption), caption);
        a->setObjectName(ObjectName("tb", caption));
        a->setToolTip(caption);
        connect(a, &QAction::triggered, this, act);
    };
    button("Cut", [this] { CutSelection(); });
    button("Copy", [this] { CopySelection(); });
    button("Paste", [this] { PasteClipboard(); });
    bar->addSeparator();
    for (const ArrangeEntry& e : kArrange) {
        button(e.caption, [this, e] { Arrange(e.how, e.caption); });
        if (e.how == A::Bottom || e.how == A::DistributeDown) bar->addSeparator();
    }
}
