#include "DesignerWindow.h"

#include "canvas/view/FrmMain.h"
#include "shell/qt/QtText.h"

QMainWindow* CreateDesignerWindow(DesignerProgram& program, const QStringList& args) {
    auto* w = new FrmMain(program);
    // A layout file named on the command line opens once the window is up.
    for (int i = 1; i < args.size(); ++i)
        if (args[i].endsWith(".ldt", Qt::CaseInsensitive)) {
            w->OpenLayout(fromUnicode(args[i]));
            break;
        }
    return w;
}
