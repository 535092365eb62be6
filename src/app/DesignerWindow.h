#pragma once
// The designer's main window, shown once the login is accepted.
#include <QStringList>

class QMainWindow;

// args: the program's command line (switches such as "debug mode" or "no ping").
QMainWindow* CreateDesignerWindow(const QStringList& args);
