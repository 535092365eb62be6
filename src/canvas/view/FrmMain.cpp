#include "canvas/view/FrmMain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "canvas/GridCells.h"
#include "canvas/view/PageCanvas.h"
#include "dialogs/qt/FrmPopUp.h"
#include "dialogs/qt/FrmSize.h"
#include "layout/ItemTypes.h"
#include "layout/LayoutReader.h"
#include "layout/LayoutWriter.h"
#include "layout/LocalFolders.h"
#include "layout/SaveValidation.h"
#include "server/TcpComm.h"
#include "server/qt/LookupPickerDialog.h"
#include "shell/DataFolder.h"
#include "shell/RecordingUserInterface.h"
#include "shell/StartOptions.h"
#include "shell/TextUtils.h"
#include "shell/qt/QtText.h"
#include "shell/qt/QtUserInterface.h"

namespace {
const char* const kNotConnected = "   ***  not connected *** ";
const char* const kGetFromFileFilter = "Form layout (*.ldt)|*.ldt|All (*.*)|*.*";
const char* const kSaveToFileFilter = "Layout (*.ldt)|*.ldt|All (*.*)|*.*";

// The screen's real resolution, so an inch on the page is an inch on a calibrated
// screen; virtual screens report nonsense, and then the logical value is used.
double ScreenPixelsPerInch() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 96;
    double physical = screen->physicalDotsPerInch();
    if (std::isfinite(physical) && physical >= 48 && physical <= 400) return physical;
    double logical = screen->logicalDotsPerInch();
    return logical > 0 ? logical : 96;
}
}  // namespace

namespace {
// The save-form dialog, made when it is needed: its document-type look-up uses the
// server's components, which exist once the designer is connected.
class WindowSavePrompt : public SaveFormPrompt {
  public:
    explicit WindowSavePrompt(FrmMain& w) : w_(w) {}
    bool ShowSaveDialog(FormSettings& settings, bool formExists) override {
        OutsideComponents& parts = w_.Flows().Components();
        FrmPopUp dlg(w_.Ui(), parts.picker.get(), parts.validator.get(), &w_);
        return dlg.ShowSaveDialog(settings, formExists);
    }

  private:
    FrmMain& w_;
};
}  // namespace

FrmMain::FrmMain(FrmMainOptions options, QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmMain");
    if (options.ui) {
        ui_ = options.ui;
    } else {
        ownUi_ = std::make_unique<QtUserInterface>(this);
        ui_ = ownUi_.get();
    }
    metrics_ = std::make_unique<QtTextMetrics>();
    std::string root = options.dataFolder.empty() ? GetDataFolder() : options.dataFolder;
    folders_ = std::make_unique<LocalFolders>(root, *ui_);
    imagesFolder_ = folders_->ImagesFolder();
    canvas_ = std::make_unique<CanvasModel>(model_, *metrics_, imagesFolder_);
    painter_ = std::make_unique<CanvasPainter>(*canvas_, model_, pictures_);
    editor_ = std::make_unique<CanvasEditor>(*canvas_, model_, *metrics_);
    // Every change of the model repaints the pages it touched.
    canvas_->SetChangeListener([this](const CanvasChange& change) { RefreshCanvas(change); });
    comm_ = std::make_unique<TcpComm>();
    connection_ = std::make_unique<ConnectionLogic>(*comm_, *ui_, CurrentStartOptions());
    frmConnect_ = new FrmConnect(*connection_, this);
    flows_ =
        std::make_unique<FormFlows>(*comm_, *ui_, *folders_, model_, *canvas_, *canvas_, *metrics_);
    OutsideComponentFactory parts;
    parts.makePicker = &MakeQtLookupPicker;
    flows_->SetComponentFactory(parts);
    connect(frmConnect_, &FrmConnect::connectionChanged, this, [this] {
        // Connected from the menu as from a server flow: the components come with the link.
        if (connection_->Connected()) {
            flows_->CreateComponents();
            frmConnect_->SetUtility(flows_->Components().utility.get());
        }
        SetStatusText(connection_->StatusText());
    });
    flows_->SetConnectionPrompt(frmConnect_);
    savePrompt_ = options.savePrompt;
    if (!savePrompt_) {
        ownSavePrompt_ = std::make_unique<WindowSavePrompt>(*this);
        savePrompt_ = ownSavePrompt_.get();
    }
    flows_->SetSavePrompt(savePrompt_);
    editor_->GetHooks().openGridDialog = [this](const Rect& r) { AskGridArea(r); };
    editor_->GetHooks().selectImageFile = [this] { return folders_->SelectImageFromFile(); };
    editor_->GetHooks().keepImageFile = [this](const std::string& path, const std::string& name) {
        return folders_->CopyImageIfNeeded(path, name) ? imagesFolder_ + "/" + name : std::string();
    };
    ppi_ = options.pixelsPerInch > 0 ? options.pixelsPerInch : ScreenPixelsPerInch();

    BuildMenus();
    BuildToolbar();
    BuildStatusStrip();

    canvasArea_ = new QWidget(this);
    canvasArea_->setObjectName("canvasArea");
    setCentralWidget(canvasArea_);
    picContainer_ = new QWidget(canvasArea_);
    picContainer_->setObjectName("picContainer");
    picContainer_->setAutoFillBackground(true);
    QPalette pal = picContainer_->palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    picContainer_->setPalette(pal);
    hScroll_ = new QScrollBar(Qt::Horizontal, canvasArea_);
    hScroll_->setObjectName("HScroll1");
    vScroll_ = new QScrollBar(Qt::Vertical, canvasArea_);
    vScroll_->setObjectName("VScroll1");
    canvasArea_->setMouseTracking(true);
    canvasArea_->installEventFilter(this);
    picContainer_->installEventFilter(this);
    connect(hScroll_, &QScrollBar::valueChanged, this, [this] { OnScroll(); });
    connect(vScroll_, &QScrollBar::valueChanged, this, [this] { OnScroll(); });

    // Start-up: shared flags and the tools they show, empty records, an empty page,
    // the one timer.
    CanvasWindowState& w = canvas_->Window();
    w.multipage = true;
    model_.settings.multipageMode = true;
    model_.settings.dataEntryForm = options.dataEntryForm;
    mnuLoadFromLocalFiles_->setChecked(flows_->Options().loadFromLocalFiles);
    UpdateInteractive();
    SetMultipage(true);
    UpdateDataGridRecalc();
    // The item menu is built each time a label is right-clicked, so there is none to
    // hide; the template label keeps its caption from the start.
    canvas_->UnloadAllImages();
    w.insertMode = kInsertLabel;
    // The working folder is left alone: every folder of the program is found from the
    // data folder, and a layout named on the command line is read after the window
    // starts, relative to where the program was started.
    LoadPageContainer(0);
    if (model_.settings.dataEntryForm)
        SetPage(8, 5.5);
    else
        SetPage(8.5, 11);
    chkDataEntryForm_->setChecked(model_.settings.dataEntryForm);
    resize(1000, 760);
    LayoutCanvasArea();
    tmrScrollSpeed_ = new QTimer(this);
    tmrScrollSpeed_->setObjectName("tmrScrollSpeed");
    tmrScrollSpeed_->setInterval(40);
    tmrScrollSpeed_->setSingleShot(true);
    connect(tmrScrollSpeed_, &QTimer::timeout, this, [this] {
        canvas_->Window().scrollThrottle = false;
        tmrScrollSpeed_->stop();
    });
    RecalcScrollBars();
    // The user-prompt entries are built from the prompts each time the item menu opens.
    SetStatusText(kNotConnected);
    UpdatePageNumberSetting();
    MarkSaved();
}

