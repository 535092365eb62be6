#include "DesignerWindow.h"

#include "shell/AtomicFile.h"
#include "shell/RecoveryFiles.h"
#include "shell/qt/QtText.h"
#include "window/FrmMain.h"

QMainWindow* CreateDesignerWindow(DesignerProgram& program, const QStringList& args) {
    // What writers killed in the middle of a write left behind (none that is being written).
    files::RemoveStaleTemporaries(program.DataFolder());
    auto* w = new FrmMain(program);
    // A form left by a window that did not close cleanly comes back first.
    if (auto e = recovery::Offer(program.Ui(), program.DataFolder())) {
        // The window keeps it in its own recovery file from now on.
        if (w->OpenRecovered(e->layoutText)) recovery::Remove(e->path);
        return w;
    }
    // A layout file named on the command line opens once the window is up.
    for (int i = 1; i < args.size(); ++i)
        if (args[i].endsWith(".ldt", Qt::CaseInsensitive)) {
            w->OpenLayout(fromUnicode(args[i]));
            break;
        }
    return w;
}
