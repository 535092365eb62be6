// The menus, the tool bar and the status strip of the designer window: captions and
// object names as the user and the tests know them, each entry wired to what it does.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QSvgRenderer>
#include <QToolBar>
#include <cmath>
#include <memory>

#include "layout/ItemTypes.h"
#include "server/qt/FrmCopyForms.h"
#include "shell/RecentFiles.h"
#include "shell/Units.h"
#include "shell/Version.h"
#include "shell/qt/QtText.h"
#include "window/FrmMain.h"
#include "window/HelpWindow.h"
#include "window/PageStrip.h"
#include "window/SamplePreviewDialog.h"

void FrmMain::BuildMenus() {
    QMenu* file = menuBar()->addMenu("File");
    file->setObjectName("mnuFile");
    auto entry = [&](QMenu* menu, const char* caption, const char* name, auto&& action) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        // Whatever an entry changes in the form is a step named by its caption.
        connect(a, &QAction::triggered, this, [this, a] {
            if (a != mnuUndo_ && a != mnuRedo_) NameStep(fromUnicode(a->text().remove("...")));
        });
        connect(a, &QAction::triggered, this, action);
        // What a modal dialog of the entry applied is recorded once it has closed.
        connect(a, &QAction::triggered, this, [this] { ScheduleStep(); });
        return a;
    };
    entry(file, "Connection...", "mnuConnection", [this] { ShowConnection(); });
    entry(file, "New", "mnuNew", [this] {
        if (MayDiscardForm()) NewForm();
    })->setShortcut(QKeySequence::New);
    entry(file, "Open...", "mnuOpen", [this] {
        OpenFromServer();
    })->setShortcut(QKeySequence::Open);
    mnuGetFromFile_ = entry(file, "Get from file...", "mnuGetFromFile", [this] { GetFromFile(); });
    entry(file, "Save", "mnuSave", [this] {
        SaveToServer(false);
    })->setShortcut(QKeySequence::Save);
    entry(file, "Save As...", "mnuSaveAs", [this] { SaveToServer(true); });
    mnuSaveToFile_ = entry(file, "Save to file...", "mnuSaveToFile", [this] { SaveToFile(); });
    // The local layouts opened or saved last, read each time the menu opens so that
    // every window of the program shows the same list.
    QMenu* recentFiles = file->addMenu("Recent Layouts");
    recentFiles->setObjectName("mnuRecent");
    connect(recentFiles, &QMenu::aboutToShow, this, [this, recentFiles] {
        recentFiles->clear();
        for (const std::string& path : recent::Load(program_.DataFolder()))
            connect(recentFiles->addAction(toUnicode(path)), &QAction::triggered, this,
                    [this, path] {
                        if (MayDiscardForm()) OpenLayout(path);
                    });
        if (recentFiles->isEmpty()) recentFiles->addAction("(none)")->setEnabled(false);
    });
    entry(file, "Print", "mnuPrint", [this] {
        PrintCurrentPage();
    })->setShortcut(QKeySequence::Print);
    entry(file, "Print Preview...", "mnuPrintPreview", [this] { ShowPrintPreview(); });
    entry(file, "Preview with Sample Data", "mnuSamplePreview",
          [this] { ShowSamplePreview(this, program_, LayoutSnapshot()); });
    entry(file, "Export PDF...", "mnuExportPdf", [this] { ExportPdf(); });
    file->addSeparator();
    QMenu* edit = menuBar()->addMenu("Edit");
    edit->setObjectName("mnuEdit");
    mnuUndo_ = entry(edit, "Undo", "mnuUndo", [this] { Undo(); });
    mnuUndo_->setShortcut(QKeySequence::Undo);
    mnuRedo_ = entry(edit, "Redo", "mnuRedo", [this] { Redo(); });
    mnuRedo_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addSeparator();
    // Every label of the page in view, as a rubber band over the whole page would take.
    entry(edit, "Select All", "mnuSelectAll", [this] {
        const double everywhere = 1e6;
        editor_->SelectInRect({-everywhere, -everywhere, 2 * everywhere, 2 * everywhere},
                              canvas_.Window().currentPage, editor_->GridOnly());
    })->setShortcut(QKeySequence::SelectAll);
    BuildEditCommands(edit);
    QMenu* view = menuBar()->addMenu("View");
    view->setObjectName("mnuView");
    auto zoomBy = [this](double factor) { strip_->SetZoom(strip_->Zoom() * factor); };
    entry(view, "Zoom In", "mnuZoomIn", [zoomBy] {
        zoomBy(1.25);
    })->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence::ZoomIn});
    entry(view, "Zoom Out", "mnuZoomOut", [zoomBy] {
        zoomBy(1 / 1.25);
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    entry(view, "Actual Size", "mnuZoomActual", [this] {
        strip_->SetZoom(1);
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    entry(view, "Fit Page", "mnuZoomFit", [this] { strip_->SetZoom(strip_->FitPageZoom()); });
    QMenu* settings = menuBar()->addMenu("Settings");
    settings->setObjectName("mnuSettings");
    entry(settings, "Form Setup", "mnuPage", [this] { ShowFormSetup(); });
    entry(settings, "Text Default", "mnuTextDefault",
          [this] { dialogs_->OpenTemplateProperties(); });
    QMenu* background = settings->addMenu("Background");
    background->setObjectName("mnuBackground");
    entry(background, "Load", "mnuBackgroundLoad", [this] { LoadBackground(); });
    entry(background, "Clear", "mnuBackgroundClear", [this] { ClearBackground(); });
    QMenu* dbFields = settings->addMenu("Data Fields, User Prompts");
    dbFields->setObjectName("mnuDBFields");
    // The catalogue opens from "Build List": opening it as the sub-menu opens would
    // close the sub-menu before either entry could be chosen.
    entry(dbFields, "Build List", "mnuDBFieldsBuild", [this] { ShowCatalogue(); });
    entry(dbFields, "TEMP - Load List", "mnuDBFieldsLoad", [this] { LoadDBFieldsFile(); });
    QMenu* tools = menuBar()->addMenu("Tools");
    tools->setObjectName("mnuTools");
    entry(tools, "Clear Selection", "mnuClearSelection", [this] { ClearSelection(); });
    entry(tools, "Recalculate Checkboxes/Textboxes IDs", "mnuRecalcChkTxt",
          [this] { RecalculateCheckboxesTextboxes(canvas_, ui_); });
    entry(tools, "Recalculate Data Grid Rows...", "mnuRecalcDataGridRows",
          [this] { RecalculateDataGridRows(canvas_, ui_); });
    entry(tools, "Delete Selected", "mnuDeleteSelected", [this] { DeleteSelected(); });
    entry(tools, "Show Properties", "mnuShowProps", [this] { dialogs_->OpenMarked(); });
    entry(tools, "Fill from List", "mnuFillFromList", [this] { dialogs_->OpenFillFromList(); });
    entry(tools, "Clear local files", "mnuKillLocalFiles", [this] { ClearLocalFiles(); });
    entry(tools, "Copy Forms...", "mnuCopyForms", [this] {
        // Its own links: the designer's connection is left as it is.
        auto* copy = new FrmCopyForms(&program_.Ui(), program_.Start(), this);
        copy->setAttribute(Qt::WA_DeleteOnClose);
        copy->show();
    });
    tools->addSeparator();
    mnuLoadFromLocalFiles_ =
        entry(tools, "OPTION - Load from local files if available", "mnuLoadFromLocalFiles",
              [this](bool on) { program_.Flows().Options().loadFromLocalFiles = on; });
    mnuLoadFromLocalFiles_->setCheckable(true);
    QAction* noFolder =
        entry(tools, "OPTION - Do not use local folder", "mnuDoNotUseLocalFolder", [this](bool on) {
            program_.Flows().Options().doNotUseLocalFolder = on;
            mnuGetFromFile_->setEnabled(!on);
            mnuSaveToFile_->setEnabled(!on);
        });
    noFolder->setCheckable(true);
    tools->addSeparator();
    QAction* exit = file->addAction("Exit");
    exit->setObjectName("mnuExit");
    connect(exit, &QAction::triggered, this, &QWidget::close);

    mnuMultipage_ = tools->addAction("OPTION - Enable Multipage");
    mnuMultipage_->setObjectName("mnuMultipage");
    mnuMultipage_->setCheckable(true);
    connect(mnuMultipage_, &QAction::triggered, this, [this](bool on) { SetMultipage(on); });
    mnuFillin_ = tools->addAction("OPTION - Fill in Hotspot boxes");
    mnuFillin_->setObjectName("mnuFillin");
    mnuFillin_->setCheckable(true);
    connect(mnuFillin_, &QAction::triggered, this, [this](bool on) {
        painter_->SetFillIn(on);
        strip_->RefreshAll();
    });
    QAction* gridOnly = tools->addAction("OPTION - Select grid-only");
    gridOnly->setObjectName("mnuSelectGridOnly");
    gridOnly->setCheckable(true);
    connect(gridOnly, &QAction::triggered, this, [this](bool on) { editor_->SetGridOnly(on); });
    // Snap changes where items land, never what the layout can say.
    QAction* snap = tools->addAction("OPTION - Snap to grid");
    snap->setObjectName("mnuSnap");
    snap->setCheckable(true);
    auto snapStep = std::make_shared<double>(0.125);
    auto applySnap = [this, snap, snapStep] {
        double step = snap->isChecked() ? *snapStep : 0;
        editor_->SetSnapStep(step);
        strip_->SetSnapGrid(step);
    };
    connect(snap, &QAction::toggled, this, applySnap);
    entry(tools, "Snap Step...", "mnuSnapStep", [this, snapStep, applySnap] {
        std::string text = QString::number(*snapStep).toStdString();
        if (!ui_.InputBox("Snap step in inches (0.01 to 2):", "Snap to grid", text)) return;
        bool ok = false;
        double step = QString::fromStdString(text).toDouble(&ok);
        if (!ok || !(step >= 0.01 && step <= 2)) {
            ui_.Message("The snap step is a number of inches from 0.01 to 2.", "Snap to grid",
                        MessageIcon::Warning);
            return;
        }
        *snapStep = step;
        applySnap();
    });
    // The user guide shipped with the program; "Mouse and Keys" is one of its sections.
    QMenu* help = menuBar()->addMenu("Help");
    help->setObjectName("mnuHelpMenu");
    entry(help, "User Guide", "mnuUserGuide", [this] {
        ShowUserGuide(this);
    })->setShortcut(QKeySequence::HelpContents);
    entry(help, "Mouse and Keys", "mnuHelp", [this] { ShowUserGuide(this, "mouse-and-keys"); });
    // The program's name and version last.
    help->addSeparator();
    entry(help, "About Form Designer", "mnuAbout", [this] {
        ui_.Message(std::string("Form Designer ") + app::kVersion +
                        "\r\n\r\nLays out the charge slips, statements, interactive forms and "
                        "data-entry forms of a medical practice-management system.\r\n\r\nQt " +
                        qVersion(),
                    "About Form Designer", MessageIcon::Information);
    });
}

// A button's line icon, drawn from its SVG at twice the size so it stays sharp on dense
// screens; no icon (a caption only) when the file is missing.
QIcon ToolbarIcon(const QString& key) {
    QSvgRenderer svg(":/icons/" + QString(key).remove(' ') + ".svg");
    if (!svg.isValid()) return {};
    QIcon icon;
    for (int side : {24, 48}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        svg.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// A tool bar that is always there: no menu offers to hide it or shows its name.
QToolBar* FixedToolBar(QMainWindow* window, const QString& title, const char* name) {
    QToolBar* bar = window->addToolBar(title);
    bar->setObjectName(name);
    bar->setMovable(false);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    bar->toggleViewAction()->setVisible(false);
    return bar;
}

QMenu* FrmMain::createPopupMenu() {
    return nullptr;
}

void FrmMain::BuildToolbar() {
    toolbar_ = FixedToolBar(this, "Tool Bar", "Toolbar1");
    toolbar_->setIconSize(QSize(20, 20));
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    // Captions of two words and more take two lines, so that the buttons fit a window
    // 1024 pixels wide.
    auto button = [&](const char* key, const char* tip = nullptr) {
        QString caption(key);
        if (int space = int(caption.indexOf(' ')); space > 0) caption[space] = '\n';
        QAction* a = toolbar_->addAction(ToolbarIcon(key), caption);
        a->setObjectName(QString("tb") + QString(key).remove(' '));
        a->setToolTip(tip ? tip : key);
        return a;
    };
    connect(button("New"), &QAction::triggered, this, [this] {
        if (MayDiscardForm()) NewForm();
    });
    connect(button("Open"), &QAction::triggered, this, [this] { OpenFromServer(); });
    connect(button("Save"), &QAction::triggered, this, [this] { SaveToServer(false); });
    connect(button("Print"), &QAction::triggered, this, [this] { PrintCurrentPage(); });
    toolbar_->addSeparator();
    tbUndo_ = button("Undo");
    connect(tbUndo_, &QAction::triggered, this, [this] { Undo(); });
    tbRedo_ = button("Redo");
    connect(tbRedo_, &QAction::triggered, this, [this] { Redo(); });
    toolbar_->addSeparator();
    struct Tool {
        const char* key;
        const char* tip;
        int mode;
    };
    const Tool tools[] = {{"Insert Label", "Insert Text", kInsertLabel},
                          {"Insert Image", nullptr, kInsertImage},
                          {"Insert Grid", nullptr, kInsertGrid},
                          {"Insert Barcode", nullptr, kInsertBarcode},
                          {"Insert Box", nullptr, kInsertBox},
                          {"Define Hotspot", nullptr, kInsertHotspot},
                          {"Define Signature Box", nullptr, kInsertSignatureBox}};
    for (const Tool& t : tools) {
        QAction* a = button(t.key, t.tip);
        a->setCheckable(true);
        tools_[t.mode] = a;
        int mode = t.mode;
        connect(a, &QAction::triggered, this, [this, mode] { PressTool(mode); });
    }
    toolbar_->addSeparator();
    connect(button("Properties"), &QAction::triggered, this, [this] { dialogs_->OpenMarked(); });
    toolbar_->addSeparator();
    connect(button("Clear Selection"), &QAction::triggered, this, [this] { ClearSelection(); });
    connect(button("Delete Selected"), &QAction::triggered, this, [this] { DeleteSelected(); });

    // Form size, default text and the label template on a row of their own, so that no
    // window width hides them behind the overflow arrow.
    addToolBarBreak();
    QToolBar* formBar = FixedToolBar(this, "Form", "Toolbar2");
    auto* strip = new QWidget(formBar);
    auto* row = new QHBoxLayout(strip);
    int gap = int(std::lround(units::TwipsToPixels(kToolbarGapTwips, ppi_)));
    row->setContentsMargins(gap, 0, 0, 0);
    row->setSpacing(gap);
    auto* picFormSize = new QWidget(strip);
    picFormSize->setObjectName("picFormSize");
    auto* sizeRow = new QHBoxLayout(picFormSize);
    sizeRow->setContentsMargins(0, 0, 0, 0);
    sizeRow->addWidget(new QLabel("Form Size:", picFormSize));
    lblFrmSize_ = new QLabel(kInitialPageSizeText, picFormSize);
    lblFrmSize_->setObjectName("lblFrmSize");
    sizeRow->addWidget(lblFrmSize_);
    row->addWidget(picFormSize);
    lblTextDefault_ = new QLabel("Default Text ", strip);
    lblTextDefault_->setObjectName("lblTextDefault");
    row->addWidget(lblTextDefault_);
    lblTemplate_ = new QLabel("Template", strip);
    lblTemplate_->setObjectName("lblTemplate");
    lblTemplate_->setAutoFillBackground(true);
    QPalette pal = lblTemplate_->palette();
    pal.setColor(QPalette::Window, ColorFromBgr(label_colors::kOrdinary));
    pal.setColor(QPalette::WindowText, Qt::black);
    lblTemplate_->setPalette(pal);
    row->addWidget(lblTemplate_);
    lblTemplate_->installEventFilter(this);
    formBar->addWidget(strip);
    BuildEditToolbar();
}

void FrmMain::BuildStatusStrip() {
    QStatusBar* bar = statusBar();
    lblStatus_ = new QLabel(bar);
    lblStatus_->setObjectName("lblStatus");
    // A gap between the connection text and the check boxes beside it.
    lblStatus_->setContentsMargins(0, 0, 12, 0);
    bar->addWidget(lblStatus_, 1);
    chkDataEntryForm_ = new QCheckBox(" Data Entry Form", bar);
    chkDataEntryForm_->setObjectName("chkDataEntryForm");
    connect(chkDataEntryForm_, &QCheckBox::toggled, this,
            [this](bool on) { model_.settings.dataEntryForm = on; });
    bar->addPermanentWidget(chkDataEntryForm_);
    chkLinesOn_ = new QCheckBox("Lines", bar);
    chkLinesOn_->setObjectName("chkLinesOn");
    connect(chkLinesOn_, &QCheckBox::toggled, this, [this](bool on) {
        canvas_.Window().guideLines = on;
        strip_->SetGuideLines(on);
    });
    bar->addPermanentWidget(chkLinesOn_);
    // The strip's check boxes never hold the keys: arrows and Delete belong to the page.
    for (QCheckBox* box : {chkDataEntryForm_, chkLinesOn_}) box->setFocusPolicy(Qt::NoFocus);
    // Where the pointer is and, beneath, where the selected label lies, in inches: two
    // short lines leave the connection text room on a narrow window.
    lblPosition_ = new QLabel(bar);
    lblPosition_->setObjectName("lblPosition");
    QFont small = lblPosition_->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    lblPosition_->setFont(small);
    connect(strip_, &PageStrip::pointerAt, lblPosition_, [this](QPointF at) {
        pointerAt_ = at;
        UpdatePositionText();
    });
    bar->addPermanentWidget(lblPosition_);
    // The zoom box: a few steps to pick, any zoom the keys or the wheel reach shown.
    auto* zoom = new QComboBox(bar);
    zoom->setObjectName("cboZoom");
    for (int percent : {25, 50, 75, 100, 150, 200, 300, 400, 800})
        zoom->addItem(QString("%1 %").arg(percent), percent / 100.0);
    zoom->setCurrentIndex(3);
    // Only a click gives the zoom box the keys, and a choice hands them back to the page.
    zoom->setFocusPolicy(Qt::ClickFocus);
    connect(zoom, &QComboBox::activated, this, [this, zoom](int i) {
        strip_->SetZoom(zoom->itemData(i).toDouble());
        FocusPage();
    });
    connect(strip_, &PageStrip::zoomChanged, zoom, [zoom](double z) {
        QString text = QString("%1 %").arg(int(std::lround(z * 100)));
        zoom->setPlaceholderText(text);  // shown when the zoom is none of the steps
        zoom->setCurrentIndex(zoom->findText(text));
    });
    bar->addPermanentWidget(zoom);
    // The page buttons and the page count belong to the page strip; they show here.
    for (QWidget* nav : strip_->NavigationWidgets()) bar->addPermanentWidget(nav);
}

void FrmMain::ShowItemMenu(const CanvasModel::Hit& hit, QPointF) {
    if (hit.kind == CanvasModel::Hit::None) return;
    QMenu menu(this);
    // A barcode's label has the menu of an ordinary label.
    const bool label = hit.kind == CanvasModel::Hit::Label;
    menu.setObjectName(label ? "mnuControls" : "mnuShape");
    // Every entry acts through its own signal, so keys, clicks and a triggered action
    // all take the same road.
    auto entry = [this](QMenu* in, const QString& text, std::function<void()> act) {
        QAction* a = in->addAction(text);
        connect(a, &QAction::triggered, this, [this, text, act = std::move(act)] {
            NameStep(fromUnicode(text));
            act();
        });
        return a;
    };
    // That item alone goes, whatever else is selected.
    entry(&menu, "Delete", [this, hit] { editor_->DeleteItem(hit); });
    if (!label) menu.addSeparator();
    // A barcode's label stands for its barcode.
    CanvasModel::Hit item = hit;
    if (label && canvas_.IsBarcodeLabel(hit.index)) item = {CanvasModel::Hit::Barcode, hit.index};
    entry(&menu, "Properties", [this, item] { dialogs_->Open(item); });
    if (label) {
        entry(&menu, "Text (Static)", [this, hit] { editor_->ItemToStaticText(hit.index); });
        if (model_.settings.dataEntryForm) {
            for (const char* name : {"Text", "Lookup", "Lookup(Description)", "Yes/No", "Checkbox",
                                     "Scribble", "Text(From/Thru)"}) {
                entry(&menu, QString("user input: ") + name, [this] {
                    ui_.Message(
                        "will insert user input field that will be used in data entry "
                        "forms",
                        "TEMP", MessageIcon::Information);
                });
            }
        }
        QMenu* userPrompts = menu.addMenu("User Prompts");
        std::vector<CanvasEditor::PromptEntry> prompts = editor_->UserPromptEntries();
        for (const auto& p : prompts)
            entry(userPrompts, toUnicode(p.caption),
                  [this, hit, p] { editor_->ItemToUserPrompt(hit.index, p); });
        if (prompts.empty()) userPrompts->addAction("");
        if (!model_.databaseFields.empty()) {
            menu.addSeparator();
            QMenu* dataFields = menu.addMenu("Data Fields");
            for (const auto& f : model_.databaseFields)
                entry(dataFields, toUnicode(f.fieldName + " " + f.longName),
                      [this, hit, name = f.fieldName.str()] {
                          editor_->ItemToDataField(hit.index, name);
                      });
        }
    }
    menu.exec(QCursor::pos());
}

std::string FrmMain::ShowPopupMenu(const std::vector<std::string>& captions) {
    QMenu menu(this);
    menu.setObjectName("menus");
    std::string chosen;
    for (const std::string& caption : captions) {
        if (caption == "-") {
            menu.addSeparator();
            continue;
        }
        QAction* a = menu.addAction(toUnicode(caption));
        a->setObjectName("menuItems");
        connect(a, &QAction::triggered, this, [&chosen, caption] { chosen = caption; });
    }
    menu.exec(QCursor::pos());
    if (!chosen.empty()) NameStep(chosen);
    return chosen;
}

void FrmMain::UpdatePositionText() {
    if (!lblPosition_) return;
    auto inches = [](double v) { return QString::number(v, 'f', 3); };
    QString text = QString("X %1  Y %2").arg(inches(pointerAt_.x()), inches(pointerAt_.y()));
    std::vector<int> selected = editor_->SelectedLabels();
    if (const LabelControl* c = selected.empty() ? nullptr : canvas_.LabelAt(selected.back()))
        text += QString("\nL %1  T %2  W %3  H %4")
                    .arg(inches(c->left), inches(c->top), inches(c->width), inches(c->height));
    lblPosition_->setText(text);
}
