#pragma once
// Grid areas as rectangles of cell labels, and the two renumbering commands.
#include <string>
#include <vector>

#include "canvas/CanvasModel.h"

class UserInterface;

// Cell labels of a grid: RGB(245, 185, 135).
constexpr std::uint32_t kGridCellColor = 0x87B9F5;

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
};

// Creates the cell labels and registers them as grid items; returns their indices
// (none when a data grid's columns do not divide into records).
std::vector<int> LoadRectangleWithLabels(CanvasModel& canvas, FormModel& model, UserInterface& ui,
                                         const GridArea& area);

bool IsDataGridLabel(const CanvasModel& canvas, int index);
bool IsCheckboxTextboxLabel(const CanvasModel& canvas, int index);

// "Recalculate Data Grid Rows...": closes the gaps in one grid's record numbers.
void RecalculateDataGridRows(CanvasModel& canvas, UserInterface& ui);
// "Recalculate Checkboxes/Textboxes IDs": numbers them 1, 2, 3 ... in index order.
void RecalculateCheckboxesTextboxes(CanvasModel& canvas, UserInterface& ui);
