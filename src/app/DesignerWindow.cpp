#include "DesignerWindow.h"

#include <QMainWindow>

QMainWindow* CreateDesignerWindow(const QStringList&) {
    auto* w = new QMainWindow;
    w->setWindowTitle("Form Designer");
    w->resize(1000, 750);
    return w;
}
