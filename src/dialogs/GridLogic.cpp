#include "dialogs/GridLogic.h"

#include <cmath>
#include <cstdlib>

#include "dialogs/DialogText.h"
#include "dialogs/ItemPropsLogic.h"
#include "dialogs/NumberFields.h"
#include "shell/UserInterface.h"

namespace {
const char* const kSnapTitle = "Auto calc - snap to lines";
const char* const kGridNoTitle = "Grid No.";
}  // namespace

PrintedLines FindPrintedLines(const PagePixels& pixels, int x, int top, int bottom) {
    PrintedLines lines;
    bool onInk = false;
    for (int y = top; y <= bottom; ++y) {
        bool ink = pixels.ColorSum(x, y) < kPaperColorSum;
        if (ink && !onInk) {
            ++lines.count;
            if (lines.first < 0) lines.first = y;
            lines.last = y;
        }
        onInk = ink;
    }
    return lines;
}

SnapRows SnapToLines(double first, double last, int count, double labelHeight, LineSide side) {
    SnapRows s;
    if (count <= 0 || side == LineSide::None) return s;
    if (count > 1) s.gap = ((last - first) / (count - 1) - labelHeight) / 2;
    s.pitch = labelHeight + 2 * s.gap;
    const bool over = side != LineSide::Under, under = side != LineSide::Over;
    s.top = over ? first - s.gap - labelHeight : first + s.gap;
    s.bottom = under ? last + 3 * s.gap + labelHeight : last + s.gap;
    s.rows = side == LineSide::Both ? count + 1 : count;
    return s;
}

GridLogic::GridLogic(CanvasModel& canvas, FormModel& model, UserInterface& ui)
    : canvas_(canvas), model_(model), ui_(ui) {
    format = canvas_.Label(0);
    gridNumber = std::to_string(canvas_.Window().gridCounter + 1);
}

bool GridLogic::Refuse(const std::string& text, const std::string& title) {
    ui_.Message(text, title, MessageIcon::Warning);
    return false;
}

void GridLogic::SetLabelRef(int label) {
    if (const LabelControl* l = canvas_.LabelAt(label)) format = *l;
}

void GridLogic::SetRect(const Rect& r) {
    left = ItemPropsLogic::Inches(r.left);
    top = ItemPropsLogic::Inches(r.top);
    right = ItemPropsLogic::Inches(r.left + r.width);
    bottom = ItemPropsLogic::Inches(r.top + r.height);
    gridNumber = std::to_string(canvas_.Window().gridCounter + 1);
    cells_.clear();
    shownArea_ = r;
    ShowArea(r);
}

void GridLogic::ShowArea(const Rect& r) {
    if (host_) host_->ShowGridArea(r);
}

void GridLogic::UpdateShift() {
    horizontalStep = dialogtext::ShortNumber(model_.settings.horizontalShift);
    verticalStep = dialogtext::ShortNumber(model_.settings.verticalShift);
}

bool GridLogic::ReadCount(const std::string& text, const char* title, int low, int high,
                          int& value) {
    double v = dialogtext::IsNumeric(text) ? std::round(std::strtod(text.c_str(), nullptr)) : -1;
    if (v < low || v > high)
        return Refuse(std::string(title) + " must be a whole number from " + std::to_string(low) +
                          " to " + std::to_string(high) + ".",
                      title);
    value = int(v);
    return true;
}

bool GridLogic::ReadArea(GridArea& area) {
    using numberfields::kSmallestSize;
    using numberfields::Read;
    const double pw = canvas_.PageWidth(), ph = canvas_.PageHeight();
    // The area lies on the page, right of and below its own corner.
    const Rect& a = shownArea_;
    return Read(left, "Left", 0, pw - kSmallestSize, a.left, ui_, area.left) &&
           Read(right, "Right", area.left + kSmallestSize, pw, a.left + a.width, ui_, area.right) &&
           Read(top, "Top", 0, ph - kSmallestSize, a.top, ui_, area.top) &&
           Read(bottom, "Bottom", area.top + kSmallestSize, ph, a.top + a.height, ui_, area.bottom);
}

