#pragma once
// The designer's main window, shown once the login is accepted.
#include <QStringList>

class DesignerProgram;
class QMainWindow;

// program: what the window works with (it must outlive the window); args: the
// program's command line, where a layout file may be named.
QMainWindow* CreateDesignerWindow(DesignerProgram& program, const QStringList& args);
