// Shows the designer window on the real display with a layout open and saves what
// the screen shows: for looking at the window under a virtual display.
//   window_screenshot LAYOUT.ldt OUT_PREFIX [DATA_DIR [SERVER_PORT]]
//   window_screenshot --insert OUT_PREFIX [DATA_DIR]
//   window_screenshot --props OUT_PREFIX [DATA_DIR]
//   window_screenshot --grid OUT_PREFIX [DATA_DIR]
//   window_screenshot --copy OUT_PREFIX DATA_DIR FROM_PORT TO_PORT
//   window_screenshot --preview OUT_PREFIX LAYOUT.ldt   (the print preview of the layout)
//   window_screenshot --click OUT_PREFIX DATA_DIR LAYOUT.ldt X Y   (a click at X, Y inches,
//                                                                then the guide)
// The second form places one item of every kind with the tools on a new form, then
// drags three labels and shoots while the drag is under way.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <functional>
#include <iostream>

#include "dialogs/qt/FrmGrid.h"
#include "dialogs/qt/FrmLists.h"
#include "dialogs/qt/FrmProps.h"
#include "drawing/PageExport.h"
#include "server/qt/FrmCopyForms.h"
#include "server/qt/FrmDB.h"
#include "shell/RecordingUserInterface.h"
#include "window/FrmMain.h"
#include "window/ItemDialogs.h"
#include "window/PageCanvas.h"
#include "window/PageStrip.h"

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

