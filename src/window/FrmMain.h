#pragma once
// The designer window `frmMain`: what a click, a key or a menu entry does to the open
// form. The program (form, canvas model, folders, server link and flows) is handed
// in; the page strip shows the pages, the menus and tool bar are built in
// FrmMainMenus.cpp; WindowDialogs opens the modal dialogs and ItemDialogs the
// property dialogs.
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "canvas/CanvasEditor.h"
#include "canvas/CanvasModel.h"
#include "canvas/GridCells.h"
#include "canvas/PageGeometry.h"
#include "canvas/UndoHistory.h"
#include "dialogs/FormSizeHost.h"
#include "drawing/CanvasPainter.h"
#include "server/SaveFormPrompt.h"
#include "server/qt/FrmConnect.h"
#include "window/DesignerProgram.h"
#include "window/ItemDialogs.h"
#include "window/WindowDialogs.h"

class QAction;
class QCheckBox;
class QLabel;
class QToolBar;
class QTimer;
class PageCanvas;
class PageStrip;
class FrmDB;

// A tool-bar button's line icon from ":/icons/<key without spaces>.svg"; none when the
// file is missing.
QIcon ToolbarIcon(const QString& key);
// A tool bar that is always there: no menu offers to hide it or shows its name.
QToolBar* FixedToolBar(QMainWindow* window, const QString& title, const char* name);

struct FrmMainOptions {
    SaveFormPrompt* savePrompt = nullptr;  // null: the window's own save dialog
    double pixelsPerInch = 0;              // 0: the screen's own
    bool dataEntryForm = false;            // the shared flag as the window finds it at start
    int recoveryDelayMs = 10000;           // a change reaches the recovery file within this
};

class FrmMain : public QMainWindow, public FormSizeHost, public GridHost {
    Q_OBJECT
  public:
    explicit FrmMain(DesignerProgram& program, FrmMainOptions options = {},
                     QWidget* parent = nullptr);
    ~FrmMain() override;

    DesignerProgram& Program() { return program_; }
    FormModel& Model() { return model_; }
    UserInterface& Ui() { return ui_; }
    CanvasModel& Canvas() { return canvas_; }
    CanvasEditor& Editor() { return *editor_; }
    // Tool-bar insert buttons by insert mode (null for the line, which has none).
    QAction* ToolButton(int mode) const;
    // What a press, move and release on a page canvas do (inches on the page).
    void PagePressed(int page, QPointF at, Qt::MouseButton button, Qt::KeyboardModifiers mods);
    void PageReleased(int page, QPointF at, Qt::MouseButton button);
    void PointerMoved(int page, QPointF at);
    void DeleteSelected();
    // A grid area on the current page with the next grid number; its cells come back
    // selected.
    std::vector<int> BuildGrid(GridArea area) override;
    // Column operations of the grid dialog on the current page, by the shared step.
    void MoveGridColumn(int column, double dx, bool dataGrid, int gridNumber) override;
    void ResizeGridColumn(int column, double dw, bool dataGrid, int gridNumber) override;
    // Every column of the grid sized to its content, or back to fixed widths.
    void AutosizeGridColumn(bool on, bool dataGrid, int gridNumber) override;
    // Every cell of a built grid moves together.
    void MoveGridCells(double dx, double dy, bool dataGrid, int gridNumber) override;
    // The grid dialog's area frame on the canvas: shown at a rectangle, moved by a step.
    void ShowGridArea(const Rect& area) override;
    void MoveGridArea(double dx, double dy) override;
    void HideGridArea() override { editor_->HideGridArea(); }
    Rect GridAreaFrame() const override { return editor_->GridAreaFrame(); }
    // A pop-up menu at the pointer from captions ("-" a separator); the chosen caption,
    // or "" when none was chosen.
    std::string ShowPopupMenu(const std::vector<std::string>& captions);
    void ClearSelection();
    // Repaints the pages a change of the model touched.
    void RefreshCanvas(const CanvasChange& change = {});
    double PixelsPerInch() const { return ppi_; }

