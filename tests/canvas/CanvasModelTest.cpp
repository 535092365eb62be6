#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <set>

#include "canvas/CanvasModel.h"
#include "canvas/PageDamage.h"
#include "layout/LayoutTestSupport.h"
#include "shell/HugeBlocks.h"

// Each shape of the full layout a record with its companion label; lines red on a real page.
TEST(CanvasModel, TheFullLayoutKeepsItsShapesColoursAndPages) {
    LoadedLayout c;
    const std::string full = TestDataFile("layouts/full.ldt");
    ASSERT_TRUE(c.Read(full));
    EXPECT_TRUE(c.ui.Messages().empty());
    EXPECT_EQ(c.store.PageCount(), 2);
    ASSERT_EQ((std::vector<size_t>{c.store.Hotspots().size(), c.store.SignatureBoxes().size(),
                                   c.store.Boxes().size(), c.store.Images().size()}),
              (std::vector<size_t>{1, 1, 1, 2}));
    const HotspotRecord& h = c.store.Hotspots()[0];
    EXPECT_EQ(std::tuple(h.kind, h.r.left, h.r.height), std::tuple("PATIENT", 2.0, 0.5));
    EXPECT_TRUE(c.store.IsHotspotLabel(h.label));
    EXPECT_TRUE(c.store.IsSignatureBoxLabel(c.store.SignatureBoxes()[0].label) &&
                c.store.SignatureBoxes()[0].signaturePad);
    const BoxRecord& b = c.store.Boxes()[0];
    EXPECT_TRUE(c.store.IsBoxLabel(b.label));
    EXPECT_EQ((std::tuple{b.styleCode, b.borderWidth, b.borderColor}), (std::tuple{0, 2, 255LL}));
    EXPECT_FALSE(c.store.IsBoxLabel(0) || c.store.IsHotspotLabel(-5));

    // A plain label is light blue, yellow once marked; a barcode green, with its area.
    int plain = c.FindLabel("Linked"), barcode = -1;
    for (int i = 1; i < c.store.LabelCount(); ++i)
        if (c.store.IsBarcodeLabel(i)) barcode = i;
    ASSERT_TRUE(plain > 0 && barcode > 0);
    EXPECT_EQ(c.store.LabelBackColor(plain), 0x80FFFFu);
    c.store.Label(plain).tag = "marked";
    EXPECT_EQ(c.store.LabelBackColor(plain), 0xFFFF64u);
    EXPECT_EQ(c.store.LabelBackColor(barcode), 0xBDF2BDu);
    EXPECT_EQ(c.store.BarcodeRect(barcode), (Rect{5, 0.5, 2, 0.5}));
    EXPECT_DOUBLE_EQ(c.store.BarcodeRect(plain).width, 0);  // not a barcode

    int line = c.store.LoadOneLine(1, 2, 3);
    EXPECT_EQ(c.store.LoadOneLine(50, 1, 1), line + 1);
    const LineRecord& l = c.store.Lines()[size_t(line)];
    EXPECT_EQ(std::tuple(l.color, l.width, l.page, l.x2, l.y2), std::tuple(255u, 1, 1, 2.0, 3.0));
    EXPECT_EQ(c.store.Lines()[size_t(line) + 1].page, c.store.PageCount() - 1);

    // A fetched picture's stamp goes to its own records only, whatever the case of its name.
    c.store.UpdatePictureTimeStamp("LOGO.BMP", "S1");
    EXPECT_NE(c.Write().find("Background_Image:\tback.png\t20261201101010001\t1\r\n"),
              std::string::npos);
    c.store.UpdatePictureTimeStamp("Back.png", "S2");
    EXPECT_NE(c.Write().find("Background_Image:\tback.png\tS2\t1\r\n"), std::string::npos);

    // Showing a page ends a corner pick.
    c.store.Window().cornerPick = c.store.Window().firstCorner = true;
    c.store.ShowPage(1);
    EXPECT_FALSE(c.store.Window().cornerPick || c.store.Window().firstCorner);
}

