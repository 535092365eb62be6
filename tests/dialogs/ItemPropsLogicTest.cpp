// The item dialogs' logic on a real canvas model: what each button stores in the
// records, read back as the layout header lines they become.
#include <QTemporaryDir>
#include <fstream>
#include <map>

#include "dialogs/BoxPropsLogic.h"
#include "dialogs/GridLogic.h"
#include "dialogs/LabelPropsLogic.h"
#include "dialogs/PicturePropsLogic.h"
#include "dialogs/ShapePropsLogic.h"
#include "layout/LayoutTestSupport.h"

namespace {

struct Items {
    FixedTextMetrics metrics;
    FormModel model;
    CanvasModel canvas{model, metrics};
    CanvasEditor editor{canvas, model, metrics};
    RecordingUserInterface ui;
    int shiftChanges = 0;
    ItemContext ctx{canvas, editor, model, ui, metrics, [this] { ++shiftChanges; }, {}};
    int MarkedBox(const Rect& r) {
        int b = canvas.AddBox(r, 0);
        canvas.BoxRecords()[size_t(b)].marked = true;
        return b;
    }
    double Left(int box) { return canvas.Boxes()[size_t(box)].r.left; }
};

}  // namespace

TEST(BoxProps, ApplyStoresFieldsAndOptionsAndNothingChosenMeansStyleSixWidthOne) {
    const struct {
        int style, width;
        bool hide;
        const char* line;
    } cases[] = {{-1, -1, false, "Box:\t1\t2\t3\t0.5\t1\t6\t1\tN\t255"},
                 {1, 3, true, "Box:\t1\t2\t3\t0.5\t1\t2\t4\tY\t255"}};
    for (const auto& c : cases) {
        Items t;
        BoxPropsLogic box(t.ctx);
        box.Bind(t.canvas.AddBox({0, 0, 1, 1}, 0));
        EXPECT_EQ(box.name, "shpBox(1)");  // element 0 is the template
        EXPECT_EQ(box.width, "1.000");
        box.left = "1", box.top = "2", box.width = "3", box.height = "0.5";
        box.stylePosition = c.style, box.widthPosition = c.width, box.hideInPreview = c.hide;
        box.borderColor = 255;
        ASSERT_TRUE(box.Apply());
        EXPECT_EQ(t.canvas.GetBoxShapesDefinitions(), c.line);
    }
}

