// Selection, moving and inserting on the canvas model, as the pointer drives them.
#include <array>

#include "canvas/CanvasClipboard.h"
#include "canvas/CanvasEditor.h"
#include "layout/LayoutTestSupport.h"

namespace {

using XY = std::pair<double, double>;
using H = CanvasModel::Hit;
using Labels = std::vector<int>;
const std::string kCell = "\xF4";  // the grid cell marker

struct Editing : LoadedLayout {
    CanvasModel& canvas = store;
    CanvasEditor editor{canvas, model, metrics};
    int closed = 0;
    int shown = -1;

    Editing() {
        editor.GetHooks().closeItemDialogs = [this] { ++closed; };
        editor.GetHooks().showLabelProperties = [this](int i) { shown = i; };
        canvas.LoadPageContainer(1);
    }
    int Label(double left, double top, double width = 1, int page = 0,
              const std::string& caption = "Text") {
        return PlaceLabel(canvas, left, top, width, caption, page);
    }
    const LabelControl& L(int i) { return canvas.Label(i); }
    XY Corner(int i) { return {L(i).left, L(i).top}; }
    void Border(std::initializer_list<int> labels) {
        for (int i : labels) canvas.Label(i).bordered = true;
    }
    const BoxRecord& Box(int i) { return canvas.Boxes()[size_t(i)]; }
};
struct Edited : Editing, testing::Test {};
using Selection = Edited;
using Inserting = Edited;

}  // namespace

TEST_F(Selection, PlainShiftAndCtrlClicksFollowTheirRules) {
    EXPECT_EQ(editor.PasteSelectedLabels(0.1, 0.1, 0), 0);  // nothing selected
    int a = Label(1, 1), b = Label(3, 1), c = Label(5, 1);
    EXPECT_TRUE(editor.PressLabel(a, 1.1, 1.05, false, false));
    EXPECT_EQ(editor.MarkedLabel(), a);
    EXPECT_EQ(canvas.LabelBackColor(a), 0xFFFF64u);
    EXPECT_EQ(shown, a);
    editor.Drop(1.1, 1.05);  // no movement
    EXPECT_DOUBLE_EQ(L(a).left, 1);
    // Shift adds, the marked one moves to the clicked label.
    editor.PressLabel(b, 3.1, 1.05, true, false);
    editor.CancelDrag();
    EXPECT_EQ(editor.SelectedLabels(), (Labels{a, b}));
    EXPECT_EQ(editor.MarkedLabel(), b);
    EXPECT_EQ(canvas.LabelBackColor(a), 0x80FFFFu);
    // Ctrl adds without touching the other labels; a shape and its label lose theirs.
    int box = canvas.AddBox({6, 6, 1, 1}, 0);
    const int boxLabel = Box(box).label;
    EXPECT_EQ(editor.RightPressLabel(boxLabel).kind, H::Box);
    Border({boxLabel, a, b});
    canvas.Label(b).tag = "marked";
    EXPECT_FALSE(editor.PressLabel(c, 5.1, 1.05, false, true));
    EXPECT_EQ(editor.SelectedLabels(), (Labels{a, b, c}));
    EXPECT_FALSE(Box(box).marked || L(boxLabel).bordered);
    // Ctrl on the marked label unmarks it; with no mark left the dialogs close.
    int before = closed;
    editor.PressLabel(b, 3.1, 1.05, false, true);
    EXPECT_EQ(editor.MarkedLabel(), -1);
    EXPECT_GT(closed, before);
    // A plain press on a member keeps the group; dropped where it began, that label alone.
    editor.PressLabel(a, 1.1, 1.05, false, false);
    EXPECT_EQ(editor.SelectedLabels(), (Labels{a, c}));
    editor.Drop(1.1, 1.05);
    EXPECT_EQ(editor.SelectedLabels(), (Labels{a}));
    editor.PressLabel(b, 3.1, 1.05, false, false);
    editor.CancelDrag();
    EXPECT_EQ(editor.SelectedLabels(), (Labels{b}));
    editor.UnselectAll();
    EXPECT_TRUE(editor.SelectedLabels().empty() && editor.MarkedLabel() == -1);
}

