#include <algorithm>
#include <array>
#include <filesystem>

#include "LayoutTestSupport.h"
#include "shell/Cp1252.h"

namespace {

// The reader's calls into the canvas in order; shapes only noted, so labels keep their numbers.
class RecordingStore : public CanvasModel {
  public:
    using CanvasModel::CanvasModel;
    using S = const std::string&;
    std::vector<std::string> calls;
    bool placeBackgrounds = false;
    std::function<void(int)> onPage;
    void Note(const std::string& what, int n = -1) {
        calls.push_back(n < 0 ? what : what + " " + std::to_string(n));
    }

    void UnloadAllLabels() override { Note("unload labels"), CanvasModel::UnloadAllLabels(); }
    void UnloadAllImages() override { Note("unload images"), CanvasModel::UnloadAllImages(); }
    void LoadPageContainer(int p) override {
        if (onPage) onPage(p);
        Note("page", p), CanvasModel::LoadPageContainer(p);
    }
    bool LoadBackgroundImage(S l, int p) override {
        Note("background", p), calls.back() += " " + text::SplitStr(l, "\t", 2);
        CanvasModel::LoadBackgroundImage(l, p);
        return placeBackgrounds;
    }
    void LoadImage(S l, int p) override { Note("image", p), CanvasModel::LoadImage(l, p); }
    void LoadHotspot(S, int p) override { Note("hotspot", p); }
    void LoadSignatureBox(S, int p) override { Note("signature", p); }
    void LoadBox(S, int p, int o) override { Note("box " + std::to_string(p) + " option", o); }
    int LoadOneLabel(int p) override { return Note("label", p), CanvasModel::LoadOneLabel(p); }
    int LoadOneLabelForBarcode(int p) override {
        return Note("barcode label", p), CanvasModel::LoadOneLabelForBarcode(p);
    }
    void LoadBarcode(int i) override { Note("barcode picture", i); }
    void ShowPage(int p) override { Note("show", p), CanvasModel::ShowPage(p); }
};

}  // namespace

TEST(LayoutReader, CallsTheCanvasPageByPageInFileOrder) {
    BasicLoadedLayout<RecordingStore> l;
    l.store.placeBackgrounds = true;
    std::string layout = MakeLayout(
        "Background_Image:\ta.png\t1\t2\r\nBackground_Image:\tb.png\t1\t2\r\n"
        "Image:\t1\t1\t1\t1\tlogo.bmp\t1\t1\r\nBox:\t1\t1\t1\t1\t2\t1\t1\tN\t0\r\n"
        "Hotspot:\t1\t1\t1\t1\t2\tX\r\nSignature_Box:\t1\t1\t1\t1\t1\tN\r\nNumber_Of_Pages:\t2\r\n",
        "<PAGE>\r\n" + ItemLine("One") + "\r\n</PAGE>\r\n<PAGE>\r\n\xE6" +
            ItemLine("BC", "1\t1\tArial\t8\tN\tN\tL\t1\tN\t2\t0.5\t") + "\r\n</PAGE>");
    ASSERT_TRUE(l.reader.LoadForm(layout, 3));
    std::vector<std::string> expected = {
        "unload labels", "unload images",  "page 0",          "image 0",
        "signature 0",   "label 0",        "page 1",          "background 1 a.png",
        "hotspot 1",     "box 1 option 3", "barcode label 1", "barcode picture 2",
        "show 0"};
    EXPECT_EQ(l.store.calls, expected);
    EXPECT_TRUE(l.model.settings.interactive);
    EXPECT_TRUE(l.ui.Messages().empty());
}

