#include "layout/LayoutWriter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <exception>
#include <iterator>
#include <unordered_set>

#include "layout/ItemFields.h"
#include "layout/ItemTypes.h"
#include "shell/AtomicFile.h"
#include "shell/Cp1252.h"
#include "shell/TextUtils.h"

namespace {

constexpr char kCrLf[] = "\r\n";
// Room reckoned for a line besides its caption: its numbers, font and flags, or a
// prompt's definition parts. More is asked for only when a line is longer.
constexpr size_t kLineRoom = 96;

const char* YesNo(bool v) {
    return v ? "Yes" : "No";
}

bool IsBarcodeLine(std::string_view line) {
    return !line.empty() && line[0] == cp1252::kBarcodeMark;
}

// The n-th part (from 1) of text split at delimiter; empty when there is no such part.
std::string_view NthPart(std::string_view text, char delimiter, int n) {
    for (; n > 1; --n) {
        const size_t pos = text.find(delimiter);
        if (pos == std::string_view::npos) return {};
        text.remove_prefix(pos + 1);
    }
    return text.substr(0, text.find(delimiter));
}

}  // namespace

// The lines of one page, filed in the groups the layout writes them in: prompts by
// number, database fields, boxes by number, static texts, barcodes. The lines stay
// where they were written, in one text, and only their places are filed: a page
// already in order (as every page this writer wrote and the reader read back) is
// copied out whole, and any other page once, line by line.
class ArrangedPage {
  public:
    // The text lines are written onto; Take() files what was written.
    std::string& Text() { return text_; }
    void Reserve(size_t lines) { lines_.reserve(lines); }
    // Files the lines written onto the text from `from` on and ends them with CR LF.
    // Lines end at CR LF or at a CR alone.
    void Take(size_t from) {
        const std::string_view text(text_);
        for (size_t start = from; start < text.size();) {
            const size_t cr = text.find('\r', start);
            File(start, (cr == std::string_view::npos ? text.size() : cr) - start);
            start = cr == std::string_view::npos
                        ? cr
                        : cr + (cr + 1 < text.size() && text[cr + 1] == '\n' ? 2 : 1);
        }
        text_ += kCrLf;
    }
    void AddLines(std::string_view text) {
        const size_t from = text_.size();
        text_ += text;
        Take(from);
    }
    void AddPrompt(double number, std::string_view line) {
        lines_.push_back({number, text_.size(), line.size(), Group::Prompts});
        (text_ += line) += kCrLf;
    }
    // The keys of the prompts on the page.
    std::unordered_set<std::string_view> PromptKeys() const {
        std::unordered_set<std::string_view> keys;
        for (const Line& n : lines_) {
            if (n.group != Group::Prompts) continue;
            std::string_view f0 = NthPart(LineText(n), '\t', 1);
            if (IsBarcodeLine(f0)) f0.remove_prefix(1);
            keys.insert(NthPart(f0, '@', 1));
        }
        return keys;
    }
    // The page's lines in order onto out; the page is empty again after.
    void AppendTo(std::string& out) {
        if (WrittenInOrder()) {
            out += text_;
        } else {
            Arrange();
            for (size_t i : order_) (out += LineText(lines_[i])) += kCrLf;
        }
        text_.clear();
        lines_.clear();
    }

