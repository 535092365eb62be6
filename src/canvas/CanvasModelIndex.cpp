// The canvas model's drawing order, its index of where labels lie and what each draws,
// and what lies under a point.
#include <algorithm>

#include "canvas/CanvasModel.h"

namespace {
// Pens are drawn a screen pixel wide (1/96 inch) for each unit of their width, half of it
// outside the item; antialiasing takes one more pixel.
constexpr double kPenInches = 1.0 / 96;
// Inches as an index keeps them: an absurd size from a damaged layout stays finite.
float Inches(double v) {
    return float(std::clamp(v, -1e30, 1e30));
}
}  // namespace

ItemIndex::Look CanvasModel::LookOf(int index) const {
    const LabelControl* c = LabelAt(index);
    ItemIndex::Look look;
    if (!c || !c->visible) return look;
    look.hash =
        LookHasher()
            .Add(c->caption)
            .Add(c->fontName)
            .Add(c->fontSize)
            .Add(std::uint64_t(c->bold) | std::uint64_t(c->italic) << 1 |
                 std::uint64_t(c->bordered) << 2 | std::uint64_t(LabelTextWraps(index)) << 3 |
                 std::uint64_t(c->alignment) << 8 | std::uint64_t(c->shownRows) << 16)
            .Add(std::uint64_t(LabelBackColor(index)) << 32 | LabelForeColor(index))
            .Add(Rect{c->left, c->top, c->width, c->height})
            .Add(DrawingRank(index))  // brought to front, it is drawn over its neighbours
            .Value();
    const double pen = 2 * kPenInches;
    look.left = Inches(c->left - pen);
    look.top = Inches(c->top - pen);
    look.right = Inches(c->left + c->width + pen);
    look.bottom = Inches(c->top + c->height + pen);
    look.page = c->page;
    return look;
}

std::unordered_map<std::uint64_t, ItemIndex::Look> CanvasModel::ShapeLooks() const {
    std::unordered_map<std::uint64_t, ItemIndex::Look> looks;
    auto put = [&](int kind, std::size_t index, int page, const Rect& r, double penWidth,
                   LookHasher h) {
        const double pen = (penWidth + 2) * kPenInches;
        ItemIndex::Look look;
        look.hash = h.Add(r).Value();
        look.left = Inches(std::min(r.left, r.left + r.width) - pen);
        look.top = Inches(std::min(r.top, r.top + r.height) - pen);
        look.right = Inches(std::max(r.left, r.left + r.width) + pen);
        look.bottom = Inches(std::max(r.top, r.top + r.height) + pen);
        look.page = page;
        looks[std::uint64_t(kind) << 32 | index] = look;
    };
    for (std::size_t i = 0; i < shapes_.images.size(); ++i)
        if (const auto& im = shapes_.images[i]; im.active)
            put(0, i, im.page, im.r, 0, LookHasher().Add(im.name).Add(im.path).Add(im.timeStamp));
    for (std::size_t i = 0; i < shapes_.boxes.size(); ++i)
        if (const auto& b = shapes_.boxes[i]; b.active)
            put(1, i, b.page, b.r, std::max(1, b.borderWidth),
                LookHasher()
                    .Add(std::uint64_t(b.styleCode))
                    .Add(std::uint64_t(b.borderWidth))
                    .Add(std::uint64_t(b.borderColor)));
    for (std::size_t i = 0; i < shapes_.hotspots.size(); ++i)
        if (const auto& h = shapes_.hotspots[i]; h.active) put(2, i, h.page, h.r, 1, LookHasher());
    for (std::size_t i = 0; i < shapes_.signatures.size(); ++i)
        if (const auto& s = shapes_.signatures[i]; s.active)
            put(3, i, s.page, s.r, 1, LookHasher().Add(std::uint64_t(s.signaturePad)));
    for (std::size_t i = 0; i < shapes_.lines.size(); ++i)
        if (const auto& l = shapes_.lines[i]; l.active)
            put(4, i, l.page, {l.x1, l.y1, l.x2 - l.x1, l.y2 - l.y1}, std::max(1, l.width),
                LookHasher().Add(std::uint64_t(l.color)).Add(std::uint64_t(l.width)));
    for (const auto& b : shapes_.barcodes)
        if (const LabelControl* c = LabelAt(b.label); b.active && c && c->visible)
            put(5, std::size_t(b.label), c->page, BarcodeRect(b.label), 0,
                LookHasher().Add(c->caption));
    return looks;
}