TEST_F(Selection, GroupMovesStopAtThePageEdgeKeepingTheGroupsShape) {
    // Labels at 0.1 and 5 (1 inch wide), a box below: one limit for the group on the page.
    struct Case {
        const char* how;
        double dx, dy;
        double aLeft, aTop;  // where the first label ends up
    } cases[] = {
        {"labels", -0.5, 0, 0, 1},            // the label at 0.1 stops the group
        {"labels", 100, 100, 2.6, 11 - 1.2},  // the other's right and bottom edges
        {"drag", -3, -3, 0, 0},               // a drop past the corner
        {"paste", -0.5, 0, 0, 1},             // the copies, as one group
        {"keys", 0, 100, 0.1, 4},             // labels and the marked box together
    };
    for (const Case& c : cases) {
        Editing e;
        int a = e.Label(0.1, 1), b = e.Label(5, 2);
        e.canvas.Label(b).height = 0.2;
        int box = e.canvas.AddBox({1, 4, 2, 4}, 0);
        e.editor.PressLabel(a, 0.1, 1, false, false);
        e.editor.CancelDrag();
        e.editor.PressLabel(b, 5.1, 2.05, true, false);
        std::string how = c.how;
        if (how == "drag") {
            // The outlines during the drag show every member where the drop puts it.
            const std::vector<Rect> outlines = e.editor.DragPreview(5.1 + c.dx, 2.05 + c.dy);
            e.editor.Drop(5.1 + c.dx, 2.05 + c.dy);
            EXPECT_EQ(outlines, (std::vector<Rect>{Place(e.L(a)), Place(e.L(b))}));
            EXPECT_FALSE(e.editor.Dragging());
        } else if (how == "paste") {
            e.editor.CancelDrag();
            ASSERT_EQ(e.editor.PasteSelectedLabels(c.dx, c.dy, 1), 2);  // onto the next page
            const Labels copies = e.editor.SelectedLabels();
            ASSERT_EQ(copies.size(), 2u);
            EXPECT_EQ(e.L(copies[0]).caption + "/" + e.L(copies[0]).tag + "/" +
                          std::to_string(e.L(copies[0]).page),
                      "Text//1");
            EXPECT_EQ(e.editor.MarkedLabel(), copies[1]);  // the copy of the marked label
            EXPECT_EQ(e.shown, copies[1]);
            a = copies[0];
            b = copies[1];
        } else if (how == "keys") {
            e.editor.CancelDrag();
            e.canvas.BoxRecords()[size_t(box)].marked = true;
            e.editor.MoveSelectionBy(c.dx, c.dy);
            EXPECT_DOUBLE_EQ(e.Box(box).r.top + 4, 11);
        } else {
            e.editor.CancelDrag();
            e.editor.MoveLabels(c.dx, c.dy);
        }
        SCOPED_TRACE(how + std::to_string(c.dx));
        EXPECT_NEAR(e.L(a).left, c.aLeft, 1e-9);
        EXPECT_NEAR(e.L(a).top, c.aTop, 1e-9);
        EXPECT_NEAR(e.L(b).left - e.L(a).left, 4.9, 1e-9);
        EXPECT_NEAR(e.L(b).top - e.L(a).top, 1, 1e-9);
    }
}

TEST_F(Selection, EvenSpacingWorksInIndexOrderEvenWithOverlap) {
    int a = Label(1, 1, 1), b = Label(5, 3, 1), c = Label(2, 2, 1);
    Border({a, b, c});
    editor.EvenSpaceSelected(true, false);
    // Span 1..6 = 5, widths 3: gap 1, laid out a, b, c; vertical untouched.
    EXPECT_EQ((std::vector<XY>{Corner(a), Corner(b), Corner(c)}),
              (std::vector<XY>{{1, 1}, {3, 3}, {5, 2}}));
    // Widths beyond their span: a negative gap.
    Editing o;
    int x = o.Label(1, 1, 2), y = o.Label(1.5, 1, 2), z = o.Label(2, 1, 2);
    o.Border({x, y, z});
    o.editor.EvenSpaceSelected(true, true);
    EXPECT_DOUBLE_EQ(o.L(y).left, 1 + 2 - 1.5);  // gap (4 - 1 - 6) / 2 = -1.5
    EXPECT_LT(o.L(z).left, o.L(y).left + o.L(y).width);
}