TEST(NumberFields, EveryDialogRefusesOneWayKeepsItemsOnThePageAndShowsTheOldValue) {
    // A letter page (8.5 x 11); every item 1 x 1 at (1, 1), the label 2 wide.
    enum Dialog { Box, Hotspot, Signature, Image, Barcode, Label, Grid };
    const struct {
        Dialog dialog;
        const char *field, *typed, *range, *shown;
    } cases[] = {
        {Box, "Width", "1e300", "0.001 to 8.500", "1.000"},
        {Box, "Left", "50", "0.000 to 7.500", "1.000"},
        {Box, "H Spacing", "1e300", "0.000 to 2.000", "0.02"},
        {Hotspot, "Left", "50", "0.000 to 7.500", "1.000"},
        {Hotspot, "V Spacing", "-0.5", "0.000 to 2.000", "0.02"},
        {Signature, "Top", "10.9", "0.000 to 10.000", "1.000"},
        {Image, "Height", "abc", "0.001 to 11.000", "1.000"},
        {Barcode, "Width", "0", "0.001 to 8.500", "1.000"},
        {Label, "Left", "8", "0.000 to 6.500", "1.000"},  // the label is 2 wide
        {Label, "Height", "1e300", "0.001 to 11.000", "0.170"},
        {Label, "H Spacing", "3", "0.000 to 2.000", "0.02"},
        {Grid, "Right", "9", "1.001 to 8.500", "5.000"},
        {Grid, "Top", "x", "0.000 to 10.999", "1.000"},
    };
    for (const auto& c : cases) {
        Items t;
        BoxPropsLogic box(t.ctx);
        ShapePropsLogic shape(t.ctx);
        ImagePropsLogic image(t.ctx);
        BarcodePropsLogic barcode(t.ctx);
        LabelPropsLogic label(t.canvas, t.editor, t.model, t.metrics, t.ui);
        GridLogic grid(t.canvas, t.model, t.ui);
        const Rect r{1, 1, 1, 1};
        ItemPropsLogic* item = nullptr;
        using K = ShapePropsLogic::Kind;
        if (c.dialog == Box) box.Bind(t.MarkedBox(r)), item = &box;
        if (c.dialog == Hotspot) shape.Bind(K::Hotspot, t.canvas.AddHotspot(r, 0)), item = &shape;
        if (c.dialog == Signature)
            shape.Bind(K::SignatureBox, t.canvas.AddSignatureBox(r, 0)), item = &shape;
        if (c.dialog == Image) image.Bind(t.canvas.AddImage(r, 0, "a.bmp", "")), item = &image;
        if (c.dialog == Barcode) barcode.Bind(t.canvas.AddBarcode(r, 0, "A1")), item = &barcode;
        int l = t.canvas.LoadOneLabel(0);
        t.canvas.Label(l) = LabelControl{"Item", 1, 1, 2, 0.17};
        label.SetLabelRef(l, false);
        label.SetAutoSize(false);
        grid.SetRect({1, 1, 4, 2});
        const std::string f = c.field;
        const bool step = f.find("Spacing") != std::string::npos;
        std::map<std::string, std::string*> fields{{"Right", &grid.right}, {"Top", &grid.top}};
        if (c.dialog == Label)
            fields = {
                {"Left", &label.left}, {"Height", &label.height}, {"H Spacing", &label.hSpacing}};
        if (item)
            fields = {{"Left", &item->left},
                      {"Top", &item->top},
                      {"Width", &item->width},
                      {"Height", &item->height},
                      {"H Spacing", &item->horizontalStep},
                      {"V Spacing", &item->verticalStep}};
        std::string* text = fields.at(f);
        auto act = [&] {
            if (item) return step ? item->Press(ItemPropsLogic::Step::Right) : item->Apply();
            if (c.dialog == Grid) return grid.ApplyRect();
            return step ? (label.MoveBoth(), false) : label.Apply();
        };
        const std::string layoutBefore = LayoutWriter(t.model, t.canvas, t.ui).ReassembleData();
        *text = c.typed;
        EXPECT_FALSE(act()) << f << " " << c.typed;
        EXPECT_EQ(OnlyMessage(t.ui), f + ": Please enter a number from " + c.range + ".");
        EXPECT_EQ(*text, c.shown) << f << " " << c.typed;
        EXPECT_EQ(LayoutWriter(t.model, t.canvas, t.ui).ReassembleData(), layoutBefore);
        // The low bound itself is taken, and shown with three decimals.
        if (item && !step) {
            *text = std::to_string(std::atof(c.range));
            EXPECT_TRUE(act()) << f;
            EXPECT_EQ(*text, std::string(c.range, 5));
        }
    }
}

TEST(BoxProps, GroupButtonsActOnEveryOtherMarkedBox) {
    const struct {
        int button;
        double left;  // of the two other marked boxes, 1 inch wide
    } cases[] = {{BoxPropsLogic::GroupLeft, 2},
                 {BoxPropsLogic::GroupRight, 4},
                 {BoxPropsLogic::GroupCenter, 3}};
    for (const auto& c : cases) {
        Items t;
        int bound = t.MarkedBox({2, 1, 3, 1});
        int a = t.MarkedBox({5, 4, 1, 1}), b = t.MarkedBox({6, 6, 1, 1});
        int unmarked = t.canvas.AddBox({7, 7, 1, 1}, 0);
        BoxPropsLogic box(t.ctx);
        box.Bind(bound);
        box.borderColor = 0xFF;  // a place button moves, and only moves
        ASSERT_TRUE(box.ApplyToGroup(c.button));
        EXPECT_EQ(t.canvas.GetBoxShapeDetailsBorderColor(a), 0) << c.button;
        EXPECT_EQ((std::vector{t.Left(a), t.Left(b), t.Left(unmarked), t.Left(bound)}),
                  (std::vector{c.left, c.left, 7.0, 2.0}))
            << c.button;
    }
    Items t;
    int bound = t.MarkedBox({2, 1, 3, 1});
    int a = t.MarkedBox({5, 4, 1, 1}), b = t.MarkedBox({6, 6, 1, 1});
    BoxPropsLogic box(t.ctx);
    box.Bind(bound);
    box.borderColor = 0xFF0000, box.stylePosition = 2, box.widthPosition = 0;
    box.height = "2";
    for (int button :
         {BoxPropsLogic::GroupColor, BoxPropsLogic::GroupBorder, BoxPropsLogic::GroupHeight})
        box.ApplyToGroup(button);
    EXPECT_EQ(t.canvas.GetBoxShapeDetailsBorderColor(a), 0xFF0000);
    EXPECT_EQ(t.canvas.Boxes()[size_t(b)].styleCode, 2);
    EXPECT_EQ(t.canvas.GetBoxShapeDetailsHeight(b), 2);
    EXPECT_EQ(t.canvas.GetBoxShapeDetailsBorderColor(bound), 0);
    box.width = "x";  // refused, and no other button than the ten does anything
    EXPECT_FALSE(box.ApplyToGroup(BoxPropsLogic::GroupWidth));
    EXPECT_FALSE(box.ApplyToGroup(BoxPropsLogic::GroupDelete + 1));
    box.ApplyToGroup(BoxPropsLogic::GroupDelete);
    EXPECT_EQ(t.canvas.GetBoxShapesDefinitions(), "Box:\t2\t1\t3\t1\t1\t6\t1\tN\t0");
    box.Delete();  // the dialog of a deleted box acts no more
    EXPECT_FALSE(box.ApplyToGroup(BoxPropsLogic::GroupLeft) || box.Paste());
}

