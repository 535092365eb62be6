// Grid areas made of cell labels, and renumbering their rows and the check boxes.
#include <algorithm>

#include "canvas/CanvasEditor.h"
#include "canvas/GridCells.h"
#include "layout/LayoutTestSupport.h"

namespace {
struct Grids : LoadedLayout {
    CanvasModel& canvas = store;

    // From (1, 1) to (7, 3) inches, cells 0.5 x 0.2; a data grid given columns in a record.
    GridArea Area(int columns, int rows, int columnsInRecord = 0) {
        GridArea s{.left = 1, .top = 1, .right = 7, .bottom = 3, .columns = columns, .rows = rows};
        s.tag = columnsInRecord ? "DATAgrid" : "grid";
        s.dataGrid = columnsInRecord > 0, s.columnsInRecord = columnsInRecord;
        s.format.width = 0.5, s.format.height = 0.2;
        return s;
    }
    // Visible labels of the given captions, in index order.
    std::vector<int> Add(std::initializer_list<std::string> captions) {
        std::vector<int> out;
        for (const std::string& caption : captions) out.push_back(AddLabel(caption));
        return out;
    }
    std::vector<std::string> Captions(const std::vector<int>& labels) {
        std::vector<std::string> out;
        for (int i : labels) out.push_back(canvas.Label(i).caption.str());
        return out;
    }
};
struct GridCells : Grids, testing::Test {};
const std::string M(1, '\xF4');
}  // namespace

TEST_F(GridCells, DataGridRecordsRunDownEachBlockOfColumns) {
    // Records that do not fill the columns create nothing.
    int before = canvas.LabelCount();
    EXPECT_TRUE(LoadRectangleWithLabels(canvas, model, ui, Area(5, 2, 2)).empty());
    EXPECT_EQ(canvas.LabelCount(), before);
    EXPECT_EQ(OnlyMessage(ui),
              "Recalculate: Please recalculate \r\n2 column records will not fill 5-column grid "
              "correctly.");
    GridArea s = Area(6, 4, 3);
    s.gridNumber = 2;
    std::vector<int> cells = LoadRectangleWithLabels(canvas, model, ui, s);
    ASSERT_EQ(cells.size(), 24u);
    auto caps = Captions(cells);
    // Column by column: the first block holds records 1..4, the second 5..8.
    EXPECT_EQ(caps[0] + caps[3] + caps[4] + caps[12] + caps[23],
              M + "2:1,1" + M + "2:1,4" + M + "2:2,1" + M + "2:1,5" + M + "2:3,8");
    EXPECT_TRUE(canvas.LabelBackColor(cells[0]) == kGridCellColor &&
                canvas.Label(cells[0]).tag == "DATAgrid");
    // Each cell carries its record and field as its row and column through a save.
    EXPECT_EQ(canvas.Label(cells[13]).spare, "#6#1");
    EXPECT_NE(Write().find("\tL-6-1\t"), std::string::npos);
    EXPECT_TRUE(model.gridItems.size() == 24u && IsDataGridLabel(canvas, cells[5]));
    // Unspread pitch: the area divided by the counts.
    EXPECT_EQ((std::pair{canvas.Label(cells[4]).left, canvas.Label(cells[1]).top}),
              (std::pair{2.0, 1.5}));
}

TEST_F(GridCells, AReopenedFormKnowsItsGridCellsByWhatTheyCarry) {
    LoadRectangleWithLabels(canvas, model, ui, Area(2, 2, 1));
    // A label of another program carrying only a grid row and column, and a plain label.
    std::string text = Write();
    size_t pageEnd = text.find("</PAGE>");
    ASSERT_NE(pageEnd, std::string::npos);
    text.insert(pageEnd,
                "Cell\t1\t5\tArial\t8\tN\tN\tL-2-3\t1\tN\t\t\t\r\n"
                "Plain\t1\t6\tArial\t8\tN\tN\tL\t1\tN\t\t\t\r\n");
    Grids reopened;
    ASSERT_TRUE(reopened.Read(text));
    CanvasEditor editor(reopened.canvas, reopened.model, reopened.metrics);
    editor.SelectInRect({0, 0, 8.5, 11}, 0, true);  // grid-only
    std::vector<std::string> taken;
    for (int i : editor.SelectedLabels()) {
        taken.push_back(reopened.canvas.Label(i).caption.str());
        EXPECT_EQ(reopened.canvas.LabelBackColor(i), kGridCellColor) << i;
    }
    std::sort(taken.begin(), taken.end());
    EXPECT_EQ(taken, (std::vector<std::string>{"Cell", M + "1:1,1", M + "1:1,2", M + "1:1,3",
                                               M + "1:1,4"}));
}

