// The label properties dialog and the list picker without windows, on a real canvas
// model and editor.
#include "dialogs/LabelPropsLogic.h"
#include "dialogs/ListsLogic.h"
#include "layout/LayoutTestSupport.h"

namespace {

struct Bench {
    FixedTextMetrics metrics;
    FormModel model;
    CanvasModel canvas{model, metrics};
    CanvasEditor editor{canvas, model, metrics};
    RecordingUserInterface ui;
    LabelPropsLogic other{canvas, editor, model, metrics, ui};
    LabelPropsLogic props{canvas, editor, model, metrics, ui, [this] {
                              props.UpdateShift();
                              other.UpdateShift();
                          }};

    int Label(double left, double top, double width = 2, const std::string& caption = "Item") {
        int i = PlaceLabel(canvas, left, top, width, caption);
        canvas.Label(i).bordered = true;
        return i;
    }
    LabelControl& L(int i) { return canvas.Label(i); }
};

}  // namespace

TEST(LabelProps, BindingReadsTypeCaseAndMultilineAndAnUnknownCaseBeeps) {
    struct Case {
        const char* caption;
        const char* spare;
        int caseOption;
        const char *wide, *lines, *type;
        bool beep, autoSizeEnabled;
    } cases[] = {
        {"Name", "U#30#4", 1, "30", "4", "Type: Static Label", false, true},
        {"%T@Q@1@0.5@3", "Q", 0, "", "", "Type: Text Box", true, false},
        {"%C@x", "W", 3, "", "", "Type: Check Box", false, true},
        {"Plain", "", 0, "", "", "Type: Static Label", false, true},
    };
    for (const Case& c : cases) {
        Bench b;
        int i = b.Label(1, 1);
        b.L(i).caption = c.caption;
        b.L(i).spare = c.spare;
        b.props.SetLabelRef(i, false);
        EXPECT_EQ(b.props.caseOption, c.caseOption) << c.caption;
        EXPECT_EQ(b.props.multiline, *c.wide != 0) << c.caption;
        EXPECT_EQ(b.props.charsWide + "x" + b.props.linesTall, std::string(c.wide) + "x" + c.lines);
        EXPECT_EQ(b.props.TypeText(), c.type);
        EXPECT_EQ(b.ui.BeepCount(), c.beep ? 1 : 0) << c.caption;
        EXPECT_EQ(b.props.AutoSizeEnabled(), c.autoSizeEnabled);
        EXPECT_EQ(b.props.LabelName(), "lblF(" + std::to_string(i) + ")");
        EXPECT_EQ(b.props.LinkShown(), "..................");
    }
    // Typing a text-box prompt turns auto size off; plain text turns it back on.
    Bench b;
    b.props.SetLabelRef(b.Label(1, 1), false);
    b.props.SetStaticText("%T@a@1@0.3@2");
    EXPECT_FALSE(b.props.autoSize);
    EXPECT_EQ(b.props.rows + " " + b.props.rowsHeight, "2 0.300");  // from the caption
    b.props.ToggleRowsPanel();
    EXPECT_EQ(b.props.AdjustCaption(), "Adjust Height/Rows  <<");
    b.props.SetStaticText("plain");
    EXPECT_TRUE(b.props.autoSize && b.props.AutoSizeEnabled() && !b.props.rowsPanel);
    EXPECT_EQ(b.props.TypeText(), "Type: Static Label");
    // The template: its name alone.
    b.props.SetLabelRef(0, false);
    EXPECT_EQ(b.props.LabelName(), "lblTemplate");
    // New labels take the default text's format.
    b.props.SetFont("Courier New", 11, false, true);
    b.props.SetAlignment(LabelAlignment::Centre);
    b.props.Apply();
    const LabelControl& fresh = b.L(b.canvas.LoadOneLabel(0));
    EXPECT_EQ(std::tie(fresh.fontName, fresh.italic, fresh.alignment),
              std::make_tuple("Courier New", true, LabelAlignment::Centre));
}

