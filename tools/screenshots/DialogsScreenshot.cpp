// Not a test: saves pictures of the dialog forms for a person to look at.
#include <QApplication>
#include <QTabWidget>

#include "dialogs/RecordingHost.h"
#include "dialogs/qt/FrmLineProps.h"
#include "dialogs/qt/FrmPopUp.h"
#include "dialogs/qt/FrmSize.h"
#include "layout/FormSettings.h"
#include "shell/RecordingUserInterface.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString(argv[1]) : QString("/tmp");
    FormSettings settings;
    settings.formCode = "CS1";
    settings.formName = "Charge slip";
    settings.formType = "ZEPH";
    settings.formDocumentType = "PROG";
    settings.interactive = true;
    settings.obstetrics = true;
    settings.statement = true;
    settings.gridTags = {"GRID_TAG:\t1\tTotal", "GRID_TAG:\t2\tBalance"};
    RecordingUserInterface ui;
    RecordingHost host;

    FrmSize size(settings, host, ui);
    size.Prepare(8.5, 11);
    size.show();
    const char* names[] = {"type", "layout", "print", "other", "statements"};
    for (int i = 0; i < size.Tabs()->count(); ++i) {
        size.Tabs()->setCurrentIndex(i);
        app.processEvents();
        size.grab().save(dir + "/dialogs-size-" + names[i] + ".png");
    }
    FrmPopUp popup(ui, nullptr, nullptr);
    popup.Prepare(settings, true);
    popup.show();
    app.processEvents();
    popup.grab().save(dir + "/dialogs-popup.png");
    FrmLineProps line(settings);
    line.show();
    line.UpdateShift();
    app.processEvents();
    line.grab().save(dir + "/dialogs-lineprops.png");
    return 0;
}
