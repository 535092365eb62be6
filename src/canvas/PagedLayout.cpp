#include "canvas/PagedLayout.h"

#include <filesystem>
#include <numeric>
#include <system_error>

#include "layout/ItemTypes.h"
#include "layout/LayoutReader.h"
#include "layout/SaveValidation.h"

PagedLayout::PagedLayout(UserInterface& ui, const TextMetrics& metrics)
    : ui_(ui), metrics_(metrics), canvas_(model_, metrics) {}

PagedLayout::Opened PagedLayout::Open(const std::string& path) {
    // Room for the written pages, so they are never copied as they grow: a layout written
    // anew is about as long as the one read, and room never written costs no memory.
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (!error) laterPages_.reserve(size_t(size) * 2 + (size_t(1) << 20));
    LayoutReader reader(model_, canvas_, metrics_, ui_);
    reader.SetPageRead([this](int page) { return PageRead(page); });
    const bool read = OpenLayoutFile(path, reader, model_, ui_);
    if (readWhole_) {
        std::string().swap(laterPages_);
        return Opened::ReadWhole;
    }
    return read ? Opened::Ready : Opened::Failed;
}

bool PagedLayout::PageRead(int page) {
    paged_ = true;
    const int count = canvas_.LabelCount();
    // The page's labels follow the companions of its shapes, placed before its items.
    int first = kept_;
    while (first < count && canvas_.IsCompanionLabel(first)) ++first;
    for (int i = first; i < count; ++i)
        if (const FormItem* r = model_.ItemAt(i); r && DefinesLivePrompt(*r))
            liveKeys_.insert(r->promptKey());
    for (int i = first; i < count; ++i) {
        const LabelControl* label = canvas_.LabelAt(i);
        if (!label || !label->visible) continue;
        const std::string_view caption = label->caption;
        if (IsUserPromptsLabel(caption)) {
            std::string key = PromptKeyOfCaption(caption);
            key.insert(0, 1, '^');
            if (!liveKeys_.count(key))
                unmatchedPrompts_.push_back({std::string(caption), std::move(key)});
            const FormItem* r = model_.ItemAt(i);
            if (label->enabled && (!r || BorrowsPromptDefinition(*r, *label))) {
                readWhole_ = true;
                return false;
            }
        } else if (IsDataBoundLabel(caption) && !model_.FindDatabaseField(caption.substr(1))) {
            unmatchedFields_.emplace_back(caption);
        }
    }
    if (!BuildFormItemsArray(model_, canvas_, ui_, first)) return false;
    if (page == 0) {
        kept_ = count;
        return true;
    }
    std::vector<int> labels(size_t(count - first));
    std::iota(labels.begin(), labels.end(), first);
    LayoutWriter(model_, canvas_, ui_).AppendPage(labels, false, laterPages_);
    for (int i = first; i < count; ++i)
        if (const FormItem* r = model_.ItemAt(i); r && !r->linkData.empty())
            model_.linkedData.erase(FormModel::LinkedDataKey(i));
    canvas_.UnloadLabelsFrom(first);
    if (model_.items.size() > size_t(first)) model_.items.resize(size_t(first));
    kept_ = first;
    return true;
}

bool PagedLayout::Validate(UserInterface& ui) {
    if (!paged_)
        return ValidateUserPromptsLabels(model_, canvas_, ui, true) &&
               ValidateDataBoundLabels(model_, canvas_, ui, true) &&
               BuildFormItemsArray(model_, canvas_, ui);
    for (const auto& r : model_.prompts)
        if (DefinesLivePrompt(r)) liveKeys_.insert(r.promptKey());
    std::vector<std::string> prompts, fields;
    for (const auto& label : unmatchedPrompts_)
        if (!liveKeys_.count(label.key)) prompts.push_back(label.caption);
    for (const auto& caption : unmatchedFields_)
        if (!model_.FindDatabaseField(caption.substr(1))) fields.push_back(caption);
    // Settled: the keys are let go before the layout is written, when memory is most used.
    std::unordered_set<std::string>().swap(liveKeys_);
    std::vector<PromptLabel>().swap(unmatchedPrompts_);
    std::vector<std::string>().swap(unmatchedFields_);
    return AcceptPromptMismatches(prompts, ui, true) && AcceptFieldMismatches(fields, ui, true);
}

std::string PagedLayout::Write(const std::string& listedStamp) {
    LayoutWriter writer(model_, canvas_, ui_);
    writer.SetListedTimeStamp(listedStamp);
    std::string backgrounds, images;
    if (!paged_) return writer.ReassembleData(backgrounds, images);
    if (written_) return {};
    written_ = true;
    return writer.ReassembleData(backgrounds, images, std::move(laterPages_));
}