TEST(LabelProps, ApplyWritesTheLabelKeepsARightEdgeAndClosesWhenAsked) {
    Bench b;
    int i = b.Label(1, 1);
    EXPECT_FALSE(b.props.Apply());  // no label yet
    b.props.SetLabelRef(i, true);
    b.props.SetStaticText("Total");
    b.props.SetAutoSize(false);
    b.props.SetFont("Courier New", 12, true, false);
    b.props.SetAlignment(LabelAlignment::Right);
    b.props.right = "5", b.props.top = "2.5", b.props.width = "1.5", b.props.caseOption = 2;
    b.props.multiline = true, b.props.charsWide = "20", b.props.linesTall = "3";
    EXPECT_TRUE(b.props.Apply());
    const LabelControl& c = b.L(i);
    EXPECT_EQ(std::tie(c.caption, c.fontName, c.bold, c.left, c.top, c.spare),
              std::make_tuple("Total", "Courier New", true, 3.5, 2.5, "L#20#3"));
    EXPECT_EQ(b.props.left, "3.500");
    b.props.charsWide = "1e300";  // held to a whole number the layout can carry
    b.props.Apply();
    EXPECT_EQ(c.spare, "L#9999#3");
    // Without multi-line and case the value is empty.
    b.props.multiline = false, b.props.caseOption = 0;
    b.props.Apply();
    EXPECT_EQ(c.spare, "");
    // An empty caption is applied without harm (the writer leaves such a label out).
    b.props.SetStaticText("");
    b.props.Apply();
    EXPECT_EQ(c.caption, "");
    // An auto-sized label is fitted to its caption: its width and height are not read.
    b.props.SetStaticText("Total");
    b.props.width = b.props.height = "x";
    EXPECT_FALSE(b.props.Apply());
    b.props.SetAutoSize(true);
    b.props.width = b.props.height = "x";
    EXPECT_TRUE(b.props.Apply());
}

TEST(LabelProps, GroupButtonsApplyOnePropertyToEverySelectedLabel) {
    struct Case {
        int button;
        double left[2];
        LabelAlignment align;
        const char* spare;
    } cases[] = {
        {1, {1, 1}, LabelAlignment::Left, ""},     // Left
        {4, {3, 4}, LabelAlignment::Left, ""},     // Right: 5 - width
        {6, {0.5, 2}, LabelAlignment::Right, ""},  // Right align
        {8, {0.5, 2}, LabelAlignment::Centre, ""},
        {9, {2, 2.5}, LabelAlignment::Left, ""},  // Center of 1 and 5
        {10, {0.5, 2}, LabelAlignment::Left, "U"},
    };
    for (const Case& c : cases) {
        Bench b;
        int x = b.Label(0.5, 1, 2), y = b.Label(2, 3, 1);
        b.props.SetLabelRef(x, false);
        b.props.left = "1", b.props.right = "5", b.props.caseOption = 1;
        b.props.ApplyToGroup(c.button);
        EXPECT_EQ(std::tie(b.L(x).left, b.L(y).left, b.L(y).alignment, b.L(y).spare),
                  std::tie(c.left[0], c.left[1], c.align, c.spare))
            << c.button;
    }
    Bench b;
    int x = b.Label(0.5, 1), y = b.Label(2, 3);
    b.props.SetLabelRef(x, false);
    b.props.SetStaticText("Same");
    b.props.ApplyToGroup(3);
    b.props.top = "4";  // the fields show the bound label again after each press
    b.props.ApplyToGroup(2);
    EXPECT_EQ(b.L(y).caption, "Same");
    EXPECT_DOUBLE_EQ(b.L(y).top, 4);
    b.props.SetAutoSize(false);
    EXPECT_EQ(b.props.GroupCaption(7), "Width");
    b.props.width = "0.75";
    b.props.ApplyToGroup(7);
    EXPECT_DOUBLE_EQ(b.L(y).width, 0.75);
    b.props.AutoSizeSelected(true);
    EXPECT_TRUE(b.L(x).autoSize && b.L(y).autoSize);
    EXPECT_EQ(b.props.GroupCaption(7), "Autosize");
    b.canvas.DeleteLabel(x);  // its label gone, the dialog moves no other
    b.props.ApplyToGroup(1);
    EXPECT_DOUBLE_EQ(b.L(y).left, 2);
}

