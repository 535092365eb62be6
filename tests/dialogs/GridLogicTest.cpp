// The grid dialog's logic on a real canvas model: rows found on generated ruled
// backgrounds, refused input, the cell format text, and the cells and layout lines
// that "Apply" leaves.
#include <cmath>

#include "dialogs/GridLogic.h"
#include "layout/LayoutTestSupport.h"

namespace {

constexpr int kDpi = 100;

// A letter page whose pixel rows all have one colour sum; paper (765) by default.
struct Ruled : PagePixels {
    std::vector<int> rows = std::vector<int>(11 * kDpi, 765);
    int Width() const override { return 85 * kDpi / 10; }
    int Height() const override { return int(rows.size()); }
    int ColorSum(int, int y) const override { return rows[size_t(y)]; }
    void Line(double inches, int thickness = 1, int sum = 0) {
        for (int k = 0; k < thickness; ++k) rows[size_t(std::lround(inches * kDpi) + k)] = sum;
    }
};

// The window as the dialog sees it, building with the real grid operations.
struct Grid : GridHost {
    FixedTextMetrics metrics;
    FormModel model;
    CanvasModel canvas{model, metrics};
    RecordingUserInterface ui;
    std::vector<GridArea> built;
    Rect frame;
    GridLogic logic{canvas, model, ui};
    std::unique_ptr<Ruled> picture;

    Grid() {
        canvas.Label(0).height = 0.2;
        logic.ParentForm(*this);
        logic.background = [this](int) -> std::unique_ptr<PagePixels> {
            return picture ? std::make_unique<Ruled>(*picture) : nullptr;
        };
        logic.SetRect({1, 0.5, 4, 2.5});
        logic.columns = "3", logic.rows = "2";
    }
    std::vector<int> BuildGrid(GridArea a) override {
        a.gridNumber = ++canvas.Window().gridCounter, a.format = canvas.Label(0);
        built.push_back(a);
        return LoadRectangleWithLabels(canvas, model, ui, a);
    }
    void MoveGridColumn(int, double, bool, int) override {}
    void ResizeGridColumn(int, double, bool, int) override {}
    void AutosizeGridColumn(bool, bool, int) override {}
    void MoveGridCells(double dx, double dy, bool data, int number) override {
        ::MoveGridCells(canvas, {number, data, 0, 0}, dx, dy);
    }
    void ShowGridArea(const Rect& r) override { frame = r; }
    void MoveGridArea(double dx, double dy) override {
        frame.left += dx;
        frame.top += dy;
    }
    void HideGridArea() override {}
    Rect GridAreaFrame() const override { return frame; }
    int VisibleCells() const {
        int n = 0;
        for (int i = 1; i < canvas.LabelCount(); ++i) n += canvas.IsGridCellLabel(i);
        return n;
    }
};

}  // namespace

// Both ends of the walk count, and a thick line or one already under way at the top
// counts once.
TEST(GridLogic, PrintedLinesCountFromTheTopRowToTheBottomRow) {
    struct Case {
        std::vector<double> lines;  // inches, each 1 pixel
        int top, bottom;
        PrintedLines want;
    };
    const Case cases[] = {
        {{2.0}, 100, 200, {1, 200, 200}},        // on the bottom row
        {{1.0}, 100, 200, {1, 100, 100}},        // on the top row
        {{1.5, 1.52}, 100, 200, {2, 150, 152}},  // two, apart
        {{1.5, 1.51}, 100, 200, {1, 150, 150}},  // touching: one thick line
        {{2.01}, 100, 200, {0, -1, -1}},         // below the walk
        {{0, 0.5}, 0, 100, {2, 0, 50}},          // the first on the page's first row
    };
    for (const Case& c : cases) {
        Ruled page;
        for (double at : c.lines) page.Line(at);
        const PrintedLines got = FindPrintedLines(page, 10, c.top, c.bottom);
        EXPECT_EQ(std::tie(got.count, got.first, got.last),
                  std::tie(c.want.count, c.want.first, c.want.last))
            << c.lines.front();
    }
}

TEST(GridLogic, SnapToLinesPutsOneRowOfLabelsOnEachPrintedLine) {
    // Label height 0.2; lines 0.3 apart leave a gap of 0.05 above and below a label.
    const struct {
        std::vector<double> lines;
        int thickness, sum;
        LineSide side;
        double top, bottom;
        int rows;
    } cases[] = {
        {{1.0, 1.3, 1.6, 1.9}, 1, 0, LineSide::Both, 0.75, 2.25, 5},
        {{1.0, 1.3, 1.6, 1.9}, 1, 0, LineSide::Over, 0.75, 1.95, 4},
        {{1.0, 1.3, 1.6, 1.9}, 1, 0, LineSide::Under, 1.05, 2.25, 4},
        {{1.0, 1.3, 1.6, 1.9}, 6, 0, LineSide::Both, 0.75, 2.25, 5},  // thick: counted once
        {{1.0}, 1, 0, LineSide::Both, 0.8, 1.2, 2},                   // one line: no gap
        {{1.0, 1.3, 1.6}, 1, 649, LineSide::Over, 0.75, 1.65, 3},     // darkest grey seen
    };
    for (const auto& c : cases) {
        Grid g;
        g.picture = std::make_unique<Ruled>();
        for (double y : c.lines) g.picture->Line(y, c.thickness, c.sum);
        g.picture->Line(2.2, 3, 650);  // light grey: paper
        g.logic.snapToLines = true, g.logic.side = c.side;
        ASSERT_TRUE(g.logic.Apply()) << c.lines.size();
        const GridArea& a = g.built.at(0);
        EXPECT_NEAR(a.top, c.top, 1e-9);
        EXPECT_NEAR(a.bottom, c.bottom, 1e-9);
        EXPECT_EQ(a.rows, c.rows);
        EXPECT_EQ(g.logic.rows, std::to_string(c.rows));
        EXPECT_EQ(g.logic.Cells().size(), size_t(c.rows * 3));
    }
    // No lines, or no side chosen: no rows to snap to.
    for (auto [count, side] : {std::pair{0, LineSide::Both}, std::pair{3, LineSide::None}}) {
        const SnapRows none = SnapToLines(1, 2, count, 0.2, side);
        EXPECT_EQ(std::tie(none.rows, none.top, none.pitch), std::tuple(0, 0.0, 0.0)) << count;
    }
}