TEST_F(Selection, GridRowsAndRubberBandsTakeOnlyWhatTheyShould) {
    int cell = Label(1, 1, 1, 0, kCell + "GRID1,2"), plain = Label(1, 2, 1, 0, kCell + "NOCOMMA");
    int other = Label(1, 1.5, 1, 1, "Page two");
    Border({cell, plain});
    SetGridCellPlace(canvas.Label(cell), 2, 1);
    editor.AssignGridRow(7);
    EXPECT_EQ(L(cell).caption + L(cell).spare.str(), kCell + "GRID1,7#7#1");
    EXPECT_EQ(L(plain).caption, kCell + "NOCOMMA");
    editor.SelectInRect({0, 0, 3, 3}, 0, false);
    EXPECT_TRUE(editor.IsSelected(cell) && !editor.IsSelected(other));  // another page
}

TEST_F(Selection, DeletingKeepsShapesUnlessMarkedAndIndicesAreNeverReused) {
    int box = canvas.AddBox({1, 1, 3, 3}, 0);
    int boxLabel = Box(box).label;
    int a = Label(2, 2);
    editor.SelectInRect({0, 0, 8, 10}, 0, false);
    EXPECT_FALSE(editor.IsSelected(boxLabel));  // companion labels never join
    editor.DeleteSelection();
    EXPECT_TRUE(canvas.LabelAt(a) == nullptr && Box(box).active);
    editor.PressItem({H::Box, box}, 1, 1, false, false);
    editor.CancelDrag();
    int closedBefore = closed;
    editor.DeleteSelection();
    EXPECT_FALSE(Box(box).active);
    EXPECT_GT(closed, closedBefore);  // its dialog does not outlive it
    EXPECT_GT(Label(1, 1), a);
    EXPECT_EQ(Write().find("Box:"), std::string::npos);
    EXPECT_NE(Write().find("Text\t1\t1"), std::string::npos);
}

TEST_F(Inserting, ToolButtonsGroupAndClearTheSelectionBetweenKinds) {
    int a = Label(1, 1);
    Border({a});
    editor.PressTool(kInsertGrid);  // label-like to label-like: kept
    EXPECT_TRUE(editor.IsSelected(a));
    editor.PressTool(kInsertImage);
    EXPECT_FALSE(editor.IsSelected(a) || canvas.Window().insertMode != kInsertImage);
    editor.PressTool(kInsertLabel);
    Border({a});
    editor.PressTool(kInsertGrid);
    EXPECT_TRUE(editor.IsSelected(a));
}

TEST_F(Inserting, LinesFollowThePointerAndShapesGetTheirRecords) {
    canvas.Window().insertMode = kInsertLine;
    editor.ClickCanvas(1, 1, 0, true, false);
    EXPECT_FALSE(editor.TopMarker().visible);
    ASSERT_EQ(canvas.Lines().size(), 1u);
    editor.MovePointer(2, 4);
    EXPECT_EQ((XY{canvas.Lines()[0].x2, canvas.Lines()[0].y2}), (XY{2, 4}));
    editor.ClickCanvas(3, 4, 0, true, false);
    EXPECT_DOUBLE_EQ(canvas.Lines()[0].x2, 3);

    editor.PressTool(kInsertHotspot);
    editor.ClickCanvas(1, 5, 0, false, false);  // any button
    editor.ClickCanvas(2, 5.5, 0, false, false);
    ASSERT_EQ(canvas.Hotspots().size(), 1u);
    EXPECT_EQ(canvas.Hotspots()[0].kind, "P");
    EXPECT_EQ(canvas.LabelBackColor(canvas.Hotspots()[0].label), 0xC0C0FFu);
    EXPECT_NE(Write().find("Hotspot:\t1\t5\t1\t0.5\t1\tP"), std::string::npos);

    editor.PressTool(kInsertBarcode);
    editor.ClickCanvas(4, 1, 0, true, false);
    editor.ClickCanvas(6, 1.5, 0, true, false);
    int barcode = editor.LastInsertedLabel();
    ASSERT_TRUE(canvas.IsBarcodeLabel(barcode));
    EXPECT_DOUBLE_EQ(canvas.BarcodeRect(barcode).width, 2);
    EXPECT_NE(Write().find("\xE6"), std::string::npos);

    // A picture whose file choice is cancelled makes none.
    editor.GetHooks().selectImageFile = [] { return std::string(); };
    editor.PressTool(kInsertImage);
    editor.ClickCanvas(1, 9, 0, true, false);
    editor.ClickCanvas(3, 10, 0, true, false);
    EXPECT_TRUE(canvas.Images().empty());
}