FrmMain::~FrmMain() {
    // Page canvases paint from the models; they go before the models do.
    for (PageCanvas* v : picView_) delete v;
    picView_.clear();
}

double FrmMain::TwipsToPixels(double twips) const {
    return TwipsToInches(twips) * ppi_;
}

void FrmMain::BuildMenus() {
    QMenu* file = menuBar()->addMenu("File");
    file->setObjectName("mnuFile");
    auto entry = [&](QMenu* menu, const char* caption, const char* name, auto&& action) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, action);
        return a;
    };
    entry(file, "Connection...", "mnuConnection", [this] { ShowConnection(); });
    entry(file, "New", "mnuNew", [this] {
        if (MayDiscardForm()) NewForm();
    });
    entry(file, "Open...", "mnuOpen", [this] {
        OpenFromServer();
    })->setShortcut(QKeySequence::Open);
    mnuGetFromFile_ = entry(file, "Get from file...", "mnuGetFromFile", [this] { GetFromFile(); });
    entry(file, "Save", "mnuSave", [this] {
        SaveToServer(false);
    })->setShortcut(QKeySequence::Save);
    entry(file, "Save As...", "mnuSaveAs", [this] { SaveToServer(true); });
    mnuSaveToFile_ = entry(file, "Save to file...", "mnuSaveToFile", [this] { SaveToFile(); });
    entry(file, "Print", "mnuPrint", [] {})->setEnabled(false);
    file->addSeparator();
    QMenu* settings = menuBar()->addMenu("Settings");
    settings->setObjectName("mnuSettings");
    entry(settings, "Form Setup", "mnuPage", [this] { ShowFormSetup(); });
    QMenu* tools = menuBar()->addMenu("Tools");
    tools->setObjectName("mnuTools");
    entry(tools, "Clear Selection", "mnuClearSelection", [this] { ClearSelection(); });
    entry(tools, "Recalculate Checkboxes/Textboxes IDs", "mnuRecalcChkTxt",
          [this] { RecalculateCheckboxesTextboxes(*canvas_, *ui_); });
    entry(tools, "Recalculate Data Grid Rows...", "mnuRecalcDataGridRows",
          [this] { RecalculateDataGridRows(*canvas_, *ui_); });
    entry(tools, "Delete Selected", "mnuDeleteSelected", [this] { DeleteSelected(); });
    tools->addSeparator();
    mnuLoadFromLocalFiles_ =
        entry(tools, "OPTION - Load from local files if available", "mnuLoadFromLocalFiles",
              [this](bool on) { flows_->Options().loadFromLocalFiles = on; });
    mnuLoadFromLocalFiles_->setCheckable(true);
    QAction* noFolder =
        entry(tools, "OPTION - Do not use local folder", "mnuDoNotUseLocalFolder", [this](bool on) {
            flows_->Options().doNotUseLocalFolder = on;
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
        for (PageCanvas* v : picView_) v->update();
    });
    QAction* gridOnly = tools->addAction("OPTION - Select grid-only");
    gridOnly->setObjectName("mnuSelectGridOnly");
    gridOnly->setCheckable(true);
    connect(gridOnly, &QAction::triggered, this, [this](bool on) { editor_->SetGridOnly(on); });
}

