#include "canvas/GridCells.h"

#include <algorithm>
#include <climits>

#include "canvas/PageGeometry.h"
#include "layout/ItemTypes.h"
#include "shell/Cp1252.h"
#include "shell/TextUtils.h"
#include "shell/UserInterface.h"

namespace {
const char* const kRowsTitle = "Recalculating DataGrid Rows";
const char* const kBoxesTitle = "Recalculating Checkboxes/Textboxes";

std::string Prefix(int gridNumber, bool dataGrid) {
    std::string p = std::to_string(gridNumber);
    return dataGrid ? std::string(1, cp1252::kGridCellMark) + p : p;
}

struct Cell {
    int label;
    std::string prefix;  // with the marker
    int field, record;
};

// "<marker>prefix:field,record"; false when the caption is not of that form.
bool ReadCell(std::string_view caption, Cell& cell) {
    size_t colon = caption.find(':'), comma = caption.rfind(',');
    if (colon == std::string::npos || comma == std::string::npos || comma < colon) return false;
    long long field = 0, record = 0;
    if (!text::ParseInt(caption.substr(colon + 1, comma - colon - 1), field) ||
        !text::ParseInt(caption.substr(comma + 1), record))
        return false;
    cell.prefix = caption.substr(0, colon);
    cell.field = int(field);
    cell.record = int(record);
    return true;
}
}  // namespace

std::string GridProperties(const LabelControl& f) {
    const std::string sep(1, cp1252::kBarcodeMark);
    auto flag = [](bool on) { return on ? std::string("1") : std::string("0"); };
    return f.fontName + sep + SingleText(f.fontSize) + sep + flag(f.bold) + sep + flag(f.italic) +
           sep + std::to_string(int(f.alignment)) + sep + flag(f.autoSize);
}

void ApplyGridProperties(LabelControl& f, const std::string& properties) {
    std::vector<std::string> p = text::Split(properties, std::string(1, cp1252::kBarcodeMark));
    if (p.size() != 6) return;
    if (!p[0].empty()) f.fontName = p[0];
    if (double size = text::Val(p[1]); size > 0) f.fontSize = size;
    f.bold = p[2] == "1";
    f.italic = p[3] == "1";
    if (int a = int(text::Val(p[4])); a >= 0 && a <= 2) f.alignment = LabelAlignment(a);
    f.autoSize = p[5] == "1";
}

std::vector<int> LoadRectangleWithLabels(CanvasModel& canvas, FormModel& model, UserInterface& ui,
                                         const GridArea& area) {
    CanvasEdit edit(canvas, CanvasChange::Labels);
    std::vector<int> made;
    const int C = std::max(1, area.columns), R = std::max(1, area.rows);
    const double W = area.format.width, H = area.format.height;
    const double areaW = area.right - area.left, areaH = area.bottom - area.top;
    double pitchX = 0, pitchY = 0;
    if (C > 1 && areaW >= W) pitchX = area.spread ? (areaW - W) / (C - 1) : areaW / C;
    if (R > 1 && areaH >= H) pitchY = area.spread ? (areaH - H) / (R - 1) : areaH / R;
    const int k = area.columnsInRecord;
    if (area.dataGrid && k > 0 && C % k != 0) {
        ui.Message("Please recalculate \r\n" + std::to_string(k) +
                       " column records will not fill " + std::to_string(C) +
                       "-column grid correctly.",
                   "Recalculate", MessageIcon::Critical);
        return made;
    }
    const std::string prefix = Prefix(area.gridNumber, area.dataGrid);
    auto cell = [&](int c, int r, int first, int second) {
        int index = canvas.LoadOneLabel(area.page);
        LabelControl& l = canvas.Label(index);
        LabelControl f = area.format;
        ApplyGridProperties(f, area.properties);
        l.fontName = f.fontName;
        l.fontSize = f.fontSize;
        l.bold = f.bold;
        l.italic = f.italic;
        l.alignment = f.alignment;
        l.autoSize = f.autoSize;
        l.width = f.width;
        l.height = f.height;
        l.left = area.left + c * pitchX;
        l.top = area.top + r * pitchY;
        l.caption = prefix + ":" + std::to_string(first) + "," + std::to_string(second);
        l.SetGridId(area.tag);
        l.visible = true;
        // A data-grid cell keeps its place through a save; the others are known as
        // grid cells while the form is open.
        if (area.dataGrid) SetGridCellPlace(l, second, first);
        canvas.SetGridCell(index);
        canvas.Item(index);
        GridItem g;
        g.SetLabelIndex(int16_t(std::min(index, int(INT16_MAX))));
        g.SetGridID(area.tag);
        g.SetColumn(int16_t(first));
        g.SetRow(int16_t(second));
        model.gridItems.push_back(g);
        made.push_back(index);
    };
    if (area.dataGrid && k > 0) {
        for (int c = 0; c < C; ++c)
            for (int r = 0; r < R; ++r) cell(c, r, c % k + 1, (c / k) * R + r + 1);
    } else if (area.rowByRow && !area.dataGrid) {
        for (int r = 0; r < R; ++r)
            for (int c = 0; c < C; ++c) cell(c, r, c + 1, r + 1);
    } else {
        for (int c = 0; c < C; ++c)
            for (int r = 0; r < R; ++r) cell(c, r, c + 1, r + 1);
    }
    return made;
}