  private:
    enum class Group : std::uint8_t { Prompts, Fields, Boxes, Statics, Barcodes, Count };
    struct Line {
        double number;  // prompts and boxes are ordered by it, the others keep their turn
        size_t begin, length;
        Group group;
    };
    std::string_view LineText(const Line& n) const {
        return std::string_view(text_).substr(n.begin, n.length);
    }
    static bool Before(const Line& a, const Line& b) {
        return a.group < b.group || (a.group == b.group && a.number < b.number);
    }
    // True when the text holds each line once, in order, each followed by CR LF.
    bool WrittenInOrder() const {
        size_t at = 0;
        for (size_t i = 0; i < lines_.size(); ++i) {
            const Line& n = lines_[i];
            if (n.begin != at || text_.compare(n.begin + n.length, 2, kCrLf) != 0) return false;
            if (i > 0 && Before(n, lines_[i - 1])) return false;
            at = n.begin + n.length + 2;
        }
        return at == text_.size();
    }
    // order_: the lines by group, in their turn, prompts and boxes by number (stable).
    void Arrange() {
        std::array<size_t, size_t(Group::Count) + 1> first{};
        for (const Line& n : lines_) ++first[size_t(n.group) + 1];
        for (size_t g = 1; g < first.size(); ++g) first[g] += first[g - 1];
        order_.resize(lines_.size());
        std::array<size_t, size_t(Group::Count)> next{};
        std::copy(first.begin(), first.end() - 1, next.begin());
        for (size_t i = 0; i < lines_.size(); ++i) order_[next[size_t(lines_[i].group)]++] = i;
        auto byNumber = [this](size_t a, size_t b) { return lines_[a].number < lines_[b].number; };
        for (Group g : {Group::Prompts, Group::Boxes}) {
            const auto from = order_.begin() + std::ptrdiff_t(first[size_t(g)]);
            const auto to = order_.begin() + std::ptrdiff_t(first[size_t(g) + 1]);
            if (!std::is_sorted(from, to, byNumber)) std::stable_sort(from, to, byNumber);
        }
    }
    void File(size_t begin, size_t length) {
        if (length == 0) return;
        const std::string_view line = std::string_view(text_).substr(begin, length);
        const std::string_view f0 = NthPart(line, '\t', 1);
        Group group = Group::Statics;
        double number = 0;
        if (IsBarcodeLine(f0)) {
            const std::string_view rest = f0.substr(1);
            if (IsUserPromptsLabel(rest)) {
                group = Group::Prompts;
                number = text::Val(NthPart(rest, '@', 6));
            } else {
                group = Group::Barcodes;
            }
        } else if (IsUserPromptsLabel(f0)) {
            group = Group::Prompts;
            number = text::Val(NthPart(f0, '@', 6));
        } else if (IsInteractiveBoxLabel(f0)) {
            group = Group::Boxes;
            number = text::Val(NthPart(f0, '@', 3));
        } else if (IsDataBoundLabel(f0)) {
            group = Group::Fields;
        }
        lines_.push_back({number, begin, length, group});
    }
    std::string text_;
    std::vector<Line> lines_;
    std::vector<size_t> order_;
};

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
    for (size_t i = 0; i < std::size(parts); ++i) {
        if (i) out += '@';
        out += parts[i];
    }
}

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
    std::string shown = label.caption;
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
    // which is the order they are written in: the field after the last one found is
    // tried before the index, whose slots lie all over a large form's memory.
    const auto& fields = model_.databaseFields;
    if (fieldHint_ < fields.size() && fields[fieldHint_].fieldName == name)
        return &fields[fieldHint_++];
    const DatabaseFieldRef* field = model_.FindDatabaseField(name);
    if (field) fieldHint_ = size_t(field - fields.data()) + 1;
    return field;
}

std::string LayoutWriter::LabelLine(int index) const {
    std::string line, caption;
    AppendLabelLine(index, line, caption);
    return line;
}

bool LayoutWriter::AppendLabelLine(int index, std::string& out, std::string& caption) const {
    const LabelControl* label = canvas_.LabelAt(index);
    if (!label || label->caption.empty() || !label->visible || !label->enabled) return false;
    if (canvas_.IsCompanionLabel(index)) return false;
    const FormItem* record = model_.ItemAt(index);
    const ItemKind kind = record ? record->itemKind : ItemKind::StaticText;
    const std::string barcodeSize = canvas_.GetBarcodeWidthHeight(index);

    using F = ItemField;
    ItemFields f;
    if (kind == ItemKind::UserPrompt) {
        caption.clear();
        AppendPromptCaption(index, *label, caption);
        f[F::Caption] = caption;
    } else if (kind == ItemKind::DatabaseField) {
        const DatabaseFieldRef* field =
            FindField(std::string_view(label->caption).substr(label->caption[0] == '~' ? 1 : 0));
        if (field && !field->longName.empty()) {
            ((caption = label->caption) += '@') += field->longName;
            f[F::Caption] = caption;
        } else {
            f[F::Caption] = label->caption;
        }
    } else {
        f[F::Caption] = label->caption;
    }

    const std::string caseLetter = label->CaseLetter();
    const long long row = label->CellRow(), column = label->CellColumn();

    NumberBuffer left, top, fontSize, width;
    f[F::Left] = NumberText(label->left, left);
    f[F::Width] = NumberText(label->width, width);
    char align = 'L';
    if (label->alignment == LabelAlignment::Right) {
        align = 'R';
        f[F::Left] = SingleText(text::Val(f[F::Left]) + text::Val(f[F::Width]), left);
    } else if (label->alignment == LabelAlignment::Centre) {
        align = 'C';
    }
    std::string alignment(1, align);
    if (row > 0) alignment += "-" + std::to_string(row) + "-" + std::to_string(column);
    std::string size(SingleText(label->fontSize, fontSize));
    size += caseLetter;

    f[F::Top] = NumberText(label->top, top);
    f[F::FontName] = label->fontName;
    f[F::FontSize] = size;
    f[F::Bold] = label->bold ? "Y" : "N";
    f[F::Italic] = label->italic ? "Y" : "N";
    f[F::Alignment] = alignment;
    f[F::AutoSize] = label->autoSize ? "Y" : "N";
    if (!barcodeSize.empty()) {
        const size_t tab = barcodeSize.find('\t');
        f[F::BarcodeWidth] = std::string_view(barcodeSize).substr(0, tab);
        if (tab != std::string::npos)
            f[F::BarcodeHeight] = std::string_view(barcodeSize).substr(tab + 1);
    }
    const bool linked = record && !record->linkData.empty();
    if (linked) f[F::LinkData] = record->linkData;
    if (!barcodeSize.empty()) out += char(cp1252::kBarcodeMark);
    f.AppendTo(out, linked ? F::LinkData : F::BarcodeHeight);
    return true;
}

