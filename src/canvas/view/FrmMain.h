#pragma once
// The designer window `frmMain`: tool bar, status strip, the viewport with one page
// canvas per page, scroll bars and page navigation. It owns the open form's model
// and canvas model; widgets only draw them and forward events.
#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "canvas/CanvasEditor.h"
#include "canvas/CanvasModel.h"
#include "canvas/CanvasPainter.h"
#include "canvas/GridCells.h"
#include "canvas/PageGeometry.h"
#include "dialogs/FormSizeHost.h"
#include "layout/FormModel.h"
#include "layout/LocalFolders.h"
#include "server/ConnectionLogic.h"
#include "server/FormFlows.h"
#include "server/SaveFormPrompt.h"
#include "server/qt/FrmConnect.h"

class QAction;
class QCheckBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QTimer;
class QToolBar;
class QWheelEvent;
class PageCanvas;
class UserInterface;
class TextMetrics;

struct FrmMainOptions {
    SaveFormPrompt* savePrompt = nullptr;  // null: the window's own save dialog
    UserInterface* ui = nullptr;           // null: message boxes of this window
    std::string dataFolder;                // "": the user's data folder
    double pixelsPerInch = 0;              // 0: the screen's own
    bool dataEntryForm = false;            // the shared flag as the window finds it at start
};

class FrmMain : public QMainWindow, public FormSizeHost {
    Q_OBJECT
  public:
    explicit FrmMain(FrmMainOptions options = {}, QWidget* parent = nullptr);
    ~FrmMain() override;

    FormModel& Model() { return model_; }
    UserInterface& Ui() { return *ui_; }
    CanvasModel& Canvas() { return *canvas_; }
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
    std::vector<int> BuildGrid(GridArea area);
    // Column operations of the grid dialog on the current page, by the shared step.
    void MoveGridColumn(int column, double dx, bool dataGrid, int gridNumber);
    void ResizeGridColumn(int column, double dw, bool dataGrid, int gridNumber);
    // Every column of the grid sized to its content, or back to fixed widths.
    void AutosizeGridColumn(bool on, bool dataGrid, int gridNumber);
    // Every cell of a built grid moves together.
    void MoveGridCells(double dx, double dy, bool dataGrid, int gridNumber);
    // The grid dialog's area frame on the canvas: shown at a rectangle, moved by a step.
    void ShowGridArea(const Rect& area);
    void MoveGridArea(double dx, double dy);
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
    void UpdateShiftOfOpenDialogs() override {}
    // "Form Setup": the form settings dialog for the current page size.
    void ShowFormSetup();
    void ShowPage();
    int CurrentPageNumber() const { return canvas_->Window().currentPageNumber; }
    void SetCurrentPageNumber(int page);
    void UpdatePageNumberSetting() override;
    bool LoadPageContainer(int page);
    // Page buttons 0..3: "<<", "<", ">", ">>".
    void PageMove(int button);
    void SetMultipage(bool on);
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

    // The server: connection dialog, forms on the server.
    ConnectionLogic& Connection() { return *connection_; }
    FrmConnect& ConnectDialog() { return *frmConnect_; }
    FormFlows& Flows() { return *flows_; }
    void ShowConnection();
    bool OpenFormFromServer(const std::string& name);
    SaveOutcome SaveToServer(bool showDialog);

    // The two scroll bars as the window computed them last.
    const ScrollBarState& VerticalBar() const { return vbar_; }
    const ScrollBarState& HorizontalBar() const { return hbar_; }
    PageCanvas* PageView(int page) const;
    // Recomputes the scroll bars from the page and viewport sizes.
    void RecalcScrollBars();
    // One auto-scroll step toward a side (dx, dy in -1..1), at most one per 40 ms.
    void AutoScroll(int dx, int dy);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenus();
    void BuildToolbar();
    void BuildStatusStrip();
    void LayoutCanvasArea();
    void RebuildPages();
    void PlacePages();
    void OnScroll();
    void GetFromFile();
    void OpenFromServer();
    void SaveToFile();
    void RefreshAfterRead();
    bool ValidateForSave();
    bool WriteLayout(const std::string& path);
    double TwipsToPixels(double twips) const;
    void PressTool(int mode);
    void PaintOverlay(QPainter& p, int page) const;
    // True when a bar took the wheel's turn.
    bool ScrollByWheel(QWheelEvent* event);
    void ShowItemMenu(const CanvasModel::Hit& hit, QPointF at);
    void AskGridArea(const Rect& r);
    void ConnectPage(PageCanvas* page);
    std::string LayoutSnapshot();

    std::unique_ptr<UserInterface> ownUi_;
    UserInterface* ui_;
    std::unique_ptr<TextMetrics> metrics_;
    std::string imagesFolder_;
    FormModel model_;
    std::unique_ptr<CanvasModel> canvas_;
    PictureCache pictures_;
    std::unique_ptr<CanvasPainter> painter_;
    std::unique_ptr<CanvasEditor> editor_;
    std::unique_ptr<LocalFolders> folders_;
    std::unique_ptr<CommComponent> comm_;
    std::unique_ptr<ConnectionLogic> connection_;
    FrmConnect* frmConnect_ = nullptr;
    std::unique_ptr<FormFlows> flows_;
    SaveFormPrompt* savePrompt_ = nullptr;
    std::unique_ptr<SaveFormPrompt> ownSavePrompt_;
    QAction* mnuGetFromFile_ = nullptr;
    QAction* mnuLoadFromLocalFiles_ = nullptr;
    QAction* mnuSaveToFile_ = nullptr;
    QAction* tools_[8] = {};
    QPointF pressAt_, pointer_;
    bool pointerOnPage_ = false;
    double ppi_ = 96;
    std::string statusText_;
    std::string layoutPath_;
    std::string savedLayout_;  // the layout text as last opened or saved

    QWidget* canvasArea_ = nullptr;
    QWidget* picContainer_ = nullptr;
    std::vector<PageCanvas*> picView_;
    QScrollBar* hScroll_ = nullptr;
    QScrollBar* vScroll_ = nullptr;
    QTimer* tmrScrollSpeed_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QLabel* lblFrmSize_ = nullptr;
    QLabel* lblTextDefault_ = nullptr;
    QLabel* lblTemplate_ = nullptr;
    QLabel* lblStatus_ = nullptr;
    QCheckBox* chkDataEntryForm_ = nullptr;
    QCheckBox* chkLinesOn_ = nullptr;
    QPushButton* pageMove_[4] = {};
    QLabel* lblPage_ = nullptr;
    QLabel* lblOf_ = nullptr;
    QLabel* lblPageCurr_ = nullptr;
    QLabel* lblPageTotal_ = nullptr;
    QAction* mnuMultipage_ = nullptr;
    QAction* mnuFillin_ = nullptr;
    ScrollBarState hbar_, vbar_;
};
