// Undo steps of the canvas model: what an edit touched, kept before and after.
#include <algorithm>

#include "canvas/CanvasModel.h"
#include "canvas/CanvasStep.h"

namespace {
// A string's own heap bytes (none while it fits in the string itself).
std::size_t HeapBytes(const std::string& s) {
    return s.capacity() > std::string().capacity() ? s.capacity() + 1 : 0;
}

// Equal in everything but what the selection changes: border, tag (a selection clears
// a grid's id or the copied mark as it marks a label; neither is written), colours.
bool SameLabel(const CanvasLabel& a, const CanvasLabel& b) {
    const LabelControl &x = a.control, &y = b.control;
    return a.loaded == b.loaded && a.barcode == b.barcode && a.gridCell == b.gridCell &&
           a.companion == b.companion && a.foreColor == b.foreColor && x.caption == y.caption &&
           x.left == y.left && x.top == y.top && x.width == y.width && x.height == y.height &&
           x.fontSize == y.fontSize && x.fontName == y.fontName && x.spare == y.spare &&
           x.page == y.page && x.alignment == y.alignment && x.bold == y.bold &&
           x.italic == y.italic && x.autoSize == y.autoSize && x.visible == y.visible &&
           x.enabled == y.enabled && x.toolTip == y.toolTip;
}

template <class Record>
bool SameRecords(const std::vector<Record>& a, const std::vector<Record>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const Record& x, const Record& y) { return x.SameItem(y); });
}
}  // namespace

bool ShapeRecords::SameItems(const ShapeRecords& o) const {
    return SameRecords(images, o.images) && SameRecords(backgrounds, o.backgrounds) &&
           SameRecords(barcodes, o.barcodes) && SameRecords(hotspots, o.hotspots) &&
           SameRecords(signatures, o.signatures) && SameRecords(boxes, o.boxes) &&
           SameRecords(lines, o.lines);
}

std::size_t CanvasStep::LabelBytes() const {
    std::size_t bytes = labels.capacity() * sizeof(labels[0]);
    for (const auto& [before, after] : labels)
        for (const LabelState* s : {&before, &after})
            bytes += s->label.control.caption.HeapBytes() + HeapBytes(s->linked) +
                     (s->item.HasPromptParts() ? sizeof(PromptParts) : 0);
    return bytes;
}

// What is kept between steps: the labels touched since the last one as they were, and
// the shapes and the rest of the form as they were at it.
struct CanvasModel::StepState {
    std::vector<LabelState> before;
    std::shared_ptr<const ShapeRecords> shapes;
    std::shared_ptr<const FormPart> form;
};

LabelState CanvasModel::StateOf(int index) const {
    LabelState s;
    s.index = index;
    s.label = labels_[size_t(index)];
    s.label.touched = false;
    if (const FormItem* item = model_.ItemAt(index)) s.item = *item;
    if (auto it = model_.linkedData.find(FormModel::LinkedDataKey(index));
        it != model_.linkedData.end())
        s.linked = it->second;
    return s;
}

void CanvasModel::Touch(int index) {
    if (!steps_ || index < 0 || size_t(index) >= labels_.size()) return;
    if (labels_[size_t(index)].touched) return;
    steps_->before.push_back(StateOf(index));
    labels_[size_t(index)].touched = true;
}

FormItem& CanvasModel::Item(int index) {
    Touch(index);
    Written(index);
    return model_.Item(index);
}

bool CanvasModel::LabelUnchanged(const LabelState& was) const {
    const FormItem* item = model_.ItemAt(was.index);
    auto it = model_.linkedData.find(FormModel::LinkedDataKey(was.index));
    return SameLabel(was.label, labels_[size_t(was.index)]) &&
           (item ? *item == was.item : was.item == FormItem()) &&
           (it == model_.linkedData.end() ? was.linked.empty() : it->second == was.linked);
}

bool CanvasModel::ShapesUnchanged() const {
    return !shapesTouched_ || steps_->shapes->SameItems(shapes_);
}

bool CanvasModel::FormUnchanged() const {
    const FormPart& kept = *steps_->form;
    return kept.settings == model_.settings && kept.prompts == model_.prompts &&
           kept.staticListsUsed == model_.staticListsUsed &&
           kept.databaseFields->size() == model_.databaseFields.size() &&
           kept.gridItems->size() == model_.gridItems.size() && kept.pageWidth == pageWidth_ &&
           kept.pageHeight == pageHeight_ && kept.pages == pages_ &&
           kept.interactive == interactive_ && kept.dataGrid == dataGrid_;
}

std::shared_ptr<const ShapeRecords> CanvasModel::KeptShapes() const {
    auto shapes = std::make_shared<ShapeRecords>(shapes_);
    shapes->ForEach([](auto& records) {
        for (auto& r : records) r.marked = false;
    });
    return shapes;
}

std::shared_ptr<const FormPart> CanvasModel::KeptForm() const {
    auto form = std::make_shared<FormPart>();
    form->settings = model_.settings;
    form->prompts = model_.prompts;
    form->staticListsUsed = model_.staticListsUsed;
    const FormPart* kept = steps_ ? steps_->form.get() : nullptr;
    // The lists that only grow are copied only when they grew.
    form->databaseFields =
        kept && kept->databaseFields->size() == model_.databaseFields.size()
            ? kept->databaseFields
            : std::make_shared<const std::vector<DatabaseFieldRef>>(model_.databaseFields);
    form->gridItems = kept && kept->gridItems->size() == model_.gridItems.size()
                          ? kept->gridItems
                          : std::make_shared<const std::vector<GridItem>>(model_.gridItems);
    form->pageWidth = pageWidth_;
    form->pageHeight = pageHeight_;
    form->pages = pages_;
    form->interactive = interactive_;
    form->dataGrid = dataGrid_;
    return form;
}