TEST(ItemSteps, StepsBecomeTheSharedShiftMoveAndResizeOrAreRefused) {
    Items t;
    int bound = t.MarkedBox({1, 1, 1, 1});
    int other = t.MarkedBox({3, 3, 1, 1});
    BoxPropsLogic box(t.ctx);
    box.Bind(bound);
    box.horizontalStep = "0.5", box.verticalStep = "0.25";
    const struct {
        ItemPropsLogic::Step step;
        Rect bound, other;
    } cases[] = {{ItemPropsLogic::Step::Right, {1.5, 1, 1, 1}, {3.5, 3, 1, 1}},
                 {ItemPropsLogic::Step::Move, {2, 1.25, 1, 1}, {4, 3.25, 1, 1}},
                 {ItemPropsLogic::Step::LeftUp, {2.5, 1.25, 1, 1}, {4, 3.25, 1, 1}},
                 {ItemPropsLogic::Step::TopDown, {2.5, 1, 1, 1}, {4, 3.25, 1, 1}},
                 {ItemPropsLogic::Step::HeightUp, {2.5, 1, 1, 1.25}, {4, 3.25, 1, 1}},
                 {ItemPropsLogic::Step::WidthDown, {2.5, 1, 0.5, 1.25}, {4, 3.25, 1, 1}}};
    for (const auto& c : cases) {
        EXPECT_TRUE(box.Press(c.step));
        for (auto [i, want] : {std::pair{bound, c.bound}, std::pair{other, c.other}}) {
            const Rect& r = t.canvas.Boxes()[size_t(i)].r;
            EXPECT_EQ(std::tie(r.left, r.top, r.width, r.height),
                      std::tie(want.left, want.top, want.width, want.height))
                << int(c.step) << " box " << i;
        }
    }
    EXPECT_EQ(box.left, "2.500");
    EXPECT_EQ(t.model.settings.horizontalShift, 0.5);
    EXPECT_EQ(t.shiftChanges, 6);
    EXPECT_TRUE(box.Paste());  // the other marked box, one step on
    EXPECT_EQ(t.canvas.Boxes().size(), 3u);
    // A size never goes to nothing.
    EXPECT_FALSE(box.Press(ItemPropsLogic::Step::WidthDown));
}

