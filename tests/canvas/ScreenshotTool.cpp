// Shows the designer window on the real display with a layout open and saves what
// the screen shows: for looking at the window under a virtual display.
//   canvas_screenshot LAYOUT.ldt OUT_PREFIX [DATA_DIR [SERVER_PORT]]
//   canvas_screenshot --insert OUT_PREFIX [DATA_DIR]
// The second form places one item of every kind with the tools on a new form, then
// drags three labels and shoots while the drag is under way.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <iostream>

#include "canvas/view/FrmMain.h"
#include "canvas/view/PageCanvas.h"
#include "shell/RecordingUserInterface.h"

namespace {
void Click(FrmMain& w, double x, double y, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    w.PointerMoved(0, {x, y});
    w.PagePressed(0, {x, y}, Qt::LeftButton, mods);
    w.PageReleased(0, {x, y}, Qt::LeftButton);
}

// Two corners with a tool of the tool bar.
void Pick(FrmMain& w, int mode, double x1, double y1, double x2, double y2) {
    w.ToolButton(mode)->trigger();
    Click(w, x1, y1);
    w.PointerMoved(0, {(x1 + x2) / 2, (y1 + y2) / 2});
    Click(w, x2, y2);
}

template <class Shoot>
int InsertEveryKind(QApplication& app, FrmMain& w, Shoot& shoot) {
    QTemporaryDir dir;
    const QString picture = dir.filePath("logo.png");
    QImage logo(160, 80, QImage::Format_RGB32);
    logo.fill(Qt::white);
    QPainter(&logo).fillRect(20, 20, 120, 40, QColor(40, 90, 160));
    logo.save(picture);
    w.Editor().GetHooks().selectImageFile = [&] { return picture.toStdString(); };
    w.Editor().GetHooks().openGridDialog = [&](const Rect& r) {
        GridArea area;
        area.left = r.left;
        area.top = r.top;
        area.right = r.left + r.width;
        area.bottom = r.top + r.height;
        area.columns = 3;
        area.rows = 4;
        area.tag = "grid";
        w.BuildGrid(area);
    };
    // Three labels: a static text, a database field and an untouched one.
    const double y = 0.6;
    for (int i = 0; i < 3; ++i) Click(w, 0.6 + i * 1.6, y);
    const int last = w.Editor().LastInsertedLabel();
    w.Editor().ItemToStaticText(last - 2);
    w.Editor().ItemToDataField(last - 1, "PATIENT_NAME");
    Pick(w, kInsertImage, 0.6, 1.2, 2.4, 2.1);
    Pick(w, kInsertBarcode, 3.0, 1.2, 5.0, 1.8);
    // Hotspots and signature boxes belong to interactive forms.
    w.Model().settings.interactive = true;
    w.UpdateInteractive();
    Pick(w, kInsertHotspot, 5.6, 1.2, 7.6, 2.0);
    Pick(w, kInsertSignatureBox, 0.6, 2.6, 3.4, 3.4);
    Pick(w, kInsertBox, 4.0, 2.6, 7.6, 3.6);
    // The line tool has no button on the tool bar.
    w.Editor().PressTool(kInsertLine);
    Click(w, 0.6, 4.0);
    w.PointerMoved(0, {5, 4.0});
    Click(w, 7.6, 4.0);
    w.Editor().PressTool(kInsertLine);
    Pick(w, kInsertGrid, 0.6, 4.4, 7.6, 6.0);
    w.ClearSelection();
    w.RefreshCanvas();
    QTimer::singleShot(400, [&] {
        shoot("-inserted");
        Click(w, 0.65, y + 0.05);
        Click(w, 2.25, y + 0.05, Qt::ControlModifier);
        Click(w, 3.85, y + 0.05, Qt::ControlModifier);
        w.PagePressed(0, {0.65, y + 0.05}, Qt::LeftButton, Qt::NoModifier);
        for (int step = 1; step <= 10; ++step)
            w.PointerMoved(0, {0.65 + step * 0.1, y + 0.05 + step * 0.08});
        QTimer::singleShot(400, [&] {
            shoot("-mid-drag");
            w.PageReleased(0, {1.65, y + 0.85}, Qt::LeftButton);
            QTimer::singleShot(300, [&] {
                shoot("-dropped");
                app.quit();
            });
        });
    });
    return app.exec();
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: canvas_screenshot LAYOUT.ldt OUT_PREFIX [DATA_DIR]\n";
        return 2;
    }
    QApplication app(argc, argv);
    RecordingUserInterface ui;
    DesignerProgramOptions o;
    o.ui = &ui;
    // Inserted pictures are copied into the data folder: never the user's own.
    QTemporaryDir scratch;
    o.dataFolder = argc > 3 ? argv[3] : scratch.path().toStdString();
    DesignerProgram program(o);
    FrmMain w(program);
    w.resize(1280, 960);
    w.show();
    if (std::string(argv[1]) != "--insert" && !w.OpenLayout(argv[1]))
        std::cerr << "the layout could not be read\n";
    for (const auto& c : ui.Messages()) std::cerr << c.title << ": " << c.text << "\n";
    std::string prefix = argv[2];
    auto shoot = [&](const std::string& name) {
        QPixmap shot = w.screen()->grabWindow(w.winId());
        shot.save(QString::fromStdString(prefix + name + ".png"));
    };
    if (std::string(argv[1]) == "--insert") return InsertEveryKind(app, w, shoot);
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