TEST_F(GridCells, PlainGridsSpreadToTheEdgesOrStackWhenTooNarrow) {
    GridArea s = Area(3, 2);
    s.spread = true, s.rowByRow = true;
    auto cells = LoadRectangleWithLabels(canvas, model, ui, s);
    ASSERT_EQ(cells.size(), 6u);
    EXPECT_EQ(Captions(cells)[1], "1:2,1");                  // row by row
    EXPECT_DOUBLE_EQ(canvas.Label(cells[2]).left + 0.5, 7);  // last cell ends at the edge
    EXPECT_DOUBLE_EQ(canvas.Label(cells[3]).top + 0.2, 3);
    GridArea row = Area(2, 1);  // one row: no pitch to spread it over
    row.spread = true;
    auto single = LoadRectangleWithLabels(canvas, model, ui, row);
    ASSERT_EQ(single.size(), 2u);
    EXPECT_DOUBLE_EQ(canvas.Label(single[1]).top, row.top);
    GridArea narrow = Area(3, 1);
    narrow.right = 1.2;  // narrower than one cell
    auto stacked = LoadRectangleWithLabels(canvas, model, ui, narrow);
    EXPECT_DOUBLE_EQ(canvas.Label(stacked[2]).left, canvas.Label(stacked[0]).left);
    GridArea exact = Area(2, 1);
    exact.right = exact.left + exact.format.width;  // just one cell wide: still divided
    auto halves = LoadRectangleWithLabels(canvas, model, ui, exact);
    EXPECT_DOUBLE_EQ(canvas.Label(halves[1]).left, exact.left + 0.25);
}

TEST_F(GridCells, RowRecalculationClosesTheGapsInOrder) {
    std::vector<int> labels =
        Add({M + "1:1,1", M + "1:1,2", M + "1:1,5", M + "1:1,5", M + "1:1,9"});
    int other = Add({M + "2:1,7"})[0];
    SetGridCellPlace(canvas.Label(labels[4]), 9, 1);
    ui.inputAnswers = {"1"};
    RecalculateDataGridRows(canvas, ui);
    EXPECT_EQ(canvas.Label(labels[4]).spare, "#4#1");  // the row it carries follows
    // The pointer is busy while the rows are renumbered, not during question or message.
    using K = RecordingUserInterface::Kind;
    std::vector<K> kinds;
    for (const auto& c : ui.calls) kinds.push_back(c.kind);
    EXPECT_EQ(kinds, (std::vector<K>{K::InputBox, K::Busy, K::Busy, K::Message}));
    EXPECT_EQ(ui.calls[2].text, "off");
    EXPECT_EQ(Captions(labels), (std::vector<std::string>{M + "1:1,1", M + "1:1,2", M + "1:1,3",
                                                          M + "1:1,3", M + "1:1,4"}));
    EXPECT_EQ(canvas.Label(other).caption, M + "2:1,7");  // another grid
    EXPECT_EQ(ui.Messages().back().text, "Grid Recalculated!");
    for (const char* bad : {"0", "100", "", "\x1B"}) {  // the last: Cancel
        ui.Clear();
        ui.inputAnswers = {bad};
        RecalculateDataGridRows(canvas, ui);
        EXPECT_EQ(OnlyMessage(ui), "Recalculating DataGrid Rows: Grid number is invalid.") << bad;
    }
}

TEST_F(GridCells, CheckboxesAndTextboxesAreNumberedInIndexOrder) {
    RecalculateCheckboxesTextboxes(canvas, ui);
    EXPECT_EQ(ui.Messages().back().text, "No Checkbox and/or Textbox labels were found.");
    std::vector<int> boxes = Add({"%C@SMOKER@7", "%T@NOTES@1@0.75@1", "%C@ALLERGY"});
    RecalculateCheckboxesTextboxes(canvas, ui);
    EXPECT_EQ(Captions(boxes),
              (std::vector<std::string>{"%C@SMOKER@1", "%T@NOTES@2@0.75@1", "%C@ALLERGY@3"}));
    EXPECT_EQ(ui.Messages().back().text, "Checkboxes/Textboxes Recalculated!");
    ui.Clear();
    RecalculateCheckboxesTextboxes(canvas, ui);
    EXPECT_EQ(ui.calls.size(), 3u);
    EXPECT_EQ(ui.calls[1].text, "off");  // the pointer comes back before the message
    EXPECT_EQ(OnlyMessage(ui),
              "Recalculating Checkboxes/Textboxes: No recalculation is required "
              "for Checkboxes/Textboxes.");
}