std::vector<int> GridColumnLabels(const CanvasModel& canvas, const GridColumn& column) {
    std::vector<int> cells;
    const std::string prefix = Prefix(column.gridNumber, column.dataGrid);
    for (int i = 1; i < canvas.LabelCount(); ++i) {
        const LabelControl* l = canvas.LabelAt(i);
        Cell c{i, {}, 0, 0};
        if (!l || !l->visible || l->page != column.page || canvas.IsCompanionLabel(i) ||
            !ReadCell(l->caption, c) || c.prefix != prefix)
            continue;
        if (column.column <= 0 || c.field == column.column) cells.push_back(i);
    }
    return cells;
}

namespace {
// The cells move as one, every cell staying whole on the page.
void MoveCells(CanvasModel& canvas, const std::vector<int>& cells, double dx, double dy) {
    if (cells.empty()) return;
    double minLeft = 1e300, maxRight = -1e300, minTop = 1e300, maxBottom = -1e300;
    for (int i : cells) {
        const LabelControl& l = *canvas.LabelAt(i);
        minLeft = std::min(minLeft, l.left);
        maxRight = std::max(maxRight, l.left + l.width);
        minTop = std::min(minTop, l.top);
        maxBottom = std::max(maxBottom, l.top + l.height);
    }
    dx = KeepOnPage(dx, minLeft, maxRight, canvas.PageWidth());
    dy = KeepOnPage(dy, minTop, maxBottom, canvas.PageHeight());
    for (int i : cells) {
        canvas.Label(i).left += dx;
        canvas.Label(i).top += dy;
    }
}
}  // namespace

void MoveGridColumn(CanvasModel& canvas, const GridColumn& column, double dx) {
    CanvasEdit edit(canvas, CanvasChange::Labels);
    MoveCells(canvas, GridColumnLabels(canvas, column), dx, 0);
}

void MoveGridCells(CanvasModel& canvas, GridColumn grid, double dx, double dy) {
    CanvasEdit edit(canvas, CanvasChange::Labels);
    grid.column = 0;
    MoveCells(canvas, GridColumnLabels(canvas, grid), dx, dy);
}

void ResizeGridColumn(CanvasModel& canvas, const GridColumn& column, double dw) {
    CanvasEdit edit(canvas, CanvasChange::Labels);
    for (int i : GridColumnLabels(canvas, column)) {
        LabelControl& l = canvas.Label(i);
        l.autoSize = false;
        SetLabelWidth(l, std::max(kMinGridCellWidth, l.width + dw));
    }
}

void AutosizeGridColumn(CanvasModel& canvas, const TextMetrics& metrics, const GridColumn& column,
                        bool on) {
    CanvasEdit edit(canvas, CanvasChange::Labels);
    for (int i : GridColumnLabels(canvas, column)) {
        LabelControl& l = canvas.Label(i);
        l.autoSize = on;
        if (!on) continue;
        FitLabelToCaption(l, metrics);
        if (l.width < kMinGridCellWidth) SetLabelWidth(l, kMinGridCellWidth);
    }
}

