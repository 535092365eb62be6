#include "window/FrmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDockWidget>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <utility>

#include "canvas/GridCells.h"
#include "drawing/PageExport.h"
#include "layout/ItemTypes.h"
#include "server/RepositoryCommands.h"
#include "server/qt/FrmDB.h"
#include "shell/RecentFiles.h"
#include "shell/RecoveryFiles.h"
#include "shell/TextUtils.h"
#include "shell/Units.h"
#include "shell/qt/QtText.h"
#include "window/PageCanvas.h"
#include "window/PageStrip.h"

namespace {
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

FrmMain::FrmMain(DesignerProgram& program, FrmMainOptions options, QWidget* parent)
    : QMainWindow(parent),
      program_(program),
      ui_(program.Ui()),
      model_(program.Model()),
      canvas_(program.Canvas()) {
    setObjectName("frmMain");
    program_.SetDialogParent(this);
    const TextMetrics& metrics = program_.Metrics();
    painter_ = std::make_unique<CanvasPainter>(canvas_, model_, pictures_);
    editor_ = std::make_unique<CanvasEditor>(canvas_, model_, metrics);
    frmConnect_ = new FrmConnect(program_.Connection(), this);
    connect(frmConnect_, &FrmConnect::connectionChanged, this, [this] {
        program_.ConnectionChanged();
        if (program_.Connection().Connected())
            frmConnect_->SetUtility(Flows().Components().utility.get());
        SetStatusText(program_.Connection().StatusText());
    });
    Flows().SetConnectionPrompt(frmConnect_);
    frmDB_ = new FrmDB(Flows(), ui_, this);
    // The data catalogue; "Get list from another form" picks through the forms browser.
    openCatalogue_ = [this] { RunCatalogue(); };
    selectForm_ = [this] {
        return FrmDB::SelectForm(Flows(), ui_, model_.settings.formCode, this);
    };
    windowDialogs_ = std::make_unique<WindowDialogs>(model_.settings, *this, ui_, Flows(), this);
    savePrompt_ = options.savePrompt ? options.savePrompt : windowDialogs_.get();
    Flows().SetSavePrompt(savePrompt_);
    LocalFolders& folders = program_.Folders();
    editor_->GetHooks().openGridDialog = [this](const Rect& r) { dialogs_->OpenGrid(r); };
    editor_->GetHooks().selectImageFile = [&folders] { return folders.SelectImageFromFile(); };
    editor_->GetHooks().keepImageFile = [this, &folders](const std::string& path,
                                                         const std::string& name) {
        return folders.CopyImageIfNeeded(path, name) ? program_.ImagesFolder() + "/" + name
                                                     : std::string();
    };
    dialogs_ = new ItemDialogs({this, &canvas_, editor_.get(), &model_, &metrics, &ui_,
                                [this] { return Flows().StaticItems(); },
                                [this] {
                                    RefreshCanvas();
                                    ScheduleStep();
                                },
                                this,
                                [this](int page, double dpi) {
                                    return RenderBackground(canvas_, model_, pictures_, page, dpi);
                                }});
    editor_->GetHooks().showLabelProperties = [this](int label) { dialogs_->FollowLabel(label); };
    editor_->GetHooks().showItemProperties = [this](CanvasModel::Hit item) {
        dialogs_->Open(item);
    };
    // A click marks a label on every press: the label dialog follows it, the others go.
    editor_->GetHooks().closeItemDialogs = [this] {
        dialogs_->CloseOthers(CanvasModel::Hit::Label);
    };
    ppi_ = options.pixelsPerInch > 0 ? options.pixelsPerInch : ScreenPixelsPerInch();
    // Every change of the model repaints the pages it touched.
    canvas_.SetChangeListener([this](const CanvasChange& change) {
        RefreshCanvas(change);
        if (change.kinds & ~unsigned(CanvasChange::Selection)) ScheduleStep();
    });

    strip_ = new PageStrip(
        canvas_, *painter_, ppi_, [this](PageCanvas* v) { ConnectPage(v); }, this);
    connect(strip_, &PageStrip::pageButtonClicked, this, [this](int b) { PageMove(b); });
    setCentralWidget(strip_);
    BuildMenus();
    BuildToolbar();
    BuildStatusStrip();

    // Start-up: shared flags and the tools they show, empty records, an empty page.
    CanvasWindowState& w = canvas_.Window();
    w.multipage = true;
    model_.settings.multipageMode = true;
    model_.settings.dataEntryForm = options.dataEntryForm;
    mnuLoadFromLocalFiles_->setChecked(Flows().Options().loadFromLocalFiles);
    UpdateInteractive();
    SetMultipage(true);
    UpdateDataGridRecalc();
    // The item menu is built each time a label is right-clicked, so there is none to
    // hide; the template label keeps its caption from the start.
    canvas_.UnloadAllImages();
    w.insertMode = kInsertLabel;
    // The working folder is left alone: every folder of the program is found from the
    // data folder, and a layout named on the command line is read after the window
    // starts, relative to where the program was started.
    strip_->LoadPageContainer(0);
    if (model_.settings.dataEntryForm)
        SetPage(8, 5.5);
    else
        SetPage(8.5, 11);
    chkDataEntryForm_->setChecked(model_.settings.dataEntryForm);
    resize(1000, 760);
    strip_->RecalcScrollBars();
    // The user-prompt entries are built from the prompts each time the item menu opens.
    // A program that connected as it started shows so from the first moment.
    if (program_.Connection().Connected())
        frmConnect_->SetUtility(Flows().Components().utility.get());
    SetStatusText(program_.Connection().StatusText());
    UpdatePageNumberSetting();
    MarkSaved();
    StartHistory();
    static int windows = 0;
    recoveryPath_ = recovery::FilePath(program_.DataFolder(), ++windows);
    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setSingleShot(true);
    recoveryTimer_->setInterval(options.recoveryDelayMs);
    connect(recoveryTimer_, &QTimer::timeout, this, [this] { WriteRecovery(); });
    FocusPage();
}

FrmMain::~FrmMain() {
    // A window that closes, whatever the user chose, leaves no recovery file.
    recovery::Remove(recoveryPath_);
    // The property dialogs act on the editor and the canvas: they go first.
    delete dialogs_;
    canvas_.SetChangeListener(nullptr);
    // Page canvases paint from the painter; they go before it does.
    delete strip_;
    // The program may outlive its window: nothing of the window stays wired into it.
    Flows().SetConnectionPrompt(nullptr);
    Flows().SetSavePrompt(nullptr);
    program_.SetDialogParent(nullptr);
}

void FrmMain::SetStatusText(const std::string& status) {
    statusText_ = status;
    lblStatus_->setText(toUnicode(status));
    // The connection text is not cut by the controls beside it on a window of 1000
    // pixels; a longer one is cut there and read whole in its tip.
    lblStatus_->setToolTip(lblStatus_->text().trimmed());
    lblStatus_->setMinimumWidth(std::min(lblStatus_->sizeHint().width(), 300));
    UpdateCaption();
}

void FrmMain::UpdateCaption() {
    const std::string& name = model_.settings.formCode;
    // "[*]": the standard mark of unsaved changes, shown by setWindowModified.
    setWindowTitle(toUnicode("Form Designer" + (name.empty() ? std::string() : " - " + name) +
                             "[*]" + statusText_));
}

PageCanvas* FrmMain::PageView(int page) const {
    return strip_->PageView(page);
}

void FrmMain::AutoScroll(int dx, int dy) {
    strip_->AutoScroll(dx, dy);
}

void FrmMain::SetPage(double w, double h, bool keepBackground) {
    // The background picture is read again for the new size.
    if (!keepBackground && !canvas_.CurrentBackgroundImagePath().empty()) pictures_.Clear();
    canvas_.SetPageSize(w, h);
    lblFrmSize_->setText(toUnicode(PageSizeText(w, h)));
    strip_->SetPageSize(w, h);
}

void FrmMain::UpdatePageNumberSetting() {
    // The setting is checked where it is stored (the reader, "Form Setup"); the canvas
    // model keeps its page count and the current page within it.
    canvas_.UpdatePageNumberSetting(canvas_.Window().currentPage, model_.settings.numberOfPages);
    strip_->ShowPageCount(model_.settings.numberOfPages);
}

void FrmMain::PageMove(int button) {
    const int pages = model_.settings.numberOfPages;
    ShowPage(PageAfterButton(button, canvas_.Window().currentPage + 1, pages) - 1);
}

void FrmMain::ShowPage() {
    ShowPage(canvas_.Window().currentPage);
}

void FrmMain::ShowPage(int page) {
    if (!strip_->LoadPageContainer(page)) return;
    editor_->MoveSupplementaryControls(page);
    editor_->ClearSelection();
    // The keys follow the page shown, unless they were typing elsewhere.
    QWidget* focus = focusWidget();
    const bool onPage = !focus || qobject_cast<PageCanvas*>(focus);
    strip_->ShowPage(page);
    if (onPage) FocusPage();
}

void FrmMain::FocusPage() {
    if (PageCanvas* page = PageView(canvas_.Window().currentPage))
        page->setFocus(Qt::OtherFocusReason);
}

void FrmMain::changeEvent(QEvent* event) {
    // Back from a dialog (or another program) the keys go to the page, not to whatever
    // control Qt finds first; a docked dialog being typed in keeps them.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        QWidget* focus = focusWidget();
        bool docked = false;
        for (QWidget* w = focus; w && w != this; w = w->parentWidget())
            docked = docked || qobject_cast<QDockWidget*>(w);
        if (!docked) FocusPage();
    }
    QMainWindow::changeEvent(event);
}