TEST_F(Inserting, ItemsDragAloneAndStayOnThePage) {
    int h = canvas.AddHotspot({1, 1, 1, 1}, 0);
    int label = canvas.Hotspots()[size_t(h)].label;
    ASSERT_TRUE(editor.PressItem({H::Hotspot, h}, 1.5, 1.5, false, false));
    editor.Drop(3.5, 2.5);
    EXPECT_EQ(canvas.Hotspots()[size_t(h)].r, (Rect{3, 2, 1, 1}));
    EXPECT_EQ(Corner(label), (XY{3, 2}));  // the companion label goes with it
    editor.PressItem({H::Hotspot, h}, 3.5, 2.5, false, false);
    // The outline stops at the page edge too.
    EXPECT_EQ(editor.DragPreview(-10, -10), (std::vector<Rect>{{0, 0, 1, 1}}));
    editor.Drop(-10, -10);
    EXPECT_EQ(canvas.Hotspots()[size_t(h)].r, (Rect{0, 0, 1, 1}));
}

TEST(ItemMenu, ALabelBecomesStaticTextADataFieldOrAPrompt) {
    Editing e;
    e.canvas.Label(0).caption = "Text";
    int l = e.Label(4, 1, 2);
    e.canvas.Label(l).alignment = LabelAlignment::Right;
    double right = e.L(l).left + e.L(l).width;
    e.editor.ItemToDataField(l, "PATIENT.LASTNAME");
    EXPECT_TRUE(e.L(l).caption == "~PATIENT.LASTNAME" && e.L(l).autoSize);
    EXPECT_DOUBLE_EQ(e.L(l).left + e.L(l).width, right);  // keeps its right edge
    e.editor.ItemToStaticText(l);
    EXPECT_EQ(e.L(l).caption, "Text");
    EXPECT_DOUBLE_EQ(e.L(l).left + e.L(l).width, right);

    auto prompt = [](const char* key, const char* caption, const char* type) {
        FormItem p;
        p.itemKind = ItemKind::UserPrompt;
        p.Prompt().promptKey = key, p.Prompt().promptCaption = caption;
        p.Prompt().dataEntryType = type;
        return p;
    };
    e.model.prompts = {prompt("^DOB", "Date of birth", "DATE"), prompt("^NOTE", "Note", "TEXT")};
    auto entries = e.editor.UserPromptEntries();
    ASSERT_EQ(entries.size(), 2u);
    e.editor.ItemToUserPrompt(l, entries[1]);
    EXPECT_EQ(e.L(l).caption, "^NOTE");
    EXPECT_FALSE(e.L(l).autoSize || e.L(l).width != 1);  // a text prompt is one inch wide
    EXPECT_EQ(LabelToolTip(e.L(l), e.model.Item(l)) + e.model.Item(l).dataEntryType(), "NoteTEXT");
    // A prompt in use is no longer offered.
    entries = e.editor.UserPromptEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].reference, "DOB");
    EXPECT_NE(e.Write().find("^NOTE"), std::string::npos);
}

