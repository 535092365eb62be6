#include "dialogs/qt/FieldBehaviour.h"

#include <QEvent>
#include <QLineEdit>
#include <QPalette>
#include <QTimer>

namespace {

class SelectAllFilter : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            // After the click that gave the focus has placed the cursor.
            auto* field = static_cast<QLineEdit*>(watched);
            QTimer::singleShot(0, field, [field] { field->selectAll(); });
        }
        return false;
    }
};

}  // namespace

void SelectAllOnFocus(QLineEdit* field) {
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
