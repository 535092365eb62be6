#include "DesignerWindow.h"

#include "canvas/view/FrmMain.h"

QMainWindow* CreateDesignerWindow(const QStringList&) {
    return new FrmMain();
}