void FrmMain::SetMultipage(bool on) {
    canvas_.Window().multipage = on;
    model_.settings.multipageMode = on;
    mnuMultipage_->setChecked(on);
    strip_->SetMultipage(on);
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

void FrmMain::RefreshAfterRead() {
    dialogs_->CloseAll();  // their labels belonged to the form that went
    pictures_.Clear();
    canvas_.ShowPage(0);
    UpdatePageNumberSetting();
    strip_->RebuildPages();
    chkDataEntryForm_->setChecked(model_.settings.dataEntryForm);
    lblFrmSize_->setText(toUnicode(PageSizeText(canvas_.PageWidth(), canvas_.PageHeight())));
    strip_->ResetScroll();
    ShowPage();
    UpdateInteractive();
    UpdateDataGridRecalc();
    UpdateCaption();
}

void FrmMain::NewForm() {
    editor_->ClearSelection();
    canvas_.UnloadAllLabels();
    bool dataEntry = model_.settings.dataEntryForm;
    model_ = FormModel();
    model_.settings.dataEntryForm = dataEntry;
    canvas_.UnloadAllImages();
    canvas_.SetPage(dataEntry ? 8 : 8.5, dataEntry ? 5.5 : 11);
    layoutPath_.clear();
    RefreshAfterRead();
    MarkSaved();
    StartHistory();
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
    // A drag or a key moves the selected label without the pointer moving.
    UpdatePositionText();
    if (PageCanvas* one = PageView(change.page)) return one->update();
    strip_->RefreshAll();
}

void FrmMain::PagePressed(int page, QPointF at, Qt::MouseButton button,
                          Qt::KeyboardModifiers mods) {
    bool shift = mods & Qt::ShiftModifier, ctrl = mods & Qt::ControlModifier;
    pressAt_ = at;
    const CanvasWindowState& w = canvas_.Window();
    CanvasModel::Hit hit = canvas_.HitTest(page, at.x(), at.y());
    if (w.cornerPick || hit.kind == CanvasModel::Hit::None) {
        NameStep("Insert");
        // Inserts and picked corners land on the snap grid when it is on.
        editor_->ClickCanvas(editor_->Snapped(at.x()), editor_->Snapped(at.y()), page,
                             button == Qt::LeftButton, shift, ctrl, mods & Qt::AltModifier);
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
            // A right click marks the item; its dialog comes from the menu.
            auto show = std::exchange(editor_->GetHooks().showItemProperties, nullptr);
            editor_->PressItem(hit, at.x(), at.y(), false, false);
            editor_->GetHooks().showItemProperties = std::move(show);
            editor_->CancelDrag();
        }
        ShowItemMenu(target, at);
    }
}