TEST_F(Selection, BoxGroupOperationsLeaveOutTheBoundBox) {
    int a = canvas.AddBox({1, 1, 1, 1}, 0), b = canvas.AddBox({2.5, 1, 0.5, 1}, 0),
        c = canvas.AddBox({5, 1, 1, 1}, 0), d = canvas.AddBox({0, 9, 1, 1}, 0);
    auto& boxes = canvas.BoxRecords();
    for (int i : {a, b, c}) boxes[size_t(i)].marked = true;
    canvas.UpdateBoxShapeProps(a, CanvasModel::BoxOption::BorderColor, 0xFF);
    EXPECT_EQ(editor.SelectedBoxes(b), (std::vector<int>{a, c}));

    // In index order between the outer edges: 1..6 holds 2.5 inches of boxes, gaps of 1.25.
    editor.EvenSpaceBoxes(0);
    // Companion labels follow their boxes.
    EXPECT_EQ((std::array{boxes[size_t(b)].r.left, boxes[size_t(c)].r.left,
                          L(boxes[size_t(b)].label).left}),
              (std::array{3.25, 5.0, 3.25}));

    editor.MoveBoxShapes(0.5, 0.25, b);
    // The bound box stays, and so does the one not marked.
    EXPECT_EQ(
        (std::vector<Rect>{boxes[size_t(a)].r, boxes[size_t(b)].r, boxes[size_t(c)].r,
                           boxes[size_t(d)].r}),
        (std::vector<Rect>{{1.5, 1.25, 1, 1}, {3.25, 1, 0.5, 1}, {5.5, 1.25, 1, 1}, {0, 9, 1, 1}}));
    editor.MoveBoxShapes(-20, 0);
    EXPECT_DOUBLE_EQ(boxes[size_t(a)].r.left, 0);  // stops at the page edge

    // Copies keep the options, go onto the given page and become the selection.
    ASSERT_EQ(editor.PasteSelectedBoxes(0.1, 0.1, 1, c), 2);
    ASSERT_EQ(boxes.size(), 6u);
    EXPECT_EQ((std::tuple{boxes[4].borderColor, boxes[4].page, boxes[4].r.left}),
              (std::tuple{0xFFLL, 1, 0.1}));
    // The bound box keeps its mark: its dialog is still open on it.
    EXPECT_EQ(editor.SelectedBoxes(), (std::vector<int>{c, 4, 5}));
    EXPECT_FALSE(boxes[size_t(a)].marked);
}

TEST_F(Inserting, TheGridAreaFrameMovesWithItsMarkersAndStaysOnThePage) {
    editor.ShowGridArea({1, 1, 3, 2});
    ASSERT_TRUE(editor.GridAreaVisible());
    EXPECT_TRUE(editor.TopMarker().visible && editor.BottomMarker().visible);
    const Marker& bottom = editor.BottomMarker();
    EXPECT_DOUBLE_EQ(bottom.r.left + bottom.r.width, 4);  // its corner is the area's
    editor.MoveGridArea(0.5, -0.25);
    EXPECT_EQ(editor.GridAreaFrame(), (Rect{1.5, 0.75, 3, 2}));
    EXPECT_EQ((std::pair{editor.TopMarker().r.top, bottom.r.top + bottom.r.height}),
              (std::pair{0.75, 2.75}));
    editor.MoveGridArea(-10, 0);
    EXPECT_DOUBLE_EQ(editor.GridAreaFrame().left, 0);
    // A new corner pick or clearing the selection takes the frame away.
    editor.ClearSelection();
    EXPECT_FALSE(editor.GridAreaVisible() || editor.TopMarker().visible);
    editor.MoveGridArea(1, 1);
    EXPECT_DOUBLE_EQ(editor.GridAreaFrame().left, 0);
    editor.ShowGridArea({1, 1, 3, 2});
    editor.MoveSupplementaryControls(1);  // another page shown
    EXPECT_FALSE(editor.GridAreaVisible() || editor.TopMarker().visible ||
                 editor.BottomMarker().visible);
}

