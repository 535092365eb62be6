#include "window/HelpWindow.h"

#include <QFile>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {
// A heading's anchor as Markdown renderers name it: "Mouse and Keys" -> "mouse-and-keys".
QString Anchor(const QString& heading) {
    QString out;
    for (QChar c : heading.toLower()) {
        if (c.isLetterOrNumber() || c == '-')
            out += c;
        else if (c == ' ')
            out += '-';
    }
    return out;
}
}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("frmHelp");
    setWindowTitle("Form Designer Help");
    browser_ = new QTextBrowser(this);
    browser_->setObjectName("txtGuide");
    // Links within the guide go to its headings; there are no others.
    browser_->setOpenLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& url) { ShowSection(url.fragment()); });
    // The pictures are named relative to the guide, as they are in docs/.
    browser_->setSearchPaths({":/guide"});
    QFile guide(":/guide/user-guide.md");
    if (guide.open(QIODevice::ReadOnly))
        browser_->setMarkdown(QString::fromUtf8(guide.readAll()));
    else
        browser_->setPlainText("The user guide is missing from this build.");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(960, 720);
}

void HelpWindow::ShowSection(const QString& anchor) {
    show();
    raise();
    activateWindow();
    QTextCursor at(browser_->document());
    for (QTextBlock b = browser_->document()->begin(); b.isValid() && !anchor.isEmpty();
         b = b.next())
        if (b.blockFormat().headingLevel() > 0 && Anchor(b.text()) == anchor) {
            at = QTextCursor(b);
            break;
        }
    // The heading at the top of the view, not merely somewhere in it.
    browser_->verticalScrollBar()->setValue(browser_->verticalScrollBar()->maximum());
    browser_->setTextCursor(at);
    browser_->ensureCursorVisible();
}

HelpWindow* ShowUserGuide(QWidget* window, const QString& anchor) {
    auto* help = window->findChild<HelpWindow*>("frmHelp", Qt::FindDirectChildrenOnly);
    if (!help) help = new HelpWindow(window);
    help->ShowSection(anchor);
    return help;
}