void CanvasModel::StartSteps() {
    if (steps_)
        for (const LabelState& s : steps_->before) labels_[size_t(s.index)].touched = false;
    steps_.reset();
    auto state = std::make_shared<StepState>();
    state->shapes = KeptShapes();
    state->form = KeptForm();
    steps_ = std::move(state);
    shapesTouched_ = false;
    // A form was read: its labels are indexed anew, whatever was written while it was.
    rebuildIndex_ = true;
    written_.clear();
}

void CanvasModel::StopSteps() {
    if (steps_)
        for (const LabelState& s : steps_->before) labels_[size_t(s.index)].touched = false;
    steps_.reset();
}

bool CanvasModel::HasUnrecordedChanges() const {
    if (!steps_) return false;
    if (!FormUnchanged() || !ShapesUnchanged()) return true;
    return !std::all_of(steps_->before.begin(), steps_->before.end(),
                        [&](const LabelState& was) { return LabelUnchanged(was); });
}

bool CanvasModel::TakeStep(CanvasStep& step) {
    if (!steps_) return false;
    for (LabelState& was : steps_->before) {
        labels_[size_t(was.index)].touched = false;
        if (!LabelUnchanged(was)) step.labels.emplace_back(std::move(was), StateOf(was.index));
    }
    steps_->before.clear();
    if (!ShapesUnchanged()) {
        step.shapesBefore = steps_->shapes;
        step.shapesAfter = steps_->shapes = KeptShapes();
    }
    shapesTouched_ = false;
    if (!FormUnchanged()) {
        step.formBefore = steps_->form;
        step.formAfter = steps_->form = KeptForm();
    }
    return !step.Empty();
}

unsigned CanvasModel::PutBack(const CanvasStep& step, bool after) {
    if (!steps_) return 0;
    // Whatever was touched since the last step is the same as it was (the caller took
    // a step first): nothing of it is kept.
    for (const LabelState& s : steps_->before) labels_[size_t(s.index)].touched = false;
    steps_->before.clear();
    unsigned kinds = 0;
    int page = -2;
    for (const auto& [before, later] : step.labels) {
        const LabelState& s = after ? later : before;
        Entry& e = labels_[size_t(s.index)];
        const bool reached = e.reached;
        if (e.loaded != s.label.loaded) Reordered();
        e = s.label;
        e.touched = false;
        e.reached = reached;
        Written(s.index);
        if (!e.control.tag.empty() || e.companion != Companion::None) Reach(s.index);
        e.control.bordered = false;
        if (e.control.Marked()) e.control.ClearTag();
        model_.Item(s.index) = s.item;
        model_.SetLinkedData(s.index, s.linked);
        page = page == -2 || page == e.control.page ? e.control.page : -1;
        // A companion takes the colour its item has while not selected.
        if (e.companion == Companion::Signature) e.backColor = label_colors::kSignatureBox;
        if (e.companion == Companion::Box) e.backColor = label_colors::kBox;
        kinds |= CanvasChange::Labels;
    }
    if (const auto& shapes = after ? step.shapesAfter : step.shapesBefore) {
        shapes_ = *shapes;
        steps_->shapes = shapes;
        kinds |= CanvasChange::Shapes | CanvasChange::Labels;
        page = -1;
    }
    for (const HotspotRecord& h : shapes_.hotspots)
        if (h.label > 0 && size_t(h.label) < labels_.size()) {
            labels_[size_t(h.label)].backColor = HotspotUnselectedLabelColor(h.kind);
            Written(h.label);
        }
    if (const auto& form = after ? step.formAfter : step.formBefore) {
        model_.settings = form->settings;
        model_.prompts = form->prompts;
        model_.staticListsUsed = form->staticListsUsed;
        if (model_.databaseFields.size() != form->databaseFields->size()) {
            model_.databaseFields = *form->databaseFields;
            model_.InvalidateFieldIndex();
        }
        if (model_.gridItems.size() != form->gridItems->size()) model_.gridItems = *form->gridItems;
        pageWidth_ = form->pageWidth;
        pageHeight_ = form->pageHeight;
        pages_ = form->pages;
        interactive_ = form->interactive;
        dataGrid_ = form->dataGrid;
        steps_->form = form;
        kinds |= CanvasChange::Pages | CanvasChange::Settings;
        page = -1;
    }
    if (kinds) Changed(kinds, page < 0 ? -1 : page);
    shapesTouched_ = false;
    return kinds;
}

std::vector<int> CanvasModel::ReachedLabels() const {
    std::vector<int> out(reached_);
    std::sort(out.begin(), out.end());
    return out;
}

void CanvasModel::ForgetUnmarked() {
    std::erase_if(reached_, [&](int i) {
        Entry& e = labels_[size_t(i)];
        if (e.control.bordered || !e.control.tag.empty() || e.companion != Companion::None)
            return false;
        e.reached = false;
        return true;
    });
}