// Values from outside the program: out of range, unsafe or missing, each made safe.
TEST(CanvasModel, DamagedValuesAreMadeSafe) {
    const std::pair<int, int> styles[] = {{7, 6}, {-1, 6}, {0, 1}}, codes[] = {{5, 4}, {9, 6}};
    for (auto [code, style] : styles) EXPECT_EQ(BoxStyleFromCode(code), style) << code;
    for (auto [style, code] : codes) EXPECT_EQ(BoxCodeFromStyle(style), code) << style;
    LoadedLayout c;
    ASSERT_TRUE(
        c.Read(MakeLayout("Number_Of_Pages:\t500\r\nImage:\t1\t1\t1\t1\t../etc/passwd\t1\t1\t\r\n"
                          "Box:\t1\t1\t2\t2\t1\t8\t1\tY\t0\r\n",
                          "<PAGE>\r\n\xE6"
                          "12345\t1\t1\tArial\t8\tN\tN\tL\t1\tN\t\t\t\r\n</PAGE>")));
    EXPECT_EQ(c.store.GetBoxShapesDefinitions(), "Box:\t1\t1\t2\t2\t1\t6\t1\tY\t0");
    EXPECT_LE(c.store.PageCount(), 99);
    c.store.ShowPage(1000);
    EXPECT_LT(c.store.Window().currentPage, c.store.PageCount());
    ASSERT_EQ(c.store.Images().size(), 1u);
    EXPECT_EQ(c.store.Images()[0].path, "");
    // A barcode without a size gets a drawable area.
    const int barcode = c.FindLabel("12345");
    ASSERT_TRUE(c.store.IsBarcodeLabel(barcode));
    Rect r = c.store.BarcodeRect(barcode);
    EXPECT_EQ((std::pair{r.width, r.height}),
              (std::pair{kDefaultBarcodeWidth, kDefaultBarcodeHeight}));
}

// Data hotspots are written first, the others after them in index order.
TEST(CanvasModel, CompanionLabelsSitAtTheirShapesCornerAndAreNeverWritten) {
    LoadedLayout c;
    ASSERT_TRUE(c.Read(
        MakeLayout("Hotspot:\t1\t1\t1\t1\t1\tP\r\nHotspot:\t2\t1.5\t1\t1\t1\tD\r\n"
                   "Hotspot:\t3\t1\t1\t1\t1\tS\r\nHotspot:\t4\t1\t1\t1\t1\tPATIENT\r\n"
                   "Hotspot:\t5\t1\t1\t1\t1\tdg\r\n"
                   "Signature_Box:\t1\t5\t2\t1\t1\tN\r\nBox:\t0.5\t0.5\t7\t9\t1\t1\t1\tN\t0\r\n",
                   "")));
    std::vector<std::string> kinds;
    for (const auto& line : text::Split(c.store.GetHotspotShapesDefinitions(), "\r\n"))
        if (!line.empty()) kinds.push_back(text::SplitStr(line, "\t", 7));
    EXPECT_EQ(kinds, (std::vector<std::string>{"D", "dg", "P", "S", "PATIENT"}));
    const HotspotRecord& d = c.store.Hotspots()[1];
    const LabelControl* dl = c.store.LabelAt(d.label);
    ASSERT_NE(dl, nullptr);
    EXPECT_EQ(std::tuple(dl->caption, dl->left, dl->top, dl->visible),
              std::tuple("Hotspot", 2.0, 1.5, true));
    EXPECT_EQ(c.store.LabelForeColor(d.label), 0xFFFFFFu);
    EXPECT_EQ(c.store.LabelAt(c.store.SignatureBoxes()[0].label)->caption, "Signature Box");
    EXPECT_TRUE(c.store.IsCompanionLabel(c.store.Boxes()[0].label));
    // Shown on the canvas, never written as items.
    std::string written = c.Write();
    EXPECT_EQ(written.find("Hotspot\t"), std::string::npos);
    EXPECT_EQ(written.find("Signature Box\t"), std::string::npos);
    EXPECT_EQ((std::pair{c.store.ItemLabelCount(), c.store.ShapeCount()}), (std::pair{0, 7}));
}