TEST_F(GridCells, ColumnOperationsTouchOneColumnOfOneGridAndStayOnThePage) {
    GridArea plain = Area(3, 2);  // columns at 1, 3 and 5 inches
    auto plainCells = LoadRectangleWithLabels(canvas, model, ui, plain);
    auto dataCells = LoadRectangleWithLabels(canvas, model, ui, Area(4, 2, 2));
    GridArea other = Area(3, 2);
    other.gridNumber = 2, other.page = 1;
    auto otherCells = LoadRectangleWithLabels(canvas, model, ui, other);

    GridColumn second{1, false, 2, 0};
    ASSERT_EQ(GridColumnLabels(canvas, second).size(), 2u);
    MoveGridColumn(canvas, second, 0.25);
    // Column 2 of rows 1 and 2 only; the other grid and the data grid keep their places.
    auto lefts = [&](std::initializer_list<int> labels) {
        std::vector<double> out;
        for (int i : labels) out.push_back(canvas.Label(i).left);
        return out;
    };
    EXPECT_EQ(lefts({plainCells[2], plainCells[3], plainCells[0], otherCells[2], dataCells[2]}),
              (std::vector<double>{3.25, 3.25, 1, 3, 2.5}));

    // A data grid's column is a field: it moves in every record block.
    GridColumn field{1, true, 2, 0};
    ASSERT_EQ(GridColumnLabels(canvas, field).size(), 4u);
    MoveGridColumn(canvas, field, -0.5);
    EXPECT_EQ(lefts({dataCells[2], dataCells[6]}), (std::vector<double>{2, 5}));  // both blocks

    // Moves stop at the page edges.
    GridColumn first{1, false, 1, 0};
    MoveGridColumn(canvas, first, -5);
    EXPECT_DOUBLE_EQ(canvas.Label(plainCells[0]).left, 0);
    MoveGridColumn(canvas, first, 20);  // the whole cell stays on the page
    EXPECT_DOUBLE_EQ(canvas.Label(plainCells[0]).left + 0.5, canvas.PageWidth());

    // Width: never under the minimum; right-aligned text keeps its right edge.
    ResizeGridColumn(canvas, second, 0.1);
    EXPECT_DOUBLE_EQ(canvas.Label(plainCells[2]).width, 0.6);
    ResizeGridColumn(canvas, second, -3);
    EXPECT_DOUBLE_EQ(canvas.Label(plainCells[2]).width, kMinGridCellWidth);
    GridColumn third{1, false, 3, 0};
    for (int i : GridColumnLabels(canvas, third)) canvas.Label(i).alignment = LabelAlignment::Right;
    ResizeGridColumn(canvas, third, 0.5);
    const LabelControl& right = canvas.Label(plainCells[4]);
    EXPECT_EQ(std::pair(right.left + right.width, right.width), std::pair(5.5, 1.0));

    // Autosize: every column of the grid when no column is named.
    GridColumn all{1, false, 0, 0};
    AutosizeGridColumn(canvas, metrics, all, true);
    const LabelControl& cell = canvas.Label(plainCells[0]);
    const double fit = metrics.TextWidth("1:1,1", "Arial", cell.fontSize, false, false);
    EXPECT_EQ(std::pair(cell.autoSize, cell.width), std::pair(true, fit));
    EXPECT_FALSE(canvas.Label(otherCells[0]).autoSize || canvas.Label(dataCells[0]).autoSize);
    AutosizeGridColumn(canvas, metrics, all, false);
    EXPECT_EQ(std::pair(cell.autoSize, cell.width), std::pair(false, fit));
}

TEST_F(GridCells, TheWholeGridMovesTogetherUpToThePageEdge) {
    auto cells = LoadRectangleWithLabels(canvas, model, ui, Area(3, 2));
    // Clicking a cell takes its tag; the grid is still found by its captions.
    for (int i : cells) canvas.Label(i).tag.clear();
    MoveGridCells(canvas, {1, false, 2, 0}, 0.5, -0.25);
    EXPECT_EQ(Place(canvas.Label(cells[0])), (Rect{1.5, 0.75, 0.5, 0.2}));
    EXPECT_DOUBLE_EQ(canvas.Label(cells[5]).left, 5.5);
    MoveGridCells(canvas, {1, false, 1, 0}, 0, -3);  // the top row stops at the edge
    EXPECT_EQ((std::pair{canvas.Label(cells[0]).top, canvas.Label(cells[1]).top}),
              (std::pair{0.0, 1.0}));
}