bool GridLogic::ApplyRect() {
    GridArea a;
    if (!ReadArea(a)) return false;
    SetRect({a.left, a.top, a.right - a.left, a.bottom - a.top});
    return true;
}

bool GridLogic::Snap(GridArea& area) {
    std::unique_ptr<PagePixels> pixels =
        background ? background(canvas_.Window().currentPage) : nullptr;
    if (!pixels || pixels->Width() <= 0 || pixels->Height() <= 0)
        return Refuse("The page has no background picture to find lines on.", kSnapTitle);
    if (side == LineSide::None) return Refuse("Choose Over, Under or Both.", kSnapTitle);
    // The pixels are the page as it shows its background (a raster picture at the size
    // its resolution gives it from the top-left corner, a metafile stretched over the
    // page, paper beyond), whatever size the file has: an inch of the page is
    // Width() / page width pixels across and Height() / page height pixels down.
    const double sx = pixels->Width() / canvas_.PageWidth();
    const double sy = pixels->Height() / canvas_.PageHeight();
    const int x = int(std::floor(area.left * sx));
    const int y0 = int(std::floor(area.top * sy));
    const int y1 = std::min(int(std::floor(area.bottom * sy)), pixels->Height() - 1);
    if (x >= pixels->Width() || y0 >= pixels->Height())
        return Refuse("The grid area lies outside the page's background picture.", kSnapTitle);
    PrintedLines lines = FindPrintedLines(*pixels, x, y0, y1);
    if (lines.count == 0) return Refuse("No lines were found at the area's left edge.", kSnapTitle);
    if (lines.count + 1 > kMaxGridRows)
        return Refuse("Too many lines were found (" + std::to_string(lines.count) +
                          "); a grid holds at most " + std::to_string(kMaxGridRows) + " rows.",
                      kSnapTitle);
    SnapRows s =
        SnapToLines(lines.first / sy, lines.last / sy, lines.count, canvas_.Label(0).height, side);
    area.top = s.top;
    area.bottom = s.bottom;
    area.rows = s.rows;
    // Rows one pitch apart start on the lines only when the area is split evenly.
    area.spread = false;
    return true;
}

bool GridLogic::Apply() {
    if (!host_) return false;
    GridArea area;
    if (!ReadArea(area) || !ReadCount(columns, "Columns", 1, kMaxGridColumns, area.columns) ||
        (!snapToLines && !ReadCount(rows, "Rows", 1, kMaxGridRows, area.rows)))
        return false;
    area.dataGrid = dataGrid;
    if (dataGrid &&
        !ReadCount(columnsInRow, "Columns in a row", 0, area.columns, area.columnsInRecord))
        return false;
    area.spread = fillArea;
    // A refused grid leaves the one built before: every check comes before it goes.
    if (dataGrid && area.columnsInRecord > 0 && area.columns % area.columnsInRecord != 0) {
        ui_.Message("Please recalculate \r\n" + std::to_string(area.columnsInRecord) +
                        " column records will not fill " + std::to_string(area.columns) +
                        "-column grid correctly.",
                    "Recalculate", MessageIcon::Critical);
        return false;
    }
    if (snapToLines && !Snap(area)) return false;
    area.tag = Tag();
    area.properties = Properties();
    area.rowByRow = true;
    HideCells();
    cells_ = host_->BuildGrid(area);
    if (cells_.empty()) return false;
    gridNumber = std::to_string(canvas_.Window().gridCounter);
    rows = std::to_string(area.rows);  // after snapping: the rows found
    return true;
}

void GridLogic::HideCells() {
    for (int i : cells_)
        if (canvas_.LabelAt(i)) canvas_.DeleteLabel(i);
    cells_.clear();
}

