#include "layout/LayoutWriter.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cstdint>
#include <exception>
#include <iterator>
#include <unordered_set>

#include "layout/ItemFields.h"
#include "layout/ItemTypes.h"
#include "layout/PageOrder.h"
#include "shell/AtomicFile.h"
#include "shell/Cp1252.h"
#include "shell/TextUtils.h"

namespace {

constexpr char kCrLf[] = "\r\n";
// Room reckoned for a line besides its caption: its numbers, font and flags, or a
// prompt's definition parts. More is asked for only when a line is longer.
constexpr size_t kLineRoom = 96;
// A page's text is reckoned at what most lines take, a short caption with its numbers
// and flags: room reckoned long for every line would be more than the allocator keeps
// for the next layout.
constexpr size_t kPageLineRoom = 64;

const char* YesNo(bool v) {
    return v ? "Yes" : "No";
}

}  // namespace

namespace {

void AppendPromptDefinition(const FormItem& r, std::string& out) {
    char number[16];
    const char* numberEnd = std::to_chars(number, number + sizeof number, r.promptNumber()).ptr;
    const std::string_view parts[] = {r.promptKey(),
                                      r.promptCaption(),
                                      r.dataEntryType(),
                                      r.lookupKey(),
                                      r.required ? "True" : "False",
                                      {number, size_t(numberEnd - number)},
                                      r.defaultValue(),
                                      r.selectionField(),
                                      r.dataGridReference()};
    // Its length first: a third of a form's lines are prompts, and nine appends cost
    // more than their bytes.
    size_t length = std::size(parts) - 1;
    for (std::string_view part : parts) length += part.size();
    const size_t start = out.size();
    out.resize(start + length);
    char* at = out.data() + start;
    for (size_t i = 0; i < std::size(parts); ++i) {
        if (i) *at++ = '@';
        at = std::copy(parts[i].begin(), parts[i].end(), at);
    }
}

// One item line written straight onto the end of a string, its fields in the order of
// ItemField, each ended by TAB. Room for the line is made once and numbers are
// formatted in place: a line costs no string and no copy of a field.
class LineWriter {
  public:
    // room: at least what the line will take.
    LineWriter(std::string& out, size_t room) : out_(out) {
        const size_t start = out.size();
        out.resize(start + room);
        at_ = out.data() + start;
    }
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;
    ~LineWriter() { out_.resize(size_t(at_ - out_.data())); }

    // Room a line takes besides its texts: four numbers, a grid cell's place, a
    // barcode's mark, flags and TABs.
    static constexpr size_t kRoomBesidesTexts = 4 * sizeof(NumberBuffer) + 64;

    // Parts of the field being written.
    LineWriter& Add(std::string_view text) {
        at_ = std::copy(text.begin(), text.end(), at_);
        return *this;
    }
    LineWriter& Add(char c) {
        *at_++ = c;
        return *this;
    }
    LineWriter& AddNumber(double value) {
        at_ = WriteNumberText(value, at_);
        return *this;
    }
    LineWriter& AddSingle(double value) {
        at_ = WriteSingleText(value, at_);
        return *this;
    }
    // Ends the field f: the fields come in their order, none left out.
    LineWriter& End([[maybe_unused]] ItemField f) {
        assert(f == next_);
        next_ = ItemField(size_t(next_) + 1);
        *at_++ = '\t';
        return *this;
    }
    LineWriter& Flag(ItemField f, bool on) { return Add(on ? 'Y' : 'N').End(f); }

  private:
    std::string& out_;
    char* at_;
    ItemField next_ = ItemField::Caption;
};

}  // namespace

std::string PromptDefinitionText(const FormItem& r) {
    std::string out;
    AppendPromptDefinition(r, out);
    return out;
}

LayoutWriter::LayoutWriter(const FormModel& model, const LayoutSource& canvas, UserInterface& ui)
    : model_(model), canvas_(canvas), ui_(ui) {}

std::string LayoutWriter::GetUserPromptString(size_t promptIndex) const {
    if (promptIndex >= model_.prompts.size()) return {};
    return PromptDefinitionText(model_.prompts[promptIndex]);
}