TEST(CanvasModel, LabelsStayInPlaceWhileManyMoreAreAdded) {
    LoadedLayout c;
    int first = c.store.LoadOneLabel(0);
    LabelControl* held = &c.store.Label(first);
    held->caption = "kept";
    for (int i = 0; i < 5000; ++i) c.store.LoadOneLabel(0);
    EXPECT_EQ(&c.store.Label(first), held);
    EXPECT_EQ(held->caption, "kept");
}

// Elements keep their place and value while the list grows from its heap chunks into
// huge blocks (2,048 strings, then 65,536 a block), is cut back across a block's edge
// and grows again.
TEST(StableList, KeepsElementsInPlaceAcrossBlocksAndCuts) {
    struct Case {
        size_t grow, keep, regrow;
    };
    auto value = [](size_t i) { return std::string(40, char('a' + i % 26)) + std::to_string(i); };
    for (Case c :
         {Case{100, 50, 200}, {3000, 2048, 70000}, {70000, 67584, 140000}, {140000, 0, 10}}) {
        StableList<std::string> list;
        for (size_t i = 0; i < c.grow; ++i) list.emplace_back(value(i));
        const std::string* first = &list[0];
        list.KeepFirst(c.keep);
        for (size_t i = c.keep; i < c.regrow; ++i) list.emplace_back(value(i));
        ASSERT_EQ(list.size(), c.regrow);
        if (c.keep > 0) {
            EXPECT_EQ(&list[0], first);
        }
        for (size_t i = 0; i < c.regrow; i += 997) EXPECT_EQ(list[i], value(i));
        EXPECT_EQ(list[c.regrow - 1], value(c.regrow - 1));
    }
}

#if defined(__linux__)
// Blocks given back serve the next form, a few of them: more than are kept go back to the
// kernel, and a kept block is whole and writable when it comes back.
TEST(HugeBlocks, AFewGivenBackAreTakenAgain) {
    std::vector<char*> given;
    for (int i = 0; i < 12; ++i) given.push_back(static_cast<char*>(memory::TakeHugeBlock()));
    EXPECT_EQ(memory::KeptHugeBlocks(), 0);
    for (char* p : given) memory::GiveBackHugeBlock(p);
    EXPECT_EQ(memory::KeptHugeBlocks(), 8);
    std::set<char*> again;
    for (int i = 0; i < 3; ++i) {
        char* p = static_cast<char*>(memory::TakeHugeBlock());
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(p) % memory::kHugeBlock, 0u);
        p[0] = p[memory::kHugeBlock - 1] = 'x';
        again.insert(p);
    }
    EXPECT_EQ(memory::KeptHugeBlocks(), 5);
    for (char* p : again) EXPECT_TRUE(std::count(given.begin(), given.end(), p));
    for (char* p : again) memory::GiveBackHugeBlock(p);
}
#endif

