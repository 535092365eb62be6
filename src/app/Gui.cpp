#include <QApplication>
#include <QMainWindow>
#include <QPointer>

#include "Commands.h"
#include "DesignerWindow.h"
#include "shell/StartOptions.h"
#include "shell/qt/FrmStart.h"
#include "shell/qt/QtUserInterface.h"
#include "window/DesignerProgram.h"

int RunGui(int argc, char** argv) {
    QApplication app(argc, argv);
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    DesignerProgramOptions options;
    options.start = ParseStartOptions(args);

    QtUserInterface ui;
    FrmStart login(ui);
    if (login.exec() != QDialog::Accepted) return 0;
    DesignerProgram program(options);
    QPointer<QMainWindow> w = CreateDesignerWindow(program, app.arguments());
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->show();
    int result = app.exec();
    // The window works on the program's form: it goes first.
    delete w.data();
    return result;
}