// Every item dialog as it opens, and the page with barcodes of every sort as it prints.
template <class Shoot>
void ShootItemDialogs(QApplication& app, FrmMain& w, Shoot& shoot) {
    CanvasModel& c = w.Canvas();
    c.AddBarcode({3.0, 6.4, 2.4, 0.7}, 0, "PT-0042");
    c.AddBarcode({3.0, 7.4, 2.4, 0.7}, 0, "^PT_ACCOUNT");
    c.AddBarcode({3.0, 8.4, 2.4, 0.7}, 0, "lower case");
    ItemDialogs& d = w.Dialogs();
    const std::pair<const char*, std::function<QWidget*()>> dialogs[] = {
        {"-box",
         [&] {
             d.OpenBoxProperties(0);
             d.Box()->MoreButton()->click();
             return (QWidget*)d.Box();
         }},
        {"-hotspot",
         [&] {
             return d.OpenShapeProperties(ShapePropsLogic::Kind::Hotspot, 0), (QWidget*)d.Shape();
         }},
        {"-signature",
         [&] {
             return d.OpenShapeProperties(ShapePropsLogic::Kind::SignatureBox, 0),
                    (QWidget*)d.Shape();
         }},
        {"-image", [&] { return d.OpenImageProperties(0), (QWidget*)d.Image(); }},
        {"-barcode",
         [&] { return d.OpenBarcodeProperties(c.Barcodes()[0].label), (QWidget*)d.Barcode(); }},
    };
    for (const auto& [name, open] : dialogs) {
        QWidget* dialog = open();
        app.processEvents();
        dialog->grab().save(
            QString::fromStdString(w.property("prefix").toString().toStdString() + name + ".png"));
    }
    d.CloseOthers(CanvasModel::Hit::None);
    w.RefreshCanvas();
    app.processEvents();
    shoot("-barcodes");
    PictureCache pictures;
    RenderPage(c, w.Model(), pictures, 0, 150)
        .save(w.property("prefix").toString() + "-render.png");
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
                ShootItemDialogs(app, w, shoot);
                app.quit();
            });
        });
    });
    return app.exec();
}
// The label dialog on a static label, on a text-box prompt with its rows panel,
// with the group panel open, on the template; then the list picker.
int LabelDialogs(QApplication& app, FrmMain& w, const std::string& prefix) {
    CanvasModel& c = w.Canvas();
    auto label = [&](double x, double y, const char* caption) {
        int i = c.LoadOneLabel(0);
        LabelControl& l = c.Label(i);
        l.left = x, l.top = y, l.caption = caption, l.visible = true, l.autoSize = true;
        l.width = 0.12 * double(std::string(caption).size());
        return i;
    };
    int a = label(1, 1, "Patient name"), b = label(1, 2, "%T@Notes@1@0.4@3");
    label(3, 1, "Account");
    c.Label(a).spare = "U#30#4";
    ItemDialogs& d = w.Dialogs();
    auto shot = [&](const char* name) {
        app.processEvents();
        d.LabelProperties()->grab().save(QString::fromStdString(prefix + name + ".png"));
    };
    d.OpenLabelProperties(a);
    shot("-static");
    d.OpenLabelProperties(b);
    d.LabelProperties()->findChild<QPushButton*>("cmdAdjust")->click();
    shot("-textbox-rows");
    d.OpenLabelProperties(a);
    d.LabelProperties()->findChild<QPushButton*>("cmdMore")->click();
    shot("-group");
    w.Editor().MarkOneLabel(a);
    w.RefreshCanvas();
    app.processEvents();
    w.screen()->grabWindow(0).save(QString::fromStdString(prefix + "-screen.png"));
    d.OpenTemplateProperties();
    shot("-template");
    w.Model().databaseFields = {{"PT_NAME", "PATIENT.NAME"}, {"DOB", "PATIENT.DOB"}};
    d.OpenFillFromList();
    app.processEvents();
    d.Lists()->grab().save(QString::fromStdString(prefix + "-lists.png"));
    return 0;
}
// A scanned-looking ruled form as the page's background; the grid tool's area over
// its lines, before and after "Auto calc - snap to lines".
int GridOnRuledPage(QApplication& app, FrmMain& w, const std::string& prefix) {
    const int dpi = 100;
    QImage scan(85 * dpi / 10, 11 * dpi, QImage::Format_RGB32);
    scan.setDotsPerMeterX(qRound(dpi / 0.0254));
    scan.setDotsPerMeterY(qRound(dpi / 0.0254));
    scan.fill(QColor(250, 248, 240));
    QPainter p(&scan);
    for (int i = 0; i < 4000; ++i)  // paper specks
        p.fillRect((i * 7919) % scan.width(), (i * 104729) % scan.height(), 1, 1,
                   QColor(225, 222, 215));
    p.setFont(QFont("DejaVu Sans", 14, QFont::Bold));
    p.setPen(QColor(60, 60, 70));
    p.drawText(QRect(0, 60, scan.width(), 40), Qt::AlignCenter, "MEDICATION LIST");
    for (int k = 0; k < 10; ++k)  // ruled rows 0.3 inch apart, slightly uneven ink
        p.fillRect(100, 200 + 30 * k, 650, 2, QColor(70 + k % 3 * 10, 70, 80));
    p.end();
    const QString images = QString::fromStdString(w.Program().ImagesFolder());
    QDir().mkpath(images);
    scan.save(images + "/scan.png");
    QFile f(QDir::temp().filePath("fd-ruled.ldt"));
    f.open(QIODevice::WriteOnly);
    f.write(
        "<HEADER>\r\nPage:\t8.5\t11\r\nBackground_Image:\tscan.png\t1\t1\r\n</HEADER>\r\n"
        "<PAGE>\r\n</PAGE>\r\n");
    f.close();
    w.OpenLayout(f.fileName().toStdString());
    Pick(w, kInsertGrid, 1.1, 1.8, 7.4, 5.0);
    FrmGrid* grid = w.Dialogs().Grid();
    grid->move(w.geometry().right() - grid->width() - 10, w.geometry().top() + 80);
    auto shoot = [&](const char* name) {
        app.processEvents();
        w.screen()->grabWindow(0).save(QString::fromStdString(prefix + name + ".png"));
    };
    shoot("-grid-before");
    grid->Field("Columns")->setText("3");
    grid->Check("Auto calc - snap to lines")->setChecked(true);
    grid->Option("Both")->setChecked(true);
    grid->Button("Apply")->click();
    shoot("-grid-after");
    QFile::remove(f.fileName());
    return 0;
}