TEST(CanvasModel, ItemDialogsStoreTheirRecordsAndDeletedItemsStayCleared) {
    LoadedLayout c;
    ASSERT_TRUE(c.Read(MakeLayout("", "")));
    int h = c.store.AddHotspot({1, 1, 1, 1}, 0, "P");
    int b = c.store.AddBox({4, 4, 2, 2}, 0);
    int im = c.store.AddImage({0.5, 6, 1, 1}, 0, "logo.png", "/tmp/logo.png");

    c.store.UpdateHotspotShapeDetails(h, {2, 2, 1.5, 0.5}, "D");
    const int hotspotLabel = c.store.Hotspots()[size_t(h)].label;
    EXPECT_DOUBLE_EQ(c.store.Label(hotspotLabel).left, 2);  // the companion label follows
    EXPECT_EQ(c.store.LabelBackColor(hotspotLabel), label_colors::kHotspotD);
    EXPECT_EQ(c.store.GetHotspotWidthHeight(h), "1.5\t0.5");

    c.store.UpdateBoxShapeDetails(b, {4.25, 4, 3, 1});
    c.store.UpdateBoxShapeProps(b, CanvasModel::BoxOption::BorderWidth, 40);  // at most 12
    c.store.UpdateBoxShapeProps(b, CanvasModel::BoxOption::HideInPreview, 1);
    EXPECT_EQ(c.store.GetBoxShapesDefinitions(), "Box:\t4.25\t4\t3\t1\t1\t6\t12\tY\t0");
    EXPECT_EQ(c.store.GetBoxShapeDetailsHideInPreview(b), 1);
    EXPECT_EQ(c.store.GetBoxShapeIndex(c.store.GetBoxShapeLabelIndex(b)), b);

    c.store.UpdateImageDetails(im, {0.5, 6, 2, 1}, "1");
    // No background on this page.
    EXPECT_EQ(c.store.GetImageSource(im) + " " + c.store.CurrentImageName(im) + " " +
                  c.store.CurrentImagePath(im) + " " + c.store.GetImageLinkedSignatureBoxNum(im) +
                  " " + c.store.CurrentBackgroundImage(),
              "Local logo.png /tmp/logo.png 1 ");

    // A dialog still open on a deleted item cannot bring it back.
    c.store.DeleteBox(b);
    c.store.UpdateBoxShapeDetails(b, {1, 1, 1, 1});
    c.store.UpdateBoxShapeProps(b, CanvasModel::BoxOption::BorderWidth, 3);
    EXPECT_EQ(c.store.GetBoxShapesDefinitions(), "");
    EXPECT_EQ(c.store.Boxes()[size_t(b)].borderWidth, 1);
    c.store.DeleteHotspot(h);
    c.store.UpdateHotspotShapeDetails(h, {3, 3, 1, 1}, "S");
    EXPECT_EQ(c.store.GetHotspotShapesDefinitions(), "");
    // A deleted box is not written, and its index and label are never reused.
    const int boxLabel = c.store.Boxes()[size_t(b)].label;
    EXPECT_EQ(c.store.Boxes()[size_t(b)].styleCode, 6);
    EXPECT_EQ(c.store.LabelAt(boxLabel), nullptr);
    const int next = c.store.AddBox({0.5, 0.5, 1, 1}, 0);
    EXPECT_EQ(next, b + 1);
    EXPECT_GT(c.store.Boxes()[size_t(next)].label, boxLabel);
    EXPECT_EQ(c.store.GetBoxShapesDefinitions(), "Box:\t0.5\t0.5\t1\t1\t1\t6\t1\tN\t0");
    c.store.DeleteBox(99);  // out of range: nothing happens
    c.store.DeleteLabel(-1);
    EXPECT_EQ(c.store.Boxes().size(), size_t(next) + 1);
    c.store.UpdateImageDetails(99, {}, "");
    EXPECT_EQ(c.store.GetImageSource(99), "");
    EXPECT_EQ(c.store.GetBoxShapeLabelIndex(-1), -1);
}

#include "canvas/UndoHistory.h"

