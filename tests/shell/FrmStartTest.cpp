// The login dialog driven by real key and mouse events.
#include <QApplication>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "shell/MachineFonts.h"
#include "shell/RecordingUserInterface.h"
#include "shell/qt/FrmStart.h"
#include "shell/qt/QtUserInterface.h"
#include "support/UserInput.h"

TEST(FrmStart, OnlyThePasswordInAnyCaseLogsInAWrongOneBeepsAndEscapeLeaves) {
    const struct {
        const char* typed;
        Qt::Key finish;  // Qt::Key_unknown: a click on OK
        int result, beeps;
        bool open;
    } cases[] = {{"secret", Qt::Key_unknown, 0, 1, true},
                 {"TARNVOSS", Qt::Key_Return, QDialog::Accepted, 0, false},
                 {"tarnvoss", Qt::Key_Escape, QDialog::Rejected, 0, false}};
    for (const auto& c : cases) {
        RecordingUserInterface ui;
        FrmStart dialog(ui);
        dialog.show();
        InFront(&dialog);
        Keys(c.typed);
        if (c.finish != Qt::Key_unknown)
            Press(c.finish);
        else
            ClickAt(dialog.OkButton());
        EXPECT_EQ(dialog.result(), c.result) << c.typed;
        EXPECT_EQ(dialog.isVisible(), c.open) << c.typed;
        EXPECT_EQ(ui.BeepCount(), c.beeps) << c.typed;
        EXPECT_EQ(dialog.PasswordBox()->text(), c.typed);
        EXPECT_EQ(dialog.PasswordBox()->echoMode(), QLineEdit::Password);
        if (c.open) EXPECT_EQ(QApplication::focusWidget(), dialog.PasswordBox());
    }
}

TEST(QtFileFilter, TurnsBarFiltersIntoQtFilters) {
    EXPECT_EQ(QtFileFilter("Layout files (*.ldt)|*.ldt|All Files (*.*)|*.*"),
              "Layout files (*.ldt);;All Files (*.*)");
    EXPECT_EQ(QtFileFilter("Jpg (*.jpg;*.jpeg)|*.jpg;*.jpeg"), "Jpg (*.jpg *.jpeg)");
    EXPECT_EQ(QtFileFilter("Bitmaps|*.bmp;*.dib"), "Bitmaps (*.bmp *.dib)");
}

TEST(QtUserInterface, MessageBoxesAreWideEnoughForTheirTitles) {
    QtUserInterface ui;
    int width = 0, title = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        width = box->width();
        title = QFontMetrics(box->font()).horizontalAdvance(box->windowTitle());
        ASSERT_TRUE(QTest::qWaitForWindowActive(box));
        Press(Qt::Key_Return);
    });
    ui.Message("Done.", "Recalculating Checkboxes/Textboxes", MessageIcon::Information);
    // Room for the title and the frame's own buttons beside it.
    EXPECT_GT(width, title + 100);
}

TEST(QtTextMetrics, MeasuresRealFonts) {
    QtTextMetrics metrics;
    double narrow = metrics.TextWidth("ii", "DejaVu Sans", 10, false, false);
    double wide = metrics.TextWidth("WWWWWWWW", "DejaVu Sans", 10, false, false);
    EXPECT_GT(narrow, 0);
    EXPECT_GT(wide, narrow * 4);
    EXPECT_GT(metrics.TextHeight("DejaVu Sans", 20, false, false),
              metrics.TextHeight("DejaVu Sans", 10, false, false));
    EXPECT_FALSE(metrics.FontExists("No Such Font Family 123"));
    EXPECT_FALSE(metrics.FontExists(""));
    // The command line's check reads the families from fontconfig without the GUI: it must
    // list what the window's font database lists, foundry suffixes and generic names too.
    QStringList headless, window = QFontDatabase::families();
    for (const std::string& family : FontconfigFamilies())
        headless << QString::fromStdString(family);
    headless.sort();
    window.sort();
    EXPECT_EQ(headless.join('|').toStdString(), window.join('|').toStdString());
    // A name is found in any letter case, Latin-1 capitals too ("\xDE" is the capital of
    // the family's UTF-8 small thorn); the stand-ins are taken as present everywhere.
    const FontFamilies families({"DejaVu Sans", "\xC3\xBEorn"});
    for (auto [name, present] : {std::pair{"dejavu SANS", true},
                                 {"\xDEORN", true},
                                 {"Arial", true},
                                 {"No Such Font Family 123", false},
                                 {"", false}})
        EXPECT_EQ(families.Available(name), present) << name;
}