    // `SetPage`: the current page canvas becomes width x height inches.
    void SetPage(double widthInches, double heightInches, bool keepBackground = true) override;
    // FormSizeHost
    void UpdateInteractive() override;
    void UpdateDataGridRecalc() override;
    void UpdateShiftOfOpenDialogs() override;
    ItemDialogs& Dialogs() { return *dialogs_; }
    // "Form Setup": the form settings dialog for the current page size.
    void ShowFormSetup();
    // The canvas model's current page, or page (0-based), in front.
    void ShowPage();
    void ShowPage(int page);
    int CurrentPageNumber() const { return canvas_.Window().currentPageNumber; }
    void UpdatePageNumberSetting() override;
    // Page buttons 0..3: "<<", "<", ">", ">>".
    void PageMove(int button);
    void SetMultipage(bool on);
    // The keyboard's place: the page in view, so that keys act on the form.
    void FocusPage();
    void SetStatusText(const std::string& status);
    void UpdateCaption();

    // Reads a layout file onto the canvas; false (with the reader's message) on failure.
    bool OpenLayout(const std::string& path);
    // Validates and writes the form as a layout file.
    bool SaveLayout(const std::string& path);
    void NewForm();
    // Whether the form differs from what was last opened or saved; changes in the
    // selection alone do not count.
    bool IsModified();
    // True when nothing would be lost, or the user agrees to lose the changes.
    bool MayDiscardForm();
    // The form as it stands counts as saved.
    void MarkSaved();
    // Saves the form where it came from: the server, its file, or a file the user names.
    bool SaveWhereItCameFrom();
    // Undo / Redo: every change of the form becomes one step once the event that made
    // it is over; the command names it (unnamed changes are "Properties").
    void Undo();
    void Redo();
    void NameStep(const std::string& name);
    UndoHistory& History() { return history_; }
    // The window's recovery file, written while the form has unsaved changes.
    const std::string& RecoveryPath() const { return recoveryPath_; }
    // A form brought back from a recovery file: shown as changed, with no steps.
    bool OpenRecovered(const std::string& layoutText);

    // The server: connection dialog, forms on the server.
    ConnectionLogic& Connection() { return program_.Connection(); }
    FrmConnect& ConnectDialog() { return *frmConnect_; }
    FormFlows& Flows() { return program_.Flows(); }
    void ShowConnection();
    // The forms browser in select mode ("Get list from another form"): a form name or "".
    void SetFormSelector(std::function<std::string()> select) { selectForm_ = std::move(select); }
    bool OpenFormFromServer(const std::string& name);
    SaveOutcome SaveToServer(bool showDialog);
    // "Open...": the forms browser, then the chosen form.
    void OpenFromServer();
    // The data catalogue, when connected; the item menu builds its user-prompt
    // entries from the prompts as they are afterwards.
    void ShowCatalogue();
    void SetCatalogueOpener(std::function<void()> open) { openCatalogue_ = std::move(open); }
    // The data catalogue itself, the opener the window starts with.
    void RunCatalogue();
    // Settings > "Background": a picture file for the current page, or none.
    void LoadBackground();
    void ClearBackground();
    // "TEMP - Load List": the database-field list from a ".dbd" file.
    void LoadDBFieldsFile();
    // "Clear local files": the local form copies and pictures, but those the open form
    // shows.
    void ClearLocalFiles();

    // Printing: the current page on the default printer, a preview of every page, and
    // every page as a PDF file.
    void PrintCurrentPage();
    void ShowPrintPreview();
    void ExportPdf();

    // Edit > Cut, Copy, Paste and Arrange (FrmMainClipboard.cpp): the selected labels,
    // pictures and shapes go to the system clipboard as layout text; a paste lands at the
    // pointer when it is over the page, else moved by the form's shift from where the
    // items were copied (further with each paste of the same text). Each is one step.
    void CutSelection();
    void CopySelection();
    void PasteClipboard();
    void Arrange(CanvasEditor::Arrange how, const std::string& caption);