// The view repaints from the model's one notification: what each change touched, and where.
TEST(CanvasChange, EveryEditTellsTheListenerWhatItTouched) {
    Editing e;
    int label = e.canvas.LoadOneLabel(1);
    int box = e.canvas.AddBox({1, 1, 2, 2}, 1);
    std::vector<CanvasChange> seen;
    e.canvas.SetChangeListener([&](const CanvasChange& c) { seen.push_back(c); });
    const unsigned edited = CanvasChange::Labels | CanvasChange::Shapes | CanvasChange::Selection;
    struct Case {
        const char* what;
        std::function<void()> act;
        unsigned kinds;
        int page;
    } cases[] = {
        {"box moved", [&] { e.canvas.MoveBoxShape(box, 0.5, 0); },
         CanvasChange::Shapes | CanvasChange::Labels, 1},
        {"box deleted", [&] { e.canvas.DeleteBox(box); },
         CanvasChange::Shapes | CanvasChange::Labels, 1},
        {"page shown", [&] { e.canvas.ShowPage(1); }, CanvasChange::Selection, -1},
        {"label marked", [&] { e.editor.MarkOneLabel(label); }, edited, -1},
        {"settings", [&] { e.canvas.UpdateInteractive(true); }, CanvasChange::Settings, -1},
    };
    for (const auto& c : cases) {
        seen.clear();
        c.act();
        ASSERT_FALSE(seen.empty()) << c.what;
        EXPECT_EQ(seen.back().kinds, c.kinds) << c.what;
        EXPECT_EQ(seen.back().page, c.page) << c.what;
    }
}

TEST_F(Selection, ClearingTheSelectionStacksLoadedLabelsInIndexOrderOnTop) {
    int a = Label(1, 1), b = Label(2, 1), c = Label(3, 1), d = Label(4, 1);
    canvas.BringToFront(b);
    ASSERT_EQ(canvas.LabelOrder(), (std::vector<int>{a, c, d, b}));
    canvas.BringToFront(a);
    ASSERT_EQ(canvas.LabelOrder(), (std::vector<int>{c, d, b, a}));
    canvas.DeleteLabel(c);  // a deleted label is drawn nowhere
    ASSERT_EQ(canvas.LabelOrder(), (std::vector<int>{d, b, a}));
    int told = 0;
    canvas.SetChangeListener([&](const CanvasChange&) { ++told; });
    editor.UnselectAll();
    EXPECT_EQ(canvas.LabelOrder(), (std::vector<int>{a, b, d}));
    EXPECT_LE(told, 3);  // once for the order, not once per label
}

TEST_F(Selection, ArrangeLinesUpSpacesAndSizesLabelsAndItemsTogether) {
    using A = CanvasEditor::Arrange;
    // b is marked (it gives the sizes); the box is selected with the labels.
    // Rects: b {3,2,2,.4}, a {1,1,1,.2}, c {2,4,.5,.3}, box {5,1,1,1}; bounds 1..6, 1..4.3.
    const struct {
        A how;
        char field;  // l(eft), t(op), w(idth), h(eight)
        double b, a, c, box;
    } cases[] = {
        {A::Left, 'l', 1, 1, 1, 1},
        {A::Right, 'l', 4, 5, 5.5, 5},
        {A::Centres, 'l', 2.5, 3, 3.25, 3},
        {A::Top, 't', 1, 1, 1, 1},
        {A::Bottom, 't', 3.9, 4.1, 4, 3.3},
        {A::Middles, 't', 2.45, 2.55, 2.5, 2.15},
        // In order of position a, c, b, box: gaps (5 - 4.5) / 3.
        {A::DistributeAcross, 'l', 3 - 1.0 / 6, 1, 2 + 1.0 / 6, 5},
        // a, box, b, c: gaps (3.3 - 1.9) / 3.
        {A::DistributeDown, 't', 1 + 1.2 + 2.8 / 3, 1, 4, 1.2 + 1.4 / 3},
        {A::SameWidth, 'w', 2, 2, 2, 2},
        {A::SameHeight, 'h', 0.4, 0.4, 0.4, 0.4},
    };
    for (const auto& k : cases) {
        Editing e;
        int a = e.Label(1, 1, 1), b = e.Label(3, 2, 2), c = e.Label(2, 4, 0.5);
        e.canvas.Label(a).height = 0.2, e.canvas.Label(b).height = 0.4;
        e.canvas.Label(c).height = 0.3;
        int box = e.canvas.AddBox({5, 1, 1, 1}, 0), alone = e.canvas.AddBox({7, 7, 1, 1}, 0);
        e.editor.MarkOneLabel(b);
        e.Border({a, b, c});
        e.canvas.BoxRecords()[size_t(box)].marked = true;
        e.editor.ArrangeSelection(k.how);
        auto value = [&](const Rect& r) {
            return k.field == 'l'   ? r.left
                   : k.field == 't' ? r.top
                   : k.field == 'w' ? r.width
                                    : r.height;
        };
        auto label = [&](int i) { return value(Place(e.L(i))); };
        const int how = int(k.how);
        EXPECT_NEAR(label(b), k.b, 1e-9) << how;
        EXPECT_NEAR(label(a), k.a, 1e-9) << how;
        EXPECT_NEAR(label(c), k.c, 1e-9) << how;
        EXPECT_NEAR(value(e.Box(box).r), k.box, 1e-9) << how;
        EXPECT_EQ(e.Box(alone).r, (Rect{7, 7, 1, 1})) << how;  // not selected
        // The box's label follows its box.
        EXPECT_NEAR(e.L(e.Box(box).label).left, e.Box(box).r.left, 1e-9);
    }
    // One item alone stays where it is, lined up or spaced.
    int only = Label(3, 3);
    Border({only});
    editor.ArrangeSelection(A::Left);
    EXPECT_DOUBLE_EQ(L(only).left, 3);
    editor.EvenSpaceSelected(true, true);
    EXPECT_DOUBLE_EQ(L(only).left, 3);
}