void FrmMain::BuildToolbar() {
    toolbar_ = addToolBar("Tool Bar");
    toolbar_->setObjectName("Toolbar1");
    toolbar_->setMovable(false);
    // The tool bar is always there: no menu offers to hide it.
    toolbar_->setContextMenuPolicy(Qt::PreventContextMenu);
    toolbar_->toggleViewAction()->setVisible(false);
    // Captions of two words and more take two lines, so that the buttons and the strip
    // beside them fit a window 1280 pixels wide.
    auto button = [&](const char* key, const char* tip = nullptr) {
        QString caption(key);
        if (int space = int(caption.indexOf(' ')); space > 0) caption[space] = '\n';
        QAction* a = toolbar_->addAction(caption);
        a->setObjectName(QString("tb") + QString(key).remove(' '));
        a->setToolTip(tip ? tip : key);
        return a;
    };
    connect(button("New"), &QAction::triggered, this, [this] {
        if (MayDiscardForm()) NewForm();
    });
    connect(button("Open"), &QAction::triggered, this, [this] { OpenFromServer(); });
    connect(button("Save"), &QAction::triggered, this, [this] { SaveToServer(false); });
    button("Print")->setEnabled(false);
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
    button("Properties")->setEnabled(false);
    toolbar_->addSeparator();
    connect(button("Clear Selection"), &QAction::triggered, this, [this] { ClearSelection(); });
    connect(button("Delete Selected"), &QAction::triggered, this, [this] { DeleteSelected(); });

    // The strip beside the buttons: form size, default text and the label template.
    auto* strip = new QWidget(toolbar_);
    auto* row = new QHBoxLayout(strip);
    int gap = int(std::lround(TwipsToPixels(kToolbarGapTwips)));
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
    toolbar_->addWidget(strip);
}

void FrmMain::BuildStatusStrip() {
    QStatusBar* bar = statusBar();
    lblStatus_ = new QLabel(bar);
    lblStatus_->setObjectName("lblStatus");
    bar->addWidget(lblStatus_, 1);
    chkDataEntryForm_ = new QCheckBox(" Data Entry Form", bar);
    chkDataEntryForm_->setObjectName("chkDataEntryForm");
    connect(chkDataEntryForm_, &QCheckBox::toggled, this,
            [this](bool on) { model_.settings.dataEntryForm = on; });
    bar->addPermanentWidget(chkDataEntryForm_);
    chkLinesOn_ = new QCheckBox("Lines", bar);
    chkLinesOn_->setObjectName("chkLinesOn");
    connect(chkLinesOn_, &QCheckBox::toggled, this, [this](bool on) {
        canvas_->Window().guideLines = on;
        for (PageCanvas* v : picView_) v->SetGuideLines(on);
    });
    bar->addPermanentWidget(chkLinesOn_);
    const char* captions[4] = {"<<", "<", ">", ">>"};
    auto addNav = [&](int i) {
        pageMove_[i] = new QPushButton(captions[i], bar);
        pageMove_[i]->setObjectName(QString("pageMove%1").arg(i));
        pageMove_[i]->setFixedWidth(32);
        connect(pageMove_[i], &QPushButton::clicked, this, [this, i] { PageMove(i); });
        bar->addPermanentWidget(pageMove_[i]);
    };
    addNav(0);
    addNav(1);
    lblPage_ = new QLabel("Page:", bar);
    bar->addPermanentWidget(lblPage_);
    lblPageCurr_ = new QLabel("1", bar);
    lblPageCurr_->setObjectName("lblPageCurr");
    bar->addPermanentWidget(lblPageCurr_);
    lblOf_ = new QLabel("of", bar);
    bar->addPermanentWidget(lblOf_);
    lblPageTotal_ = new QLabel("1", bar);
    lblPageTotal_->setObjectName("lblPageTotal");
    bar->addPermanentWidget(lblPageTotal_);
    addNav(2);
    addNav(3);
}

void FrmMain::SetStatusText(const std::string& status) {
    statusText_ = status;
    lblStatus_->setText(toUnicode(status));
    UpdateCaption();
}

void FrmMain::UpdateCaption() {
    const std::string& name = model_.settings.formCode;
    setWindowTitle(
        toUnicode("Form Designer" + (name.empty() ? std::string() : " - " + name) + statusText_));
}

PageCanvas* FrmMain::PageView(int page) const {
    return page >= 0 && size_t(page) < picView_.size() ? picView_[size_t(page)] : nullptr;
}

bool FrmMain::LoadPageContainer(int page) {
    if (page < 0 || page >= kMaxPages) return false;
    while (int(picView_.size()) <= page) {
        auto* v = new PageCanvas(*canvas_, *painter_, int(picView_.size()), picContainer_);
        v->SetPixelsPerInch(ppi_);
        v->SetPageSize(canvas_->PageWidth(), canvas_->PageHeight());
        v->SetGuideLines(canvas_->Window().guideLines);
        ConnectPage(v);
        v->hide();
        picView_.push_back(v);
    }
    canvas_->LoadPageContainer(page);
    return true;
}

