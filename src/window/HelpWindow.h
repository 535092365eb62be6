#pragma once
// The user guide shipped with the program (docs/user-guide.md and its pictures,
// compiled in), shown in a window of its own at the section asked for.
#include <QDialog>

class QTextBrowser;

class HelpWindow : public QDialog {
  public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // The guide at the heading whose anchor is given (as the guide's own links name
    // headings: lower case, words joined by "-"), or at the top; in front.
    void ShowSection(const QString& anchor = {});
    QTextBrowser* Browser() const { return browser_; }

  private:
    QTextBrowser* browser_;
};

// The one guide window of a main window, made when first asked for.
HelpWindow* ShowUserGuide(QWidget* window, const QString& anchor = {});