TEST(LabelProps, StepsMovePasteSpaceAndReachEveryOpenDialog) {
    Bench b;
    int x = b.Label(1, 1, 1), y = b.Label(3, 2, 1), z = b.Label(4, 5, 1);
    b.L(x).tag = "marked";
    b.props.SetLabelRef(x, false);
    b.other.SetLabelRef(y, false);
    b.props.hSpacing = "0.5", b.props.vSpacing = "0.25";
    b.props.Arrow(3);
    EXPECT_EQ(b.other.hSpacing + " " + b.other.vSpacing, "0.5 0.25");
    EXPECT_DOUBLE_EQ(b.model.settings.horizontalShift, 0.5);
    EXPECT_DOUBLE_EQ(b.L(y).left, 3.5);
    EXPECT_EQ(b.props.left, "1.500");
    b.props.Arrow(0);
    b.props.MoveBoth();
    EXPECT_EQ(std::tie(b.L(z).left, b.L(z).top), std::tuple(5.0, 5.0));
    b.props.Counter(1, true);
    EXPECT_DOUBLE_EQ(b.L(x).top, 1.25);
    b.props.Counter(3, false);  // width 1 - 0.5
    EXPECT_DOUBLE_EQ(b.L(x).width, 0.5);
    // Paste copies the selection; the marked label's copy becomes the marked one.
    int before = b.canvas.LabelCount();
    b.props.Paste();
    EXPECT_EQ(b.canvas.LabelCount(), before + 3);
    EXPECT_EQ(b.editor.SelectedLabels().size(), 3u);
    EXPECT_DOUBLE_EQ(b.L(before).left, b.L(x).left + 0.5);
    // Even spacing of three labels in index order.
    b.props.EvenSpace(false);
    EXPECT_DOUBLE_EQ(b.L(before + 1).top - b.L(before).top,
                     b.L(before + 2).top - b.L(before + 1).top);
    EXPECT_FALSE(b.props.DeleteSelected());  // the bound label was not selected
    EXPECT_TRUE(b.editor.SelectedLabels().empty());
}

TEST(LabelProps, LinkDataRowsAndGridRows) {
    Bench b;
    int i = b.Label(1, 1);
    b.model.Item(i).linkData = "OLD";
    b.model.SetLinkedData(i, "OLD");
    b.props.SetLabelRef(i, false);
    b.ui.inputAnswers = {"OLD", "NEW", "\x1B"};
    b.props.EditLinkData();
    EXPECT_EQ(b.model.Item(i).linkData, "OLD");
    b.props.EditLinkData();
    EXPECT_EQ(b.ui.calls.back().title + ": " + b.ui.calls.back().text,
              "Linked Data: LINK data currenly is: OLD");
    EXPECT_EQ(b.props.LinkShown(), "NEW");
    b.props.EditLinkData();  // cancelled: the link goes
    EXPECT_EQ(b.model.Item(i).linkData, "");
    EXPECT_TRUE(b.model.linkedData.empty());
    // The default text's dialog binds no link to the template, which is no item.
    b.props.SetLabelRef(0, false);
    b.ui.inputAnswers = {"TEMPLATE"};
    b.props.EditLinkData();
    EXPECT_TRUE(b.model.linkedData.empty());

    // Rows of a text-box prompt go into its caption; the row lines show on the canvas
    // (never in the caption) until the dialog closes.
    // A caption without a box height has the label's.
    b.L(i).caption = "%T@a@7@0@1";
    b.L(i).height = 0.4;
    b.props.SetLabelRef(i, false);
    EXPECT_EQ(b.props.rowsHeight, "0.400");
    // Without the row lines the adjusted caption waits for Apply, and the dialog says so.
    b.L(i).caption = "%T@a@7@0.2@1";
    b.props.SetLabelRef(i, false);
    b.props.rows = "3", b.props.rowsHeight = "0.6";
    EXPECT_FALSE(b.props.Changed());
    b.props.ApplyRows();
    EXPECT_TRUE(b.props.Changed());
    EXPECT_EQ(b.props.staticText + " " + b.L(i).caption, "%T@a@7@0.600@3 %T@a@7@0.2@1");
    b.props.visualizeRows = true;
    b.props.ApplyRows();
    EXPECT_EQ(b.L(i).caption, "%T@a@7@0.600@3");
    EXPECT_EQ(b.L(i).shownRows, 3);
    b.props.Close();
    EXPECT_EQ(b.L(i).shownRows, 0);
    b.props.ApplyRows();  // closed, the lines stay hidden
    EXPECT_EQ(b.L(i).shownRows, 0);

    // Grid rows: "make it a grid row #" and "gr row" (a pasted copy, one row on).
    char marker = char(244);
    b.L(i).caption = std::string(1, marker) + "1:2,1";
    b.props.gridRow = "4";
    b.props.MakeGridRow();
    EXPECT_EQ(b.L(i).caption, std::string(1, marker) + "1:2,4");
    b.props.CopyGridRow();
    EXPECT_EQ(b.props.gridRow, "5");
    EXPECT_EQ(b.L(b.canvas.LabelCount() - 1).caption, std::string(1, marker) + "1:2,5");
}