    PageStrip& Pages() { return *strip_; }
    PageCanvas* PageView(int page) const;
    // One auto-scroll step toward a side (dx, dy in -1..1), at most one per 40 ms.
    void AutoScroll(int dx, int dy);
    // No tool bar can be hidden, so the window offers no tool-bar menu.
    QMenu* createPopupMenu() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // Menus, tool bar, status strip and the item menu: FrmMainMenus.cpp.
    void BuildMenus();
    void BuildToolbar();
    void BuildStatusStrip();
    void ShowItemMenu(const CanvasModel::Hit& hit, QPointF at);
    // Cut, copy, paste and the Arrange sub-menu; their tool bar (FrmMainClipboard.cpp).
    void BuildEditCommands(QMenu* edit);
    void BuildEditToolbar();
    // The pointer's and the selected label's place in the status strip.
    void UpdatePositionText();

    void GetFromFile();
    void SaveToFile();
    void RefreshAfterRead();
    bool ValidateForSave();
    bool WriteLayout(const std::string& path);
    void PressTool(int mode);
    void PaintOverlay(QPainter& p, int page) const;
    void ConnectPage(PageCanvas* page);
    std::string LayoutSnapshot();
    void ScheduleStep();
    void RecordStep();
    // The opened or saved state begins the steps.
    void StartHistory();
    // Puts a step's records back as they were before it (after it, for a redo).
    void RestoreStep(const CanvasStep& step, bool after);
    void UpdateUndoActions();
    void WriteRecovery();

    DesignerProgram& program_;
    UserInterface& ui_;
    FormModel& model_;
    CanvasModel& canvas_;
    PictureCache pictures_;
    std::unique_ptr<CanvasPainter> painter_;
    std::unique_ptr<CanvasEditor> editor_;
    FrmConnect* frmConnect_ = nullptr;
    FrmDB* frmDB_ = nullptr;
    std::function<void()> openCatalogue_;
    std::unique_ptr<WindowDialogs> windowDialogs_;
    std::function<std::string()> selectForm_;
    ItemDialogs* dialogs_ = nullptr;  // a child of the window
    SaveFormPrompt* savePrompt_ = nullptr;
    PageStrip* strip_ = nullptr;
    QAction* mnuGetFromFile_ = nullptr;
    QAction* mnuLoadFromLocalFiles_ = nullptr;
    QAction* mnuSaveToFile_ = nullptr;
    QAction* tools_[8] = {};
    QPointF pressAt_, pointer_;
    bool pointerOnPage_ = false;
    double ppi_ = 96;
    std::string statusText_;
    std::string layoutPath_;
    // The layout text as last opened or saved, and the step it is (kNoPosition when the
    // history cannot tell, as while a drag held a change when the form was saved).
    std::shared_ptr<const std::string> savedLayout_;
    static constexpr std::uint64_t kNoPosition = 0;
    std::uint64_t savedPosition_ = kNoPosition;
    UndoHistory history_;
    std::string stepName_;
    bool stepPending_ = false;
    bool restoring_ = false;
    bool holdSteps_ = false;  // while a dialog applies a change in parts
    QAction* mnuUndo_ = nullptr;
    QAction* mnuRedo_ = nullptr;
    QAction* tbUndo_ = nullptr;
    QAction* tbRedo_ = nullptr;
    std::string recoveryPath_;
    QTimer* recoveryTimer_ = nullptr;

    QToolBar* toolbar_ = nullptr;
    QLabel* lblFrmSize_ = nullptr;
    QLabel* lblTextDefault_ = nullptr;
    QLabel* lblTemplate_ = nullptr;
    QLabel* lblStatus_ = nullptr;
    QLabel* lblPosition_ = nullptr;
    QPointF pointerAt_;
    QCheckBox* chkDataEntryForm_ = nullptr;
    QCheckBox* chkLinesOn_ = nullptr;
    QAction* mnuMultipage_ = nullptr;
    QAction* mnuFillin_ = nullptr;
    // The text pasted last and how often: each paste of it lands one shift further.
    std::string pastedText_;
    int pastes_ = 0;
};
