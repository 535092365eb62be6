// Cut, copy, paste, arrange, the properties dock and the guide, driven as a user drives them.
#include <QClipboard>
#include <QCursor>
#include <QMimeData>
#include <QTextBlock>
#include <QTextBrowser>
#include <tuple>

#include "canvas/CanvasClipboard.h"
#include "window/HelpWindow.h"
#include "window/PropertiesDock.h"
#include "window/WindowFixture.h"

using WindowEditing = WindowTest;

namespace {
bool Holds(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}
}  // namespace

TEST_F(WindowEditing, CutCopyPasteAndArrangeAreOneStepEachAndPasteCrossesForms) {
    OpenThreeLabels(win);  // "Item" at (1, 1), (3, 2) and (1, 4)
    ClickAt(page, Px(1.2, 1.1));
    ClickAt(page, Px(3.2, 2.1), Qt::ShiftModifier);
    Press(Qt::Key_C, Qt::ControlModifier);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(data->hasFormat(clipboard::kMimeType));
    EXPECT_TRUE(data->text().startsWith("<HEADER>"));
    EXPECT_FALSE(w.IsModified());

    // With the pointer over the page, the group's corner lands under it.
    QCursor::setPos(page->mapToGlobal(Px(2.5, 3)));
    Press(Qt::Key_V, Qt::ControlModifier);
    std::string text = Written(w);
    EXPECT_TRUE(Holds(text, "Item\t2.5\t3\t") && Holds(text, "Item\t4.5\t4\t")) << text;
    EXPECT_EQ(win.Find<QAction>("mnuUndo")->text(), "Undo Paste");
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(w.IsModified());

    // Cut: both go in one step, and come back in one.
    ClickAt(page, Px(1.2, 1.1));
    ClickAt(page, Px(1.2, 4.1), Qt::ShiftModifier);
    Press(Qt::Key_X, Qt::ControlModifier);
    text = Written(w);
    EXPECT_FALSE(Holds(text, "Item\t1\t1\t") || Holds(text, "Item\t1\t4\t")) << text;
    EXPECT_EQ(win.Find<QAction>("mnuUndo")->text(), "Undo Cut");
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(w.IsModified());

    // Another form takes them from the menu, one shift further with each paste.
    Window other;
    QCursor::setPos(QPoint(-100, -100));
    for (int n = 0; n < 2; ++n) other.Choose("mnuPaste");
    text = Written(*other.w);
    EXPECT_TRUE(Holds(text, "Item\t1.02\t1.02\t") && Holds(text, "Item\t1.04\t4.04\t")) << text;

    // Arrange acts on the selection, a step each, from the menu and the tool bar alike.
    ClickAt(page, Px(3.2, 2.1));
    ClickAt(page, Px(1.2, 4.1), Qt::ShiftModifier);
    win.Choose("mnuAlignLeft");
    EXPECT_TRUE(Holds(Written(w), "Item\t1\t2\t"));
    EXPECT_EQ(win.Find<QAction>("mnuUndo")->text(), "Undo Align Left");
    win.Choose("tbAlignTop");
    EXPECT_TRUE(Holds(Written(w), "Item\t1\t2\t") && !Holds(Written(w), "Item\t1\t4\t"));
    EXPECT_EQ(win.Find<QAction>("mnuUndo")->text(), "Undo Align Top");
    Press(Qt::Key_Z, Qt::ControlModifier);
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(w.IsModified());
}

TEST_F(WindowEditing, AClickShowsTheItemsPropertiesBesideThePageAndTheDockFollows) {
    OpenThreeLabels(win);
    const int box = w.Canvas().AddBox({4, 6, 2, 1}, 0);
    PropertiesDock* dock = w.Dialogs().Dock();
    ASSERT_TRUE(dock && !dock->isVisible());
    // A plain click and a Shift-click show the label's dialog, docked: nothing covers the page.
    for (auto [x, y, mods, label] :
         {std::tuple{1.2, 1.1, Qt::NoModifier, 1}, std::tuple{3.2, 2.1, Qt::ShiftModifier, 2}}) {
        ClickAt(page, Px(x, y), mods);
        FrmProps* props = w.Dialogs().LabelProperties();
        ASSERT_TRUE(props && props->CurrentLabelIndx() == label) << label;
        EXPECT_TRUE(dock->Holds(props) && dock->isVisible() && !dock->isFloating());
    }
    EXPECT_FALSE(dock->geometry().intersects(w.centralWidget()->geometry()));
    // A click on the box's edge: its dialog takes the dock's place.
    ClickAt(page, Px(4, 6.5));
    FrmBoxProps* dialog = w.Dialogs().Box();
    ASSERT_TRUE(dialog && dialog->isVisible() && dock->Holds(dialog));
    EXPECT_EQ(w.Dialogs().LabelProperties(), nullptr);
    // Delete asks first: "No" keeps the box; Close leaves it and the dock goes.
    win.ui.boolAnswers = {false};
    ClickAt(dialog->DeleteButton());
    // Boxes are named from 1, as the window names its real boxes.
    EXPECT_EQ(win.ui.calls.back().text, "Delete shpBox(" + std::to_string(box + 1) + ")?");
    EXPECT_TRUE(w.Canvas().Boxes()[size_t(box)].active && dialog->isVisible());
    ClickAt(dialog->CloseButton());
    EXPECT_TRUE(w.Canvas().Boxes()[size_t(box)].active && !dock->isVisible());
}

TEST_F(WindowEditing, F1OpensTheGuideShippedWithTheProgramAtItsSections) {
    ClickAt(page, Px(6, 9));
    Press(Qt::Key_F1);
    auto* help = w.findChild<HelpWindow*>("frmHelp");
    ASSERT_TRUE(help && help->isVisible());
    QTextBrowser* text = help->Browser();
    EXPECT_TRUE(text->toPlainText().contains("Cut, copy and paste"));
    // Every picture the guide names is compiled in.
    QTextDocument* doc = text->document();
    int pictures = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (QTextImageFormat f = it.fragment().charFormat().toImageFormat(); f.isValid()) {
                ++pictures;
                EXPECT_FALSE(
                    text->loadResource(QTextDocument::ImageResource, QUrl(f.name())).isNull())
                    << f.name().toStdString();
            }
    EXPECT_GE(pictures, 4);
    win.Choose("mnuHelp");
    EXPECT_EQ(text->textCursor().block().text(), "Mouse and Keys");
}