TEST(ListFill, OneValueModeAndTheListsOfTheForm) {
    ListsLogic l;
    l.FillListBoxes({{"A1", "First", ""}, {"B2", "", ""}},
                    {{"PT_NAME", "PATIENT.NAME"}, {"", "NO CODE"}, {"DOB", "PATIENT.DOB"}});
    EXPECT_EQ(l.FieldRows().size(), 2u);  // the field without a code is not listed
    RecordingUserInterface ui;
    l.SetOneValueMode(true);
    EXPECT_EQ(std::string(l.FillCaption()) + l.DoneCaption(), "OKCancel");
    EXPECT_TRUE(l.Fill({}, ui));
    EXPECT_EQ(l.Value(), "");  // no row chosen
    l.chosen = {1, 0};
    l.Fill({}, ui);
    EXPECT_EQ(l.Value(), "A1");
    l.source = ListsLogic::Source::DB, l.chosen = {1};
    l.Fill({}, ui);
    EXPECT_EQ(l.Value(), "DOB");
    EXPECT_EQ(ListsLogic::GetFirstSelectedIndex({}), 0);
    // Fill mode hands the chosen entries, the order and the tag on.
    l.SetOneValueMode(false);
    l.selectedOnly = true;
    l.chosen = {1, 0};
    EXPECT_EQ(l.PositionList(), "1\t2");
    l.SetTag("grid");
    l.order = 2;
    std::vector<std::string> got;
    EXPECT_FALSE(l.Fill(
        [&](auto& e, int order, auto& tag) { got = e, got.push_back(tag + char('0' + order)); },
        ui));
    EXPECT_EQ(got, (std::vector<std::string>{"~PT_NAME", "~DOB", "grid2"}));
    l.source = ListsLogic::Source::Static, l.selectedOnly = false;
    EXPECT_EQ(l.Entries(), (std::vector<std::string>{"A1", "B2"}));  // a row fills its code
    l.selectedOnly = true, l.chosen.clear();  // nothing chosen: said, and nothing filled
    got.clear();
    l.Fill([&](auto& e, int, auto&) { got = e; }, ui);
    EXPECT_TRUE(got.empty());
    EXPECT_EQ(ui.Messages().back().title, "Fill from List");
}

TEST(ListFill, SixLabelsInEachOrder) {
    // Two rows of three, created out of place order.
    const double places[6][2] = {{3, 2}, {1, 1}, {5, 2.02}, {3, 1}, {1, 2}, {5, 1}};
    const struct {
        int order;
        const char* captions;  // of the labels in index order
    } cases[] = {{0, "123456"}, {1, "516243"}, {2, "416325"}};
    for (const auto& c : cases) {
        Bench b;
        std::vector<int> labels;
        for (const auto& p : places) labels.push_back(b.Label(p[0], p[1]));
        b.model.databaseFields.push_back({"F", "L"});
        EXPECT_EQ(b.editor.FillLabels({"1", "2", "3", "4", "5", "6", "7"}, c.order), 6);
        std::string got;
        for (int i : labels) got += b.L(i).caption;
        EXPECT_EQ(got, c.captions) << c.order;
    }
    // A data-field entry makes a field label; only the tagged labels take part.
    Bench b;
    int x = b.Label(1, 1), y = b.Label(2, 1);
    b.L(y).tag = "grid";
    b.editor.FillLabels({"~PT_NAME"}, 0, "grid");
    EXPECT_EQ(b.L(y).caption, "~PT_NAME");
    EXPECT_EQ(b.model.Item(y).itemKind, ItemKind::DatabaseField);
    EXPECT_EQ(b.L(x).caption, "Item");
}