void FrmMain::SetPage(double w, double h, bool keepBackground) {
    // The background picture is read again for the new size.
    if (!keepBackground && !canvas_->CurrentBackgroundImagePath().empty()) pictures_.Clear();
    canvas_->SetPageSize(w, h);
    for (PageCanvas* v : picView_) v->SetPageSize(w, h);
    lblFrmSize_->setText(toUnicode(PageSizeText(w, h)));
    RecalcScrollBars();
    PlacePages();
}

void FrmMain::SetCurrentPageNumber(int page) {
    canvas_->Window().currentPageNumber = page;
}

void FrmMain::UpdatePageNumberSetting() {
    int pages = ClampPageCount(model_.settings.numberOfPages);
    model_.settings.numberOfPages = pages;
    canvas_->UpdatePageNumberSetting(canvas_->Window().currentPage, pages);
    bool several = pages >= 2;
    lblPageTotal_->setText(several ? QString::number(pages) : QString("1"));
    for (QPushButton* b : pageMove_) b->setEnabled(several);
    CanvasWindowState& w = canvas_->Window();
    if (w.currentPageNumber > pages) {
        w.currentPageNumber = 1;
        w.currentPage = 0;
        model_.currentPage = 0;
    }
    lblPageCurr_->setText(QString::number(std::max(1, w.currentPageNumber)));
}

void FrmMain::PageMove(int button) {
    CanvasWindowState& w = canvas_->Window();
    if (w.currentPageNumber == 0) w.currentPageNumber = 1;
    w.currentPageNumber =
        PageAfterButton(button, w.currentPageNumber, model_.settings.numberOfPages);
    w.currentPage = w.currentPageNumber - 1;
    model_.currentPage = w.currentPage;
    ShowPage();
}

void FrmMain::ShowPage() {
    CanvasWindowState& w = canvas_->Window();
    int page = std::max(0, w.currentPageNumber - 1);
    if (!LoadPageContainer(page)) return;
    editor_->MoveSupplementaryControls(page);
    editor_->ClearSelection();
    canvas_->ShowPage(page);
    lblPageCurr_->setText(QString::number(w.currentPageNumber));
    PlacePages();
}

void FrmMain::SetMultipage(bool on) {
    canvas_->Window().multipage = on;
    model_.settings.multipageMode = on;
    mnuMultipage_->setChecked(on);
    for (QPushButton* b : pageMove_) b->setVisible(on);
    for (QLabel* l : {lblPage_, lblOf_, lblPageCurr_, lblPageTotal_}) l->setVisible(on);
}

void FrmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    LayoutCanvasArea();
}

void FrmMain::closeEvent(QCloseEvent* event) {
    if (!MayDiscardForm()) {
        event->ignore();
        return;
    }
    // Every other window of the program goes with the designer.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible()) w->close();
    QMainWindow::closeEvent(event);
}

void FrmMain::LayoutCanvasArea() {
    if (!canvasArea_) return;
    int left = int(std::lround(TwipsToPixels(kCanvasMargins[1])));
    int top = int(std::lround(TwipsToPixels(kCanvasMargins[0])));
    int right = int(std::lround(TwipsToPixels(kCanvasMargins[2])));
    int bottom = int(std::lround(TwipsToPixels(kCanvasMargins[3])));
    int areaW = canvasArea_->width(), areaH = canvasArea_->height();
    int vw = vScroll_->sizeHint().width(), hh = hScroll_->sizeHint().height();
    int cw = areaW - left - vw - right, ch = areaH - top - hh - bottom;
    QRect g = picContainer_->geometry();
    g.moveTo(left, top);
    if (cw > 0) g.setWidth(cw);
    if (ch > 0) g.setHeight(ch);
    picContainer_->setGeometry(g);
    vScroll_->setGeometry(int(areaW - 1.3 * vw), top, vw, g.height());
    hScroll_->setGeometry(left, int(areaH - 1.3 * hh), g.width(), hh);
    RecalcScrollBars();
    PlacePages();
}

void FrmMain::RecalcScrollBars() {
    if (!picContainer_) return;
    double cw = picContainer_->width() / ppi_, ch = picContainer_->height() / ppi_;
    vbar_ = ComputeVerticalScrollBar(canvas_->PageHeight(), ch, vbar_);
    hbar_ = ComputeHorizontalScrollBar(canvas_->PageWidth(), cw, ch, hbar_);
    auto apply = [](QScrollBar* bar, const ScrollBarState& s) {
        QSignalBlocker block(bar);
        bar->setRange(s.minimum, std::max(s.minimum, s.maximum));
        bar->setPageStep(s.largeChange);
        bar->setSingleStep(s.smallChange);
        if (!s.visible) bar->setValue(0);
        bar->setVisible(s.visible);
    };
    apply(vScroll_, vbar_);
    apply(hScroll_, hbar_);
}

