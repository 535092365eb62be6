#include "canvas/UndoHistory.h"

#include <unordered_set>

void UndoHistory::Reset() {
    steps_.clear();
    current_ = 0;
    baseId_ = nextId_++;
}

bool UndoHistory::Record(CanvasStep step, const std::string& name) {
    if (step.Empty()) return false;
    steps_.erase(steps_.begin() + std::ptrdiff_t(current_), steps_.end());
    steps_.push_back({std::move(step), name, nextId_++});
    if (steps_.size() > maxSteps_) {
        baseId_ = steps_.front().id;
        steps_.pop_front();
    }
    current_ = steps_.size();
    return true;
}

std::string UndoHistory::UndoName() const {
    return CanUndo() ? steps_[current_ - 1].name : std::string();
}

std::string UndoHistory::RedoName() const {
    return CanRedo() ? steps_[current_].name : std::string();
}

const CanvasStep* UndoHistory::Undo() {
    return CanUndo() ? &steps_[--current_].step : nullptr;
}

const CanvasStep* UndoHistory::Redo() {
    return CanRedo() ? &steps_[current_++].step : nullptr;
}

std::size_t UndoHistory::MemoryBytes() const {
    std::unordered_set<const void*> counted;
    std::size_t bytes = 0;
    auto shapes = [&](const std::shared_ptr<const ShapeRecords>& s) {
        if (!s || !counted.insert(s.get()).second) return;
        bytes += sizeof(ShapeRecords) + s->images.capacity() * sizeof(ImageRecord) +
                 s->backgrounds.capacity() * sizeof(BackgroundRecord) +
                 s->barcodes.capacity() * sizeof(BarcodeRecord) +
                 s->hotspots.capacity() * sizeof(HotspotRecord) +
                 s->signatures.capacity() * sizeof(SignatureBoxRecord) +
                 s->boxes.capacity() * sizeof(BoxRecord) + s->lines.capacity() * sizeof(LineRecord);
    };
    auto form = [&](const std::shared_ptr<const FormPart>& f) {
        if (!f || !counted.insert(f.get()).second) return;
        bytes += sizeof(FormPart) + f->prompts.capacity() * sizeof(FormItem) +
                 f->staticListsUsed.capacity() * sizeof(std::string);
        if (counted.insert(f->databaseFields.get()).second)
            bytes += f->databaseFields->capacity() * sizeof(DatabaseFieldRef);
        if (counted.insert(f->gridItems.get()).second)
            bytes += f->gridItems->capacity() * sizeof(GridItem);
    };
    for (const Step& s : steps_) {
        bytes += sizeof(Step) + s.name.capacity() + s.step.LabelBytes();
        shapes(s.step.shapesBefore), shapes(s.step.shapesAfter);
        form(s.step.formBefore), form(s.step.formAfter);
    }
    return bytes;
}