// The records an edit touched come back byte for byte at their index; the history is bounded.
TEST(UndoHistory, StepsPutTheTouchedRecordsBackInPlace) {
    LoadedLayout c;
    ASSERT_TRUE(c.Read(MakeLayout("", "<PAGE>\r\n" + ItemLine("A") + "\r\n" +
                                          ItemLine("B", "1\t3\tArial\t8\tN\tN\tL\t1\tN\t\t\t") +
                                          "\r\n</PAGE>")));
    UndoHistory h(4);
    h.Reset();
    c.store.StartSteps();
    auto take = [&](const char* name) {
        CanvasStep step;
        return c.store.TakeStep(step) && h.Record(std::move(step), name);
    };
    const struct {
        const char* name;
        std::function<void()> edit;
    } edits[] = {
        {"Move", [&] { c.store.Label(2).top = 2; }},
        {"Delete", [&] { c.store.DeleteLabel(1); }},
        {"Box", [&] { c.store.AddBox(Rect(4, 4, 1, 1), 0); }},
        {"Item", [&] { c.store.Item(2).linkData = "link"; }},
        {"Setup",
         [&] {
             c.store.SetPageSize(11, 8.5);
             c.model.settings.interactive = true;
         }},
    };
    std::vector<std::string> texts{c.Write()};
    // The drawing order, asked for before each change, follows labels deleted and back.
    auto inOrder = [&] {
        std::vector<int> loaded;
        for (int i = 1; i < 8; ++i)
            if (c.store.LabelAt(i)) loaded.push_back(i);
        return c.store.LabelOrder() == loaded;
    };
    const std::uint64_t opened = h.Position();
    for (const auto& e : edits) {
        c.store.Marks(2).SetMarked(true);
        c.store.SetGridCell(0);  // the template is never made a grid cell
        EXPECT_FALSE(take("Select")) << e.name;
        e.edit();
        EXPECT_TRUE(c.store.HasUnrecordedChanges()) << e.name;
        ASSERT_TRUE(take(e.name)) << e.name;
        EXPECT_NE(h.Position(), opened) << e.name;  // a form edited twice is not as opened
        texts.push_back(c.Write());
    }
    EXPECT_EQ(h.Steps(), 4u);  // the oldest went
    EXPECT_EQ(h.UndoName(), "Setup");
    for (size_t i = texts.size() - 1; h.CanUndo(); --i) {
        c.store.PutBack(*h.Undo(), false);
        EXPECT_EQ(c.Write(), texts[i - 1]) << i;
        EXPECT_TRUE(inOrder()) << i;
    }
    EXPECT_NE(h.Position(), opened);
    EXPECT_EQ(c.store.LabelAt(1)->caption, "A");  // deleted and back at its index
    for (size_t i = 2; h.CanRedo(); ++i) {
        c.store.PutBack(*h.Redo(), true);
        EXPECT_EQ(c.Write(), texts[i]) << i;
        EXPECT_TRUE(inOrder()) << i;
    }
    EXPECT_EQ(c.store.LabelAt(1), nullptr);
    EXPECT_LT(h.MemoryBytes(), 10000u);
}

// The window repaints what PageDamage finds: the area each edit touched, and only that.
TEST(PageDamage, FindsWhatEachEditTouchedAndNothingElse) {
    LoadedLayout c;
    ASSERT_TRUE(
        c.Read("<HEADER>\r\nPage:\t8.5\t11\r\n</HEADER>\r\n<PAGE>\r\n"
               "A\t1\t1\tArial\t8\tN\tN\tL\t1\tN\t\t\t\r\n"
               "B\t1\t3\tArial\t8\tN\tN\tL\t1\tN\t\t\t\r\n"
               "C\t1\t5\tArial\t8\tN\tN\tL\t1\tN\t\t\t\r\n</PAGE>"));
    const int box = c.store.AddBox({4, 4, 0.5, 0.5}, 0);
    PageDamage damage;
    EXPECT_TRUE(damage.Take(c.store, 0).all);
    // Each case: the edit, then the tops (inches) of the areas it must damage.
    struct Case {
        const char* what;
        std::function<void()> edit;
        std::vector<double> tops;
    } cases[] = {
        {"nothing", [] {}, {}},
        {"caption", [&] { c.store.Label(2).caption = "Bee"; }, {3, 3}},
        {"moved", [&] { c.store.Label(1).top = 2; }, {1, 2}},
        {"to the front", [&] { c.store.BringToFront(1); }, {2, 2}},
        {"back in place", [&] { c.store.BringAllToFront(); }, {2, 2}},
        {"selection colour", [&] { c.store.Label(3).SetMarked(true); }, {5, 5}},
        {"deleted", [&] { c.store.DeleteLabel(3); }, {5}},
        {"box and its label moved", [&] { c.store.MoveBoxShape(box, 0, 1); }, {4, 4, 5, 5}},
        {"other page", [&] { c.store.Label(2).page = 1; }, {3}},
    };
    for (const auto& k : cases) {
        k.edit();
        PageDamage::Result r = damage.Take(c.store, 0);
        EXPECT_FALSE(r.all) << k.what;
        std::vector<double> tops;
        for (const Rect& area : r.rects) {
            tops.push_back(std::round(area.top * 10) / 10);
            EXPECT_LT(area.height, 1) << k.what;
        }
        std::sort(tops.begin(), tops.end());
        EXPECT_EQ(tops, k.tops) << k.what;
    }
    c.store.SetPageSize(8.5, 14);
    EXPECT_TRUE(damage.Take(c.store, 0).all);
    EXPECT_TRUE(damage.Take(c.store, 0, 1).all) << "a painter option";
}