void LayoutWriter::AppendPromptCaption(int index, const LabelControl& label,
                                       std::string& out) const {
    const FormItem* own = model_.ItemAt(index);
    if (own && own->definitionRead) return AppendPromptDefinition(*own, out);
    FormItem r;
    if (own) r = *own;
    // A prompt placed from the menu borrows the definition of the same key.
    std::string shown = label.caption.str();
    if (!shown.empty() && shown[0] == '^') shown.erase(0, 1);
    std::string key = "^";
    key += text::SplitStr(shown, " ", 1);
    for (const auto& other : model_.items) {
        if (other.promptKey() != key) continue;
        CopyPromptDetails(other, r);
        break;
    }
    AppendPromptDefinition(r, out);
}

const DatabaseFieldRef* LayoutWriter::FindField(std::string_view name) const {
    // A form read from a layout lists its fields in the order of their first labels,
    // which is the order they are written in.
    return model_.FindDatabaseField(name, fieldHint_);
}

const LabelControl* LayoutWriter::WrittenLabel(int index) const {
    const LabelControl* label = canvas_.LabelAt(index);
    if (!label || label->caption.empty() || !label->visible || !label->enabled) return nullptr;
    return canvas_.IsCompanionLabel(index) ? nullptr : label;
}

bool LayoutWriter::AppendLabelLine(int index, std::string& out, std::string& prompt) const {
    const LabelControl* label = WrittenLabel(index);
    if (!label) return false;
    const FormItem* record = model_.ItemAt(index);
    const ItemKind kind = record ? record->itemKind : ItemKind::StaticText;
    std::string_view caption = label->caption, longName;
    if (kind == ItemKind::UserPrompt) {
        prompt.clear();
        AppendPromptCaption(index, *label, prompt);
        caption = prompt;
    } else if (kind == ItemKind::DatabaseField) {
        if (const DatabaseFieldRef* field = FindField(caption.substr(caption[0] == '~' ? 1 : 0)))
            longName = field->longName;
    }
    AppendLineOf(*label, caption, longName, record ? std::string_view(record->linkData) : "",
                 canvas_.GetBarcodeWidthHeight(index), out);
    return true;
}

void LayoutWriter::AppendLineOf(const LabelControl& label, std::string_view caption,
                                std::string_view longName, std::string_view linkData,
                                std::string_view barcodeSize, std::string& out) const {
    using F = ItemField;
    LineWriter line(out, caption.size() + longName.size() + label.fontName.size() +
                             label.spare.size() + barcodeSize.size() + linkData.size() +
                             LineWriter::kRoomBesidesTexts);

    if (!barcodeSize.empty()) line.Add(char(cp1252::kBarcodeMark));
    line.Add(caption);
    if (!longName.empty()) line.Add('@').Add(longName);
    line.End(F::Caption);

    char align = 'L';
    if (label.alignment == LabelAlignment::Right) {
        align = 'R';
        // The right edge, from left and width as they are written.
        NumberBuffer left, width;
        line.AddSingle(text::Val(NumberText(label.left, left)) +
                       text::Val(NumberText(label.width, width)));
    } else {
        if (label.alignment == LabelAlignment::Centre) align = 'C';
        line.AddNumber(label.left);
    }
    line.End(F::Left);
    line.AddNumber(label.top).End(F::Top);
    line.Add(label.fontName).End(F::FontName);
    // Most labels keep no text case and no grid place: theirs are a size and one letter.
    line.AddSingle(label.fontSize);
    if (!label.spare.empty()) line.Add(label.CaseLetter());
    line.End(F::FontSize);
    line.Flag(F::Bold, label.bold).Flag(F::Italic, label.italic);
    line.Add(align);
    if (!label.spare.empty()) {
        if (const long long row = label.CellRow(); row > 0)
            line.Add('-').Add(std::to_string(row)).Add('-').Add(std::to_string(label.CellColumn()));
    }
    line.End(F::Alignment);
    line.AddNumber(label.width).End(F::Width);
    line.Flag(F::AutoSize, label.autoSize);
    const size_t tab = barcodeSize.find('\t');
    line.Add(barcodeSize.substr(0, tab)).End(F::BarcodeWidth);
    if (tab != std::string_view::npos) line.Add(barcodeSize.substr(tab + 1));
    line.End(F::BarcodeHeight);
    if (!linkData.empty()) line.Add(linkData).End(F::LinkData);
}