void FrmMain::PageReleased(int, QPointF at, Qt::MouseButton) {
    if (!editor_->Dragging()) return;
    // A press that did not travel is a click, not a move.
    QPointF d = at - pressAt_;
    if (units::InchesToPixels(std::hypot(d.x(), d.y()), ppi_ * strip_->Zoom()) < 3)
        editor_->ReleaseWithoutMove();
    else
        editor_->Drop(at.x(), at.y());
    NameStep("Move");
}

void FrmMain::PointerMoved(int, QPointF at) {
    pointer_ = at;
    pointerOnPage_ = true;
    const CanvasWindowState& w = canvas_.Window();
    if (w.cornerPick) editor_->MovePointer(editor_->Snapped(at.x()), editor_->Snapped(at.y()));
    // The drag outlines follow the pointer, which only the window knows.
    if (editor_->Dragging() && PageView(w.currentPage)) PageView(w.currentPage)->update();
}

std::vector<int> FrmMain::BuildGrid(GridArea area) {
    CanvasWindowState& w = canvas_.Window();
    area.gridNumber = ++w.gridCounter;
    area.page = w.currentPage;
    area.format = canvas_.Label(0);
    NameStep("Insert Grid");
    CanvasEdit edit(canvas_, CanvasChange::Labels | CanvasChange::Selection, w.currentPage);
    std::vector<int> cells = LoadRectangleWithLabels(canvas_, model_, ui_, area);
    if (cells.empty()) {
        --w.gridCounter;
        return cells;
    }
    // The new cells become the selection.
    editor_->UnselectAll();
    for (int i : cells) {
        canvas_.Label(i).bordered = true;
        canvas_.Label(i).ClearTag();
    }
    return cells;
}