TEST(ShapeProps, HotspotTypesSignaturePadAndDelete) {
    Items t;
    int word = t.canvas.AddHotspot({1, 1, 2, 1}, 0, "Word");
    ShapePropsLogic shape(t.ctx);
    shape.Bind(ShapePropsLogic::Kind::Hotspot, word);
    EXPECT_EQ(shape.MoveCaption(), "Move Hotspot");
    EXPECT_EQ(shape.typeOption, ShapePropsLogic::kOther);
    EXPECT_EQ(shape.otherType, "Word");
    EXPECT_EQ(ShapePropsLogic::TypeColor(shape.Type()), 10300511);
    shape.left = "2";
    EXPECT_TRUE(shape.ChooseType(1));  // applies at once
    EXPECT_EQ(t.canvas.GetHotspotShapesDefinitions(), "Hotspot:\t2\t1\t2\t1\t1\tD");
    shape.otherType.clear();
    EXPECT_FALSE(shape.ChooseType(ShapePropsLogic::kOther));  // waits for its text
    shape.Delete();
    EXPECT_TRUE(shape.Closed());
    EXPECT_EQ(t.canvas.Hotspots()[size_t(word)].kind, "P");
    EXPECT_EQ(t.canvas.GetHotspotShapesDefinitions(), "");

    int pad = t.canvas.AddSignatureBox({1, 5, 4, 0.8}, 0);
    t.canvas.UpdateSignatureBoxShapeDetails(pad, {1, 5, 4, 0.8}, true);
    shape.Bind(ShapePropsLogic::Kind::SignatureBox, pad);
    EXPECT_TRUE(shape.signaturePad && shape.PadGroupShown());
    ASSERT_EQ(t.ui.Messages().size(), 1u);
    EXPECT_EQ(t.ui.Messages()[0].title, "Form Setup: Use with Signature Pad?");
    shape.signaturePad = false;
    EXPECT_TRUE(shape.Apply());
    EXPECT_EQ(t.canvas.GetSignatureBoxShapesDefinitions(), "Signature_Box:\t1\t5\t4\t0.8\t1\tN");
    t.model.settings.signpad = true;
    shape.Bind(ShapePropsLogic::Kind::SignatureBox, pad);
    EXPECT_EQ(t.ui.Messages().size(), 1u);
    shape.Bind(ShapePropsLogic::Kind::Hotspot, t.canvas.AddHotspot({1, 1, 1, 1}, 0));
    EXPECT_FALSE(shape.signaturePad || shape.PadGroupShown());
}

TEST(ImageProps, SizeTextAndTheLinkToASignatureBox) {
    QTemporaryDir dir;
    Items t;
    int box = t.canvas.AddSignatureBox({1, 5, 4, 0.8}, 0);
    const std::string path = dir.filePath("pic.bmp").toStdString();
    std::ofstream(path, std::ios::binary) << std::string(1536, 'x');
    ImagePropsLogic image(t.ctx);
    image.Bind(t.canvas.AddImage({1, 1, 2, 2}, 0, "pic.bmp", path));
    EXPECT_EQ(image.sizeText + " " + image.source, "1.5 KB Local");
    std::string before = t.canvas.GetImagesDefinitions();
    for (const char* bad : {"7", "x", "-1"}) {
        image.linkedSignatureBox = bad, image.width = "3";
        EXPECT_FALSE(image.Apply()) << bad;
    }
    EXPECT_EQ(t.canvas.GetImagesDefinitions(), before);
    EXPECT_EQ(t.ui.Messages().size(), 3u);
    image.linkedSignatureBox = std::to_string(box);
    ASSERT_TRUE(image.Apply());
    EXPECT_EQ(t.canvas.GetImageLinkedSignatureBoxNum(0), "0");
    EXPECT_EQ(t.canvas.Images()[0].r.width, 3);
    image.Delete();
    EXPECT_FALSE(t.canvas.Images()[0].active);
}

TEST(BarcodeProps, FieldTipsApplyAndTheListPicker) {
    Items t;
    t.model.AddDatabaseField("PT_ACCT", "Patient account");
    t.model.AddDatabaseField("PT_DOB", "PT_BIRTH   Date of birth");
    int label = t.canvas.AddBarcode({1, 1, 1.5, 0.5}, 0, "^PT_ACCT");
    BarcodePropsLogic barcode(t.ctx);
    barcode.Bind(label);
    EXPECT_EQ(barcode.name + " " + barcode.tip, "imgBarcode(0) Patient account");
    struct Picker : OneValuePicker {
        std::string PickOneValue(const FormModel&) override { return "^PT_DOB"; }
    } picker;
    ASSERT_TRUE(barcode.PickFromList(picker));
    EXPECT_EQ(barcode.text + " " + barcode.tip, "^PT_BIRTH Date of birth");
    barcode.text = "A1", barcode.width = "2", barcode.left = "3";
    ASSERT_TRUE(barcode.Apply());
    EXPECT_EQ(t.canvas.Label(label).caption, "A1");
    EXPECT_EQ(t.canvas.Label(label).left, 3);
    EXPECT_EQ(t.canvas.GetBarcodeWidthHeight(label), "2\t0.5");
    // Code 39 has no lower case: bars for it would scan as other data.
    for (const char* bad : {"", "A\tB", "Hello"}) {
        barcode.text = bad;
        EXPECT_FALSE(barcode.Apply());
    }
    EXPECT_EQ(t.canvas.Label(label).caption, "A1");
    barcode.Delete();
    EXPECT_EQ(t.canvas.LabelAt(label), nullptr);
}