// The copy window between two servers, shot while pictures are being copied and when done.
int CopyForms(FrmMain& w, const std::string& prefix, const char* fromPort, const char* toPort) {
    w.findChild<QAction*>("mnuCopyForms")->trigger();
    auto* dlg = w.findChild<FrmCopyForms*>("frmCopyForms");
    dlg->resize(1100, 560);
    auto box = [&](const char* name, const char* text) {
        dlg->findChild<QLineEdit*>(name)->setText(text);
    };
    auto click = [&](const char* name) { dlg->findChild<QPushButton*>(name)->click(); };
    box("txtFromIPAddress", "127.0.0.1");
    box("txtFromPort", fromPort);
    box("txtToPort", toPort);
    click("cmdConnect");
    click("cmdToConnect");
    auto* list = dlg->findChild<QTreeWidget*>("lvwFromServerForms");
    list->selectAll();
    click("cmdCopy");
    auto repaint = dlg->Logic().onStatus;
    bool shot = false;
    dlg->Logic().onStatus = [&] {
        repaint();
        if (shot || dlg->Logic().state != "Saving Image") return;
        shot = true;
        w.screen()->grabWindow(0).save(QString::fromStdString(prefix + "-copying.png"));
    };
    click("cmdCopyForms");
    dlg->grab().save(QString::fromStdString(prefix + "-copied.png"));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: window_screenshot LAYOUT.ldt OUT_PREFIX [DATA_DIR]\n";
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
    // FD_SCREENSHOT_WIDTH=1024 shows the window as a small screen has it.
    int width = qEnvironmentVariableIntValue("FD_SCREENSHOT_WIDTH");
    w.resize(width > 0 ? width : 1280, 960);
    w.show();
    const bool generated = std::string(argv[1]).rfind("--", 0) == 0;
    if (!generated && !w.OpenLayout(argv[1])) std::cerr << "the layout could not be read\n";
    for (const auto& c : ui.Messages()) std::cerr << c.title << ": " << c.text << "\n";
    std::string prefix = argv[2];
    w.setProperty("prefix", QString::fromStdString(prefix));
    auto shoot = [&](const std::string& name) {
        QPixmap shot = w.screen()->grabWindow(w.winId());
        shot.save(QString::fromStdString(prefix + name + ".png"));
    };
    if (std::string(argv[1]) == "--insert") return InsertEveryKind(app, w, shoot);
    if (std::string(argv[1]) == "--props") return LabelDialogs(app, w, prefix);
    if (std::string(argv[1]) == "--grid") return GridOnRuledPage(app, w, prefix);
    if (std::string(argv[1]) == "--preview" && argc > 3) {
        // The page at 300 % with the rulers and the pointer marked, then the preview.
        w.OpenLayout(argv[3]);
        w.Pages().SetZoom(3, {0, 0});
        w.findChild<QAction*>("mnuSnap")->trigger();
        PageCanvas* page = w.PageView(0);
        QMouseEvent move(QEvent::MouseMove, QPointF(page->ToPixels(2.3), page->ToPixels(1.2)),
                         page->mapToGlobal(QPointF(page->ToPixels(2.3), page->ToPixels(1.2))),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(page, &move);
        QTimer::singleShot(500, [&] {
            shoot("-zoom300");
            QTimer::singleShot(1500, [&] {
                if (QWidget* preview = QApplication::activeModalWidget()) {
                    preview->grab().save(QString::fromStdString(prefix + "-preview.png"));
                    preview->close();
                }
                app.quit();
            });
            w.findChild<QAction*>("mnuPrintPreview")->trigger();
        });
        return app.exec();
    }
    if (std::string(argv[1]) == "--copy" && argc > 5) return CopyForms(w, prefix, argv[4], argv[5]);
    if (std::string(argv[1]) == "--click" && argc > 6) {
        w.OpenLayout(argv[4]);
        QTest::mouseClick(w.PageView(0), Qt::LeftButton, Qt::NoModifier,
                          QPoint(int(w.PageView(0)->ToPixels(std::atof(argv[5]))),
                                 int(w.PageView(0)->ToPixels(std::atof(argv[6])))));
        QTimer::singleShot(300, [&] {
            shoot("-clicked");
            // The guide at its "Mouse and Keys" section.
            w.findChild<QAction*>("mnuHelp")->trigger();
            QTimer::singleShot(300, [&] {
                w.findChild<QWidget*>("frmHelp")->grab().save(
                    QString::fromStdString(prefix + "-help.png"));
                app.quit();
            });
        });
        return app.exec();
    }
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
                    // The forms browser with the server's forms, one chosen.
                    QTimer::singleShot(300, [&] {
                        auto* db = qobject_cast<FrmDB*>(QApplication::activeModalWidget());
                        if (!db) return;
                        db->List()->setCurrentIndex(db->List()->model()->index(1, 0));
                        db->grab().save(QString::fromStdString(prefix + "-browser.png"));
                        db->findChild<QPushButton*>("cmdExit")->click();
                    });
                    if (w.Connection().Connected()) w.OpenFromServer();
                    app.quit();
                });
            });
        });
    });
    return app.exec();
}
