// Grid areas made of cell labels, and renumbering their rows and the check boxes.
#include <gtest/gtest.h>

#include <algorithm>

#include "canvas/CanvasEditor.h"
#include "canvas/GridCells.h"
#include "layout/LayoutTestSupport.h"

namespace {
struct Grids {
    FixedTextMetrics metrics;
    FormModel model;
    CanvasModel canvas{model, metrics};
    RecordingUserInterface ui;

    GridArea Area(int columns, int rows) {
        GridArea s;
        s.left = 1;
        s.top = 1;
        s.right = 7;
        s.bottom = 3;
        s.columns = columns;
        s.rows = rows;
        s.tag = "grid";
        s.format.width = 0.5;
        s.format.height = 0.2;
        return s;
    }
    std::vector<std::string> Captions(const std::vector<int>& labels) {
        std::vector<std::string> out;
        for (int i : labels) out.push_back(canvas.Label(i).caption);
        return out;
    }
};
const std::string M(1, '\xF4');
}  // namespace

TEST(GridCells, DataGridRecordsRunDownEachBlockOfColumns) {
    Grids g;
    GridArea s = g.Area(6, 4);
    s.dataGrid = true;
    s.columnsInRecord = 3;
    s.tag = "DATAgrid";
    s.gridNumber = 2;
    std::vector<int> cells = LoadRectangleWithLabels(g.canvas, g.model, g.ui, s);
    ASSERT_EQ(cells.size(), 24u);
    auto caps = g.Captions(cells);
    // Column by column: the first block holds records 1..4, the second 5..8.
    EXPECT_EQ(caps[0], M + "2:1,1");
    EXPECT_EQ(caps[3], M + "2:1,4");
    EXPECT_EQ(caps[4], M + "2:2,1");
    EXPECT_EQ(caps[12], M + "2:1,5");
    EXPECT_EQ(caps[23], M + "2:3,8");
    EXPECT_EQ(g.canvas.LabelBackColor(cells[0]), kGridCellColor);
    EXPECT_EQ(g.canvas.Label(cells[0]).tag, "DATAgrid");
    // Each cell carries its record and field as its row and column through a save.
    EXPECT_EQ(g.canvas.Label(cells[13]).spare, "#6#1");
    LayoutWriter writer(g.model, g.canvas, g.ui);
    EXPECT_NE(writer.ReassembleData().find("\tL-6-1\t"), std::string::npos);
    EXPECT_EQ(g.model.gridItems.size(), 24u);
    EXPECT_TRUE(IsDataGridLabel(g.canvas, cells[5]));
    // Unspread pitch: the area divided by the counts.
    EXPECT_DOUBLE_EQ(g.canvas.Label(cells[4]).left, 2);
    EXPECT_DOUBLE_EQ(g.canvas.Label(cells[1]).top, 1.5);
}

TEST(GridCells, AReopenedFormKnowsItsGridCellsByWhatTheyCarry) {
    Grids g;
    GridArea s = g.Area(2, 2);
    s.dataGrid = true;
    s.columnsInRecord = 1;
    s.tag = "DATAgrid";
    LoadRectangleWithLabels(g.canvas, g.model, g.ui, s);
    LayoutWriter writer(g.model, g.canvas, g.ui);
    // A label of another program that carries only a grid row and column, and a
    // plain label.
    std::string text = writer.ReassembleData();
    size_t pageEnd = text.find("</PAGE>");
    ASSERT_NE(pageEnd, std::string::npos);
    text.insert(pageEnd,
                "Cell\t1\t5\tArial\t8\tN\tN\tL-2-3\t1\tN\t\t\t\r\n"
                "Plain\t1\t6\tArial\t8\tN\tN\tL\t1\tN\t\t\t\r\n");
    Grids reopened;
    LayoutReader reader(reopened.model, reopened.canvas, reopened.metrics, reopened.ui);
    ASSERT_TRUE(reader.BuildForm(text));
    CanvasEditor editor(reopened.canvas, reopened.model, reopened.metrics);
    editor.SelectInRect({0, 0, 8.5, 11}, 0, true);  // grid-only
    std::vector<std::string> taken;
    for (int i : editor.SelectedLabels()) {
        taken.push_back(reopened.canvas.Label(i).caption);
        EXPECT_EQ(reopened.canvas.LabelBackColor(i), kGridCellColor) << i;
    }
    std::sort(taken.begin(), taken.end());
    EXPECT_EQ(taken, (std::vector<std::string>{"Cell", M + "1:1,1", M + "1:1,2", M + "1:1,3",
                                               M + "1:1,4"}));
}