std::string LayoutWriter::AssemblePage(int pageNumber) {
    std::string lines, caption;
    const int count = canvas_.LabelCount();
    for (int i = 1; i < count; ++i) {
        const LabelControl* label = canvas_.LabelAt(i);
        if (label && label->page == pageNumber - 1 && AppendLabelLine(i, lines, caption))
            lines += kCrLf;
    }
    std::string out;
    AppendRearranged(lines, out);
    if (text::EndsWith(out, kCrLf)) out.resize(out.size() - 2);
    return out;
}

std::string LayoutWriter::GetRearrangedData(const std::string& pageText) {
    std::string out;
    AppendRearranged(pageText, out);
    if (text::EndsWith(out, kCrLf)) out.resize(out.size() - 2);
    return out;
}

void LayoutWriter::AppendRearranged(std::string_view pageText, std::string& out) {
    ArrangedPage page;
    page.AddLines(pageText);
    FinishPage(page, out);
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

std::string LayoutWriter::ReassembleData(std::string& backgroundImageLines,
                                         std::string& imageLines) {
    promptsWritten_ = false;
    std::string out;
    try {
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
        out = "<HEADER>";
        add("TimeStamp:\t" + (listedStamp_ ? *listedStamp_ : s.timeStamp));
        add("Form_Name:\t" + s.formName);
        add("Form_Code:\t" + s.formCode);
        add("Form_Type:\t" + s.formType);
        add("Form_Document_Type:\t" + s.formDocumentType);
        add("Page:\t" + SingleText(canvas_.PageWidth()) + "\t" + SingleText(canvas_.PageHeight()));
        add(std::string("Orientation:\t") + (s.landscape ? "2" : "1"));
        add("Shift:\t" + SingleText(s.horizontalShift) + "\t" + SingleText(s.verticalShift));
        const std::string* blocks[] = {&backgroundImageLines, &imageLines, &hotspots,
                                       &signatureBoxes, &boxes};
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
        // Every label's line once into its page's text: no string per line or field.
        // The labels of each page, from one pass over them whatever the number of pages,
        // and room for the text reckoned from them, so neither the layout nor a page is
        // copied as it grows (room never written costs no memory).
        std::vector<std::vector<int>> byPage(size_t(std::max<long long>(s.numberOfPages, 0)));
        std::vector<size_t> pageRoom(byPage.size());
        const int count = canvas_.LabelCount();
        for (int i = 1; i < count; ++i) {
            const LabelControl* label = canvas_.LabelAt(i);
            if (label && label->page >= 0 && size_t(label->page) < byPage.size()) {
                byPage[size_t(label->page)].push_back(i);
                pageRoom[size_t(label->page)] += label->caption.size() + kLineRoom;
            }
        }
        size_t room = out.size() + model_.prompts.size() * kLineRoom, largest = 0;
        for (size_t bytes : pageRoom) room += bytes + 20, largest = std::max(largest, bytes);
        out.reserve(room);
        ArrangedPage page;
        page.Text().reserve(largest + model_.prompts.size() * kLineRoom);
        std::string caption;
        fieldHint_ = 0;
        for (const auto& labels : byPage) {
            out += "<PAGE>";
            out += kCrLf;
            std::string& text = page.Text();
            page.Reserve(labels.size());
            for (int i : labels) {
                const size_t from = text.size();
                if (AppendLabelLine(i, text, caption)) page.Take(from);
            }
            FinishPage(page, out);
            out += "</PAGE>";
            out += kCrLf;
        }
        if (text::EndsWith(out, kCrLf)) out.resize(out.size() - 2);
    } catch (const std::exception& e) {
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
