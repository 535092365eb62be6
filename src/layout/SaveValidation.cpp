#include "layout/SaveValidation.h"

#include <exception>
#include <string_view>
#include <unordered_set>

#include "layout/ItemTypes.h"
#include "shell/AtomicFile.h"
#include "shell/TextUtils.h"

std::string PromptKeyOfCaption(std::string_view caption) {
    std::string_view rest = !caption.empty() && caption[0] == '^' ? caption.substr(1) : caption;
    return text::Trim(rest.substr(0, rest.find(' ')));
}

int GetFormItemsArrayIndex(const FormModel& model, const std::string& key) {
    for (size_t i = 0; i < model.items.size(); ++i)
        if (model.items[i].promptKey() == "^" + key) return int(i);
    return -1;
}

int GetUserPromptsArrayIndex(const FormModel& model, const std::string& key) {
    for (size_t i = 0; i < model.prompts.size(); ++i)
        if (model.prompts[i].promptKey() == "^" + key) return int(i);
    return -1;
}

bool BorrowsPromptDefinition(const FormItem& record, const LabelControl& label) {
    return IsUserPromptsLabel(label.caption) &&
           (!record.definitionRead || label.toolTip == LabelTip::None);
}

bool BuildFormItemsArray(FormModel& model, const LayoutSource& canvas, UserInterface& ui,
                         int first) {
    try {
        const int count = canvas.LabelCount();
        if (count > 0) model.Item(count - 1);
        for (int i = std::max(first, 0); i < count; ++i) {
            const LabelControl* label = canvas.LabelAt(i);
            if (!label || !label->visible || !label->enabled || label->caption.empty()) continue;
            FormItem& r = model.items[size_t(i)];
            const std::string_view caption = label->caption;
            if (IsDataBoundLabel(caption)) {
                r.itemKind = ItemKind::DatabaseField;
            } else if (IsUserPromptsLabel(caption)) {
                r.itemKind = ItemKind::UserPrompt;
                if (BorrowsPromptDefinition(r, *label)) {
                    const std::string key = PromptKeyOfCaption(caption);
                    int own = GetFormItemsArrayIndex(model, key);
                    int def = GetUserPromptsArrayIndex(model, key);
                    if (own >= 0 && own != i) {
                        FormItem copy = model.items[size_t(own)];
                        copy.linkData = r.linkData;
                        copy.barcodeWidth = r.barcodeWidth;
                        copy.barcodeHeight = r.barcodeHeight;
                        r = copy;
                    } else if (own < 0 && def >= 0) {
                        const FormItem& d = model.prompts[size_t(def)];
                        r.Prompt().promptKey = d.promptKey();
                        r.Prompt().dataEntryType = d.dataEntryType();
                        CopyPromptDetails(d, r);
                    } else if (own < 0) {
                        // A label that shows only a type name has no key of its own yet.
                        r.Prompt().promptKey = DataEntryTypeCode(key).empty() ? "^" + key : "";
                    }
                    r.itemKind = ItemKind::UserPrompt;
                }
                if (r.promptKey().empty() || r.promptKey() == "^") r.Prompt().promptKey = "^1";
                std::string type = DataEntryTypeCode(text::Trim(caption.substr(1)));
                if (!type.empty()) r.Prompt().dataEntryType = type;
            } else {
                r.itemKind = ItemKind::StaticText;
            }
        }
        return true;
    } catch (const std::exception& e) {
        ReportError(ui, "Error in BuildFormItemsArray   ", e.what());
        return false;
    }
}

namespace {

bool AskAboutMismatches(const std::string& firstLine, const std::vector<std::string>& captions,
                        UserInterface& ui, bool ask) {
    if (captions.empty()) return true;
    if (!ask) return false;
    std::string message =
        firstLine + "\r\n\r\n" + text::Join(captions, ", ") + "\r\n\r\nDo you want to save anyway?";
    return ui.YesNo(message, "Save Layout");
}

// The keys of the prompts not marked deleted, gathered once: looked up per prompt label,
// a walk over every record made the check quadratic in a large form.
void AddLivePromptKeys(const std::vector<FormItem>& records,
                       std::unordered_set<std::string_view>& keys) {
    for (const auto& r : records)
        if (DefinesLivePrompt(r)) keys.insert(r.promptKey());
}

}  // namespace

bool DefinesLivePrompt(const FormItem& record) {
    return !record.markedDeleted && record.HasPromptParts();
}

bool AcceptFieldMismatches(const std::vector<std::string>& captions, UserInterface& ui, bool ask) {
    return AskAboutMismatches("The following fields do not match database definitions:", captions,
                              ui, ask);
}

bool AcceptPromptMismatches(const std::vector<std::string>& captions, UserInterface& ui, bool ask) {
    return AskAboutMismatches(
        "The following fields do not match 'User Prompts' definitions:", captions, ui, ask);
}

bool ValidateDataBoundLabels(const FormModel& model, const LayoutSource& canvas, UserInterface& ui,
                             bool ask) {
    try {
        std::vector<std::string> missing;
        for (int i = 0; i < canvas.LabelCount(); ++i) {
            const LabelControl* label = canvas.LabelAt(i);
            if (!label || !label->visible || !IsDataBoundLabel(label->caption)) continue;
            const std::string name = label->caption.substr(1);
            if (!model.FindDatabaseField(name)) missing.push_back(label->caption.str());
        }
        return AcceptFieldMismatches(missing, ui, ask);
    } catch (const std::exception& e) {
        ReportError(ui, "ERR in ValidateDataBoundLabels   ", e.what());
        return false;
    }
}

bool ValidateUserPromptsLabels(const FormModel& model, const LayoutSource& canvas,
                               UserInterface& ui, bool ask) {
    try {
        std::vector<std::string> missing;
        std::unordered_set<std::string_view> live;
        AddLivePromptKeys(model.items, live);
        AddLivePromptKeys(model.prompts, live);
        for (int i = 0; i < canvas.LabelCount(); ++i) {
            const LabelControl* label = canvas.LabelAt(i);
            if (!label || !label->visible || !IsUserPromptsLabel(label->caption)) continue;
            const std::string key = "^" + PromptKeyOfCaption(label->caption);
            if (!live.count(key)) missing.push_back(label->caption.str());
        }
        return AcceptPromptMismatches(missing, ui, ask);
    } catch (const std::exception& e) {
        ReportError(ui, "ERR in ValidateUserPromptsLabels   ", e.what());
        return false;
    }
}

bool LoadDBFieldsList(const std::string& path, FormModel& model, UserInterface& ui) {
    std::string bytes, error;
    if (!files::FileExists(path)) {
        ui.Message(path + "\r\nfile not found", "File is missing", MessageIcon::Warning);
        model.databaseFields.clear();
        return false;
    }
    if (!files::ReadWholeFile(path, bytes, error) || bytes.empty()) {
        ui.Message(path + "\r\nfile has no data", "File invalid", MessageIcon::Warning);
        model.databaseFields.clear();
        return false;
    }
    if (text::EndsWith(bytes, "\r\n")) bytes.resize(bytes.size() - 2);
    std::vector<DatabaseFieldRef> list;
    for (const auto& line : text::Split(bytes, "\r\n")) {
        auto [longName, name] = text::SplitAtFirst(line, "\t");
        list.push_back({name, longName});
    }
    model.databaseFields = std::move(list);
    model.InvalidateFieldIndex();
    return true;
}
