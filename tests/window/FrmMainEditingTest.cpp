// Editing on the page with the mouse, the tools and the item menus.

#include "window/WindowFixture.h"

using FrmMainEditing = WindowTest;

TEST_F(FrmMainEditing, ShiftClickTwiceIsARubberBandCtrlClickTogglesAndAGroupMovesAsOne) {
    int a = AddLabel(w, 1, 1), b = AddLabel(w, 2, 2), far = AddLabel(w, 6, 8);
    ClickAt(page, Px(0.5, 0.5), Qt::ShiftModifier);
    EXPECT_TRUE(w.Canvas().Window().cornerPick);
    ClickAt(page, Px(3.5, 3.5));
    EXPECT_FALSE(w.Canvas().Window().cornerPick);
    EXPECT_EQ(w.Editor().SelectedLabels(), (std::vector<int>{a, b}));
    ClickAt(page, Px(6.2, 8.1), Qt::ControlModifier);
    EXPECT_EQ(w.Editor().SelectedLabels(), (std::vector<int>{a, b, far}));
    ClickAt(page, Px(2.2, 2.1), Qt::ControlModifier);
    EXPECT_EQ(w.Editor().SelectedLabels(), (std::vector<int>{a, far}));
    // Escape clears, Ctrl+A takes every label of the page.
    Press(Qt::Key_Escape);
    EXPECT_TRUE(w.Editor().SelectedLabels().empty());
    Press(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(w.Editor().SelectedLabels(), (std::vector<int>{a, b, far}));
    // Dragging one member moves every one by the same amount.
    Drag(page, Px(1.2, 1.1), Px(2.2, 1.6));
    for (auto [label, left, top] : {std::tuple{a, 2.0, 1.5}, {b, 3.0, 2.5}, {far, 7.0, 8.5}}) {
        EXPECT_NEAR(w.Canvas().Label(label).left, left, 0.02) << label;
        EXPECT_NEAR(w.Canvas().Label(label).top, top, 0.02) << label;
    }
    // A click on a member, without moving, leaves it alone selected; Delete removes only it.
    ClickAt(page, Px(3.2, 2.6));
    EXPECT_EQ(w.Editor().SelectedLabels(), (std::vector<int>{b}));
    Press(Qt::Key_Delete);
    EXPECT_TRUE(!w.Canvas().LabelAt(b) && w.Canvas().LabelAt(a));
}

TEST_F(FrmMainEditing, TheBoxToolPicksTwoCornersAndTheToolButtonsStayOneGroup) {
    QAction* boxTool = w.ToolButton(kInsertBox);
    ASSERT_NE(boxTool, nullptr);
    Choose(boxTool);
    EXPECT_TRUE(boxTool->isChecked() && w.Canvas().Window().insertMode == kInsertBox);
    Choose(w.ToolButton(kInsertImage));
    EXPECT_FALSE(boxTool->isChecked());
    Choose(boxTool);
    ClickAt(page, Px(1, 1));
    EXPECT_TRUE(w.Editor().TopMarker().visible);
    Hover(page, Px(2, 2));
    EXPECT_TRUE(w.Editor().BottomMarker().visible);
    EXPECT_NEAR(w.Editor().BottomMarker().r.left + w.Editor().BottomMarker().r.width, 2, 0.02);
    ClickAt(page, Px(3, 2.5));
    ASSERT_EQ(w.Canvas().Boxes().size(), 1u);
    EXPECT_NEAR(w.Canvas().Boxes()[0].r.width, 2, 0.02);
    EXPECT_NEAR(w.Canvas().Boxes()[0].r.height, 1.5, 0.02);
    EXPECT_TRUE(w.Canvas().Boxes()[0].marked);
    EXPECT_FALSE(w.Editor().TopMarker().visible || w.Canvas().Window().cornerPick);
    // Shift picks a band: the boxes inside join the marked ones, others keep theirs.
    ClickAt(page, Px(5, 5));
    ClickAt(page, Px(6, 6));
    ASSERT_EQ(w.Canvas().Boxes().size(), 2u);
    EXPECT_FALSE(w.Canvas().Boxes()[0].marked);
    ClickAt(page, Px(0.5, 0.5), Qt::ShiftModifier);
    ClickAt(page, Px(3.5, 3));
    EXPECT_EQ(w.Canvas().Boxes().size(), 2u);
    EXPECT_TRUE(w.Canvas().Boxes()[0].marked && w.Canvas().Boxes()[1].marked);
    Choose(boxTool);  // pressed again: back to the label tool, nothing pressed
    EXPECT_TRUE(!boxTool->isChecked() && w.Canvas().Window().insertMode == kInsertLabel);
    // The label tool drops the template's label on a plain left click, and on no other.
    int count = w.Canvas().ItemLabelCount();
    ClickAt(page, Px(5, 8), Qt::ControlModifier);
    ClickAt(page, Px(5, 8), Qt::AltModifier);
    ClickAt(page, Px(5, 8), Qt::NoModifier, Qt::RightButton);
    EXPECT_EQ(w.Canvas().ItemLabelCount(), count);
    w.Canvas().Label(0).caption = "New text";
    ClickAt(page, Px(5, 8));
    ASSERT_EQ(w.Canvas().ItemLabelCount(), count + 1);
    const LabelControl& made = w.Canvas().Label(w.Canvas().LabelOrder().back());
    EXPECT_EQ(made.caption, "New text");
    EXPECT_NEAR(made.left + made.top, 5 + 8, 0.02);
}

TEST_F(FrmMainEditing, DragsAndInsertsLandOnTheSameInchesAtEveryZoomAndOnTheGridWithSnapOn) {
    const struct {
        double zoom, snap, landed[4];  // the dragged label's left and top, the new label's
    } cases[] = {{1, 0, {2.23, 1.61, 4.4, 6.1}},
                 {0.5, 0, {2.23, 1.61, 4.4, 6.1}},
                 {3, 0, {2.23, 1.61, 4.4, 6.1}},
                 {0.5, 0.25, {2.25, 1.5, 4.5, 6}}};
    for (const auto& c : cases) {
        Window each;  // a fresh page for each zoom
        FrmMain& w = *each.w;
        w.Pages().SetZoom(c.zoom);
        if (c.snap) {
            each.Choose("mnuSnap");
            each.ui.inputAnswers.push_back("0.25");
            each.Choose("mnuSnapStep");
        }
        EXPECT_EQ(w.Editor().SnapStep(), c.snap);
        PageCanvas* page = w.PageView(0);
        auto at = [&](double x, double y) {
            return QPoint(int(std::lround(page->ToPixels(x))), int(std::lround(page->ToPixels(y))));
        };
        int a = AddLabel(w, 1.03, 1.01);
        Drag(page, at(1.2, 1.1), at(2.4, 1.7));
        ClickAt(page, at(4.4, 6.1));  // the label tool
        const LabelControl& dropped = w.Canvas().Label(w.Canvas().LabelOrder().back());
        const double landed[] = {w.Canvas().Label(a).left, w.Canvas().Label(a).top, dropped.left,
                                 dropped.top};
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(landed[i], c.landed[i], c.snap ? 1e-9 : 0.02) << c.zoom << " " << i;
        if (c.snap) {
            each.Choose("mnuSnap");  // off again: items land where the pointer leaves them
            EXPECT_EQ(w.Editor().SnapStep(), 0);
        }
    }
    // The keys' entries zoom within their limits and back (the wheel: WindowFaults).
    PageStrip& strip = w.Pages();
    for (int i = 0; i < 20; ++i) win.Choose("mnuZoomIn");
    EXPECT_DOUBLE_EQ(strip.Zoom(), PageStrip::kMaxZoom);
    win.Choose("mnuZoomActual");
    EXPECT_DOUBLE_EQ(strip.Zoom(), 1);
    EXPECT_EQ(win.Find<QAction>("mnuZoomActual")->shortcut(), QKeySequence("Ctrl+0"));
}

TEST_F(FrmMainEditing, TheGridToolOpensInsertGridWhichBuildsAndSnapsRowsToTheBackgroundsLines) {
    // A ruled page picture at 50 pixels per inch: four lines 0.3 inch apart from 2 inches.
    QImage ruled(425, 550, QImage::Format_RGB32);
    ruled.fill(Qt::white);
    ruled.setDotsPerMeterX(qRound(50 / 0.0254));
    ruled.setDotsPerMeterY(qRound(50 / 0.0254));
    for (int k = 0; k < 4; ++k) QPainter(&ruled).fillRect(0, 100 + 15 * k, 425, 2, Qt::black);
    const QString images = QString::fromStdString(win.program.ImagesFolder());
    QDir().mkpath(images);
    ASSERT_TRUE(ruled.save(images + "/ruled.png"));
    ASSERT_TRUE(QImage(60, 30, QImage::Format_RGB32).save(images + "/logo.png"));
    const std::string layout = win.data.filePath("ruled.ldt").toStdString();
    WriteTestFile(layout, MakeLayout("Background_Image:\truled.png\t1\t1\r\n"
                                     "Image:\t0.5\t0.4\t1.2\t0.6\tlogo.png\t\t1\r\n",
                                     "<PAGE>\r\n</PAGE>\r\n"));
    ASSERT_TRUE(w.OpenLayout(layout));

    Choose(w.ToolButton(kInsertGrid));
    ClickAt(page, Px(1, 1.5));
    ClickAt(page, Px(5, 3.5));
    FrmGrid* grid = w.Dialogs().Grid();
    ASSERT_TRUE(grid && grid->isVisible());
    EXPECT_EQ(grid->windowTitle(), "Insert Grid");
    EXPECT_EQ(grid->Field("Left")->text() + grid->Field("Bottom")->text(), "1.0003.500");
    auto type = [&](const char* field, const char* text) { Type(grid->Field(field), text); };
    // The page's kept picture follows every command over the background and the logo.
    int step = 0;
    auto press = [&](const char* button) {
        ClickAt(grid->Button(button));
        ExpectPageAsDrawnAfresh(w, 0, step++);
    };
    type("Columns", "3");
    type("Rows", "2");
    press("Apply");
    EXPECT_EQ(w.Editor().SelectedLabels().size(), 6u);

    Check(grid->Check("Auto calc - snap to lines"));
    Check(grid->Option("Both"));
    press("Apply");
    // Five rows, each label centred between two lines (or beyond the last ones).
    std::vector<int> cells = w.Editor().SelectedLabels();
    ASSERT_EQ(cells.size(), 15u);
    for (int r = 0; r < 5; ++r) {
        const LabelControl& l = w.Canvas().Label(cells[size_t(r * 3)]);
        EXPECT_NEAR(l.top + l.height / 2, 1.85 + 0.3 * r, 0.02) << r;
    }
    // Saved from the menu while the grid shows its helper lines: the cells, none of the lines.
    const std::string saved = win.data.filePath("grid.ldt").toStdString();
    win.ui.fileAnswers.push_back(saved);
    win.ui.boolAnswers.assign(4, true);
    win.Choose("mnuSaveToFile");
    ASSERT_TRUE(grid->isVisible());
    Window reopened;
    ASSERT_TRUE(reopened.w->OpenLayout(saved));
    auto body = [](const std::string& text) { return text.substr(text.find("Form_Type:")); };
    EXPECT_EQ(body(Written(*reopened.w)), body(Written(w)));  // the code follows the file name
    EXPECT_EQ(reopened.w->Canvas().LabelOrder().size(), w.Canvas().LabelOrder().size());
    type("Adjust column #", "2");
    for (const char* column : {">", "+", "<", "-"}) press(column);
    press("Fill from List");
    EXPECT_TRUE(w.Dialogs().Lists()->isVisible());
    press("Clear");
    for (int i : cells) EXPECT_EQ(w.Canvas().LabelAt(i), nullptr);
    press("Done");
    EXPECT_FALSE(grid->isVisible() || w.Editor().GridAreaVisible());
    EXPECT_TRUE(win.ui.Messages().empty());
}

TEST_F(FrmMainEditing, GridsGetConsecutiveNumbersAndComeBackSelected) {
    GridArea area{
        .left = 1, .top = 1, .right = 4, .bottom = 2, .columns = 2, .rows = 2, .tag = "grid"};
    auto first = w.BuildGrid(area);
    auto second = w.BuildGrid(area);
    ASSERT_EQ(first.size(), 4u);
    EXPECT_EQ(w.Canvas().Label(first[0]).caption, "1:1,1");
    EXPECT_EQ(w.Canvas().Label(second[0]).caption, "2:1,1");
    EXPECT_EQ(w.Editor().SelectedLabels(), second);
    EXPECT_EQ(w.Canvas().Label(second[1]).tag, "");
    area.dataGrid = true, area.columns = 3, area.columnsInRecord = 2;
    EXPECT_TRUE(w.BuildGrid(area).empty());  // refused: the number is not used up
    area.columns = 4;
    auto data = w.BuildGrid(area);
    ASSERT_FALSE(data.empty());
    EXPECT_EQ(w.Canvas().Label(data[0]).caption, std::string("\xF4") + "3:1,1");
}

TEST_F(FrmMainEditing, TheItemMenuDeletesThatItemAloneAndTurnsALabelIntoADataFieldOrStaticText) {
    CanvasModel& c = w.Canvas();
    w.Model().databaseFields.push_back({"PT_NAME", "PATIENT.LAST_NAME"});
    w.Model().databaseFields.push_back({"PT_ID", "PATIENT.ID"});
    int a = AddLabel(w, 1, 1), b = AddLabel(w, 3, 1);
    int image = c.AddImage({1, 3, 1, 1}, 0, "a.png", "");
    int box = c.AddBox({4, 3, 2, 2}, 0), hotspot = c.AddHotspot({6.5, 3, 1, 1}, 0);
    ClickAt(page, Px(1.2, 1.1));
    ClickAt(page, Px(3.2, 1.1), Qt::ControlModifier);
    ChooseFromPopupAt(page, Px(1.5, 3.5), "Delete");  // the image
    ChooseFromPopupAt(page, Px(7.3, 3.8), "Delete");  // a hotspot goes with its label
    EXPECT_FALSE(c.Images()[size_t(image)].active || c.Hotspots()[size_t(hotspot)].active);
    EXPECT_EQ(c.LabelAt(c.Hotspots()[size_t(hotspot)].label), nullptr);
    EXPECT_EQ(w.Editor().SelectedLabels(), (std::vector<int>{a, b}));  // still there
    // The box's label stands for the box.
    ChooseFromPopupAt(page, Px(4.05, 3.05), "Delete");
    EXPECT_FALSE(c.Boxes()[size_t(box)].active);

    ChooseFromPopupAt(page, Px(1.2, 1.1), "PT_NAME PATIENT.LAST_NAME", "Data Fields");
    EXPECT_TRUE(c.Label(a).caption == "~PT_NAME" && c.Label(a).autoSize);
    EXPECT_EQ(w.Model().Item(a).itemKind, ItemKind::DatabaseField);
    c.Label(0).caption = "Default";
    ChooseFromPopupAt(page, Px(1.2, 1.1), "Text (Static)");
    EXPECT_EQ(c.Label(a).caption, "Default");
    EXPECT_EQ(w.Model().Item(a).itemKind, ItemKind::StaticText);
    // A barcode's label becomes a data field as any label does, and stays a barcode of its size.
    int barcode = c.AddBarcode({1, 6, 2, 0.5}, 0, "123");
    ChooseFromPopupAt(page, Px(1.05, 6.05), "PT_ID PATIENT.ID", "Data Fields");
    EXPECT_EQ(c.Label(barcode).caption, "~PT_ID");
    EXPECT_EQ(c.GetBarcodeWidthHeight(barcode), "2\t0.5");
    ChooseFromPopupAt(page, Px(3.2, 1.1), "Delete");
    EXPECT_TRUE(!c.LabelAt(b) && c.LabelAt(a));
    // A menu closed without a choice gives nothing back.
    QTimer::singleShot(50, [] {
        if (QWidget* menu = QApplication::activePopupWidget()) menu->close();
    });
    EXPECT_EQ(w.ShowPopupMenu({"Delete", "-", "Properties"}), "");
}

TEST_F(FrmMainEditing, ChangesAreNotLostByClosingOrStartingANewFormUnasked) {
    ASSERT_TRUE(w.OpenLayout(DataPath("layouts/full.ldt")));
    EXPECT_FALSE(w.IsModified());
    // Selecting is not a change.
    const int a = AddLabel(w, 4, 9.5);
    w.MarkSaved();
    ClickAt(page, Px(4.2, 9.6));
    EXPECT_TRUE(w.Editor().IsSelected(a));
    EXPECT_FALSE(w.IsModified());
    // Moving is, and the title shows it.
    Press(Qt::Key_Right);
    EXPECT_TRUE(w.IsModified());
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.windowHandle()->title().startsWith("Form Designer - full*   "));

    auto asked = [&] {
        int n = 0;
        for (const auto& c : win.ui.calls)
            if (c.kind == RecordingUserInterface::Kind::OkCancel) ++n;
        return n;
    };
    win.ui.Clear();
    win.ui.boolAnswers = {false};  // keep the form
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(asked(), 1);
    win.ui.boolAnswers = {false};
    win.Choose("mnuNew");
    EXPECT_NE(w.Canvas().LabelAt(a), nullptr);  // still there
    EXPECT_EQ(asked(), 2);

    // Saved to a file, the form closes without a question.
    win.ui.fileAnswers.push_back(win.data.filePath("kept.ldt").toStdString());
    win.ui.boolAnswers.assign(4, true);
    win.Choose("mnuSaveToFile");
    EXPECT_FALSE(w.IsModified() || w.isWindowModified());
    // Save writes where the form came from, or where the user names for a new form.
    Press(Qt::Key_Right);
    const std::string moved = Written(w);
    win.ui.saveAnswers = {SaveChoice::Save, SaveChoice::Save};
    win.Choose("mnuNew");
    AddLabel(w, 1, 1);
    win.ui.fileAnswers = {win.data.filePath("named.ldt").toStdString()};
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(QFile::exists(win.data.filePath("named.ldt")));
    ASSERT_TRUE(w.OpenLayout(win.data.filePath("kept.ldt").toStdString()));
    EXPECT_EQ(Written(w).substr(Written(w).find("<PAGE>")), moved.substr(moved.find("<PAGE>")));
    win.ui.Clear();
    EXPECT_TRUE(w.close());
    EXPECT_EQ(asked(), 0);
}