void FrmMain::OnScroll() {
    CanvasWindowState& w = canvas_->Window();
    w.lastHorizontal = hScroll_->value();
    w.lastVertical = vScroll_->value();
    PlacePages();
}

void FrmMain::PlacePages() {
    if (picView_.empty()) return;
    double step = TwipsToPixels(kScrollStepTwips);
    QPoint at(-int(std::lround(hScroll_->value() * step)),
              -int(std::lround(vScroll_->value() * step)));
    int current = std::clamp(canvas_->Window().currentPage, 0, int(picView_.size()) - 1);
    for (PageCanvas* v : picView_) {
        v->move(at);
        // Only the page in front is drawn; the others wait hidden behind it.
        v->setVisible(v->Page() == current);
    }
    picView_[size_t(current)]->raise();
}

void FrmMain::AutoScroll(int dx, int dy) {
    CanvasWindowState& w = canvas_->Window();
    if (w.scrollThrottle) return;
    auto step = [](QScrollBar* bar, int d) {
        if (d == 0 || !bar->isVisible()) return;
        bar->setValue(
            std::clamp(bar->value() + d * bar->singleStep(), bar->minimum(), bar->maximum()));
    };
    step(hScroll_, dx);
    step(vScroll_, dy);
    w.scrollThrottle = true;
    tmrScrollSpeed_->start();
}

void FrmMain::RebuildPages() {
    int pages = std::max(canvas_->PageCount(), ClampPageCount(model_.settings.numberOfPages));
    while (int(picView_.size()) > pages) {
        delete picView_.back();
        picView_.pop_back();
    }
    for (int i = 0; i < pages; ++i) LoadPageContainer(i);
    for (PageCanvas* v : picView_) {
        v->SetPageSize(canvas_->PageWidth(), canvas_->PageHeight());
        v->update();
    }
}

void FrmMain::RefreshAfterRead() {
    pictures_.Clear();
    RebuildPages();
    chkDataEntryForm_->setChecked(model_.settings.dataEntryForm);
    lblFrmSize_->setText(toUnicode(PageSizeText(canvas_->PageWidth(), canvas_->PageHeight())));
    canvas_->Window().currentPageNumber = 1;
    canvas_->Window().currentPage = 0;
    UpdatePageNumberSetting();
    {
        QSignalBlocker bh(hScroll_), bv(vScroll_);
        hScroll_->setValue(0);
        vScroll_->setValue(0);
    }
    RecalcScrollBars();
    ShowPage();
    UpdateInteractive();
    UpdateDataGridRecalc();
    UpdateCaption();
}

void FrmMain::NewForm() {
    editor_->ClearSelection();
    canvas_->UnloadAllLabels();
    bool dataEntry = model_.settings.dataEntryForm;
    model_ = FormModel();
    model_.settings.dataEntryForm = dataEntry;
    canvas_->UnloadAllImages();
    canvas_->SetPage(dataEntry ? 8 : 8.5, dataEntry ? 5.5 : 11);
    layoutPath_.clear();
    RefreshAfterRead();
    MarkSaved();
}

std::string FrmMain::LayoutSnapshot() {
    // The writer's own messages belong to a real save, not to this comparison.
    RecordingUserInterface quiet;
    const bool interactive = model_.settings.interactive;
    std::string text = LayoutWriter(model_, *canvas_, quiet).ReassembleData();
    model_.settings.interactive = interactive;
    return text;
}

void FrmMain::MarkSaved() {
    savedLayout_ = LayoutSnapshot();
}

bool FrmMain::IsModified() {
    return LayoutSnapshot() != savedLayout_;
}

bool FrmMain::MayDiscardForm() {
    return !IsModified() ||
           ui_->OkCancel("The form has changes that are not saved.\r\nDiscard them?",
                         "Form Designer");
}

bool FrmMain::OpenLayout(const std::string& path) {
    editor_->ClearSelection();
    LayoutReader reader(model_, *canvas_, *metrics_, *ui_);
    bool ok = OpenLayoutFile(path, reader, model_, *ui_);
    // Even a layout that stopped half-way shows what it placed.
    RefreshAfterRead();
    if (ok) layoutPath_ = path;
    MarkSaved();
    return ok;
}

bool FrmMain::ValidateForSave() {
    if (!BuildFormItemsArray(model_, *canvas_, *ui_)) return false;
    if (!ValidateUserPromptsLabels(model_, *canvas_, *ui_, true)) return false;
    return ValidateDataBoundLabels(model_, *canvas_, *ui_, true);
}

bool FrmMain::SaveLayout(const std::string& path) {
    return ValidateForSave() && WriteLayout(path);
}

bool FrmMain::WriteLayout(const std::string& path) {
    model_.settings.dataEntryForm = chkDataEntryForm_->isChecked();
    LayoutWriter writer(model_, *canvas_, *ui_);
    // The stamp of the server's copy when a forms list was read; else the one read.
    writer.SetListedTimeStamp(flows_->ListedTimeStamp(model_.settings.formCode));
    std::string text = writer.ReassembleData();
    if (text.empty()) return false;
    if (!SaveDataToFile(path, text, *ui_)) return false;
    layoutPath_ = path;
    MarkSaved();
    return true;
}

