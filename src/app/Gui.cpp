#include <QApplication>
#include <QMainWindow>

#include "Commands.h"
#include "DesignerWindow.h"

int RunGui(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow* w = CreateDesignerWindow(app.arguments());
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->show();
    return app.exec();
}