TEST(Clipboard, TheSelectionTravelsAsLayoutTextOntoAnotherFormAndPage) {
    Editing from;
    int a = from.Label(1, 1, 1, 0, "Name:"), b = from.Label(2, 3, 1, 0, "Account");
    from.Label(4, 4, 1, 0, "Not copied");
    int box = from.canvas.AddBox({3, 2, 1, 0.5}, 0);
    from.canvas.UpdateBoxShapeProps(box, CanvasModel::BoxOption::BorderWidth, 3);
    int code = from.canvas.AddBarcode({5, 5, 1.5, 0.5}, 0, "12345");
    from.Border({a, b});
    from.canvas.BoxRecords()[size_t(box)].marked = true;
    from.canvas.BarcodeRecords()[size_t(from.canvas.GetBarcodeImageIndex(code))].marked = true;
    const std::string text =
        clipboard::CopySelection(from.editor, from.canvas, from.model, from.metrics);
    ASSERT_TRUE(clipboard::IsLayoutText(text));
    EXPECT_EQ(text.find("Not copied"), std::string::npos);

    Editing to;
    to.model.settings.numberOfPages = 2;
    int kept = to.Label(0.5, 0.5, 1, 0, "Kept");
    to.Border({kept});
    auto paste = [&](const std::string& layout, int page, const clipboard::Placement& where) {
        return clipboard::Paste(to.editor, to.canvas, to.model, to.metrics, to.ui, layout, page,
                                where);
    };
    // The group's corner (1, 1) goes to the point (2, 1.5), on the second page.
    EXPECT_EQ(paste(text, 1, {true, 2, 1.5}), 4);
    const std::string written = to.Write();
    for (const char* part :
         {"Name:\t2\t1.5\t", "Account\t3\t3.5\t", "Box:\t4\t2.5\t1\t0.5\t2\t", "12345\t6\t5.5\t"})
        EXPECT_NE(written.find(part), std::string::npos) << part << "\n" << written;
    EXPECT_EQ(to.canvas.Boxes().back().borderWidth, 3);
    // What was pasted is the selection, and only that.
    EXPECT_FALSE(to.L(kept).bordered);
    EXPECT_TRUE(to.editor.SelectedLabels().size() == 2 && to.canvas.Boxes().back().marked);
    // Moved by an offset, a group near the page's edge stays on the page.
    EXPECT_EQ(paste(text, 0, {false, 0, 0, 100, 0}), 4);
    EXPECT_DOUBLE_EQ(to.canvas.Boxes().back().r.left, 3 + 8.5 - 6.5);
    // Text that is no layout, or a layout of nothing, changes nothing.
    const std::string before = to.Write();
    for (const std::string& bad :
         {std::string(), std::string("Name:\t1\t1"), text.substr(0, text.find("</HEADER>")),
          std::string("<HEADER>\r\n</HEADER>\r\n<PAGE>\r\n</PAGE>\r\n")})
        EXPECT_EQ(paste(bad, 0, {}), 0);
    EXPECT_EQ(to.Write(), before);
}