TEST(LayoutReader, HeaderKeysInAnyCaseAndLenientValues) {
    LoadedLayout l;
    ASSERT_TRUE(l.Read(
        "<HEADER>\r\nPAGE:\t14\t8.5\r\nshift:\t-3\t0\r\nORIENTATION:\t2\r\nInteractive:\tYES\r\n"
        "Posting:\tmaybe\r\nSingle_Record:\tNO\r\nOpen_Last:\tyes\r\nSignpad:\tyes\r\n"
        "LookupDG:\tYes\r\nLookupPC:\tno\r\nobgyn:\tYES\r\nIsStatement:\tyes\r\nSaveImage:\tYes\r\n"
        "Data_Grid:\tyes\r\nData_Entry_Form:\tyes\r\nForm_Document_Type:\tDOC\r\nTimeStamp:"
        "\t123\r\n"
        "Printing_Selection:\tBOX=1\tSHADED=0\t\r\nGRID_TAG:\t1\tA\r\nUnknown:\tvalue\r\n"
        "Form_Code:\tIGNORED\r\n</HEADER>"));
    const FormSettings& s = l.model.settings;
    EXPECT_EQ((std::array{s.pageWidth, s.pageHeight, s.horizontalShift, s.verticalShift}),
              (std::array{14.0, 8.5, 0.01, 0.02}));
    EXPECT_TRUE(s.landscape && s.interactive && s.posting && s.openLast && s.signpad &&
                s.lookupDiagnoses && s.obstetrics && s.statement && s.saveImage && s.dataGrid &&
                s.dataEntryForm);
    EXPECT_FALSE(s.singleRecord || s.lookupProcedures);
    EXPECT_EQ(s.formDocumentType + "|" + s.timeStamp + "|" + s.printingSelection + "|" + s.formCode,
              "DOC|123|BOX=1\tSHADED=0|");
    EXPECT_EQ(s.gridTags, (std::vector<std::string>{"", "GRID_TAG:\t1\tA"}));
}

namespace {
std::string Page(const std::string& lines) {
    return "<PAGE>\r\n" + lines + "</PAGE>";
}
}  // namespace

