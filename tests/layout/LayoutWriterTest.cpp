#include <filesystem>

#include "LayoutTestSupport.h"
#include "canvas/PagedLayout.h"
#include "layout/ItemTypes.h"
#include "layout/SaveValidation.h"

namespace {

std::vector<std::string> PageLines(const std::string& layout, int page) {
    auto pieces = text::Split(layout, "<PAGE>\r\n");
    std::string block = pieces.at(size_t(page));
    block = block.substr(0, block.find("</PAGE>"));
    auto lines = text::Split(block, "\r\n");
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

std::string HeaderValue(const std::string& layout, const std::string& key) {
    size_t pos = layout.find("\r\n" + key + "\t");
    if (pos == std::string::npos) return "<absent>";
    size_t start = pos + 2 + key.size() + 1;
    return layout.substr(start, layout.find("\r\n", start) - start);
}

}  // namespace

TEST(LayoutWriter, ItemLineFieldsOfEachKind) {
    LoadedLayout l;
    LabelControl& r = l.store.Label(l.AddLabel("Total"));
    r.left = 1.5, r.width = 2, r.alignment = LabelAlignment::Right;
    l.AddLabel("Note\r\n~F.X");  // a line break ends a line, filed by what follows it
    LabelControl& c = l.store.Label(l.AddLabel("\xF4QTY"));
    c.spare = "U#2#3", c.fontSize = 9;
    l.AddLabel(" ");
    l.AddLabel("");
    l.AddLabel("Hidden", false);
    l.model.Item(1).linkData = "LINK";

    EXPECT_EQ(
        PageLines(l.Write(), 1),
        (std::vector<std::string>{"~F.X\t0.000\t0.000\tArial\t8\tN\tN\tL\t1\tN\t\t\t",
                                  "Total\t3.5\t0.000\tArial\t8\tN\tN\tR\t2\tN\t\t\tLINK\t", "Note",
                                  "\xF4QTY\t0.000\t0.000\tArial\t9U\tN\tN\tL-2-3\t1\tN\t\t\t",
                                  " \t0.000\t0.000\tArial\t8\tN\tN\tL\t1\tN\t\t\t"}));
    // A CR alone ends a line too, and the part after it is filed by itself.
    LoadedLayout lone;
    lone.AddLabel("Lone\r~F.Y");
    EXPECT_EQ(
        PageLines(lone.Write(), 1),
        (std::vector<std::string>{"~F.Y\t0.000\t0.000\tArial\t8\tN\tN\tL\t1\tN\t\t\t", "Lone"}));
}

// An empty form is a header and an empty page; options needing another are "No" without it.
TEST(LayoutWriter, EmptyFormsAndOptionsThatNeedAnother) {
    LoadedLayout l;
    std::string out = l.Write();
    EXPECT_TRUE(text::StartsWith(out, "<HEADER>\r\nTimeStamp:\t\r\nForm_Name:\t\r\nForm_Code:\t"));
    EXPECT_TRUE(text::EndsWith(out, "\r\n</HEADER>\r\n<PAGE>\r\n</PAGE>"));
    EXPECT_TRUE(ReportIsEmpty(out));
    l.model.settings.posting = l.model.settings.openLast = true;
    l.model.settings.gridTags = {"", "GRID_TAG:\t1\tBAL"};
    out = l.Write();
    EXPECT_EQ(HeaderValue(out, "Posting:") + HeaderValue(out, "Open_Last:"), "NoNo");
    EXPECT_EQ(out.find("GRID_TAG:"), std::string::npos);
    l.store.LoadHotspot("Hotspot:\t1\t1\t1\t1\t1\tX", 0);
    l.model.settings.statement = true;
    out = l.Write();
    EXPECT_EQ(HeaderValue(out, "Interactive:") + HeaderValue(out, "Posting:"), "YesYes");
    EXPECT_FALSE(l.model.settings.interactive);  // written so, not stored so
    EXPECT_NE(out.find("\r\nGRID_TAG:\t1\tBAL\r\n"), std::string::npos);
    // A layout that cannot be written whole is none, never a header cut short; asked
    // again, the writer writes it whole, nothing left over from the page it gave up.
    struct FailingOnce : CanvasModel {
        using CanvasModel::CanvasModel;
        std::string GetBarcodeWidthHeight(int index) const override {
            if (index == 2 && !failed) {
                failed = true;
                throw std::runtime_error("no");
            }
            return CanvasModel::GetBarcodeWidthHeight(index);
        }
        mutable bool failed = false;
    } failing(l.model, l.metrics);
    for (const char* caption : {"First", "Second"}) PlaceLabel(failing, 0, 0, 1, caption);
    LayoutWriter writer(l.model, failing, l.ui);
    EXPECT_EQ(writer.ReassembleData(), "");
    EXPECT_EQ(OnlyMessage(l.ui), "ERROR: ERR in modFormsMgr.ReassembleData   5 no");
    EXPECT_EQ(PageLines(writer.ReassembleData(), 1),
              (std::vector<std::string>{"First\t0.000\t0.000\tArial\t8\tN\tN\tL\t1\tN\t\t\t",
                                        "Second\t0.000\t0.000\tArial\t8\tN\tN\tL\t1\tN\t\t\t"}));
}

TEST(LayoutWriter, GroupsLinesPromptsFieldsBoxesStaticsBarcodes) {
    // The first page carries the form's prompt list, even a definition read on the second
    // page, less the prompts its labels place (once each); the second page only its labels.
    // A prompt shown as a barcode keeps its mark and size on either.
    const std::string barcodePrompt =
        "\xE6" + ItemLine("^P3@c@TEXT@@False@3@@@", "1\t1\tArial\t8\tN\tN\tL\t1\tN\t2\t0.5\t");
    const std::string mixed = barcodePrompt + "\r\n" + ItemLine("Static") + "\r\n\xE6" +
                              ItemLine("ZIP", "1\t1\tArial\t8\tN\tN\tL\t1\tN\t1\t1\t") + "\r\n" +
                              ItemLine("%C@B@2") + "\r\n" + ItemLine("%C@A@1") + "\r\n" +
                              ItemLine("~F.X") + "\r\n" + ItemLine("^P2@c@DATE@@False@2@@@") +
                              "\r\n" + ItemLine("^P1@c@DATE@@False@1@@@") + "\r\n";
    LoadedLayout l;
    ASSERT_TRUE(
        l.Read(MakeLayout("Number_Of_Pages:\t2\r\n",
                          "<PAGE>\r\n" + mixed + "</PAGE>\r\n<PAGE>\r\n" + mixed +
                              "^P0@c@TEXT@@False@0@@@\r\n" + "^P1@c@DATE@@False@1@@@\r\n</PAGE>")));
    const std::string out = l.Write();
    std::vector<std::string> expected = {"^P0", "^P1", "^P2",    "\xE6^P3", "~F.X",
                                         "%C",  "%C",  "Static", "\xE6ZIP"};
    for (int page : {1, 2}) {
        auto lines = PageLines(out, page);
        std::vector<std::string> firsts;
        for (const auto& line : lines)
            firsts.push_back(text::SplitStr(text::SplitStr(line, "\t", 1), "@", 1));
        if (page == 2) expected.erase(expected.begin());
        EXPECT_EQ(firsts, expected) << "page " << page;
        EXPECT_TRUE(text::StartsWith(lines[page == 1 ? 5 : 4], "%C@A@1")) << "page " << page;
        EXPECT_EQ(lines[page == 1 ? 3 : 2], barcodePrompt) << "page " << page;
    }
    EXPECT_EQ(PageLines(out, 1)[0], "^P0@c@TEXT@@False@0@@@");
}

TEST(LayoutWriter, PromptPlacedFromMenuBorrowsTheDefinitionOfItsKey) {
    LoadedLayout l;
    FormItem& def = l.model.Item(l.AddLabel("^DOB Date"));
    def = FormItem{};
    def.itemKind = ItemKind::UserPrompt;
    def.Prompt() = {.promptKey = "^DOB",
                    .promptCaption = "Birth date",
                    .dataEntryType = "DATE",
                    .promptNumber = 5};
    def.required = def.definitionRead = true;
    FormItem& fresh = l.model.Item(l.AddLabel("^DOB Date"));
    fresh.itemKind = ItemKind::UserPrompt;
    fresh.Prompt() = {.promptKey = "^DOB", .dataEntryType = "DATE"};
    auto lines = PageLines(l.Write(), 1);
    ASSERT_EQ(lines.size(), 2u);
    for (const auto& line : lines)  // the label placed from the menu and the one it borrows from
        EXPECT_EQ(text::SplitStr(line, "\t", 1), "^DOB@Birth date@DATE@@True@5@@@");
}

// The text written is the file read, but for what reading it changes: names the header
// does not set, a prompt's width, a field's long name and an old line made whole.
TEST(LayoutWriter, RoundTripKeepsEveryItemKind) {
    LoadedLayout first;
    const std::string full = TestDataFile("layouts/full.ldt");
    ASSERT_TRUE(first.Read(full));
    EXPECT_TRUE(first.ui.Messages().empty());
    const std::string written = first.Write();
    std::string expected = full;
    const std::pair<std::string, std::string> changes[] = {
        {"Form_Name:\tCharge slip", "Form_Name:\t"},
        {"Form_Code:\tCS1", "Form_Code:\t"},
        {"Form_Type:\tCS", "Form_Type:\t"},
        {"\tL\t1\tY\t\t\t", "\tL\t0.5\tY\t\t\t"},
        {"~PATIENT.ACCOUNT\t5", "~PATIENT.ACCOUNT@Account number\t5"},
        {"L\t1.5\t\r\n", "L\t0.875\tY\t\t\t\r\n"}};
    for (const auto& [from, to] : changes) {
        ASSERT_NE(expected.find(from), std::string::npos) << from;
        expected.replace(expected.find(from), from.size(), to);
    }
    EXPECT_EQ(written + "\r\n", expected);

    EXPECT_FALSE(ReportIsEmpty(written));
    LoadedLayout second;
    ASSERT_TRUE(second.Read(written));
    EXPECT_EQ(second.Write(), written);
}

TEST(SaveDataToFile, WritesWholeLinesAndNeverHalfAFile) {
    auto dir = std::filesystem::temp_directory_path() / ("fd_save_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    RecordingUserInterface ui;
    std::string path = (dir / "form.ldt").string();
    EXPECT_FALSE(SaveDataToFile(path, "", ui));
    EXPECT_EQ(OnlyMessage(ui), "ERROR: No Fields.....");
    EXPECT_FALSE(files::FileExists(path));

    ASSERT_TRUE(SaveDataToFile(path, "<HEADER>\r\n</HEADER>", ui));
    EXPECT_EQ(Slurp(path), "<HEADER>\r\n</HEADER>\r\n");

    ui.Clear();
    EXPECT_FALSE(SaveDataToFile((dir / "missing" / "x.ldt").string(), "text", ui));
    EXPECT_TRUE(text::StartsWith(OnlyMessage(ui), "ERROR: Error occured in SaveDataToFile, "))
        << OnlyMessage(ui);
    std::filesystem::remove_all(dir);
}

// A form written a page at a time as it is read: the text and questions of the whole form.
// Across pages: later prompt lists, a field's first long name, cells, shapes, keys defined later.
TEST(PagedLayout, WritesAndAsksWhatTheWholeFormDoes) {
    const auto path = std::filesystem::temp_directory_path() / "fd_paged_test.ldt";
    const std::string later = MakeLayout(
        "Number_Of_Pages:\t4\r\nHotspot:\t1\t1\t2\t2\t3\tD\r\nBox:\t1\t1\t3\t3\t2\t1\t1\tN\t0\r\n",
        "<PAGE>\r\n" + ItemLine("~PAT.A") + "\r\n" + ItemLine("^K 5@spaced@TEXT@@False@4@@@") +
            "\r\n</PAGE>\r\n<PAGE>\r\n^K2@Two@DATE@@True@1@@@\r\n" + ItemLine("~PAT.A@Long A") +
            "\r\n" + ItemLine("\xB9GRID1") + "\r\n" +
            ItemLine("\xE6"
                     "123",
                     "1\t1\tArial\t8\tN\tN\tL\t1\tN\t1.2\t0.4\tLINK") +
            "\r\n</PAGE>\r\n<PAGE>\r\n" + ItemLine("^Q 1@q@TEXT@@False@3@@@") + "\r\n" +
            ItemLine("Cap\rtion") + "\r\n</PAGE>\r\n<PAGE>\r\n^K@kay@TEXT@@False@6@@@\r\n</PAGE>");
    // A first page with nothing on it: the later pages start at the first label.
    const std::string emptyFirst = MakeLayout(
        "Number_Of_Pages:\t3\r\n", "<PAGE>\r\n</PAGE>\r\n<PAGE>\r\n" + ItemLine("B") +
                                       "\r\n</PAGE>\r\n<PAGE>\r\n" + ItemLine("C") + "\r\n</PAGE>");
    for (const std::string& text : {TestDataFile("layouts/full.ldt"), later, emptyFirst}) {
        WriteTestFile(path.string(), text);
        LoadedLayout whole;
        ASSERT_TRUE(OpenLayoutFile(path.string(), whole.reader, whole.model, whole.ui));
        ASSERT_TRUE(ValidateUserPromptsLabels(whole.model, whole.store, whole.ui, true) &&
                    ValidateDataBoundLabels(whole.model, whole.store, whole.ui, true) &&
                    BuildFormItemsArray(whole.model, whole.store, whole.ui));
        LayoutWriter writer(whole.model, whole.store, whole.ui);
        writer.SetListedTimeStamp("7");

        RecordingUserInterface ui;
        PagedLayout paged(ui, whole.metrics);
        ASSERT_EQ(paged.Open(path.string()), PagedLayout::Opened::Ready);
        for (int i = 1; i < paged.Canvas().LabelCount(); ++i)
            EXPECT_TRUE(paged.Canvas().IsCompanionLabel(i) || paged.Canvas().LabelAt(i)->page == 0)
                << "a later page is kept";
        EXPECT_TRUE(paged.Validate(ui));
        EXPECT_EQ(paged.Write("7"), writer.ReassembleData());
        std::vector<std::string> asked, wholeAsked;
        for (const auto& c : ui.calls) asked.push_back(c.text);
        for (const auto& c : whole.ui.calls) wholeAsked.push_back(c.text);
        EXPECT_EQ(asked, wholeAsked);
    }
    std::filesystem::remove(path);
}