TEST(GridCells, RecordsThatDoNotFillTheColumnsCreateNothing) {
    Grids g;
    GridArea s = g.Area(5, 2);
    s.dataGrid = true;
    s.columnsInRecord = 2;
    int before = g.canvas.LabelCount();
    EXPECT_TRUE(LoadRectangleWithLabels(g.canvas, g.model, g.ui, s).empty());
    EXPECT_EQ(g.canvas.LabelCount(), before);
    ASSERT_EQ(g.ui.Messages().size(), 1u);
    EXPECT_EQ(g.ui.Messages()[0].title, "Recalculate");
    EXPECT_EQ(g.ui.Messages()[0].text,
              "Please recalculate \r\n2 column records will not fill 5-column grid correctly.");
}

TEST(GridCells, PlainGridsSpreadToTheEdgesOrStackWhenTooNarrow) {
    Grids g;
    GridArea s = g.Area(3, 2);
    s.spread = true;
    s.rowByRow = true;
    auto cells = LoadRectangleWithLabels(g.canvas, g.model, g.ui, s);
    ASSERT_EQ(cells.size(), 6u);
    EXPECT_EQ(g.Captions(cells)[1], "1:2,1");                  // row by row
    EXPECT_DOUBLE_EQ(g.canvas.Label(cells[2]).left + 0.5, 7);  // last cell ends at the edge
    EXPECT_DOUBLE_EQ(g.canvas.Label(cells[3]).top + 0.2, 3);
    GridArea narrow = g.Area(3, 1);
    narrow.right = 1.2;  // narrower than one cell
    auto stacked = LoadRectangleWithLabels(g.canvas, g.model, g.ui, narrow);
    EXPECT_DOUBLE_EQ(g.canvas.Label(stacked[2]).left, g.canvas.Label(stacked[0]).left);

    // Grid-only rubber bands take these cells and nothing else.
    CanvasEditor editor(g.canvas, g.model, g.metrics);
    int text = g.canvas.LoadOneLabel(0);
    g.canvas.Label(text).left = 2;
    g.canvas.Label(text).top = 2;
    g.canvas.Label(text).visible = true;
    editor.SelectInRect({0, 0, 8, 8}, 0, true);
    EXPECT_TRUE(editor.IsSelected(cells[0]));
    EXPECT_FALSE(editor.IsSelected(text));
}

TEST(GridCells, RowRecalculationClosesTheGapsInOrder) {
    Grids g;
    int records[] = {1, 2, 5, 5, 9};
    std::vector<int> labels;
    for (int r : records) {
        int i = g.canvas.LoadOneLabel(0);
        g.canvas.Label(i).caption = M + "1:1," + std::to_string(r);
        g.canvas.Label(i).visible = true;
        labels.push_back(i);
    }
    int other = g.canvas.LoadOneLabel(0);
    g.canvas.Label(other).caption = M + "2:1,7";
    g.canvas.Label(other).visible = true;
    SetGridCellPlace(g.canvas.Label(labels[4]), 9, 1);
    g.ui.inputAnswers = {"1"};
    RecalculateDataGridRows(g.canvas, g.ui);
    EXPECT_EQ(g.canvas.Label(labels[4]).spare, "#4#1");  // the row it carries follows
    // The pointer is the hourglass while the rows are renumbered, not during the
    // question or the message.
    using K = RecordingUserInterface::Kind;
    std::vector<K> kinds;
    for (const auto& c : g.ui.calls) kinds.push_back(c.kind);
    EXPECT_EQ(kinds, (std::vector<K>{K::InputBox, K::Busy, K::Busy, K::Message}));
    EXPECT_EQ(g.ui.calls[2].text, "off");
    EXPECT_EQ(g.Captions(labels), (std::vector<std::string>{M + "1:1,1", M + "1:1,2", M + "1:1,3",
                                                            M + "1:1,3", M + "1:1,4"}));
    EXPECT_EQ(g.canvas.Label(other).caption, M + "2:1,7");  // another grid
    EXPECT_EQ(g.ui.Messages().back().text, "Grid Recalculated!");
    for (const char* bad : {"0", "100", "", "\x1B"}) {  // the last: Cancel
        g.ui.Clear();
        g.ui.inputAnswers = {bad};
        RecalculateDataGridRows(g.canvas, g.ui);
        ASSERT_EQ(g.ui.Messages().size(), 1u) << bad;
        EXPECT_EQ(g.ui.Messages()[0].text, "Grid number is invalid.");
        EXPECT_EQ(g.ui.Messages()[0].title, "Recalculating DataGrid Rows");
    }
}

