// The login dialog driven by real key and mouse events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "shell/RecordingUserInterface.h"
#include "shell/qt/FrmStart.h"
#include "shell/qt/QtUserInterface.h"

namespace {
void App() {}
}  // namespace

// The application object must outlive every widget and die before exit handlers run.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

TEST(FrmStart, WrongPasswordBeepsAndStaysOpen) {
    App();
    RecordingUserInterface ui;
    FrmStart dialog(ui);
    dialog.show();
    QTest::keyClicks(dialog.PasswordBox(), "secret");
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(ui.BeepCount(), 1);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_EQ(dialog.PasswordBox()->text(), "secret");
    EXPECT_EQ(dialog.PasswordBox()->echoMode(), QLineEdit::Password);
}

TEST(FrmStart, PasswordInCapitalsIsAccepted) {
    App();
    RecordingUserInterface ui;
    FrmStart dialog(ui);
    dialog.show();
    QTest::keyClicks(dialog.PasswordBox(), "TARNVOSS");
    QTest::keyClick(dialog.PasswordBox(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(ui.BeepCount(), 0);
}

TEST(FrmStart, EscapeClosesWithoutLogin) {
    App();
    RecordingUserInterface ui;
    FrmStart dialog(ui);
    dialog.show();
    QTest::keyClicks(dialog.PasswordBox(), "tarnvoss");
    QTest::keyClick(dialog.PasswordBox(), Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
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
        box->accept();
    });
    ui.Message("Done.", "Recalculating Checkboxes/Textboxes", MessageIcon::Information);
    // Room for the title and the frame's own buttons beside it.
    EXPECT_GT(width, title + 100);
}

TEST(QtTextMetrics, MeasuresRealFonts) {
    App();
    QtTextMetrics metrics;
    double narrow = metrics.TextWidth("ii", "DejaVu Sans", 10, false, false);
    double wide = metrics.TextWidth("WWWWWWWW", "DejaVu Sans", 10, false, false);
    EXPECT_GT(narrow, 0);
    EXPECT_GT(wide, narrow * 4);
    EXPECT_GT(metrics.TextHeight("DejaVu Sans", 20, false, false),
              metrics.TextHeight("DejaVu Sans", 10, false, false));
    EXPECT_FALSE(metrics.FontExists("No Such Font Family 123"));
    EXPECT_FALSE(metrics.FontExists(""));
}
