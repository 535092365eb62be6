#include "DesignerWindow.h"

#include "canvas/view/FrmMain.h"
#include "shell/RecoveryFiles.h"
#include "shell/UserInterface.h"
#include "shell/qt/QtText.h"

namespace {

// Forms left by windows that did not close cleanly are offered back; true when one
// was recovered. A file that cannot be used is reported and kept.
bool OfferRecovery(FrmMain& w, DesignerProgram& program) {
    UserInterface& ui = program.Ui();
    for (const recovery::Entry& e : recovery::FindLeftOver(program.DataFolder())) {
        if (!e.problem.empty()) {
            ui.Message("The recovery file " + e.path + " cannot be used (" + e.problem +
                           ").\r\nIt is kept.",
                       "Form Designer", MessageIcon::Warning);
            continue;
        }
        const std::string name = e.formName.empty() ? "(new form)" : e.formName;
        if (ui.YesNo("Recover the unsaved form " + name + " of " + e.savedAt + "?",
                     "Form Designer")) {
            // The window keeps it in its own recovery file from now on.
            if (w.OpenRecovered(e.layoutText)) recovery::Remove(e.path);
            return true;
        }
        if (ui.YesNo("The unsaved form " + name + " will be lost for good.\r\nDelete it?",
                     "Form Designer"))
            recovery::Remove(e.path);
    }
    return false;
}

}  // namespace

QMainWindow* CreateDesignerWindow(DesignerProgram& program, const QStringList& args) {
    auto* w = new FrmMain(program);
    if (OfferRecovery(*w, program)) return w;
    // A layout file named on the command line opens once the window is up.
    for (int i = 1; i < args.size(); ++i)
        if (args[i].endsWith(".ldt", Qt::CaseInsensitive)) {
            w->OpenLayout(fromUnicode(args[i]));
            break;
        }
    return w;
}