bool IsDataGridLabel(const CanvasModel& canvas, int index) {
    const LabelControl* c = canvas.LabelAt(index);
    return c && c->visible && !c->caption.empty() && c->caption[0] == cp1252::kGridCellMark;
}

bool IsCheckboxTextboxLabel(const CanvasModel& canvas, int index) {
    const LabelControl* c = canvas.LabelAt(index);
    return c && c->visible && !c->caption.empty() && c->caption[0] == '%' &&
           c->caption.find('@') != std::string::npos;
}

namespace {
// The hourglass pointer for the length of a command; off again before it reports.
class BusyPointer {
  public:
    explicit BusyPointer(UserInterface& ui) : ui_(ui) { ui_.SetBusy(true); }
    ~BusyPointer() { Done(); }
    void Done() {
        if (on_) ui_.SetBusy(false);
        on_ = false;
    }

  private:
    UserInterface& ui_;
    bool on_ = true;
};
}  // namespace

void RecalculateDataGridRows(CanvasModel& canvas, UserInterface& ui) {
    CanvasEdit edit(canvas, CanvasChange::Labels);
    std::string answer = "1";
    // The input box gives an empty answer when cancelled.
    if (!ui.InputBox("Enter Grid number (1-99) you want to recalculate:", kRowsTitle, answer))
        answer.clear();
    long long grid = 0;
    if (!text::ParseInt(text::Trim(answer), grid) || grid < 1 || grid > 99) {
        ui.Message("Grid number is invalid.", kRowsTitle, MessageIcon::Warning);
        return;
    }
    const std::string wanted = std::string(1, cp1252::kGridCellMark) + std::to_string(grid);
    BusyPointer busy(ui);
    int n = 1;
    for (int guard = 0; guard < 1000000; ++guard) {
        std::vector<Cell> cells;
        for (int i = 1; i < canvas.LabelCount(); ++i) {
            Cell c{i, {}, 0, 0};
            if (IsDataGridLabel(canvas, i) && ReadCell(canvas.LabelAt(i)->caption, c) &&
                c.prefix == wanted)
                cells.push_back(c);
        }
        if (std::any_of(cells.begin(), cells.end(), [&](const Cell& c) { return c.record == n; })) {
            ++n;
            continue;
        }
        int smallest = INT_MAX;
        for (const Cell& c : cells)
            if (c.record > n) smallest = std::min(smallest, c.record);
        if (smallest == INT_MAX) break;
        for (const Cell& c : cells)
            if (c.record == smallest) {
                LabelControl& l = canvas.Label(c.label);
                l.caption = c.prefix + ":" + std::to_string(c.field) + "," + std::to_string(n);
                SetGridCellRow(l, n);
            }
    }
    busy.Done();
    ui.Message("Grid Recalculated!", kRowsTitle, MessageIcon::Information);
}

void RecalculateCheckboxesTextboxes(CanvasModel& canvas, UserInterface& ui) {
    CanvasEdit edit(canvas, CanvasChange::Labels);
    BusyPointer busy(ui);
    int number = 0;
    bool changed = false;
    for (int i = 1; i < canvas.LabelCount(); ++i) {
        if (!IsCheckboxTextboxLabel(canvas, i)) continue;
        ++number;
        LabelControl& l = canvas.Label(i);
        std::vector<std::string> parts = text::Split(l.caption, "@");
        if (parts.size() < 3) parts.resize(3);
        std::string id = std::to_string(number);
        if (parts[2] == id) continue;
        parts[2] = id;
        l.caption = text::Join(parts, "@");
        changed = true;
    }
    busy.Done();
    if (number == 0)
        ui.Message("No Checkbox and/or Textbox labels were found.", kBoxesTitle,
                   MessageIcon::Information);
    else if (changed)
        ui.Message("Checkboxes/Textboxes Recalculated!", kBoxesTitle, MessageIcon::Information);
    else
        ui.Message("No recalculation is required for Checkboxes/Textboxes.", kBoxesTitle,
                   MessageIcon::Information);
}