// One layout each, what the reader says about it and what it makes of it.
TEST(LayoutReader, LinesAreTakenLenientlyOrReportedOnce) {
    const struct Case {
        const char* what;
        std::string layout, message;
        std::function<void(LoadedLayout&)> check;
    } cases[] = {
        {"interactive options without interactive",
         MakeLayout("Posting:\tYes\r\nSingle_Record:\tYes\r\nOpen_Last:\tYes\r\nLookupPC:\tYes\r\n",
                    ""),
         "",
         [](LoadedLayout& l) {
             const FormSettings& s = l.model.settings;
             EXPECT_FALSE(s.posting || s.singleRecord || s.openLast);
             EXPECT_TRUE(s.lookupProcedures);
         }},
        {"malformed page line", "<HEADER>\r\npage:\t14\r\n</HEADER>",
         "Load Layout: page size - wrong format",
         [](LoadedLayout& l) {
             EXPECT_EQ(std::pair(l.store.PageWidth(), l.store.PageHeight()), std::pair(8.5, 11.0));
         }},
        {"leading page marker", MakeLayout("", Page(ItemLine("First") + "\r\n")), "",
         [](LoadedLayout& l) {
             EXPECT_EQ(l.model.settings.numberOfPages, 1);
             EXPECT_EQ(l.LabelOf("First").page, 0);
         }},
        {"short definition lines",
         MakeLayout("Number_Of_Pages:\t2\r\nImage:\t1\t1\t1\t1\tx.bmp\r\nBox:\r\n", ""), "",
         [](LoadedLayout& l) {
             EXPECT_EQ(l.store.GetImagesDefinitions(), "Image:\t1\t1\t1\t1\tx.bmp\t\t1\t");
             EXPECT_EQ(l.store.GetBoxShapesDefinitions(), "");
         }},
        {"item lines need eight elements",
         MakeLayout("", Page("Seven\t1\t1\tArial\t8\tN\tN\r\nEight\t1\t2\tArial\t8\tY\tN\tL\r\n")),
         "",
         [](LoadedLayout& l) {
             EXPECT_EQ(l.FindLabel("Seven"), -1);
             EXPECT_TRUE(l.LabelOf("Eight").bold && l.LabelOf("Eight").top == 2);
         }},
        {"right aligned: placed by its right edge",
         MakeLayout("", Page(ItemLine("Total", "5\t1\tArial\t8\tN\tN\tR\t2\tN\t\t\t") + "\r\n")),
         "",
         [](LoadedLayout& l) {
             const LabelControl& label = l.LabelOf("Total");
             EXPECT_EQ(std::tuple(label.left, label.width, label.alignment),
                       std::tuple(3.0, 2.0, LabelAlignment::Right));
         }},
        {"unknown alignment",
         MakeLayout("", Page(ItemLine("X", "5\t1\tArial\t8\tN\tN\tQ\t2\tN\t\t\t") + "\r\n")),
         "Left/Right aligned: label alignment not defined", [](LoadedLayout&) {}},
        {"old ten-element lines are auto-sized",
         MakeLayout("", Page("Old text\t1\t1\tArial\t8\tN\tN\tL\t5\t\r\n")), "",
         [](LoadedLayout& l) {
             const LabelControl& label = l.LabelOf("Old text");
             EXPECT_TRUE(label.autoSize);
             EXPECT_NEAR(label.width, l.metrics.TextWidth("Old text", "Arial", 8, false, false),
                         1e-9);
         }},
        {"text block gains height and marker",
         MakeLayout("", "<PAGE>\r\n" + ItemLine("%T@NOTE@1") + "\r\n" +
                            ItemLine("%T@TALL@2@0.9@1", "1\t3\tArial\t8\tN\tN\tL\t4\tN\t\t\t") +
                            "\r\n</PAGE>"),
         "",
         [](LoadedLayout& l) {
             double lineHeight = l.store.Label(0).height;
             EXPECT_NEAR(l.LabelOf("%T@NOTE@1@" + NumberText(lineHeight) + "@1").height, lineHeight,
                         0.0005);
             EXPECT_DOUBLE_EQ(l.LabelOf("%T@TALL@2@0.9@1").height, 0.9);
             EXPECT_DOUBLE_EQ(l.ItemOf("%T@TALL@2@0.9@1").barcodeHeight, 0.9);
         }},
        {"user prompt captions in new and old forms",
         MakeLayout(
             "", "<PAGE>\r\n" + ItemLine("^BAD@x") + "\r\n" + ItemLine("^OLD@DATE@") + "\r\n" +
                     ItemLine("^NEW@@LOOKUP@@True@7@dflt@SEL@GRID",
                              "1\t1\tArial\t8\tN\tN\tL\t2.5\tN\t\t\t") +
                     "\r\n" + "^EIGHT@Cap@TEXT@@False@1@@@\t1\t4\tArial\t8\tN\tN\tL\r\n" +
                     ItemLine("^FOUR@Cap@TEXT@") + "\r\n" + ItemLine("^SHORT@Cap@YESNO@@0@+4.25") +
                     "\r\n" + ItemLine("Plain") + "\r\n</PAGE>"),
         "Load Layout file: Wrong format for DATA_ENTRY field",
         [](LoadedLayout& l) {
             EXPECT_NE(l.FindLabel("Template"), -1);  // the bad one keeps the template caption
             EXPECT_EQ(l.ItemOf("^OLD Date").dataEntryType(), "DATE");
             EXPECT_TRUE(l.ItemOf("^OLD Date").definitionRead);
             // A lookup without its key reads as text; a text prompt's width is fixed.
             const LabelControl& fresh = l.LabelOf("^NEW Text");
             EXPECT_EQ(l.ItemOf("^NEW Text").promptNumber(), 7);
             EXPECT_TRUE(fresh.width == 2.5 && !fresh.autoSize);
             // Kind, key, type, look-up, caption, default, required, selection and grid.
             EXPECT_EQ(LabelToolTip(fresh, l.ItemOf("^NEW Text")),
                       "2   ^NEW   TEXT      User Prompt...   dflt   Y   SEL   GRID");
             // A signed decimal reads as its value, rounded ("+4.25"); no flag: not required.
             EXPECT_EQ(l.ItemOf("^SHORT Yes/No").promptNumber(), 4);
             EXPECT_FALSE(l.ItemOf("^SHORT Yes/No").required || l.ItemOf("^FOUR Text").required);
             // Without a width of its own a text prompt is one inch wide.
             EXPECT_FALSE(l.LabelOf("^EIGHT Text").autoSize || l.LabelOf("^EIGHT Text").width != 1);
             // Only prompts carry a prompt's parts: a large form's other labels go without them.
             for (const char* other : {"Template", "Plain"})
                 EXPECT_FALSE(l.ItemOf(other).HasPromptParts()) << other;
         }},
        {"definition lines and database fields",
         MakeLayout("", "<PAGE>\r\n^ALONE@Cap@TEXT@@False@3@@@\r\n^FEW@Cap@TEXT\r\n" +
                            ItemLine("~PAT.NAME@Patient name") + "\r\n" + ItemLine("~PAT.NAME") +
                            "\r\n" + ItemLine("~") + "\r\n</PAGE>"),
         "",
         [](LoadedLayout& l) {
             ASSERT_EQ(l.model.prompts.size(), 1u);
             EXPECT_EQ(l.model.prompts[0].promptKey(), "^ALONE");
             EXPECT_EQ(l.model.prompts[0].promptNumber(), 3);
             ASSERT_EQ(l.model.databaseFields.size(), 1u);
             EXPECT_EQ(l.model.databaseFields[0].fieldName, "PAT.NAME");
             EXPECT_EQ(l.model.databaseFields[0].longName, "Patient name");
             EXPECT_EQ(l.ItemOf("~PAT.NAME").itemKind, ItemKind::DatabaseField);
             EXPECT_EQ(l.ItemOf("~").itemKind, ItemKind::StaticText);
         }},
        {"database fields named again on later pages, in order and out of it",
         MakeLayout("",
                    [] {
                        std::string pages;
                        for (const char* names : {"A@a,B@b,C@c", "A@x,B,C", "C,A,D@d,B"}) {
                            pages += "<PAGE>\r\n";
                            for (const auto& name : text::Split(names, ","))
                                pages += ItemLine("~T." + name) + "\r\n";
                            pages += "</PAGE>\r\n";
                        }
                        return pages;
                    }()),
         "",
         [](LoadedLayout& l) {
             std::string fields;
             for (const auto& f : l.model.databaseFields)
                 fields += f.fieldName + "@" + f.longName.str() + " ";
             EXPECT_EQ(fields, "T.A@a T.B@b T.C@c T.D@d ");
         }},
        {"grid cells barcodes case and link data",
         MakeLayout("", "<PAGE>\r\n" +
                            ItemLine("\xF4ROW", "1\t1\tArial\t9U\tN\tN\tL-2-3\t1\tN\t\t\t") +
                            "\r\n" + "\xE6" +
                            ItemLine("12345", "1\t1\tArial\t8\tN\tN\tL\t1\tN\t2.5\t0.75\tLINK\t") +
                            "\r\n</PAGE>"),
         "",
         [](LoadedLayout& l) {
             EXPECT_TRUE(l.model.settings.dataGrid);
             const LabelControl& cell = l.LabelOf("\xF4ROW");
             EXPECT_EQ(std::pair(cell.spare.str(), cell.fontSize),
                       std::pair(std::string("U#2#3"), 9.0));
             const int barcode = l.Found("12345");
             EXPECT_EQ(l.model.items[size_t(barcode)].linkData, "LINK");
             EXPECT_EQ(l.model.linkedData.at(FormModel::LinkedDataKey(barcode)), "LINK");
             EXPECT_EQ(l.store.GetBarcodeWidthHeight(barcode), "2.5\t0.75");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoadedLayout l;
        ASSERT_TRUE(l.Read(c.layout));
        EXPECT_EQ(OnlyMessage(l.ui), c.message.empty() ? "0 messages" : c.message);
        c.check(l);
    }
}

// The prompt blocks of a form dropped serve the next form, made anew.
TEST(PromptParts, BlocksGivenBackAreTakenAgainAndMadeAnew) {
    std::vector<const PromptParts*> given;
    {
        std::vector<FormItem> dropped(3);
        for (FormItem& item : dropped) {
            item.Prompt().promptKey = std::string(40, 'k');
            item.Prompt().promptNumber = 7;
            given.push_back(&item.Prompt());
        }
    }
    std::vector<FormItem> next(3);
    for (FormItem& item : next) {
        EXPECT_EQ(std::count(given.begin(), given.end(), &item.Prompt()), 1);
        EXPECT_EQ(item.promptKey(), "");
        EXPECT_EQ(item.promptNumber(), 0);
    }
}

TEST(LayoutReader, MissingHeaderOrEmptyTextChangesNothing) {
    LoadedLayout l;
    ASSERT_TRUE(l.Read(MakeLayout("", Page(ItemLine("Kept") + "\r\n"))));
    EXPECT_FALSE(l.Read(""));
    EXPECT_TRUE(l.ui.Messages().empty());
    // Either marker alone, or the two the wrong way round.
    for (const char* bad :
         {"</HEADER> then <HEADER>", "<HEADER>\r\nPage:\t1\t1\r\n", "Page:\t1\t1\r\n</HEADER>"}) {
        l.ui.Clear();
        EXPECT_FALSE(l.Read(bad)) << bad;
        EXPECT_EQ(OnlyMessage(l.ui), "Open Layout: HEADER is missing from this file.") << bad;
    }
    EXPECT_NE(l.FindLabel("Kept"), -1);
}

TEST(LayoutReader, PageEndMarkersGoWhereverTheySitEvenInsideALine) {
    const std::pair<std::string, const char*> cases[] = {
        {Page(ItemLine("Plain") + "\r\n") + "\r\n", "Plain"},
        {Page(ItemLine("Te</PAGE>xt") + "\r\n"), "Text"},
        {"<PAGE>\r\nJoi</PAGE>" + ItemLine("ned") + "\r\n</PAGE>", "Joined"},
        {"<PAGE>\r\n" + ItemLine("Two") + "</PAGE>\r\n</PAGE>\r\n", "Two"},
        {Page(ItemLine("a<b</PAGE<PAGE") + "\r\n" + ItemLine("<</PAGE>") + "\r\n"), "<"},
    };
    for (const auto& [page, caption] : cases) {
        LoadedLayout l;
        ASSERT_TRUE(l.Read(MakeLayout("", page))) << caption;
        EXPECT_NE(l.FindLabel(caption), -1) << caption;
    }
}

// Never more than 99 pages: those past the 99th are dropped.
TEST(LayoutReader, PageCountIsTheLargerOfHeaderAndBlocksAndAtMost99) {
    std::string many;
    for (int i = 0; i < 120; ++i) many += Page(ItemLine("P" + std::to_string(i)) + "\r\n") + "\r\n";
    const struct {
        std::string header, pages;
        int count;
        const char* last;  // the caption on the last page read, and that page
        int page;
    } cases[] = {
        {"Number_Of_Pages:\t3\r\n", Page(ItemLine("A") + "\r\n"), 3, "A", 0},
        {"Number_Of_Pages:\t1\r\n",
         Page("") + "\r\n" + Page("") + "\r\n" + Page(ItemLine("Third") + "\r\n"), 3, "Third", 2},
        {"", many, 99, "P98", 98}};
    for (const auto& c : cases) {
        LoadedLayout l;
        ASSERT_TRUE(l.Read(MakeLayout(c.header, c.pages)));
        EXPECT_EQ(l.model.settings.numberOfPages, c.count);
        EXPECT_EQ(l.store.PageCount(), c.count);
        EXPECT_EQ(l.LabelOf(c.last).page, c.page);
        EXPECT_EQ(l.FindLabel("P99"), -1);
    }
}

// A line is looked at many bytes at once: every field must be found wherever its TAB
// falls, at the start, middle or end of such a run, and in the bytes after the last one.
TEST(LayoutReader, FieldsAreFoundWhereverTheirTabsFall) {
    for (size_t n = 1; n <= 40; ++n) {
        const std::string caption(n, 'c'), link = "L" + std::string(n % 17, 'k');
        LoadedLayout l;
        ASSERT_TRUE(l.Read(
            MakeLayout("", Page(ItemLine(caption, "1.5\t2.25\tArial\t9\tN\tY\tC\t1.75\tN\t\t\t" +
                                                      link + "\textra\t\r\n")))));
        const LabelControl& label = l.LabelOf(caption);
        EXPECT_EQ(std::tuple(label.left, label.top, label.fontSize, label.bold, label.italic,
                             label.alignment, label.width, l.ItemOf(caption).linkData.str()),
                  std::tuple(1.5, 2.25, 9.0, false, true, LabelAlignment::Centre, 1.75, link))
            << n;
    }
}

TEST(LayoutReader, MissingFontFallsBackWithOneMessagePerLabel) {
    LoadedLayout l;
    l.metrics = FixedTextMetrics("Wingdings Nine");
    l.reader.SetDefaultFont("DejaVu Sans");
    ASSERT_TRUE(l.reader.LoadForm(MakeLayout(
        "", "<PAGE>\r\n" + ItemLine("A", "1\t1\tWingdings Nine\t8\tN\tN\tL\t1\tN\t\t\t") + "\r\n" +
                ItemLine("B", "1\t1\tWingdings Nine\t8\tN\tN\tL\t1\tN\t\t\t") + "\r\n</PAGE>")));
    ASSERT_EQ(l.ui.Messages().size(), 2u);
    EXPECT_EQ(l.ui.Messages()[0].title + ": " + l.ui.Messages()[0].text,
              "Fonts: Could not set Wingdings Nine font.\r\nWill use default.");
    EXPECT_EQ(l.store.LabelAt(1)->fontName, "DejaVu Sans");
}

TEST(LayoutReader, ValuesThatMustBeNumbersEndTheRead) {
    std::vector<std::pair<std::string, std::string>> cases = {
        {MakeLayout("Number_Of_Pages:\t99999999999\r\n", ""),
         "ERROR: ERR in modLoadForm.LoadForm   6 Overflow"},
        {MakeLayout(
             "", Page(ItemLine("^K@C@TEXT@@perhaps@1@@@") + "\r\n" + ItemLine("After") + "\r\n")),
         "ERROR: ERR in modLoadForm.LoadOnePage   13 Type mismatch"},
        {MakeLayout("", Page(ItemLine("^K@C@TEXT@@1x@1@@@") + "\r\n")),
         "ERROR: ERR in modLoadForm.LoadOnePage   13 Type mismatch"},
        {MakeLayout("", Page(ItemLine("^K@C@TEXT@@False@2147483648@@@") + "\r\n")),
         "ERROR: ERR in modLoadForm.LoadOnePage   6 Overflow"},
    };
    for (const char* pages : {"many", "2.5", " 2", "2 ", ""})
        cases.emplace_back(MakeLayout("Number_Of_Pages:\t" + std::string(pages) + "\r\n", ""),
                           "ERROR: ERR in modLoadForm.LoadForm   13 Type mismatch");
    for (const auto& [layout, message] : cases) {
        LoadedLayout l;
        EXPECT_FALSE(l.Read(layout)) << layout;
        EXPECT_EQ(OnlyMessage(l.ui), message);
        EXPECT_EQ(l.FindLabel("After"), -1);
    }
    // A prompt's required flag and number as written, in other cases, blanks around, as numbers.
    const std::tuple<const char*, bool, int> prompts[] = {{"True@-007", true, -7},
                                                          {"False@12", false, 12},
                                                          {"TRUE@ 3 ", true, 3},
                                                          {" false @+4", false, 4},
                                                          {"0@2.5", false, 2},
                                                          {"-1@999999999", true, 999999999},
                                                          {"1@-2147483648", true, INT32_MIN}};
    for (const auto& [parts, required, number] : prompts) {
        LoadedLayout l;
        ASSERT_TRUE(l.Read(
            MakeLayout("", Page(ItemLine("^K@C@TEXT@@" + std::string(parts) + "@@@") + "\r\n"))))
            << parts;
        const FormItem& item = l.model.Item(1);
        EXPECT_EQ(item.required, required) << parts;
        EXPECT_EQ(item.promptNumber(), number) << parts;
    }
    // Landscape only for exactly "2".
    for (auto [value, landscape] : {std::pair{"2", true}, {" 2", false}, {"2 ", false}}) {
        LoadedLayout l;
        ASSERT_TRUE(l.Read(MakeLayout(std::string("Orientation:\t") + value + "\r\n", "")));
        EXPECT_EQ(l.model.settings.landscape, landscape) << value;
    }
}

TEST(LayoutReader, SinglePageReaderPutsEveryLineOnOnePage) {
    LoadedLayout l;
    l.model.settings.multipageMode = false;
    ASSERT_TRUE(l.Read(MakeLayout("Image:\t1\t1\t1\t1\tx.bmp\t1\t2\r\nInteractive:\tYes\r\n",
                                  "<PAGE>\r\n" + ItemLine("A") + "\r\n</PAGE>\r\n<PAGE>\r\n" +
                                      ItemLine("B") + "\r\n</PAGE>")));
    EXPECT_EQ(l.LabelOf("B").page, 0);
    EXPECT_FALSE(l.model.settings.interactive);
    EXPECT_NE(l.store.GetImagesDefinitions(), "");
    EXPECT_FALSE(l.Read(""));
}

TEST(PrepareLayoutData, DropsFramingAndTheStampIsTheOnlyValueReplaced) {
    EXPECT_EQ(PrepareLayoutData(
                  "|OK||<HEADER>\r\nPage:\t1\t1\r\n</HEADER>\r\n<PAGE>\r\n</PAGE>\r\n|END|"),
              "<HEADER>\r\nPage:\t1\t1\r\n</HEADER>\r\n<PAGE>\r\n</PAGE>");
    EXPECT_EQ(PrepareLayoutData("|OK||<HEADER>x</HEADER>\r\n|END|"), "<HEADER>x</HEADER>");
    EXPECT_EQ(PrepareLayoutData("no markers") + PrepareLayoutData("</HEADER><HEADER>"), "");
    std::string layout = "<HEADER>\r\nTimeStamp:\t1\r\nForm_Name:\tX\r\n</HEADER>";
    EXPECT_EQ(UpdateDataWithTimeStamp(layout, std::string("999")),
              "<HEADER>\r\nTimeStamp:\t999\r\nForm_Name:\tX\r\n</HEADER>");
    EXPECT_EQ(UpdateDataWithTimeStamp(layout, std::nullopt), layout);
}

// The form code is the file's name without its extension; a file that cannot be read
// changes neither the code nor where the form came from.
TEST(OpenLayoutFile, TakesTheFormCodeFromTheFileName) {
    auto dir = std::filesystem::temp_directory_path() / ("fd_open_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string minimal = TestDataFile("layouts/minimal.ldt");
    const struct {
        const char* name;
        std::string bytes;
        bool opened;
        const char* code;
    } cases[] = {{"Charge Slip.ldt", minimal, true, "Charge Slip"},
                 {".ldt", minimal, true, ".ldt"},
                 {"empty.ldt", "", false, ".ldt"},
                 {"broken.ldt", "no header", false, ".ldt"}};
    LoadedLayout l;
    for (const auto& c : cases) {
        const std::string path = (dir / c.name).string();
        WriteTestFile(path, c.bytes);
        l.model.settings.layoutOrigin = LayoutOrigin::Server;
        EXPECT_EQ(OpenLayoutFile(path, l.reader, l.model, l.ui), c.opened) << c.name;
        EXPECT_EQ(l.model.settings.formCode, c.code);
        EXPECT_EQ(l.model.settings.layoutOrigin,
                  c.opened ? LayoutOrigin::LocalFile : LayoutOrigin::Server);
    }
    // A file's pages are read one at a time: the form and the messages are those of the
    // same text read whole, wherever its markers sit.
    const std::string path = (dir / "paged.ldt").string();
    std::string many;
    for (int i = 0; i < 120; ++i) many += "<PAGE>\r\n" + ItemLine("P" + std::to_string(i)) + "\r\n";
    for (const std::string& text :
         {MakeLayout("Number_Of_Pages:\t3\r\n", "<PAGE>\r\n" + ItemLine("A") + "</PAGE>\r\n"),
          MakeLayout("", "<PAGE>\r\nTe</PAGE>" + ItemLine("xt") + "<PAGE>x<PAGE>\r\n" +
                             ItemLine("Bad\tX")),
          MakeLayout("", many), "junk" + MakeLayout("", "") + ItemLine("NoPage"),
          std::string("</HEADER> then <HEADER>"), TestDataFile("layouts/full.ldt")}) {
        WriteTestFile(path, text);
        LoadedLayout whole, paged;
        EXPECT_EQ(OpenLayoutFile(path, paged.reader, paged.model, paged.ui), whole.Read(text));
        whole.model.settings.formCode = paged.model.settings.formCode;  // from the file name
        EXPECT_EQ(paged.Write(), whole.Write()) << text.substr(0, 80);
        ASSERT_EQ(paged.ui.Messages().size(), whole.ui.Messages().size()) << text.substr(0, 80);
        for (size_t i = 0; i < whole.ui.Messages().size(); ++i)
            EXPECT_EQ(paged.ui.Messages()[i].text, whole.ui.Messages()[i].text);
    }
    // Another program cuts the file short while its pages are read: the read ends, and says so.
    const std::string text =
        MakeLayout("", "<PAGE>\r\n" + ItemLine("A") + "\r\n</PAGE>\r\n<PAGE>\r\n" + ItemLine("B") +
                           "\r\n</PAGE>\r\n");
    WriteTestFile(path, text);
    BasicLoadedLayout<RecordingStore> cut;
    cut.store.onPage = [&](int) { std::filesystem::resize_file(path, text.size() - 12); };
    EXPECT_FALSE(OpenLayoutFile(path, cut.reader, cut.model, cut.ui));
    ASSERT_FALSE(cut.ui.Messages().empty());
    EXPECT_NE(cut.ui.Messages().back().text.find("the file has changed"), std::string::npos);
    std::filesystem::remove_all(dir);
}
