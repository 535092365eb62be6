#pragma once
// What the grid dialog `frmGrid` ("Insert Grid") does apart from its window: the area,
// rows and columns as typed, the cell format, building the grid through the designer
// window (`LoadRectangleWithLabels`), finding the rows on the lines printed on the
// page's background, and the column and area operations. It keeps no copy of a cell.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "canvas/GridCells.h"

class UserInterface;

// The pixels of a page as its background picture shows it, covering the whole page.
class PagePixels {
  public:
    virtual ~PagePixels() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Red + green + blue of one pixel, each 0..255.
    virtual int ColorSum(int x, int y) const = 0;
};

// A pixel whose red, green and blue add up to this or more is paper; below, ink.
constexpr int kPaperColorSum = 650;

// Pixel rows of the lines met walking down one pixel column.
struct PrintedLines {
    int count = 0;
    int first = -1, last = -1;  // rows where the first and the last line begin
};
// Walks the column x from row top to row bottom (both included). Each change from
// paper to ink is one line, so a thick line counts once; the walk starts on paper.
PrintedLines FindPrintedLines(const PagePixels& pixels, int x, int top, int bottom);

// Where the labels go beside the detected lines ("Over", "Under", "Both").
enum class LineSide { None = -1, Over = 0, Under = 1, Both = 2 };
struct SnapRows {
    double top = 0, bottom = 0;  // inches
    int rows = 0;
    double pitch = 0, gap = 0;  // rows are pitch = label height + 2 x gap tall
};
// The rows for count lines from first to last (inches) and labels labelHeight tall.
// A single line leaves the gap at 0.
SnapRows SnapToLines(double first, double last, int count, double labelHeight, LineSide side);

// The designer window as the grid dialog sees it (FrmMain).
class GridHost {
  public:
    virtual ~GridHost() = default;
    // A grid on the current page with the next grid number; its cells come back.
    virtual std::vector<int> BuildGrid(GridArea area) = 0;
    virtual void MoveGridColumn(int column, double dx, bool dataGrid, int gridNumber) = 0;
    virtual void ResizeGridColumn(int column, double dw, bool dataGrid, int gridNumber) = 0;
    virtual void AutosizeGridColumn(bool on, bool dataGrid, int gridNumber) = 0;
    virtual void MoveGridCells(double dx, double dy, bool dataGrid, int gridNumber) = 0;
    // The area's frame on the canvas.
    virtual void ShowGridArea(const Rect& area) = 0;
    virtual void MoveGridArea(double dx, double dy) = 0;
    virtual void HideGridArea() = 0;
    virtual Rect GridAreaFrame() const = 0;
};

// More than this would bury the page in labels and the designer with them.
constexpr int kMaxGridRows = 200;
constexpr int kMaxGridColumns = 50;

class GridLogic {
  public:
    enum class Move { Up, Down, Left, Right, UpLeft, UpRight, DownLeft, DownRight };
    GridLogic(CanvasModel& canvas, FormModel& model, UserInterface& ui);

    // Fields as typed.
    std::string left, right, top, bottom;  // "Define area", inches
    std::string rows = "1", columns = "1";
    bool snapToLines = false;  // "Auto calc - snap to lines"
    LineSide side = LineSide::Both;
    bool fillArea = false;  // "Fill the area"
    LabelControl format;    // font name, size, bold, italic, alignment, auto-size
    bool dataGrid = false;  // "DATAGRID"
    std::string gridNumber = "1", columnsInRow = "0";
    std::string column = "1";  // "Adjust column #"
    std::string horizontalStep, verticalStep;

    // Wiring: the shared step changed; the list fill over the labels with a tag; the
    // page's background picture (null when the page has none).
    std::function<void()> shiftChanged;
    std::function<void(const std::string& tag)> fillFromList;
    std::function<std::unique_ptr<PagePixels>(int page)> background;

    // `ParentForm`: the window the dialog builds in.
    void ParentForm(GridHost& host) { host_ = &host; }
    // `SetLabelRef`: the cells take this label's format (0: the template label).
    void SetLabelRef(int label);
    // `SetRect`: the area drawn on the canvas; its frame is shown.
    void SetRect(const Rect& r);
    // `UpdateShift`: the step fields show the shared shift.
    void UpdateShift();

    std::string Tag() const { return dataGrid ? "DATAgrid" : "grid"; }
    std::string Properties() const { return GridProperties(format); }

    // "Apply Rect": the frame at the typed area. False (with a message) when refused.
    bool ApplyRect();
    // "Apply": the grid replaces the one this dialog built before. False (with a
    // message) when nothing was built.
    bool Apply();
    // "Clear": every plain and data-grid cell goes.
    void Clear();
    // The eight move buttons: the frame, and the grid built here, by the step.
    bool MoveArea(Move m);
    // "Move L/R" and "Width": direction -1 or +1.
    bool MoveColumn(int direction);
    bool ResizeColumn(int direction);
    // "Autosize" checked or cleared.
    void Autosize(bool on);
    // "Fill from List" over the cells of the grid in "Grid No.".
    bool FillFromList();
    // "Done": the frame goes.
    void Done();

    // The cells of the last grid built here.
    const std::vector<int>& Cells() const { return cells_; }

  private:
    bool ReadArea(GridArea& area);
    bool ReadCount(const std::string& text, const char* title, int low, int high, int& value);
    bool ReadStep(double& h, double& v);
    bool Snap(GridArea& area);
    void HideCells();
    void ShowArea(const Rect& r);
    bool Refuse(const std::string& text, const std::string& title);

    CanvasModel& canvas_;
    FormModel& model_;
    UserInterface& ui_;
    GridHost* host_ = nullptr;
    std::vector<int> cells_;
    Rect shownArea_;  // what a refused area field shows again
};