TEST(GridLogic, BadInputIsRefusedWithAMessageAndBuildsNothing) {
    enum Picture { None, Ruled2, Blank };
    const struct {
        std::string GridLogic::*field;
        const char* value;
        bool snap;
        const char* title;
        Picture picture = Ruled2;
    } cases[] = {
        {&GridLogic::rows, "0", false, "Rows"},
        {&GridLogic::rows, "-2", false, "Rows"},
        {&GridLogic::rows, "many", false, "Rows"},
        {&GridLogic::rows, "10000", false, "Rows"},
        {&GridLogic::columns, "10000", false, "Columns"},
        {&GridLogic::right, "0.5", false, "Right"},  // right of left
        {&GridLogic::rows, "2", true, "Auto calc - snap to lines", None},
        {&GridLogic::rows, "2", true, "Auto calc - snap to lines", Blank},  // no line
    };
    for (const auto& c : cases) {
        Grid g;
        if (c.picture != None) g.picture = std::make_unique<Ruled>();
        if (c.picture == Ruled2) g.picture->Line(2.0, 3);
        g.logic.right = "8.5", g.logic.snapToLines = c.snap;
        g.logic.*c.field = c.value;
        EXPECT_FALSE(g.logic.Apply()) << c.value;
        ASSERT_EQ(g.ui.Messages().size(), 1u) << c.value;
        EXPECT_EQ(g.ui.Messages()[0].title, c.title);
        EXPECT_TRUE(g.built.empty());
    }
}

TEST(GridLogic, ApplyBuildsADataGridInTheChosenFormatAndReplacesItsOwnGrid) {
    Grid g;
    g.logic.format.fontName = "Courier New", g.logic.format.fontSize = 10;
    g.logic.format.bold = true, g.logic.format.alignment = LabelAlignment::Centre;
    EXPECT_EQ(g.logic.Properties(), text::Join({"Courier New", "10", "1", "0", "2", "0"}, "\xE6"));
    g.logic.dataGrid = true, g.logic.columnsInRow = "3";
    ASSERT_TRUE(g.logic.Apply());
    ASSERT_TRUE(g.logic.Apply());  // again: the first grid goes
    EXPECT_EQ(g.VisibleCells(), 6);
    g.logic.columnsInRow = "2";  // refused: the grid built before stays
    EXPECT_FALSE(g.logic.Apply());
    EXPECT_EQ(g.ui.Messages().at(0).title, "Recalculate");
    EXPECT_EQ(g.VisibleCells(), 6);
    EXPECT_EQ(g.built.at(1).tag + " " + g.logic.gridNumber, "DATAgrid 2");
    const LabelControl& last = g.canvas.Label(g.logic.Cells().back());
    EXPECT_EQ(last.caption, std::string(1, '\xF4') + "2:3,2");
    EXPECT_EQ(last.fontName, "Courier New");
}

TEST(GridLogic, ClearRemovesPlainAndDataGridsAndMovingTakesTheCellsAlong) {
    Grid g;
    GridLogic data(g.canvas, g.model, g.ui);
    data.ParentForm(g);
    data.SetRect({1, 3, 3, 1});
    data.columns = "2", data.dataGrid = true;
    ASSERT_TRUE(g.logic.Apply());
    ASSERT_TRUE(data.Apply());
    int plainCell = g.logic.Cells()[0];
    g.logic.horizontalStep = "x";  // refused steps or columns move nothing
    EXPECT_FALSE(g.logic.MoveArea(GridLogic::Move::Right));
    g.logic.horizontalStep = "x";
    EXPECT_FALSE(g.logic.ResizeColumn(1));
    g.logic.horizontalStep = "0.25", g.logic.column = "0";
    EXPECT_FALSE(g.logic.ResizeColumn(1));
    g.logic.verticalStep = "0.25";
    for (auto m : {GridLogic::Move::Right, GridLogic::Move::DownRight, GridLogic::Move::UpLeft,
                   GridLogic::Move::UpRight, GridLogic::Move::DownLeft})
        ASSERT_TRUE(g.logic.MoveArea(m));
    EXPECT_EQ(g.logic.left + " " + g.logic.top, "1.250 3.000");  // the frame shown
    EXPECT_DOUBLE_EQ(g.canvas.Label(plainCell).left, 1.25);
    EXPECT_DOUBLE_EQ(g.model.settings.horizontalShift, 0.25);
    EXPECT_EQ(g.VisibleCells(), 8);
    g.logic.Clear();
    EXPECT_EQ(g.VisibleCells(), 0);
}