TEST_F(FrmMainEditing, ThePropertiesOfTheItemMenuEditALabelThatIsWrittenWithoutItsRowLines) {
    int a = AddLabel(w, 1, 1);
    ChooseFromPopupAt(page, Px(1.2, 1.1), "Properties");
    auto* dlg = w.findChild<FrmProps*>("frmProps");
    ASSERT_TRUE(dlg && dlg->isVisible());
    EXPECT_EQ(dlg->windowTitle(), "Properties");
    auto field = [&](const char* name) { return dlg->findChild<QLineEdit*>(name); };
    Type(field("txtStatic"), "Balance due");
    EXPECT_EQ(dlg->findChild<QLabel*>("lblPreview")->text(), "Balance due");
    Type(field("txtLeft"), "2.25");
    Type(field("txtTop"), "oops");  // refused: nothing is written
    ClickAt(dlg->findChild<QPushButton*>("cmdApply"));
    EXPECT_EQ(field("txtTop")->text(), "1.000");
    EXPECT_EQ(w.Canvas().Label(a).caption, "Item");
    ClickAt(dlg->findChild<QPushButton*>("cmdApply"));
    EXPECT_EQ(w.Canvas().Label(a).caption, "Balance due");
    EXPECT_DOUBLE_EQ(w.Canvas().Label(a).left, 2.25);
    // A new step reaches the dialogs that show, not a hidden one; a closed one is forgotten.
    FrmLineProps* hidden = w.Dialogs().OpenLineProps();
    hidden->hide();
    hidden->HorizontalStepField()->clear();
    w.Model().settings.horizontalShift = 0.5;
    w.UpdateShiftOfOpenDialogs();
    EXPECT_EQ(field("txtHSpacing")->text(), "0.5");
    EXPECT_EQ(hidden->HorizontalStepField()->text(), "");
    hidden->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    w.UpdateShiftOfOpenDialogs();
    // Closed, a double click on a label opens it again on that label.
    dlg->close();
    DoubleClickAt(page, Px(2.3, 1.1));
    EXPECT_TRUE(dlg->isVisible() && dlg->CurrentLabelIndx() == a);
    const std::string path = win.data.filePath("edited.ldt").toStdString();
    ASSERT_TRUE(w.SaveLayout(path));
    EXPECT_NE(files::ReadTextFile(path).find("Balance due\t2.25\t1\t"), std::string::npos);
    // A text box's rows come from its caption; saved and recovery text hold the caption alone.
    const QString caption = "%T@TB1@Notes@0.600@3";
    Type(field("txtStatic"), caption);
    ClickAt(dlg->findChild<QPushButton*>("cmdAdjust"));
    EXPECT_EQ(field("txtRows")->text() + " " + field("txtRowsHeight")->text(), "3 0.600");
    Check(dlg->findChild<QCheckBox*>("chkVisualize"));
    ClickAt(dlg->findChild<QPushButton*>("cmdApply"));
    ASSERT_TRUE(dlg->isVisible());
    EXPECT_EQ(w.Canvas().Label(a).shownRows, 3);
    ASSERT_TRUE(w.SaveLayout(path));
    QTest::qWait(10);
    for (const std::string& text : {files::ReadTextFile(path), Written(w)})
        EXPECT_EQ(text.find("ROW"), std::string::npos);
    // "Text Default" binds it to the template.
    win.Choose("mnuTextDefault");
    EXPECT_EQ(dlg->windowTitle(), "Default Text Properties");
    EXPECT_FALSE(field("txtLeft")->isVisibleTo(dlg));
    ASSERT_TRUE(w.OpenLayout(path));
    EXPECT_EQ(w.Canvas().Label(a).caption, caption.toStdString());
}
