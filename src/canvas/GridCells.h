#pragma once
// Grid areas as rectangles of cell labels, and the two renumbering commands.
#include <string>
#include <vector>

#include "canvas/CanvasModel.h"

class UserInterface;

// Cell labels of a grid: RGB(245, 185, 135).
constexpr std::uint32_t kGridCellColor = label_colors::kGridCell;

struct GridArea {
    double left = 0, top = 0, right = 0, bottom = 0;  // inches
    int columns = 1, rows = 1;
    bool spread = false;    // first and last cells touch the edges
    bool rowByRow = false;  // plain grids: cells made row after row
    std::string tag;        // "grid" or "DATAgrid"
    LabelControl format;    // font, alignment and auto-size of the cells
    int page = 0;
    bool dataGrid = false;
    int columnsInRecord = 0;  // data grids: fields per record
    int gridNumber = 1;       // the caption prefix
    std::string properties;   // GridProperties text; empty: the format as given
};

// The grid dialog's cell format as one text: font name, size, bold, italic,
// alignment and auto-size, joined by character 230. Bold, italic and auto-size are
// "1" or "0"; the alignment is its option number (0 left, 1 right, 2 centre), which
// for the two-way choice of older texts reads the same.
std::string GridProperties(const LabelControl& format);
// The text's values put on a format; missing or unreadable parts leave it as it was.
void ApplyGridProperties(LabelControl& format, const std::string& properties);

// Creates the cell labels and registers them as grid items; returns their indices
// (none when a data grid's columns do not divide into records).
std::vector<int> LoadRectangleWithLabels(CanvasModel& canvas, FormModel& model, UserInterface& ui,
                                         const GridArea& area);

// One column of a grid on a page: the cells whose caption carries the grid's number
// and this column (for a data grid, this field of every record block).
struct GridColumn {
    int gridNumber = 1;
    bool dataGrid = false;
    int column = 1;  // from 1; AutosizeGridColumn takes 0 for every column
    int page = 0;
};
std::vector<int> GridColumnLabels(const CanvasModel& canvas, const GridColumn& column);
// Column operations of the grid dialog, by the shared step (inches). A column never
// leaves the page and a cell never becomes narrower than kMinGridCellWidth.
constexpr double kMinGridCellWidth = 0.05;
void MoveGridColumn(CanvasModel& canvas, const GridColumn& column, double dx);
void ResizeGridColumn(CanvasModel& canvas, const GridColumn& column, double dw);
// Every cell of the grid (the column is ignored) moves together.
void MoveGridCells(CanvasModel& canvas, GridColumn grid, double dx, double dy);
// On: the cells take the width of their caption and grow with their data when
// printed. Off: they keep their present width.
void AutosizeGridColumn(CanvasModel& canvas, const TextMetrics& metrics, const GridColumn& column,
                        bool on);

bool IsDataGridLabel(const CanvasModel& canvas, int index);
bool IsCheckboxTextboxLabel(const CanvasModel& canvas, int index);

// "Recalculate Data Grid Rows...": closes the gaps in one grid's record numbers.
void RecalculateDataGridRows(CanvasModel& canvas, UserInterface& ui);
// "Recalculate Checkboxes/Textboxes IDs": numbers them 1, 2, 3 ... in index order.
void RecalculateCheckboxesTextboxes(CanvasModel& canvas, UserInterface& ui);
