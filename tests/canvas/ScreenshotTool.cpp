// Shows the designer window on the real display with a layout open and saves what
// the screen shows: for looking at the window under a virtual display.
//   canvas_screenshot LAYOUT.ldt OUT_PREFIX [DATA_DIR [SERVER_PORT]]
#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <iostream>

#include "canvas/view/FrmMain.h"
#include "canvas/view/PageCanvas.h"
#include "shell/RecordingUserInterface.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: canvas_screenshot LAYOUT.ldt OUT_PREFIX [DATA_DIR]\n";
        return 2;
    }
    QApplication app(argc, argv);
    RecordingUserInterface ui;
    FrmMainOptions o;
    o.ui = &ui;
    if (argc > 3) o.dataFolder = argv[3];
    FrmMain w(o);
    w.resize(1100, 800);
    w.show();
    if (!w.OpenLayout(argv[1])) std::cerr << "the layout could not be read\n";
    for (const auto& c : ui.Messages()) std::cerr << c.title << ": " << c.text << "\n";
    std::string prefix = argv[2];
    auto shoot = [&](const std::string& name) {
        QPixmap shot = w.screen()->grabWindow(w.winId());
        shot.save(QString::fromStdString(prefix + name + ".png"));
    };
    QTimer::singleShot(500, [&] {
        shoot("-page1");
        w.PageMove(2);
        QTimer::singleShot(300, [&] {
            shoot("-page2");
            FrmConnect& dlg = w.ConnectDialog();
            dlg.show();
            QTimer::singleShot(300, [&] {
                dlg.grab().save(QString::fromStdString(prefix + "-disconnected.png"));
                if (argc > 4) {
                    w.Connection().port = argv[4];
                    w.Connection().Connect();
                    dlg.RefreshControls();
                    w.SetStatusText(w.Connection().StatusText());
                }
                QTimer::singleShot(300, [&] {
                    dlg.grab().save(QString::fromStdString(prefix + "-connected.png"));
                    dlg.hide();
                    shoot("-window-connected");
                    app.quit();
                });
            });
        });
    });
    return app.exec();
}