void FrmMain::MoveGridColumn(int column, double dx, bool dataGrid, int gridNumber) {
    ::MoveGridColumn(canvas_, {gridNumber, dataGrid, column, canvas_.Window().currentPage}, dx);
}

void FrmMain::ResizeGridColumn(int column, double dw, bool dataGrid, int gridNumber) {
    ::ResizeGridColumn(canvas_, {gridNumber, dataGrid, column, canvas_.Window().currentPage}, dw);
}

void FrmMain::AutosizeGridColumn(bool on, bool dataGrid, int gridNumber) {
    ::AutosizeGridColumn(canvas_, program_.Metrics(),
                         {gridNumber, dataGrid, 0, canvas_.Window().currentPage}, on);
}

void FrmMain::MoveGridCells(double dx, double dy, bool dataGrid, int gridNumber) {
    ::MoveGridCells(canvas_, {gridNumber, dataGrid, 0, canvas_.Window().currentPage}, dx, dy);
}

void FrmMain::ShowGridArea(const Rect& area) {
    editor_->ShowGridArea(area);
}

void FrmMain::MoveGridArea(double dx, double dy) {
    editor_->MoveGridArea(dx, dy);
}

void FrmMain::DeleteSelected() {
    NameStep("Delete");
    editor_->DeleteSelection();
    dialogs_->CloseAll();
}