void FrmMain::GetFromFile() {
    std::string path = ui_->OpenFileName("Open Layout", kGetFromFileFilter);
    if (path.empty() || path == "*.ldt" || !MayDiscardForm()) return;
    OpenLayout(path);
}

void FrmMain::SaveToFile() {
    if (!ValidateForSave()) return;
    std::string path = ui_->SaveFileName("Save Layout", kSaveToFileFilter, layoutPath_);
    if (path.empty() || path == ".ldt") return;
    if (QFileInfo(toUnicode(path)).suffix().isEmpty()) path += ".ldt";
    WriteLayout(path);
}

QAction* FrmMain::ToolButton(int mode) const {
    return mode >= 0 && mode < 8 ? tools_[mode] : nullptr;
}

void FrmMain::PressTool(int mode) {
    editor_->PressTool(mode);
    // The insert buttons act as one group that can also be left with none pressed.
    for (int m = 0; m < 8; ++m)
        if (tools_[m]) tools_[m]->setChecked(m == editor_->PressedTool());
}

void FrmMain::ConnectPage(PageCanvas* page) {
    int index = page->Page();
    connect(page, &PageCanvas::pressed, this,
            [this, index](QPointF at, Qt::MouseButton b, Qt::KeyboardModifiers m) {
                PagePressed(index, at, b, m);
            });
    connect(page, &PageCanvas::released, this,
            [this, index](QPointF at, Qt::MouseButton b) { PageReleased(index, at, b); });
    connect(page, &PageCanvas::pointerMoved, this,
            [this, index](QPointF at) { PointerMoved(index, at); });
    page->SetOverlay([this, index](QPainter& p) { PaintOverlay(p, index); });
    page->installEventFilter(this);
}

void FrmMain::RefreshCanvas(const CanvasChange& change) {
    if (PageCanvas* one = PageView(change.page)) return one->update();
    for (PageCanvas* page : picView_) page->update();
}

void FrmMain::PagePressed(int page, QPointF at, Qt::MouseButton button,
                          Qt::KeyboardModifiers mods) {
    bool shift = mods & Qt::ShiftModifier, ctrl = mods & Qt::ControlModifier;
    pressAt_ = at;
    const CanvasWindowState& w = canvas_->Window();
    CanvasModel::Hit hit = canvas_->HitTest(page, at.x(), at.y());
    if (w.cornerPick || hit.kind == CanvasModel::Hit::None) {
        editor_->ClickCanvas(at.x(), at.y(), page, button == Qt::LeftButton, shift, ctrl,
                             mods & Qt::AltModifier);
    } else if (button == Qt::LeftButton) {
        if (hit.kind == CanvasModel::Hit::Label)
            editor_->PressLabel(hit.index, at.x(), at.y(), shift, ctrl);
        else
            editor_->PressItem(hit, at.x(), at.y(), shift, ctrl);
    } else if (button == Qt::RightButton && !shift && !ctrl) {
        // The menu acts on what the press chose: a label, or the item behind it.
        CanvasModel::Hit target = hit;
        if (hit.kind == CanvasModel::Hit::Label) {
            target = editor_->RightPressLabel(hit.index);
        } else {
            editor_->PressItem(hit, at.x(), at.y(), false, false);
            editor_->CancelDrag();
        }
        ShowItemMenu(target, at);
    }
}

void FrmMain::PageReleased(int, QPointF at, Qt::MouseButton) {
    if (!editor_->Dragging()) return;
    // A press that did not travel is a click, not a move.
    QPointF d = at - pressAt_;
    if (std::hypot(d.x(), d.y()) * ppi_ < 3)
        editor_->ReleaseWithoutMove();
    else
        editor_->Drop(at.x(), at.y());
}