void GridLogic::Clear() {
    auto isGrid = [](const std::string& tag) { return tag == "grid" || tag == "DATAgrid"; };
    // The window clears a new grid's tag when it selects the cells, so the grid items
    // tell which labels are cells.
    for (const GridItem& g : model_.gridItems)
        if (isGrid(g.GridID()) && canvas_.IsGridCellLabel(g.LabelIndex()))
            canvas_.DeleteLabel(g.LabelIndex());
    for (int i = 1; i < canvas_.LabelCount(); ++i)
        if (const LabelControl* l = canvas_.LabelAt(i); l && isGrid(l->tag)) canvas_.DeleteLabel(i);
    cells_.clear();
}

bool GridLogic::ReadStep(double& h, double& v) {
    if (!numberfields::ReadStep(horizontalStep, verticalStep, model_.settings, ui_, h, v))
        return false;
    if (shiftChanged) shiftChanged();
    return true;
}

bool GridLogic::MoveArea(Move m) {
    double h = 0, v = 0;
    if (!host_ || !ReadStep(h, v)) return false;
    const double dx = m == Move::Left || m == Move::UpLeft || m == Move::DownLeft      ? -h
                      : m == Move::Right || m == Move::UpRight || m == Move::DownRight ? h
                                                                                       : 0;
    const double dy = m == Move::Up || m == Move::UpLeft || m == Move::UpRight         ? -v
                      : m == Move::Down || m == Move::DownLeft || m == Move::DownRight ? v
                                                                                       : 0;
    const Rect before = host_->GridAreaFrame();
    host_->MoveGridArea(dx, dy);
    const Rect after = host_->GridAreaFrame();
    // The cells follow the frame as far as it went (it stops at the page's edge).
    if (!cells_.empty())
        host_->MoveGridCells(after.left - before.left, after.top - before.top, dataGrid,
                             std::atoi(gridNumber.c_str()));
    shownArea_ = after;
    left = ItemPropsLogic::Inches(after.left);
    top = ItemPropsLogic::Inches(after.top);
    right = ItemPropsLogic::Inches(after.left + after.width);
    bottom = ItemPropsLogic::Inches(after.top + after.height);
    return true;
}

bool GridLogic::MoveColumn(int direction) {
    double h = 0, v = 0;
    int c = 0, g = 0;
    if (!host_ || !ReadStep(h, v) || !ReadCount(column, "Adjust column #", 1, kMaxGridColumns, c) ||
        !ReadCount(gridNumber, kGridNoTitle, 1, 99, g))
        return false;
    host_->MoveGridColumn(c, direction * h, dataGrid, g);
    return true;
}

bool GridLogic::ResizeColumn(int direction) {
    double h = 0, v = 0;
    int c = 0, g = 0;
    if (!host_ || !ReadStep(h, v) || !ReadCount(column, "Adjust column #", 1, kMaxGridColumns, c) ||
        !ReadCount(gridNumber, kGridNoTitle, 1, 99, g))
        return false;
    host_->ResizeGridColumn(c, direction * h, dataGrid, g);
    return true;
}

void GridLogic::Autosize(bool on) {
    format.autoSize = on;
    int g = 0;
    if (host_ && ReadCount(gridNumber, kGridNoTitle, 1, 99, g))
        host_->AutosizeGridColumn(on, dataGrid, g);
}

bool GridLogic::FillFromList() {
    int g = 0;
    if (!ReadCount(gridNumber, kGridNoTitle, 1, 99, g)) return false;
    std::vector<int> cells =
        GridColumnLabels(canvas_, {g, dataGrid, 0, canvas_.Window().currentPage});
    if (cells.empty())
        return Refuse("There is no grid " + std::to_string(g) + " on this page.", "Fill from List");
    // The list fill finds the grid's cells by their tag.
    for (int i : cells) canvas_.Label(i).tag = Tag();
    if (fillFromList) fillFromList(Tag());
    return true;
}

void GridLogic::Done() {
    if (host_) host_->HideGridArea();
}
