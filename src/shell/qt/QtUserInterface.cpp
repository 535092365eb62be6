#include "shell/qt/QtUserInterface.h"

#include <QApplication>
#include <QFileDialog>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>

#include "shell/MachineFonts.h"
#include "shell/TextUtils.h"
#include "shell/Units.h"
#include "shell/qt/QtText.h"

namespace {

QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        default:
            return QMessageBox::NoIcon;
    }
}

QString BoxText(const std::string& text) {
    return toUnicode(text::ReplaceAll(text, "\r\n", "\n"));
}

// A message box is as narrow as its text; a longer title would be cut short in the
// title bar, so the box is made wide enough for the title and the frame's buttons.
void FitTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    int width = QFontMetrics(QApplication::font("QWorkspaceTitleBar"))
                    .horizontalAdvance(box.windowTitle()) +
                150;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

QFont MakeFont(const std::string& fontName, double fontSize, bool bold, bool italic) {
    QFont font(toUnicode(fontName));
    font.setPointSizeF(fontSize > 0 ? fontSize : 8);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// Font metrics come in pixels of the screen the fonts are laid out for.
double ScreenDpi() {
    QScreen* screen = QGuiApplication::primaryScreen();
    double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

}  // namespace

void QtUserInterface::Message(const std::string& text, const std::string& title, MessageIcon icon) {
    QMessageBox box(ToQt(icon), toUnicode(title), BoxText(text), QMessageBox::Ok, parent_);
    FitTitle(box);
    box.exec();
}

bool QtUserInterface::YesNo(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::Question, toUnicode(title), BoxText(text),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    FitTitle(box);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

namespace {
bool AskOkCancel(QMessageBox::Icon icon, const std::string& text, const std::string& title,
                 QWidget* parent) {
    QMessageBox box(icon, toUnicode(title), BoxText(text), QMessageBox::Ok | QMessageBox::Cancel,
                    parent);
    // Every OK/Cancel question guards something that cannot be undone.
    box.setDefaultButton(QMessageBox::Cancel);
    FitTitle(box);
    return box.exec() == QMessageBox::Ok;
}
}  // namespace

bool QtUserInterface::OkCancel(const std::string& text, const std::string& title) {
    return AskOkCancel(QMessageBox::Question, text, title, parent_);
}

bool QtUserInterface::OkCancelInformation(const std::string& text, const std::string& title) {
    return AskOkCancel(QMessageBox::Information, text, title, parent_);
}

SaveChoice QtUserInterface::SaveDiscardCancel(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::Question, toUnicode(title), BoxText(text),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    FitTitle(box);
    switch (box.exec()) {
        case QMessageBox::Save:
            return SaveChoice::Save;
        case QMessageBox::Discard:
            return SaveChoice::Discard;
        default:
            return SaveChoice::Cancel;
    }
}

bool QtUserInterface::InputBox(const std::string& prompt, const std::string& title,
                               std::string& value) {
    bool ok = false;
    QString typed = QInputDialog::getText(parent_, toUnicode(title), BoxText(prompt),
                                          QLineEdit::Normal, toUnicode(value), &ok);
    if (ok) value = fromUnicode(typed);
    return ok;
}

void QtUserInterface::Beep() {
    QApplication::beep();
}

void QtUserInterface::SetBusy(bool on) {
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

QString QtFileFilter(const std::string& filter) {
    auto parts = text::Split(filter, "|");
    QStringList out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        // A description that already shows its patterns keeps them, as Qt reads them.
        QString name = toUnicode(text::ReplaceAll(parts[i], ";", " "));
        if (!name.contains('('))
            name += " (" + toUnicode(text::ReplaceAll(parts[i + 1], ";", " ")) + ")";
        out << name;
    }
    return out.join(";;");
}

std::string QtUserInterface::OpenFileName(const std::string& title, const std::string& filter,
                                          const std::string& initialName) {
    return fromUnicode(QFileDialog::getOpenFileName(parent_, toUnicode(title),
                                                    toUnicode(initialName), QtFileFilter(filter)));
}

std::string QtUserInterface::SaveFileName(const std::string& title, const std::string& filter,
                                          const std::string& suggested) {
    return fromUnicode(QFileDialog::getSaveFileName(parent_, toUnicode(title), toUnicode(suggested),
                                                    QtFileFilter(filter)));
}

double QtTextMetrics::TextWidth(std::string_view caption, const std::string& fontName,
                                double fontSize, bool bold, bool italic) const {
    QFontMetricsF fm(MakeFont(fontName, fontSize, bold, italic));
    return units::PixelsToInches(fm.horizontalAdvance(toUnicode(caption)), ScreenDpi());
}

double QtTextMetrics::TextHeight(const std::string& fontName, double fontSize, bool bold,
                                 bool italic) const {
    QFontMetricsF fm(MakeFont(fontName, fontSize, bold, italic));
    return units::PixelsToInches(fm.height(), ScreenDpi());
}

bool QtTextMetrics::FontExists(const std::string& fontName) const {
    if (fontName.empty()) return false;
    if (IsStandInFamily(fontName)) return true;
    std::call_once(familiesRead_, [this] { families_ = QFontDatabase::families(); });
    return families_.contains(toUnicode(fontName), Qt::CaseInsensitive);
}

bool QtKeyState::ShiftPressed() const {
    return QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
}
bool QtKeyState::CtrlPressed() const {
    return QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier;
}
bool QtKeyState::AltPressed() const {
    return QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier;
}