TEST(GridCells, CheckboxesAndTextboxesAreNumberedInIndexOrder) {
    Grids g;
    RecalculateCheckboxesTextboxes(g.canvas, g.ui);
    EXPECT_EQ(g.ui.Messages().back().text, "No Checkbox and/or Textbox labels were found.");
    std::vector<int> boxes;
    for (const char* caption : {"%C@SMOKER@7", "%T@NOTES@1@0.75@1", "%C@ALLERGY"}) {
        int i = g.canvas.LoadOneLabel(0);
        g.canvas.Label(i).caption = caption;
        g.canvas.Label(i).visible = true;
        boxes.push_back(i);
    }
    RecalculateCheckboxesTextboxes(g.canvas, g.ui);
    EXPECT_EQ(g.Captions(boxes),
              (std::vector<std::string>{"%C@SMOKER@1", "%T@NOTES@2@0.75@1", "%C@ALLERGY@3"}));
    EXPECT_EQ(g.ui.Messages().back().text, "Checkboxes/Textboxes Recalculated!");
    g.ui.Clear();
    RecalculateCheckboxesTextboxes(g.canvas, g.ui);
    EXPECT_EQ(g.ui.calls.size(), 3u);
    EXPECT_EQ(g.ui.calls[1].text, "off");  // the pointer comes back before the message
    EXPECT_EQ(g.ui.Messages().back().text,
              "No recalculation is required for Checkboxes/Textboxes.");
    EXPECT_EQ(g.ui.Messages().back().title, "Recalculating Checkboxes/Textboxes");
}