const ItemIndex& CanvasModel::Index() const {
    if (rebuildIndex_ || index_.PageWidth() != pageWidth_ || index_.PageHeight() != pageHeight_) {
        index_.Reset(pageWidth_, pageHeight_);
        for (int i = 1; i < int(labels_.size()); ++i) index_.PutLabel(i, LookOf(i), false);
        rebuildIndex_ = shapesLooked_ = false;
        written_.clear();
    }
    if (!written_.empty()) {
        std::sort(written_.begin(), written_.end());
        written_.erase(std::unique(written_.begin(), written_.end()), written_.end());
        for (int i : written_) {
            if (size_t(i) >= labels_.size()) continue;
            index_.PutLabel(i, LookOf(i));
            // A barcode's picture lies at its label's corner and shows its caption.
            if (labels_[size_t(i)].barcode) shapesLooked_ = false;
        }
        written_.clear();
    }
    if (!shapesLooked_) {
        index_.PutShapes(ShapeLooks());
        shapesLooked_ = true;
    }
    return index_;
}

void CanvasModel::LabelsIn(int page, const Rect& area, std::vector<int>& out) const {
    const std::size_t from = out.size();
    Index().LabelsIn(page, area, out);
    std::sort(out.begin() + std::ptrdiff_t(from), out.end(),
              [&](int a, int b) { return DrawingRank(a) < DrawingRank(b); });
}

const std::vector<int>& CanvasModel::LabelOrder() const {
    if (orderKnown_) return order_;
    order_.clear();
    for (int i = 1; i < int(labels_.size()); ++i)
        if (labels_[size_t(i)].loaded && !(size_t(i) < raisedAt_.size() && raisedAt_[size_t(i)]))
            order_.push_back(i);
    for (int i : raised_)
        if (labels_[size_t(i)].loaded) order_.push_back(i);
    orderKnown_ = true;
    return order_;
}

void CanvasModel::BringToFront(int index) {
    if (index <= 0 || size_t(index) >= labels_.size()) return;
    // Already on top: the last brought to front, or the last label when none was.
    if (raised_.empty() ? size_t(index) + 1 == labels_.size() : raised_.back() == index) return;
    if (raisedAt_.size() < labels_.size()) raisedAt_.resize(labels_.size());
    if (raisedAt_[size_t(index)]) raised_.erase(std::find(raised_.begin(), raised_.end(), index));
    raised_.push_back(index);
    raisedAt_[size_t(index)] = ++raises_;
    Written(index);
    Reordered();
    Changed(CanvasChange::Selection, labels_[size_t(index)].control.page);
}

void CanvasModel::BringAllToFront() {
    // Only the labels brought to front are out of index order.
    if (raised_.empty()) return;
    for (int i : raised_) {
        raisedAt_[size_t(i)] = 0;
        Written(i);
    }
    raised_.clear();
    raises_ = 0;
    Reordered();
    // The drawing order is the canvas's, not the form's: no change to the form.
    Changed(CanvasChange::Selection);
}

CanvasModel::Hit CanvasModel::HitTest(int page, double x, double y) const {
    auto inside = [&](const Rect& r) {
        return x >= r.left && x <= r.left + r.width && y >= r.top && y <= r.top + r.height;
    };
    // Labels lie above every picture and shape, the last brought to front on top.
    std::vector<int> under;
    Index().LabelsAt(page, x, y, under);
    int top = -1;
    for (int i : under) {
        const Entry& e = labels_[size_t(i)];
        if (!e.loaded || !e.control.visible || e.control.page != page ||
            !inside({e.control.left, e.control.top, e.control.width, e.control.height}))
            continue;
        if (top < 0 || DrawingRank(i) > DrawingRank(top)) top = i;
    }
    if (top >= 0) return {Hit::Label, top};
    for (size_t i = shapes_.barcodes.size(); i-- > 0;) {
        const BarcodeRecord& b = shapes_.barcodes[i];
        const LabelControl* c = LabelAt(b.label);
        if (b.active && c && c->visible && c->page == page && inside(BarcodeRect(b.label)))
            return {Hit::Barcode, b.label};
    }
    for (size_t i = shapes_.signatures.size(); i-- > 0;)
        if (shapes_.signatures[i].active && shapes_.signatures[i].page == page &&
            inside(shapes_.signatures[i].r))
            return {Hit::SignatureBox, int(i)};
    for (size_t i = shapes_.hotspots.size(); i-- > 0;)
        if (shapes_.hotspots[i].active && shapes_.hotspots[i].page == page &&
            inside(shapes_.hotspots[i].r))
            return {Hit::Hotspot, int(i)};
    for (size_t i = shapes_.images.size(); i-- > 0;)
        if (shapes_.images[i].active && shapes_.images[i].page == page &&
            inside(shapes_.images[i].r))
            return {Hit::Image, int(i)};
    // A box is only hit on its border: its inside is where the form's items go.
    for (size_t i = shapes_.boxes.size(); i-- > 0;) {
        const BoxRecord& b = shapes_.boxes[i];
        if (!b.active || b.page != page || !inside(b.r)) continue;
        const double edge = 0.05;
        Rect inner{b.r.left + edge, b.r.top + edge, b.r.width - 2 * edge, b.r.height - 2 * edge};
        if (inner.width <= 0 || inner.height <= 0 || !inside(inner)) return {Hit::Box, int(i)};
    }
    return {};
}
