#include "layout/LayoutWriter.h"

#include <algorithm>
#include <exception>
#include <tuple>

#include "layout/ItemFields.h"
#include "layout/ItemTypes.h"
#include "shell/AtomicFile.h"
#include "shell/Cp1252.h"
#include "shell/TextUtils.h"

namespace {

constexpr char kCrLf[] = "\r\n";

const char* YesNo(bool v) {
    return v ? "Yes" : "No";
}

bool IsBarcodeLine(const std::string& line) {
    return !line.empty() && line[0] == cp1252::kBarcodeMark;
}

}  // namespace

std::string PromptDefinitionText(const FormItem& r) {
    return r.promptKey() + "@" + r.promptCaption() + "@" + r.dataEntryType() + "@" + r.lookupKey() +
           "@" + (r.required ? "True" : "False") + "@" + std::to_string(r.promptNumber()) + "@" +
           r.defaultValue() + "@" + r.selectionField() + "@" + r.dataGridReference();
}

LayoutWriter::LayoutWriter(const FormModel& model, const LayoutSource& canvas, UserInterface& ui)
    : model_(model), canvas_(canvas), ui_(ui) {}

std::string LayoutWriter::GetUserPromptString(size_t promptIndex) const {
    if (promptIndex >= model_.prompts.size()) return {};
    return PromptDefinitionText(model_.prompts[promptIndex]);
}

std::string LayoutWriter::PromptCaption(int index, const LabelControl& label) const {
    FormItem r;
    if (const FormItem* own = model_.ItemAt(index)) r = *own;
    if (!r.definitionRead) {
        // A prompt placed from the menu borrows the definition of the same key.
        std::string shown = label.caption;
        if (!shown.empty() && shown[0] == '^') shown.erase(0, 1);
        const std::string key = "^" + text::SplitStr(shown, " ", 1);
        for (const auto& other : model_.items) {
            if (other.promptKey() != key) continue;
            CopyPromptDetails(other, r);
            break;
        }
    }
    return PromptDefinitionText(r);
}

std::string LayoutWriter::LabelLine(int index) const {
    const LabelControl* label = canvas_.LabelAt(index);
    if (!label || label->caption.empty() || !label->visible || !label->enabled) return {};
    if (canvas_.IsCompanionLabel(index)) return {};
    const FormItem* record = model_.ItemAt(index);
    const ItemKind kind = record ? record->itemKind : ItemKind::StaticText;
    const std::string barcodeSize = canvas_.GetBarcodeWidthHeight(index);

    std::string caption;
    if (kind == ItemKind::UserPrompt) {
        caption = PromptCaption(index, *label);
    } else if (kind == ItemKind::DatabaseField) {
        caption = label->caption;
        std::string longName = model_.GetDataFieldLongName(label->caption);
        if (!longName.empty()) caption += "@" + longName;
    } else {
        caption = label->caption;
    }

    const std::string caseLetter = label->CaseLetter();
    const long long row = label->CellRow(), column = label->CellColumn();

    std::string left = NumberText(label->left);
    const char* align = "L";
    if (label->alignment == LabelAlignment::Right) {
        align = "R";
        left = SingleText(text::Val(left) + text::Val(NumberText(label->width)));
    } else if (label->alignment == LabelAlignment::Centre) {
        align = "C";
    }
    std::string alignment = align;
    if (row > 0) alignment += "-" + std::to_string(row) + "-" + std::to_string(column);

    using F = ItemField;
    ItemFields f;
    f[F::Caption] = caption;
    f[F::Left] = left;
    f[F::Top] = NumberText(label->top);
    f[F::FontName] = label->fontName;
    f[F::FontSize] = SingleText(label->fontSize) + caseLetter;
    f[F::Bold] = label->bold ? "Y" : "N";
    f[F::Italic] = label->italic ? "Y" : "N";
    f[F::Alignment] = alignment;
    f[F::Width] = NumberText(label->width);
    f[F::AutoSize] = label->autoSize ? "Y" : "N";
    if (!barcodeSize.empty())
        std::tie(f[F::BarcodeWidth], f[F::BarcodeHeight]) = text::SplitAtFirst(barcodeSize, "\t");
    const bool linked = record && !record->linkData.empty();
    if (linked) f[F::LinkData] = record->linkData;
    std::string line = barcodeSize.empty() ? "" : std::string(1, cp1252::kBarcodeMark);
    return line + f.Text(linked ? F::LinkData : F::BarcodeHeight);
}

