// What a label is: its caption, its kind and the list fill.
#include <algorithm>

#include "canvas/CanvasEditor.h"
#include "layout/ItemTypes.h"
#include "shell/Cp1252.h"

void CanvasEditor::Recaption(int index, const std::string& caption, bool autoSize, double width) {
    if (index <= 0 || !canvas_.LabelAt(index)) return;
    LabelControl& c = canvas_.Label(index);
    c.caption = caption;
    c.autoSize = autoSize;
    if (autoSize)
        FitLabelToCaption(c, metrics_);
    else
        SetLabelWidth(c, width);
}

FormItem& CanvasEditor::NewItemKind(int index, ItemKind kind) {
    FormItem& item = canvas_.Item(index);
    FormItem fresh;
    fresh.itemKind = kind;
    // What belongs to the label rather than to its kind stays: its linked data, and
    // a barcode's picture size.
    fresh.linkData = item.linkData;
    if (canvas_.IsBarcodeLabel(index)) {
        fresh.barcodeMark = item.barcodeMark;
        fresh.barcodeWidth = item.barcodeWidth;
        fresh.barcodeHeight = item.barcodeHeight;
    }
    item = fresh;
    return item;
}

void CanvasEditor::ItemToStaticText(int index) {
    CanvasEdit edit(canvas_, kEdited);
    Recaption(index, canvas_.Label(0).caption.str(), true);
    NewItemKind(index, ItemKind::StaticText);
}

void CanvasEditor::ItemToDataField(int index, const std::string& fieldName) {
    CanvasEdit edit(canvas_, kEdited);
    Recaption(index, "~" + fieldName, true);
    NewItemKind(index, ItemKind::DatabaseField);
}

bool CanvasEditor::PromptOnForm(std::string_view key) const {
    for (int i = 1; i < canvas_.LabelCount(); ++i) {
        const LabelControl* c = canvas_.LabelAt(i);
        if (!c || !c->visible) continue;
        const std::string_view cap = c->caption;
        if (cap.size() > key.size() && cap[0] == '^' && cap.substr(1, key.size()) == key &&
            (cap.size() == key.size() + 1 || cap[key.size() + 1] == ' ' ||
             cap[key.size() + 1] == '@'))
            return true;
    }
    return false;
}

std::vector<CanvasEditor::PromptEntry> CanvasEditor::UserPromptEntries() const {
    std::vector<PromptEntry> out;
    for (size_t r = 0; r < model_.prompts.size(); ++r) {
        const FormItem& p = model_.prompts[r];
        if (p.itemKind != ItemKind::UserPrompt || p.promptKey().size() < 2 || p.markedDeleted)
            continue;
        std::string reference = p.promptKey()[0] == '^' ? p.promptKey().substr(1) : p.promptKey();
        if (PromptOnForm(reference)) continue;
        std::string caption = reference;
        if (!p.promptCaption().empty()) caption += "  (" + p.promptCaption() + ")";
        out.push_back({caption, reference, p.promptNumber(), int(r)});
    }
    return out;
}

void CanvasEditor::ItemToUserPrompt(int index, const PromptEntry& entry) {
    CanvasEdit edit(canvas_, kEdited);
    if (entry.record < 0 || size_t(entry.record) >= model_.prompts.size()) return;
    const FormItem& prompt = model_.prompts[size_t(entry.record)];
    bool fixed = prompt.dataEntryType() == "TEXT" || prompt.dataEntryType() == "TEXT_FROMTHRU";
    Recaption(index, "^" + entry.reference, !fixed, 1.0);
    canvas_.Label(index).toolTip =
        prompt.promptCaption().empty() ? LabelTip::None : LabelTip::PromptCaption;
    FormItem& item = NewItemKind(index, ItemKind::UserPrompt);
    item.Prompt().promptKey = prompt.promptKey();
    item.Prompt().dataEntryType = prompt.dataEntryType();
    CopyPromptDetails(prompt, item);
    item.definitionRead = true;
}

std::vector<int> CanvasEditor::FillOrder(std::vector<int> labels, int order) const {
    if (order != 1 && order != 2) return labels;  // index order, as collected
    // Lines (rows for order 1, columns for order 2) by their first coordinate, then
    // along each line by the other one.
    auto across = [&](int i) {
        const LabelControl& c = *canvas_.LabelAt(i);
        return order == 1 ? c.top : c.left;
    };
    auto along = [&](int i) {
        const LabelControl& c = *canvas_.LabelAt(i);
        return order == 1 ? c.left : c.top;
    };
    std::stable_sort(labels.begin(), labels.end(),
                     [&](int a, int b) { return across(a) < across(b); });
    std::vector<int> out;
    for (size_t start = 0; start < labels.size();) {
        size_t end = start + 1;
        while (end < labels.size() && across(labels[end]) - across(labels[start]) <= kFillTolerance)
            ++end;
        std::stable_sort(labels.begin() + long(start), labels.begin() + long(end),
                         [&](int a, int b) { return along(a) < along(b); });
        out.insert(out.end(), labels.begin() + long(start), labels.begin() + long(end));
        start = end;
    }
    return out;
}

std::vector<int> CanvasEditor::FillTargets(size_t count, int order,
                                           const std::string& tagFilter) const {
    std::vector<int> labels;
    for (int i = 1; i < canvas_.LabelCount(); ++i)
        if (IsOrdinaryLabel(i) &&
            (tagFilter.empty() ? IsSelected(i) : canvas_.LabelAt(i)->tag == tagFilter))
            labels.push_back(i);
    labels = FillOrder(std::move(labels), order);
    if (labels.size() > count) labels.resize(count);
    return labels;
}

int CanvasEditor::FillLabels(const std::vector<std::string>& entries, int order,
                             const std::string& tagFilter) {
    const std::vector<int> labels = FillTargets(entries.size(), order, tagFilter);
    for (size_t k = 0; k < labels.size(); ++k) {
        int i = labels[k];
        const std::string& e = entries[k];
        if (e.size() > 1 && e[0] == '~') {
            ItemToDataField(i, e.substr(1));
        } else {
            const LabelControl& c = canvas_.Label(i);
            Recaption(i, e, c.autoSize, c.width);
            NewItemKind(i, ItemKind::StaticText);
        }
    }
    return int(labels.size());
}
