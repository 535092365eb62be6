// The item dialogs in the real window: what they apply is written as typed whatever is
// open, and none is left on another item once an earlier state is put back.
#include "WindowFixture.h"
#include "shell/AtomicFile.h"

TEST(DialogsInWindow, EachDialogAppliedThenSavedWhileOpenReadsBackAsTyped) {
    enum Kind { Box, Hotspot, Signature, Barcode, Image };
    for (Kind kind : {Box, Hotspot, Signature, Barcode, Image}) {
        Window win;
        FrmMain& w = *win.w;
        CanvasModel& c = w.Canvas();
        ItemDialogs& d = w.Dialogs();
        const Rect r{1, 1, 1, 1};
        FrmItemProps* dialog = nullptr;
        if (kind == Box) {
            d.OpenBoxProperties(c.AddBox(r, 0)), dialog = d.Box();
        } else if (kind == Barcode) {
            d.OpenBarcodeProperties(c.AddBarcode(r, 0, "A1")), dialog = d.Barcode();
        } else if (kind == Image) {
            const QString picture = win.data.filePath("a.bmp");
            ASSERT_TRUE(QImage(8, 8, QImage::Format_RGB32).save(picture));
            d.OpenImageProperties(c.AddImage(r, 0, "a.bmp", picture.toStdString()));
            dialog = d.Image();
        } else {
            auto k = kind == Hotspot ? ShapePropsLogic::Kind::Hotspot
                                     : ShapePropsLogic::Kind::SignatureBox;
            d.OpenShapeProperties(k,
                                  kind == Hotspot ? c.AddHotspot(r, 0) : c.AddSignatureBox(r, 0));
            dialog = d.Shape();
        }
        ASSERT_TRUE(dialog && dialog->isVisible()) << kind;
        const std::pair<const char*, const char*> typed[] = {
            {"Left", "2.5"}, {"Top", "3"}, {"Width", "1.5"}, {"Height", "0.75"}};
        for (auto [field, text] : typed) Type(dialog->Field(field), text);
        ClickAt(dialog->ApplyButton());
        EXPECT_EQ(dialog->Field("Left")->text(), "2.500") << kind;
        const std::string path = win.data.filePath("round.ldt").toStdString();
        ASSERT_TRUE(dialog->isVisible() && w.SaveLayout(path)) << kind;  // saved while open
        ASSERT_TRUE(w.OpenLayout(path)) << kind;
        const Rect got = kind == Box         ? c.Boxes().at(0).r
                         : kind == Hotspot   ? c.Hotspots().at(0).r
                         : kind == Signature ? c.SignatureBoxes().at(0).r
                         : kind == Image     ? c.Images().at(0).r
                                             : c.BarcodeRect(c.Barcodes().at(0).label);
        EXPECT_EQ(std::tie(got.left, got.top, got.width, got.height),
                  std::tuple(2.5, 3.0, 1.5, 0.75))
            << kind;
        EXPECT_TRUE(win.ui.Messages().empty()) << kind;
    }
}

TEST(DialogsInWindow, RowLinesOfATextBoxNeverReachTheFile) {
    Window win;
    FrmMain& w = *win.w;
    const int label = AddLabel(w, 1, 1, 2);
    w.Dialogs().OpenLabelProperties(label);
    FrmProps* dlg = w.Dialogs().LabelProperties();
    ASSERT_NE(dlg, nullptr);
    auto field = [&](const char* name) { return dlg->findChild<QLineEdit*>(name); };
    const QString caption = "%T@TB1@Notes@0.600@3";
    Type(field("txtStatic"), caption);
    // The rows panel takes rows and height from the caption typed.
    ClickAt(dlg->findChild<QPushButton*>("cmdAdjust"));
    EXPECT_EQ(field("txtRows")->text() + " " + field("txtRowsHeight")->text(), "3 0.600");
    Check(dlg->findChild<QCheckBox*>("chkVisualize"));
    ClickAt(dlg->findChild<QPushButton*>("cmdApply"));
    ASSERT_TRUE(dlg->isVisible());
    EXPECT_EQ(w.Canvas().Label(label).shownRows, 3);
    // Saved and recovery text (the window's whole text) while the rows show: the caption
    // alone; an undo step puts the caption back as it stands in the model.
    const std::string path = win.data.filePath("rows.ldt").toStdString();
    ASSERT_TRUE(w.SaveLayout(path));
    QTest::qWait(10);
    for (const std::string& text : {files::ReadTextFile(path), Written(w)})
        EXPECT_EQ(text.find("ROW"), std::string::npos);
    ASSERT_TRUE(w.OpenLayout(path));
    EXPECT_EQ(w.Canvas().Label(label).caption, caption.toStdString());
}