void FrmMain::ClearSelection() {
    editor_->ClearSelection();
    dialogs_->CloseAll();
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
    // A click on the template, or a double click on a label, opens its properties.
    if (watched == lblTemplate_ && event->type() == QEvent::MouseButtonPress) {
        dialogs_->OpenTemplateProperties();
        return true;
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (auto* page = qobject_cast<PageCanvas*>(watched)) {
            QPointF pixels = static_cast<QMouseEvent*>(event)->position();
            QPointF at(page->ToInches(pixels.x()), page->ToInches(pixels.y()));
            CanvasModel::Hit hit = canvas_.HitTest(page->Page(), at.x(), at.y());
            if (hit.kind == CanvasModel::Hit::Label && editor_->IsOrdinaryLabel(hit.index)) {
                editor_->CancelDrag();
                dialogs_->OpenLabelProperties(hit.index);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
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
            NameStep("Move");
            editor_->MoveSelectionBy(-h, 0);
            break;
        case Qt::Key_Right:
            NameStep("Move");
            editor_->MoveSelectionBy(h, 0);
            break;
        case Qt::Key_Up:
            NameStep("Move");
            editor_->MoveSelectionBy(0, -v);
            break;
        case Qt::Key_Down:
            NameStep("Move");
            editor_->MoveSelectionBy(0, v);
            break;
        default:
            QMainWindow::keyPressEvent(event);
            return;
    }
}

void FrmMain::PaintOverlay(QPainter& p, int page) const {
    if (page != canvas_.Window().currentPage) return;
    painter_->PaintMarks(p, page);
    const CanvasWindowState& w = canvas_.Window();
    auto marker = [&](const Marker& m, const char* caption) {
        if (!m.visible) return;
        QRectF r = PointsRect(m.r);
        p.fillRect(r, QColor(255, 255, 0));
        p.setPen(QPen(Qt::black, 0.75));
        p.drawRect(r);
        QFont f("Arial");
        f.setPointSizeF(units::FontSizeOnPointScale(8, std::max(1, p.device()->logicalDpiY())));
        p.setFont(f);
        p.drawText(r, Qt::AlignLeft | Qt::AlignTop, caption);
    };
    if (w.cornerPick && w.firstCorner) {
        // Guide lines through the first corner, to the far end of any page.
        const Marker& top = editor_->TopMarker();
        QPointF at(units::InchesToPoints(top.r.left), units::InchesToPoints(top.r.top));
        p.setPen(QPen(QColor(0, 0, 255), 0.75, Qt::DashLine));
        p.drawLine(at, QPointF(units::InchesToPoints(2000), at.y()));
        p.drawLine(at, QPointF(at.x(), units::InchesToPoints(2000)));
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

void FrmMain::RunCatalogue() {
    auto used = [this](const std::string& id) { return editor_->PromptOnForm(id); };
    windowDialogs_->ShowCatalogue(program_.Comm(), model_, used, selectForm_);
    // What the catalogue applied to the form is one step.
    NameStep("Data Catalogue");
    // The item menu's user prompts and data fields are built from the lists as they now are.
    RefreshCanvas();
}

void FrmMain::UpdateInteractive() {
    model_.settings.ApplyInteractiveRule();
    const bool interactive = model_.settings.interactive;
    canvas_.UpdateInteractive(interactive);
    // Hotspots and signature boxes belong to interactive forms only.
    for (int mode : {kInsertHotspot, kInsertSignatureBox}) {
        tools_[mode]->setVisible(interactive);
        if (!interactive && editor_->PressedTool() == mode) PressTool(mode);
    }
}

void FrmMain::UpdateDataGridRecalc() {
    canvas_.UpdateDataGridRecalc(model_.settings.dataGrid);
}

void FrmMain::ShowFormSetup() {
    double w = canvas_.PageWidth(), h = canvas_.PageHeight();
    // OK applies the settings inside the dialog and the page size after it: one step,
    // taken once both are in (a step between would hold half of the change).
    if (stepPending_) RecordStep();
    holdSteps_ = true;
    const bool applied = windowDialogs_->RunFormSetup(w, h);
    holdSteps_ = false;
    if (applied) {
        UpdatePageNumberSetting();
        strip_->RebuildPages();
        ShowPage();
    }
    RecordStep();
}

void FrmMain::UpdateShiftOfOpenDialogs() {
    dialogs_->UpdateShift();
}
