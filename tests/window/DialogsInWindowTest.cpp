// The item dialogs in the real window: what they apply is written as typed whatever is open.
#include "WindowFixture.h"
#include "shell/AtomicFile.h"

using DialogsInWindow = WindowTest;

namespace {
// The form from its type on (the code follows the file's name), without the last line end.
std::string Body(const std::string& text) {
    const size_t from = text.find("Form_Type:"), end = text.find_last_not_of("\r\n");
    return text.substr(from, end + 1 - from);
}
}  // namespace

// Each opens from the item's menu (the signature box's from the window) and closes another kind's.
TEST_F(DialogsInWindow, EachItemDialogAppliesWhatIsTypedAndTheFormSavedWhileItIsOpenReadsBack) {
    CanvasModel& c = w.Canvas();
    ItemDialogs& d = w.Dialogs();
    const QString picture = win.data.filePath("a.bmp");
    ASSERT_TRUE(QImage(8, 8, QImage::Format_RGB32).save(picture));
    int box = c.AddBox({1, 1, 2, 1}, 0);
    int hotspot = c.AddHotspot({1, 3, 2, 1}, 0);
    int image = c.AddImage({1, 5, 2, 1}, 0, "a.bmp", picture.toStdString());
    c.AddBarcode({1, 7, 2, 1}, 0, "A1");
    int signature = c.AddSignatureBox({1, 9, 2, 1}, 0);
    const struct {
        double y;  // where the item is right-clicked, 1.6 inches from the page's left
        std::function<FrmItemProps*()> dialog;
        const char *title, *top;
        std::function<Rect()> rect;
    } cases[] = {
        {1.98, [&] { return d.Box(); }, "Box Properties", "1.5",
         [&] { return c.Boxes().at(size_t(box)).r; }},
        {3.9, [&] { return d.Shape(); }, "Hotspot Properties", "3.5",
         [&] { return c.Hotspots().at(size_t(hotspot)).r; }},
        {5.9, [&] { return d.Image(); }, "Image Properties", "5.5",
         [&] { return c.Images().at(size_t(image)).r; }},
        {7.9, [&] { return d.Barcode(); }, "Barcode Properties", "7.5",
         [&] { return c.BarcodeRect(c.Barcodes().at(0).label); }},
        {0, [&] { return d.Shape(); }, "Signature Box Properties", "9.5",
         [&] { return c.SignatureBoxes().at(size_t(signature)).r; }},
    };
    const std::string path = win.data.filePath("round.ldt").toStdString();
    FrmItemProps* previous = nullptr;
    for (const auto& k : cases) {
        if (k.y > 0)
            ChooseFromPopupAt(page, Px(1.6, k.y), "Properties");
        else
            d.OpenShapeProperties(ShapePropsLogic::Kind::SignatureBox, signature);
        FrmItemProps* dialog = k.dialog();
        ASSERT_TRUE(dialog && dialog->isVisible()) << k.title;
        EXPECT_EQ(dialog->windowTitle(), k.title);
        EXPECT_FALSE(previous && previous != dialog && previous->isVisible()) << k.title;
        previous = dialog;
        Type(dialog->Field("Width"), "-", true);  // refused
        EXPECT_EQ(dialog->Field("Width")->text(), "2.000");
        const std::pair<const char*, const char*> typed[] = {
            {"Left", "2.5"}, {"Top", k.top}, {"Width", "1.5"}, {"Height", "0.75"}};
        for (auto [field, text] : typed) Type(dialog->Field(field), text);
        ClickAt(dialog->ApplyButton());
        EXPECT_EQ(dialog->Field("Left")->text(), "2.500") << k.title;
        ASSERT_TRUE(dialog->isVisible() && w.SaveLayout(path)) << k.title;  // saved while open
        EXPECT_EQ(Body(files::ReadTextFile(path)), Body(Written(w))) << k.title;
    }
    // A new step in one dialog shows in every open one.
    Type(d.Shape()->HorizontalStepField(), "0.5");
    ClickAt(d.Shape()->StepButton(ItemPropsLogic::Step::Right));
    EXPECT_EQ(w.Model().settings.horizontalShift, 0.5);
    ASSERT_TRUE(w.OpenLayout(path));
    for (const auto& k : cases) {
        const Rect got = k.rect();
        EXPECT_EQ(std::tie(got.left, got.top, got.width, got.height),
                  std::tuple(2.5, std::atof(k.top), 1.5, 0.75))
            << k.title;
    }
    EXPECT_TRUE(win.ui.Messages().empty());
}

// In modal Form Setup the save key reaches nothing, and OK applies all.
TEST_F(DialogsInWindow,
       SavedWhileTheLineListOrSetupDialogIsOpenTheFormIsThePagesAndTheirEditsWait) {
    OpenThreeLabels(win);
    w.Model().databaseFields.push_back({"PT_NAME", "PATIENT.LAST_NAME"});
    const std::string path = win.data.filePath("open.ldt").toStdString();
    auto save = [&] {
        win.ui.fileAnswers = {path};
        win.ui.boolAnswers.assign(4, true);
        win.Choose("mnuSaveToFile");
        const std::string saved = files::ReadTextFile(path);
        EXPECT_EQ(Body(saved), Body(Written(w)));
        return saved;
    };
    FrmLineProps* line = w.Dialogs().OpenLineProps();
    Type(line->HorizontalStepField(), "0.75");  // its buttons store nothing
    EXPECT_EQ(save().find("0.75"), std::string::npos);
    EXPECT_TRUE(line->isVisible() && line->HorizontalStepField()->text() == "0.75");

    ClickAt(page, Px(1.2, 1.1));
    win.Choose("mnuFillFromList");
    FrmLists* lists = w.Dialogs().Lists();
    QTreeWidget* fields = lists->FieldList();
    ShowTabOf(fields);
    ClickAt(fields->viewport(), fields->visualItemRect(fields->topLevelItem(0)).center());
    EXPECT_EQ(save().find("PT_NAME"), std::string::npos);
    ASSERT_TRUE(lists->isVisible() && fields->isVisible());
    ClickAt(lists->findChild<QPushButton*>("cmdFill"));
    EXPECT_NE(save().find("PT_NAME"), std::string::npos);

    const std::string before = files::ReadTextFile(path);
    OnNextModal<FrmSize>([&](FrmSize* setup) {
        Type(setup->WidthField(), "11");
        Type(setup->HeightField(), "8.5");
        Press(Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(files::ReadTextFile(path), before);
        EXPECT_EQ(setup->WidthField()->text() + setup->HeightField()->text(), "118.5");
        ClickAt(setup->OkButton());
    });
    win.Choose("mnuPage");
    EXPECT_NE(save().find("Page:\t11\t8.5\r\n"), std::string::npos);
    EXPECT_TRUE(win.ui.Messages().empty());
}