TEST(GridCells, ColumnOperationsTouchOneColumnOfOneGridAndStayOnThePage) {
    Grids g;
    GridArea plain = g.Area(3, 2);  // columns at 1, 3 and 5 inches
    auto plainCells = LoadRectangleWithLabels(g.canvas, g.model, g.ui, plain);
    GridArea data = g.Area(4, 2);
    data.dataGrid = true;
    data.columnsInRecord = 2;
    data.tag = "DATAgrid";
    auto dataCells = LoadRectangleWithLabels(g.canvas, g.model, g.ui, data);
    GridArea other = g.Area(3, 2);
    other.gridNumber = 2;
    other.page = 1;
    auto otherCells = LoadRectangleWithLabels(g.canvas, g.model, g.ui, other);

    GridColumn second{1, false, 2, 0};
    ASSERT_EQ(GridColumnLabels(g.canvas, second).size(), 2u);
    MoveGridColumn(g.canvas, second, 0.25);
    EXPECT_DOUBLE_EQ(g.canvas.Label(plainCells[2]).left, 3.25);  // column 2, row 1
    EXPECT_DOUBLE_EQ(g.canvas.Label(plainCells[3]).left, 3.25);
    EXPECT_DOUBLE_EQ(g.canvas.Label(plainCells[0]).left, 1);
    // The other grid on another page and the data grid keep their places.
    EXPECT_DOUBLE_EQ(g.canvas.Label(otherCells[2]).left, 3);
    EXPECT_DOUBLE_EQ(g.canvas.Label(dataCells[2]).left, 2.5);

    // A data grid's column is a field: it moves in every record block.
    GridColumn field{1, true, 2, 0};
    ASSERT_EQ(GridColumnLabels(g.canvas, field).size(), 4u);
    MoveGridColumn(g.canvas, field, -0.5);
    EXPECT_DOUBLE_EQ(g.canvas.Label(dataCells[2]).left, 2);  // block 1, field 2
    EXPECT_DOUBLE_EQ(g.canvas.Label(dataCells[6]).left, 5);  // block 2, field 2

    // Moves stop at the page edges.
    GridColumn first{1, false, 1, 0};
    MoveGridColumn(g.canvas, first, -5);
    EXPECT_DOUBLE_EQ(g.canvas.Label(plainCells[0]).left, 0);
    MoveGridColumn(g.canvas, first, 20);  // the whole cell stays on the page
    EXPECT_DOUBLE_EQ(g.canvas.Label(plainCells[0]).left + 0.5, g.canvas.PageWidth());

    // Width: a step wider, never narrower than the minimum; right-aligned text keeps
    // its right edge.
    ResizeGridColumn(g.canvas, second, 0.1);
    EXPECT_DOUBLE_EQ(g.canvas.Label(plainCells[2]).width, 0.6);
    ResizeGridColumn(g.canvas, second, -3);
    EXPECT_DOUBLE_EQ(g.canvas.Label(plainCells[2]).width, kMinGridCellWidth);
    GridColumn third{1, false, 3, 0};
    for (int i : GridColumnLabels(g.canvas, third))
        g.canvas.Label(i).alignment = LabelAlignment::Right;
    ResizeGridColumn(g.canvas, third, 0.5);
    EXPECT_DOUBLE_EQ(g.canvas.Label(plainCells[4]).left + g.canvas.Label(plainCells[4]).width, 5.5);
    EXPECT_DOUBLE_EQ(g.canvas.Label(plainCells[4]).width, 1);

    // Autosize: every column of the grid when no column is named.
    GridColumn all{1, false, 0, 0};
    AutosizeGridColumn(g.canvas, g.metrics, all, true);
    const LabelControl& cell = g.canvas.Label(plainCells[0]);
    EXPECT_TRUE(cell.autoSize);
    EXPECT_DOUBLE_EQ(cell.width,
                     g.metrics.TextWidth("1:1,1", "Arial", cell.fontSize, false, false));
    EXPECT_FALSE(g.canvas.Label(otherCells[0]).autoSize);
    EXPECT_FALSE(g.canvas.Label(dataCells[0]).autoSize);
    AutosizeGridColumn(g.canvas, g.metrics, all, false);
    EXPECT_FALSE(cell.autoSize);
    EXPECT_DOUBLE_EQ(cell.width,
                     g.metrics.TextWidth("1:1,1", "Arial", cell.fontSize, false, false));
}

TEST(GridCells, TheWholeGridMovesTogetherUpToThePageEdge) {
    Grids g;
    auto cells = LoadRectangleWithLabels(g.canvas, g.model, g.ui, g.Area(3, 2));
    // Clicking a cell takes its tag; the grid is still found by its captions.
    for (int i : cells) g.canvas.Label(i).tag.clear();
    MoveGridCells(g.canvas, {1, false, 2, 0}, 0.5, -0.25);
    EXPECT_DOUBLE_EQ(g.canvas.Label(cells[0]).left, 1.5);
    EXPECT_DOUBLE_EQ(g.canvas.Label(cells[0]).top, 0.75);
    EXPECT_DOUBLE_EQ(g.canvas.Label(cells[5]).left, 5.5);
    MoveGridCells(g.canvas, {1, false, 1, 0}, 0, -3);  // the top row stops at the edge
    EXPECT_DOUBLE_EQ(g.canvas.Label(cells[0]).top, 0);
    EXPECT_DOUBLE_EQ(g.canvas.Label(cells[1]).top, 1);
}
