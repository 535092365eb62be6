#include "canvas/view/FrmMain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <cmath>

#include "canvas/view/PageCanvas.h"
#include "layout/LayoutReader.h"
#include "layout/LayoutWriter.h"
#include "layout/LocalFolders.h"
#include "layout/SaveValidation.h"
#include "shell/DataFolder.h"
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
    imagesFolder_ = root.empty() ? std::string() : LocalFolders(root, *ui_).ImagesFolder();
    canvas_ = std::make_unique<CanvasModel>(model_, *metrics_, imagesFolder_);
    painter_ = std::make_unique<CanvasPainter>(*canvas_, model_, pictures_);
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
    connect(hScroll_, &QScrollBar::valueChanged, this, [this] { OnScroll(); });
    connect(vScroll_, &QScrollBar::valueChanged, this, [this] { OnScroll(); });

    // Start-up: shared flags, empty records, an empty page, the one timer.
    CanvasWindowState& w = canvas_->Window();
    w.multipage = true;
    model_.settings.multipageMode = true;
    model_.settings.dataEntryForm = options.dataEntryForm;
    mnuMultipage_->setChecked(true);
    canvas_->UnloadAllImages();
    w.insertMode = kInsertLabel;
    LoadPageContainer(0);
    if (model_.settings.dataEntryForm)
        SetPage(8, 5.5);
    else
        SetPage(8.5, 11);
    chkDataEntryForm_->setChecked(model_.settings.dataEntryForm);
    tmrScrollSpeed_ = new QTimer(this);
    tmrScrollSpeed_->setObjectName("tmrScrollSpeed");
    tmrScrollSpeed_->setInterval(40);
    tmrScrollSpeed_->setSingleShot(true);
    connect(tmrScrollSpeed_, &QTimer::timeout, this, [this] {
        canvas_->Window().scrollThrottle = false;
        tmrScrollSpeed_->stop();
    });
    SetStatusText(kNotConnected);
    UpdatePageNumberSetting();
    SetMultipage(true);
    resize(1000, 760);
    LayoutCanvasArea();
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
    QAction* newForm = file->addAction("New");
    newForm->setObjectName("mnuNew");
    connect(newForm, &QAction::triggered, this, [this] { NewForm(); });
    QAction* get = file->addAction("Get from file...");
    get->setObjectName("mnuGetFromFile");
    get->setShortcut(QKeySequence::Open);
    connect(get, &QAction::triggered, this, [this] { GetFromFile(); });
    QAction* save = file->addAction("Save to file...");
    save->setObjectName("mnuSaveToFile");
    save->setShortcut(QKeySequence::Save);
    connect(save, &QAction::triggered, this, [this] { SaveToFile(); });
    file->addSeparator();
    QAction* exit = file->addAction("Exit");
    exit->setObjectName("mnuExit");
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* tools = menuBar()->addMenu("Tools");
    tools->setObjectName("mnuTools");
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
}

void FrmMain::BuildToolbar() {
    toolbar_ = addToolBar("Toolbar1");
    toolbar_->setObjectName("Toolbar1");
    toolbar_->setMovable(false);
    QAction* open = toolbar_->addAction("Open Layout...");
    open->setObjectName("tbOpenLayout");
    connect(open, &QAction::triggered, this, [this] { GetFromFile(); });
    QAction* save = toolbar_->addAction("Save Layout...");
    save->setObjectName("tbSaveLayout");
    connect(save, &QAction::triggered, this, [this] { SaveToFile(); });

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
    setWindowTitle(toUnicode("Form Designer" + statusText_));
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
        v->hide();
        picView_.push_back(v);
    }
    canvas_->LoadPageContainer(page);
    return true;
}

void FrmMain::SetPage(double w, double h, bool) {
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
    // Every other window of the program goes with the designer.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible()) w->close();
    QMainWindow::closeEvent(event);
}

void FrmMain::LayoutCanvasArea() {
    if (!canvasArea_) return;
    int left = int(std::lround(TwipsToPixels(kCanvasMargins[1])));
    // The tool bar has its own row; the container keeps the side margin at the top.
    int top = left;
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
    UpdateCaption();
}

void FrmMain::NewForm() {
    canvas_->UnloadAllLabels();
    bool dataEntry = model_.settings.dataEntryForm;
    model_ = FormModel();
    model_.settings.dataEntryForm = dataEntry;
    canvas_->UnloadAllImages();
    canvas_->SetPage(dataEntry ? 8 : 8.5, dataEntry ? 5.5 : 11);
    layoutPath_.clear();
    RefreshAfterRead();
}

bool FrmMain::OpenLayout(const std::string& path) {
    LayoutReader reader(model_, *canvas_, *metrics_, *ui_);
    bool ok = OpenLayoutFile(path, reader, model_, *ui_);
    // Even a layout that stopped half-way shows what it placed.
    RefreshAfterRead();
    if (ok) layoutPath_ = path;
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
    std::string text = writer.ReassembleData();
    if (text.empty()) return false;
    if (!SaveDataToFile(path, text, *ui_)) return false;
    layoutPath_ = path;
    return true;
}

void FrmMain::GetFromFile() {
    std::string path = ui_->OpenFileName("Open Layout", kGetFromFileFilter);
    if (path.empty() || path == "*.ldt") return;
    OpenLayout(path);
}

void FrmMain::SaveToFile() {
    if (!ValidateForSave()) return;
    std::string path = ui_->SaveFileName("Save Layout", kSaveToFileFilter, layoutPath_);
    if (path.empty() || path == ".ldt") return;
    if (QFileInfo(toUnicode(path)).suffix().isEmpty()) path += ".ldt";
    WriteLayout(path);
}