void FrmMain::PointerMoved(int, QPointF at) {
    pointer_ = at;
    pointerOnPage_ = true;
    const CanvasWindowState& w = canvas_->Window();
    if (w.cornerPick) editor_->MovePointer(at.x(), at.y());
    // The drag outlines follow the pointer, which only the window knows.
    if (editor_->Dragging() && PageView(w.currentPage)) PageView(w.currentPage)->update();
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
        connect(a, &QAction::triggered, this, [act = std::move(act)] { act(); });
        return a;
    };
    // That item alone goes, whatever else is selected.
    entry(&menu, "Delete", [this, hit] { editor_->DeleteItem(hit); });
    if (!label) menu.addSeparator();
    QAction* props = menu.addAction("Properties");
    props->setEnabled(false);  // the property dialogs come with their own windows
    if (label) {
        entry(&menu, "Text (Static)", [this, hit] { editor_->ItemToStaticText(hit.index); });
        if (model_.settings.dataEntryForm) {
            for (const char* name : {"Text", "Lookup", "Lookup(Description)", "Yes/No", "Checkbox",
                                     "Scribble", "Text(From/Thru)"}) {
                entry(&menu, QString("user input: ") + name, [this] {
                    ui_->Message(
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
                entry(
                    dataFields, toUnicode(f.fieldName + " " + f.longName),
                    [this, hit, name = f.fieldName] { editor_->ItemToDataField(hit.index, name); });
        }
    }
    menu.exec(QCursor::pos());
}

std::vector<int> FrmMain::BuildGrid(GridArea area) {
    CanvasWindowState& w = canvas_->Window();
    area.gridNumber = ++w.gridCounter;
    area.page = w.currentPage;
    area.format = canvas_->Label(0);
    CanvasEdit edit(*canvas_, CanvasChange::Labels | CanvasChange::Selection, w.currentPage);
    std::vector<int> cells = LoadRectangleWithLabels(*canvas_, model_, *ui_, area);
    if (cells.empty()) {
        --w.gridCounter;
        return cells;
    }
    // The new cells become the selection.
    editor_->UnselectAll();
    for (int i : cells) {
        canvas_->Label(i).bordered = true;
        canvas_->Label(i).tag.clear();
    }
    return cells;
}

void FrmMain::MoveGridColumn(int column, double dx, bool dataGrid, int gridNumber) {
    ::MoveGridColumn(*canvas_, {gridNumber, dataGrid, column, canvas_->Window().currentPage}, dx);
}

void FrmMain::ResizeGridColumn(int column, double dw, bool dataGrid, int gridNumber) {
    ::ResizeGridColumn(*canvas_, {gridNumber, dataGrid, column, canvas_->Window().currentPage}, dw);
}

void FrmMain::AutosizeGridColumn(bool on, bool dataGrid, int gridNumber) {
    ::AutosizeGridColumn(*canvas_, *metrics_,
                         {gridNumber, dataGrid, 0, canvas_->Window().currentPage}, on);
}

void FrmMain::MoveGridCells(double dx, double dy, bool dataGrid, int gridNumber) {
    ::MoveGridCells(*canvas_, {gridNumber, dataGrid, 0, canvas_->Window().currentPage}, dx, dy);
}

void FrmMain::ShowGridArea(const Rect& area) {
    editor_->ShowGridArea(area);
}

void FrmMain::MoveGridArea(double dx, double dy) {
    editor_->MoveGridArea(dx, dy);
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
    return chosen;
}

void FrmMain::AskGridArea(const Rect& r) {
    // The grid area's own dialog comes later; this one takes what a grid needs.
    QDialog dlg(this);
    dlg.setWindowTitle("Grid");
    auto* form = new QFormLayout(&dlg);
    auto* columns = new QSpinBox(&dlg);
    columns->setRange(1, 50);
    columns->setValue(3);
    auto* rows = new QSpinBox(&dlg);
    rows->setRange(1, 200);
    rows->setValue(4);
    auto* dataGrid = new QCheckBox("Data grid", &dlg);
    auto* perRecord = new QSpinBox(&dlg);
    perRecord->setRange(0, 50);
    auto* spread = new QCheckBox("Spread to the edges", &dlg);
    form->addRow("Columns:", columns);
    form->addRow("Rows:", rows);
    form->addRow(dataGrid);
    form->addRow("Columns in a record:", perRecord);
    form->addRow(spread);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    // The area stays framed on the page while its cells are chosen.
    ShowGridArea(r);
    const bool accepted = dlg.exec() == QDialog::Accepted;
    editor_->HideGridArea();
    if (!accepted) return;
    GridArea area;
    area.left = r.left;
    area.top = r.top;
    area.right = r.left + r.width;
    area.bottom = r.top + r.height;
    area.columns = columns->value();
    area.rows = rows->value();
    area.dataGrid = dataGrid->isChecked();
    area.columnsInRecord = area.dataGrid ? perRecord->value() : 0;
    area.spread = spread->isChecked();
    area.rowByRow = true;
    area.tag = area.dataGrid ? "DATAgrid" : "grid";
    BuildGrid(area);
}

void FrmMain::DeleteSelected() {
    editor_->DeleteSelection();
}

void FrmMain::ClearSelection() {
    editor_->ClearSelection();
}

void FrmMain::keyPressEvent(QKeyEvent* event) {
    const FormSettings& s = model_.settings;
    double h = s.horizontalShift > 0 ? s.horizontalShift : 0.02;
    double v = s.verticalShift > 0 ? s.verticalShift : 0.02;
    switch (event->key()) {
        case Qt::Key_Delete:
            DeleteSelected();
            return;
        case Qt::Key_Escape:
            ClearSelection();
            return;
        // Arrow keys move the selection by the form's move step, as in any designer.
        case Qt::Key_Left:
            editor_->MoveSelectionBy(-h, 0);
            break;
        case Qt::Key_Right:
            editor_->MoveSelectionBy(h, 0);
            break;
        case Qt::Key_Up:
            editor_->MoveSelectionBy(0, -v);
            break;
        case Qt::Key_Down:
            editor_->MoveSelectionBy(0, v);
            break;
        default:
            QMainWindow::keyPressEvent(event);
            return;
    }
}

bool FrmMain::ScrollByWheel(QWheelEvent* event) {
    // A notch of the wheel scrolls the page by nine of the bars' 100-twip steps; with
    // Shift, or a sideways wheel, across.
    QPoint delta = event->angleDelta();
    if (event->modifiers() & Qt::ShiftModifier) delta = QPoint(delta.y(), delta.x());
    auto scroll = [](QScrollBar* bar, int angle) {
        if (angle == 0 || !bar->isVisible()) return false;
        int steps = int(std::lround(-angle / 120.0 * 9));
        if (steps == 0) steps = angle > 0 ? -1 : 1;
        bar->setValue(std::clamp(bar->value() + steps, bar->minimum(), bar->maximum()));
        return true;
    };
    bool used = scroll(vScroll_, delta.y());
    return scroll(hScroll_, delta.x()) || used;
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
    // The wheel over the page or around it scrolls the page.
    if (event->type() == QEvent::Wheel && ScrollByWheel(static_cast<QWheelEvent*>(event)))
        return true;
    if (watched == canvasArea_ && event->type() == QEvent::MouseMove &&
        canvas_->Window().cornerPick) {
        // Beyond the viewport while picking a corner: the page scrolls toward the pointer.
        QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        QRect c = picContainer_->geometry();
        int dx = pos.x() < c.left() ? -1 : pos.x() > c.right() ? 1 : 0;
        int dy = pos.y() < c.top() ? -1 : pos.y() > c.bottom() ? 1 : 0;
        if (dx || dy) AutoScroll(dx, dy);
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmMain::PaintOverlay(QPainter& p, int page) const {
    if (page != canvas_->Window().currentPage) return;
    painter_->PaintMarks(p, page);
    const CanvasWindowState& w = canvas_->Window();
    auto marker = [&](const Marker& m, const char* caption) {
        if (!m.visible) return;
        QRectF r = PointsRect(m.r);
        p.fillRect(r, QColor(255, 255, 0));
        p.setPen(QPen(Qt::black, 0.75));
        p.drawRect(r);
        QFont f("Arial");
        f.setPointSizeF(8 * 72.0 / std::max(1, p.device()->logicalDpiY()));
        p.setFont(f);
        p.drawText(r, Qt::AlignLeft | Qt::AlignTop, caption);
    };
    if (w.cornerPick && w.firstCorner) {
        // Guide lines through the first corner, to the far end of any page.
        const Marker& top = editor_->TopMarker();
        QPointF at(top.r.left * 72, top.r.top * 72);
        p.setPen(QPen(QColor(0, 0, 255), 0.75, Qt::DashLine));
        p.drawLine(at, QPointF(2000 * 72, at.y()));
        p.drawLine(at, QPointF(at.x(), 2000 * 72));
    }
    if (editor_->GridAreaVisible()) {
        p.setPen(QPen(QColor(0, 0, 255), 0.75, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(PointsRect(editor_->GridAreaFrame()));
    }
    marker(editor_->TopMarker(), " L,T");
    marker(editor_->BottomMarker(), " R,B ");
    if (editor_->Dragging() && pointerOnPage_) {
        p.setPen(QPen(Qt::black, 0.75, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        for (const Rect& r : editor_->DragPreview(pointer_.x(), pointer_.y()))
            p.drawRect(PointsRect(r));
    }
}

void FrmMain::ShowConnection() {
    frmConnect_->SetUtility(flows_->Components().utility.get());
    frmConnect_->ShowDialog();
    SetStatusText(connection_->StatusText());
}

bool FrmMain::OpenFormFromServer(const std::string& name) {
    editor_->ClearSelection();
    bool ok = flows_->OpenFormFromServer(name);
    RefreshAfterRead();
    MarkSaved();
    return ok;
}

void FrmMain::OpenFromServer() {
    if (!flows_->EnsureConnected()) return;
    SetStatusText(connection_->StatusText());
    if (!requests::UpdateFormsDefinitions(*comm_, *ui_, flows_->Definitions())) return;
    QStringList names;
    for (const FormDefinition& def : flows_->Definitions())
        names << toUnicode(def.name + "  -  " + def.description);
    if (names.isEmpty()) {
        ui_->Message("No forms are stored on this server.", "Open", MessageIcon::Information);
        return;
    }
    bool ok = false;
    QString chosen = QInputDialog::getItem(this, "Open", "Form:", names, 0, false, &ok);
    if (!ok) return;
    int index = int(names.indexOf(chosen));
    if (index < 0 || !MayDiscardForm()) return;
    OpenFormFromServer(flows_->Definitions().At(size_t(index) + 1).name);
}

SaveOutcome FrmMain::SaveToServer(bool showDialog) {
    SaveOutcome outcome = flows_->SaveFormToServer(showDialog);
    SetStatusText(connection_->StatusText());
    // A save that did not happen leaves the form marked as changed.
    if (outcome == SaveOutcome::Saved) MarkSaved();
    return outcome;
}

void FrmMain::UpdateInteractive() {
    model_.settings.ApplyInteractiveRule();
    const bool interactive = model_.settings.interactive;
    canvas_->UpdateInteractive(interactive);
    // Hotspots and signature boxes belong to interactive forms only.
    for (int mode : {kInsertHotspot, kInsertSignatureBox}) {
        tools_[mode]->setVisible(interactive);
        if (!interactive && editor_->PressedTool() == mode) PressTool(mode);
    }
}

void FrmMain::UpdateDataGridRecalc() {
    canvas_->UpdateDataGridRecalc(model_.settings.dataGrid);
}

void FrmMain::ShowFormSetup() {
    double w = canvas_->PageWidth(), h = canvas_->PageHeight();
    if (FrmSize::RunPageSetup(model_.settings, *this, *ui_, this, w, h)) {
        RebuildPages();
        UpdatePageNumberSetting();
        ShowPage();
    }
}
