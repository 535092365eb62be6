#include "dialogs/qt/FieldBehaviour.h"

#include <QEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTimer>

namespace {

class SelectAllFilter : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            // After the click that gave the focus has placed the cursor.
            QObject* field = watched;
            QTimer::singleShot(0, field, [field] {
                if (auto* line = qobject_cast<QLineEdit*>(field))
                    line->selectAll();
                else if (auto* text = qobject_cast<QPlainTextEdit*>(field))
                    text->selectAll();
            });
        }
        return false;
    }
};

}  // namespace

void SelectAllOnFocus(QWidget* field) {
    field->installEventFilter(new SelectAllFilter(field));
}

QColor ColourFromBgr(int bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

int BgrFromColour(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

void SetBackground(QWidget* widget, int bgr) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Base, ColourFromBgr(bgr));
    p.setColor(QPalette::Window, ColourFromBgr(bgr));
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}