std::string LayoutWriter::AssemblePage(int pageNumber) {
    std::string page;
    const int count = canvas_.LabelCount();
    for (int i = 1; i < count; ++i) {
        const LabelControl* label = canvas_.LabelAt(i);
        if (!label || label->page != pageNumber - 1) continue;
        std::string line = LabelLine(i);
        if (!line.empty()) page += line + kCrLf;
    }
    if (text::EndsWith(page, kCrLf)) page.resize(page.size() - 2);
    return GetRearrangedData(page);
}

std::string LayoutWriter::GetRearrangedData(const std::string& pageText) {
    struct Numbered {
        double number;
        std::string line;
    };
    std::vector<Numbered> prompts, boxes;
    std::vector<std::string> fields, statics, barcodes;
    for (const auto& line : text::Split(text::ReplaceAll(pageText, kCrLf, "\r"), "\r")) {
        if (line.empty()) continue;
        std::string f0 = text::SplitStr(line, "\t", 1);
        if (IsBarcodeLine(f0)) {
            std::string rest = f0.substr(1);
            if (IsUserPromptsLabel(rest))
                prompts.push_back({text::Val(text::SplitStr(rest, "@", 6)), line});
            else
                barcodes.push_back(line);
        } else if (IsUserPromptsLabel(f0)) {
            prompts.push_back({text::Val(text::SplitStr(f0, "@", 6)), line});
        } else if (IsInteractiveBoxLabel(f0)) {
            boxes.push_back({text::Val(text::SplitStr(f0, "@", 3)), line});
        } else if (IsDataBoundLabel(f0)) {
            fields.push_back(line);
        } else {
            statics.push_back(line);
        }
    }
    if (!promptsWritten_) {
        promptsWritten_ = true;
        std::vector<std::string> placedKeys;
        for (const auto& p : prompts) {
            std::string f0 = text::SplitStr(p.line, "\t", 1);
            if (IsBarcodeLine(f0)) f0.erase(0, 1);
            placedKeys.push_back(text::SplitStr(f0, "@", 1));
        }
        std::vector<Numbered> unplaced;
        for (const auto& def : model_.prompts) {
            if (std::find(placedKeys.begin(), placedKeys.end(), def.promptKey()) !=
                placedKeys.end())
                continue;
            unplaced.push_back({double(def.promptNumber()), PromptDefinitionText(def)});
        }
        std::stable_sort(unplaced.begin(), unplaced.end(),
                         [](const Numbered& a, const Numbered& b) { return a.number < b.number; });
        prompts.insert(prompts.end(), unplaced.begin(), unplaced.end());
    }
    auto byNumber = [](const Numbered& a, const Numbered& b) { return a.number < b.number; };
    std::stable_sort(prompts.begin(), prompts.end(), byNumber);
    std::stable_sort(boxes.begin(), boxes.end(), byNumber);

    std::string out;
    for (const auto& p : prompts) out += p.line + kCrLf;
    for (const auto& l : fields) out += l + kCrLf;
    for (const auto& b : boxes) out += b.line + kCrLf;
    for (const auto& l : statics) out += l + kCrLf;
    for (const auto& l : barcodes) out += l + kCrLf;
    if (text::EndsWith(out, kCrLf)) out.resize(out.size() - 2);
    return out;
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
        for (int p = 1; p <= s.numberOfPages; ++p) {
            std::string lines = AssemblePage(p);
            out += "<PAGE>" + std::string(kCrLf);
            if (!lines.empty()) out += lines + kCrLf;
            out += "</PAGE>" + std::string(kCrLf);
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
    std::string rest = layoutText.substr(he + 9);
    for (const char* tag : {"<PAGE>", "</PAGE>", "\r", "\n"})
        rest = text::ReplaceAll(rest, tag, "");
    return rest.empty();
}