void LayoutWriter::FinishPage(ArrangedPage& page, std::string& out) {
    if (!promptsWritten_ && !model_.prompts.empty()) {
        // The form's prompt list goes with the first page, less the prompts placed on it.
        const auto placed = page.PromptKeys();
        std::vector<std::pair<double, std::string>> unplaced;
        for (const auto& def : model_.prompts)
            if (!placed.count(std::string_view(def.promptKey())))
                unplaced.push_back({double(def.promptNumber()), PromptDefinitionText(def)});
        std::stable_sort(unplaced.begin(), unplaced.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [number, line] : unplaced) page.AddPrompt(number, line);
    }
    promptsWritten_ = true;
    page.AppendTo(out);
}

void LayoutWriter::AppendHeader(std::string& out, std::string& backgroundImageLines,
                                std::string& imageLines) const {
    const FormSettings& s = model_.settings;
    backgroundImageLines = canvas_.GetBackgroundImagesDefinitions();
    imageLines = canvas_.GetImagesDefinitions();
    const std::string hotspots = canvas_.GetHotspotShapesDefinitions();
    const std::string signatureBoxes = canvas_.GetSignatureBoxShapesDefinitions();
    const std::string boxes = canvas_.GetBoxShapesDefinitions();
    // Hotspots and signature boxes only work on interactive forms, so such a form is
    // written interactive whatever its settings say (the settings stay as they are).
    const bool interactive = s.interactive || !hotspots.empty() || !signatureBoxes.empty();

    auto add = [&out](const std::string& line) { out += std::string(kCrLf) + line; };
    out += "<HEADER>";
    add("TimeStamp:\t" + (listedStamp_ ? *listedStamp_ : s.timeStamp));
    add("Form_Name:\t" + s.formName);
    add("Form_Code:\t" + s.formCode);
    add("Form_Type:\t" + s.formType);
    add("Form_Document_Type:\t" + s.formDocumentType);
    add("Page:\t" + SingleText(canvas_.PageWidth()) + "\t" + SingleText(canvas_.PageHeight()));
    add(std::string("Orientation:\t") + (s.landscape ? "2" : "1"));
    add("Shift:\t" + SingleText(s.horizontalShift) + "\t" + SingleText(s.verticalShift));
    const std::string* blocks[] = {&backgroundImageLines, &imageLines, &hotspots, &signatureBoxes,
                                   &boxes};
    for (const std::string* block : blocks)
        if (!block->empty()) add(*block);
    add("Printing_Selection:\t" + s.printingSelection);
    add(std::string("Data_Entry_Form:\t") + YesNo(s.dataEntryForm));
    add(std::string("Interactive:\t") + YesNo(interactive));
    add(std::string("Posting:\t") + YesNo(interactive && s.posting));
    add(std::string("Single_Record:\t") + YesNo(interactive && s.singleRecord));
    add(std::string("Open_Last:\t") + YesNo(interactive && s.openLast));
    add(std::string("Data_Grid:\t") + YesNo(s.dataGrid));
    add("Number_Of_Pages:\t" + std::to_string(s.numberOfPages));
    add(std::string("Signpad:\t") + YesNo(s.signpad));
    add(std::string("LookupPC:\t") + YesNo(s.lookupProcedures));
    add(std::string("LookupDG:\t") + YesNo(s.lookupDiagnoses));
    add(std::string("OBGYN:\t") + YesNo(s.obstetrics));
    add(std::string("IsStatement:\t") + YesNo(s.statement));
    add(std::string("SaveImage:\t") + YesNo(s.saveImage));
    if (s.statement)
        for (const auto& tag : s.gridTags)
            if (!tag.empty()) add(tag);
    out += std::string(kCrLf) + "</HEADER>" + kCrLf;
}

