#include <QApplication>
#include <QMainWindow>

#include "Commands.h"

int RunGui(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle("Form Designer");
    w.resize(1000, 750);
    w.show();
    return app.exec();
}
