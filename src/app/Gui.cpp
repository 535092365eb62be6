#include <QApplication>
#include <QMainWindow>

#include "Commands.h"
#include "DesignerWindow.h"
#include "shell/KeyState.h"
#include "shell/StartOptions.h"
#include "shell/qt/FrmStart.h"
#include "shell/qt/QtUserInterface.h"

int RunGui(int argc, char** argv) {
    QApplication app(argc, argv);
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    SetCurrentStartOptions(ParseStartOptions(args));
    static QtKeyState keys;
    SetCurrentKeyState(&keys);

    QtUserInterface ui;
    FrmStart login(ui);
    if (login.exec() != QDialog::Accepted) return 0;
    QMainWindow* w = CreateDesignerWindow(app.arguments());
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->show();
    return app.exec();
}