void LayoutWriter::AppendPage(const std::vector<int>& labels, bool first, std::string& out) {
    promptsWritten_ = !first;
    out += "<PAGE>";
    out += kCrLf;
    // Each label is visited once, in the order of the page: its line is written onto
    // the page text and filed by its first field, and the page is copied out once, in
    // order. A large page costs per line what a small one does.
    page_.Clear();  // of a page cut short by an error
    std::string& text = page_.Text();
    text.reserve((first ? model_.prompts.size() * kLineRoom : 0) + labels.size() * kPageLineRoom);
    page_.Reserve(labels.size());
    std::string prompt;
    for (int i : labels) {
        const size_t from = text.size();
        if (AppendLabelLine(i, text, prompt)) page_.Take(from);
    }
    FinishPage(page_, out);
    out += "</PAGE>";
    out += kCrLf;
}

std::string LayoutWriter::ReassembleData(std::string& backgroundImageLines, std::string& imageLines,
                                         std::optional<std::string> laterPages) {
    std::string out;
    try {
        AppendHeader(out, backgroundImageLines, imageLines);
        const FormSettings& s = model_.settings;
        // Every label's line once: no string per line or field. The labels
        // of each page, from one pass over them whatever the number of pages, and room
        // for the text reckoned from them, so the layout is not copied as it grows (room
        // never written costs no memory).
        std::vector<std::vector<int>> byPage(size_t(std::max<long long>(s.numberOfPages, 0)));
        if (laterPages && byPage.size() > 1) byPage.resize(1);
        size_t room = out.size() + model_.prompts.size() * kLineRoom;
        const int count = canvas_.LabelCount();
        for (int i = 1; i < count; ++i) {
            const LabelControl* label = canvas_.LabelAt(i);
            if (label && label->page >= 0 && size_t(label->page) < byPage.size()) {
                byPage[size_t(label->page)].push_back(i);
                room += label->caption.size() + kLineRoom;
            }
        }
        out.reserve(room + 20 * byPage.size());
        fieldHint_ = 0;
        for (size_t p = 0; p < byPage.size(); ++p) AppendPage(byPage[p], p == 0, out);
        if (laterPages && !laterPages->empty()) {
            // The pages written already make the layout's room: what comes before them
            // is put in front, so the whole is not held twice.
            laterPages->insert(0, out);
            out = std::move(*laterPages);
        }
        if (text::EndsWith(out, kCrLf)) out.resize(out.size() - 2);
    } catch (const std::exception& e) {
        // A layout cut short must never be taken for the form.
        out.clear();
        ReportError(ui_, "ERR in modFormsMgr.ReassembleData   ", std::string("5 ") + e.what());
    }
    return out;
}

bool SaveDataToFile(const std::string& path, const std::string& text, UserInterface& ui) {
    if (text.empty()) {
        ui.Message("No Fields.....", "ERROR", MessageIcon::Critical);
        return false;
    }
    const std::string target = path.empty() ? "TEST.ldt" : path;
    std::string bytes = text;
    if (!text::EndsWith(bytes, kCrLf)) bytes += kCrLf;
    std::string error;
    if (!files::AtomicWriteFile(target, bytes, error)) {
        ui.Message("Error occured in SaveDataToFile, " + error, "ERROR", MessageIcon::Critical);
        return false;
    }
    return true;
}

bool ReportIsEmpty(const std::string& layoutText) {
    size_t he = layoutText.find("</HEADER>");
    for (const auto& line :
         text::Split(text::ReplaceAll(layoutText.substr(0, he), "\r\n", "\r"), "\r")) {
        std::string key = text::ToLower(text::SplitStr(line, "\t", 1));
        if (key == "background_image:" || key == "image:") return false;
    }
    if (he == std::string::npos) return true;
    // A character of no page marker or line end survives the markers' removal: a form
    // with items is answered at its first item, without a copy of its text.
    if (layoutText.find_first_not_of("<>/PAGE\r\n", he + 9) != std::string::npos) return false;
    std::string rest = layoutText.substr(he + 9);
    for (const char* tag : {"<PAGE>", "</PAGE>", "\r", "\n"})
        rest = text::ReplaceAll(rest, tag, "");
    return rest.empty();
}
