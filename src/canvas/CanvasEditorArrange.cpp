// Moving, pasting and arranging the selection and the items.
#include <algorithm>
#include <cmath>

#include "canvas/CanvasEditor.h"
#include "canvas/PageGeometry.h"
#include "layout/ItemTypes.h"
#include "shell/Cp1252.h"

Rect CanvasEditor::ItemRect(const CanvasModel::Hit& item) const {
    using H = CanvasModel::Hit;
    switch (item.kind) {
        case H::Image:
            return canvas_.Images()[size_t(item.index)].r;
        case H::Hotspot:
            return canvas_.Hotspots()[size_t(item.index)].r;
        case H::SignatureBox:
            return canvas_.SignatureBoxes()[size_t(item.index)].r;
        case H::Box:
            return canvas_.Boxes()[size_t(item.index)].r;
        case H::Barcode:
            return canvas_.BarcodeRect(item.index);
        case H::Label: {
            const LabelControl* c = canvas_.LabelAt(item.index);
            return c ? Rect{c->left, c->top, c->width, c->height} : Rect{};
        }
        default:
            return {};
    }
}

void CanvasEditor::MoveItem(const CanvasModel::Hit& item, double dx, double dy) {
    using H = CanvasModel::Hit;
    switch (item.kind) {
        case H::Image:
            canvas_.MoveImage(item.index, dx, dy);
            break;
        case H::Hotspot:
            canvas_.MoveHotspotShape(item.index, dx, dy);
            break;
        case H::SignatureBox:
            canvas_.MoveSignatureBoxShape(item.index, dx, dy);
            break;
        case H::Box:
            canvas_.MoveBoxShape(item.index, dx, dy);
            break;
        case H::Barcode:
            canvas_.MoveBarcodeImage(item.index, dx, dy);
            break;
        default:
            break;
    }
}

bool CanvasEditor::PressItem(const CanvasModel::Hit& item, double x, double y, bool shift,
                             bool ctrl) {
    CanvasEdit edit(canvas_, kEdited);
    using H = CanvasModel::Hit;
    if (item.kind == H::None || item.kind == H::Label) return false;
    canvas_.ClearShapeMarks();
    MarkItem(item);
    if (shift || ctrl) return false;
    Rect r = ItemRect(item);
    drag_ = {};
    drag_.active = true;
    drag_.item = item;
    drag_.startLeft = r.left;
    drag_.startTop = r.top;
    drag_.grabX = x - r.left;
    drag_.grabY = y - r.top;
    if (hooks_.showItemProperties) hooks_.showItemProperties(item);
    return true;
}

std::vector<Rect> CanvasEditor::DragPreview(double x, double y) const {
    std::vector<Rect> out;
    if (!drag_.active) return out;
    double dx = x - drag_.grabX - drag_.startLeft;
    double dy = y - drag_.grabY - drag_.startTop;
    // The outlines show where the drop will put things, page limits included.
    std::vector<Rect> rects = drag_.item.kind == CanvasModel::Hit::Label
                                  ? LabelRects(LabelsToMove({}, false))
                                  : std::vector<Rect>{ItemRect(drag_.item)};
    ClampToPage(rects, dx, dy);
    for (Rect r : rects) {
        r.left += dx;
        r.top += dy;
        out.push_back(r);
    }
    return out;
}

void CanvasEditor::ClampToPage(const std::vector<Rect>& rects, double& dx, double& dy) const {
    if (rects.empty()) return;
    double minLeft = 1e300, minTop = 1e300, maxRight = -1e300, maxBottom = -1e300;
    for (const Rect& r : rects) {
        minLeft = std::min(minLeft, r.left);
        minTop = std::min(minTop, r.top);
        maxRight = std::max(maxRight, r.left + r.width);
        maxBottom = std::max(maxBottom, r.top + r.height);
    }
    dx = KeepOnPage(dx, minLeft, maxRight, canvas_.PageWidth());
    dy = KeepOnPage(dy, minTop, maxBottom, canvas_.PageHeight());
}

std::vector<Rect> CanvasEditor::LabelRects(const std::vector<int>& labels) const {
    std::vector<Rect> rects;
    for (int i : labels) {
        const LabelControl& c = *canvas_.LabelAt(i);
        rects.push_back({c.left, c.top, c.width, c.height});
    }
    return rects;
}

void CanvasEditor::ShiftLabels(const std::vector<int>& labels, double dx, double dy) {
    for (int i : labels) {
        LabelControl& c = canvas_.Label(i);
        c.left += dx;
        c.top += dy;
    }
}

double CanvasEditor::Snapped(double inches) const {
    if (snap_ <= 0 || !std::isfinite(inches)) return inches;
    // Three decimals, as the layout keeps positions.
    return std::round(std::round(inches / snap_) * snap_ * 1000) / 1000;
}

void CanvasEditor::Drop(double x, double y) {
    CanvasEdit edit(canvas_, kEdited);
    if (!drag_.active) return;
    Drag d = drag_;
    drag_ = {};
    // The grabbed item's corner, not the pointer, goes onto the snap grid.
    x = Snapped(x - d.grabX) + d.grabX;
    y = Snapped(y - d.grabY) + d.grabY;
    double dx = x - d.grabX - d.startLeft;
    double dy = y - d.grabY - d.startTop;
    if (d.item.kind == CanvasModel::Hit::Label) {
        if (dx != 0 || dy != 0) {
            MoveLabels(dx, dy);
        } else {
            drag_ = d;
            ReleaseWithoutMove();
        }
        return;
    }
    std::vector<Rect> corner{ItemRect(d.item)};
    ClampToPage(corner, dx, dy);
    MoveItem(d.item, dx, dy);
}

std::vector<int> CanvasEditor::LabelsToMove(const std::string& tagFilter,
                                            bool leaveOutMarked) const {
    std::vector<int> moving;
    // Only a label reached by the selection carries a border or a tag.
    for (int i : canvas_.ReachedLabels()) {
        if (!IsOrdinaryLabel(i)) continue;
        const LabelControl& c = *canvas_.LabelAt(i);
        bool take = !tagFilter.empty() ? c.HasTag(tagFilter)
                                       : c.bordered && !(leaveOutMarked && c.Marked());
        if (take) moving.push_back(i);
    }
    return moving;
}

void CanvasEditor::MoveLabels(double dx, double dy, const std::string& tagFilter,
                              bool leaveOutMarked) {
    CanvasEdit edit(canvas_, kEdited);
    std::vector<int> moving = LabelsToMove(tagFilter, leaveOutMarked);
    ClampToPage(LabelRects(moving), dx, dy);
    ShiftLabels(moving, dx, dy);
}

void CanvasEditor::MoveLabel(int index, double dx, double dy) {
    CanvasEdit edit(canvas_, kEdited);
    if (!canvas_.LabelAt(index) || index <= 0) return;
    ClampToPage(LabelRects({index}), dx, dy);
    ShiftLabels({index}, dx, dy);
    canvas_.BringToFront(index);
}

int CanvasEditor::PasteSelectedLabels(double dx, double dy, int page) {
    CanvasEdit edit(canvas_, kEdited);
    std::vector<int> sources = SelectedLabels();
    if (sources.empty()) return 0;
    int marked = MarkedLabel();
    int markedCopy = -1;
    std::vector<int> copies;
    for (int src : sources) {
        int copy = canvas_.LoadOneLabel(page);
        LabelControl c = *canvas_.LabelAt(src);
        c.page = std::clamp(page, 0, canvas_.PageCount() - 1);
        c.MarkJustCopied();
        c.bordered = false;
        c.visible = false;
        canvas_.Label(copy) = c;
        if (const FormItem* item = model_.ItemAt(src)) {
            FormItem copied = *item;
            canvas_.Item(copy) = copied;
        }
        if (src == marked) markedCopy = copy;
        copies.push_back(copy);
    }
    for (int i : SelectedLabels()) canvas_.Label(i).bordered = false;
    for (int copy : copies) canvas_.Label(copy).visible = true;
    MoveLabels(dx, dy, LabelControl::kJustCopiedTag);
    for (int copy : copies) {
        LabelControl& c = canvas_.Label(copy);
        c.bordered = true;
        c.ClearTag();
    }
    if (markedCopy > 0) {
        MarkOneLabel(markedCopy);
        if (hooks_.showLabelProperties) hooks_.showLabelProperties(markedCopy);
    }
    return int(copies.size());
}

namespace {
// Lays the rectangles out in their given order from the smallest left (top), with
// equal gaps up to the largest right (bottom); a gap may come out negative.
void EvenSpace(std::vector<Rect>& rects, bool horizontal, bool vertical) {
    if (rects.size() < 2) return;
    double minLeft = 3000, minTop = 3000, maxRight = -3000, maxBottom = -3000, sumW = 0, sumH = 0;
    for (const Rect& r : rects) {
        minLeft = std::min(minLeft, r.left);
        minTop = std::min(minTop, r.top);
        maxRight = std::max(maxRight, r.left + r.width);
        maxBottom = std::max(maxBottom, r.top + r.height);
        sumW += r.width;
        sumH += r.height;
    }
    double n = double(rects.size() - 1);
    double gapX = (maxRight - minLeft - sumW) / n;
    double gapY = (maxBottom - minTop - sumH) / n;
    double x = minLeft, y = minTop;
    for (Rect& r : rects) {
        if (horizontal) {
            r.left = x;
            x += r.width + gapX;
        }
        if (vertical) {
            r.top = y;
            y += r.height + gapY;
        }
    }
}
}  // namespace

void CanvasEditor::EvenSpaceSelected(bool horizontal, bool vertical) {
    CanvasEdit edit(canvas_, kEdited);
    std::vector<int> sel = SelectedLabels();
    std::vector<Rect> rects;
    for (int i : sel) {
        const LabelControl& c = *canvas_.LabelAt(i);
        rects.push_back({c.left, c.top, c.width, c.height});
    }
    EvenSpace(rects, horizontal, vertical);
    for (size_t k = 0; k < rects.size(); ++k) {
        LabelControl& c = canvas_.Label(sel[k]);
        c.left = rects[k].left;
        c.top = rects[k].top;
    }
}

std::vector<int> CanvasEditor::SelectedBoxes(int boundBox) const {
    std::vector<int> out;
    const auto& boxes = canvas_.Boxes();
    for (size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i].active && boxes[i].marked && int(i) != boundBox) out.push_back(int(i));
    return out;
}

void CanvasEditor::MoveBoxShapes(double dx, double dy, int boundBox) {
    CanvasEdit edit(canvas_, kEdited);
    std::vector<int> sel = SelectedBoxes(boundBox);
    std::vector<Rect> rects;
    for (int b : sel) rects.push_back(canvas_.Boxes()[size_t(b)].r);
    ClampToPage(rects, dx, dy);
    for (int b : sel) canvas_.MoveBoxShape(b, dx, dy);
}

int CanvasEditor::PasteSelectedBoxes(double dx, double dy, int page, int boundBox) {
    CanvasEdit edit(canvas_, kEdited);
    std::vector<int> sources = SelectedBoxes(boundBox);
    std::vector<Rect> rects;
    for (int b : sources) rects.push_back(canvas_.Boxes()[size_t(b)].r);
    ClampToPage(rects, dx, dy);
    std::vector<int> copies;
    for (int src : sources) {
        const BoxRecord from = canvas_.Boxes()[size_t(src)];
        int copy =
            canvas_.AddBox({from.r.left + dx, from.r.top + dy, from.r.width, from.r.height}, page);
        canvas_.UpdateBoxShapeProps(copy, CanvasModel::BoxOption::BorderStyle, from.styleCode);
        canvas_.UpdateBoxShapeProps(copy, CanvasModel::BoxOption::BorderWidth, from.borderWidth);
        canvas_.UpdateBoxShapeProps(copy, CanvasModel::BoxOption::HideInPreview,
                                    from.hideInPreview);
        canvas_.UpdateBoxShapeProps(copy, CanvasModel::BoxOption::BorderColor, from.borderColor);
        copies.push_back(copy);
    }
    // The copies become the selection, as pasted labels do.
    for (int src : sources) canvas_.BoxRecords()[size_t(src)].marked = false;
    for (int copy : copies) canvas_.BoxRecords()[size_t(copy)].marked = true;
    return int(copies.size());
}

void CanvasEditor::EvenSpaceBoxes(int direction, int boundBox) {
    CanvasEdit edit(canvas_, kEdited);
    std::vector<int> sel = SelectedBoxes(boundBox);
    std::vector<Rect> rects;
    for (int b : sel) rects.push_back(canvas_.Boxes()[size_t(b)].r);
    EvenSpace(rects, direction == 0, direction == 1);
    for (size_t k = 0; k < rects.size(); ++k) canvas_.UpdateBoxShapeDetails(sel[k], rects[k]);
}

void CanvasEditor::AssignGridRow(int row) {
    CanvasEdit edit(canvas_, kEdited);
    for (int i : SelectedLabels()) {
        LabelControl& c = canvas_.Label(i);
        if (c.caption.empty() || c.caption[0] != cp1252::kGridCellMark) continue;
        size_t comma = c.caption.rfind(',');
        if (comma == std::string::npos) continue;
        c.caption = c.caption.substr(0, comma + 1) + std::to_string(row);
        SetGridCellRow(c, row);  // the row it carries through a save follows
    }
}

void CanvasEditor::HideLabels(bool onlySelected, const std::string& tagFilter) {
    CanvasEdit edit(canvas_, kEdited);
    std::vector<int> labels = canvas_.ReachedLabels();
    if (!onlySelected && tagFilter.empty())
        for (int i = 1; i < canvas_.LabelCount(); ++i) labels.push_back(i);
    for (int i : labels) {
        if (!IsOrdinaryLabel(i)) continue;
        const LabelControl& c = *canvas_.LabelAt(i);
        bool take = !tagFilter.empty() ? c.HasTag(tagFilter) : !onlySelected || c.bordered;
        if (take) canvas_.DeleteLabel(i);
    }
}

void CanvasEditor::MoveSelectionBy(double dx, double dy) {
    CanvasEdit edit(canvas_, kEdited);
    using H = CanvasModel::Hit;
    std::vector<int> labels = LabelsToMove({}, false);
    std::vector<H> items;
    auto take = [&](const auto& records, H::Kind kind) {
        for (size_t i = 0; i < records.size(); ++i)
            if (records[i].marked && records[i].active) items.push_back({kind, int(i)});
    };
    take(canvas_.Images(), H::Image);
    take(canvas_.Hotspots(), H::Hotspot);
    take(canvas_.SignatureBoxes(), H::SignatureBox);
    take(canvas_.Boxes(), H::Box);
    for (const auto& b : canvas_.Barcodes())
        if (b.marked && b.active) items.push_back({H::Barcode, b.label});
    // Labels, pictures and shapes move as one group.
    std::vector<Rect> rects = LabelRects(labels);
    for (const H& item : items) rects.push_back(ItemRect(item));
    ClampToPage(rects, dx, dy);
    ShiftLabels(labels, dx, dy);
    for (const H& item : items) MoveItem(item, dx, dy);
}

void CanvasEditor::ArrangeRects(std::vector<Rect>& rects, Arrange how, size_t reference) {
    if (rects.size() < 2 || reference >= rects.size()) return;
    double left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
    for (const Rect& r : rects) {
        left = std::min(left, r.left);
        top = std::min(top, r.top);
        right = std::max(right, r.left + r.width);
        bottom = std::max(bottom, r.top + r.height);
    }
    // Distributing goes by position, not by the order the items were made in.
    auto distribute = [&rects](bool across) {
        std::vector<size_t> order(rects.size());
        for (size_t k = 0; k < order.size(); ++k) order[k] = k;
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return across ? rects[a].left < rects[b].left : rects[a].top < rects[b].top;
        });
        std::vector<Rect> sorted;
        for (size_t k : order) sorted.push_back(rects[k]);
        EvenSpace(sorted, across, !across);
        for (size_t k = 0; k < order.size(); ++k) rects[order[k]] = sorted[k];
    };
    const Rect ref = rects[reference];
    for (Rect& r : rects) {
        switch (how) {
            case Arrange::Left:
                r.left = left;
                break;
            case Arrange::Right:
                r.left = right - r.width;
                break;
            case Arrange::Top:
                r.top = top;
                break;
            case Arrange::Bottom:
                r.top = bottom - r.height;
                break;
            case Arrange::Centres:
                r.left = (left + right) / 2 - r.width / 2;
                break;
            case Arrange::Middles:
                r.top = (top + bottom) / 2 - r.height / 2;
                break;
            case Arrange::SameWidth:
                r.width = ref.width;
                break;
            case Arrange::SameHeight:
                r.height = ref.height;
                break;
            default:
                break;
        }
    }
    if (how == Arrange::DistributeAcross || how == Arrange::DistributeDown)
        distribute(how == Arrange::DistributeAcross);
}

void CanvasEditor::ArrangeSelection(Arrange how) {
    CanvasEdit edit(canvas_, kEdited);
    using H = CanvasModel::Hit;
    // The marked label first: it gives the sizes.
    std::vector<H> items;
    const int marked = MarkedLabel();
    if (marked > 0 && IsSelected(marked)) items.push_back({H::Label, marked});
    for (int i : SelectedLabels())
        if (i != marked) items.push_back({H::Label, i});
    auto take = [&](const auto& records, H::Kind kind) {
        for (size_t i = 0; i < records.size(); ++i)
            if (records[i].marked && records[i].active) items.push_back({kind, int(i)});
    };
    for (const auto& b : canvas_.Barcodes())
        if (b.marked && b.active) items.push_back({H::Barcode, b.label});
    take(canvas_.Images(), H::Image);
    take(canvas_.Hotspots(), H::Hotspot);
    take(canvas_.SignatureBoxes(), H::SignatureBox);
    take(canvas_.Boxes(), H::Box);
    std::vector<Rect> rects;
    for (const H& item : items) rects.push_back(ItemRect(item));
    ArrangeRects(rects, how);
    for (size_t k = 0; k < items.size(); ++k) {
        const Rect& r = rects[k];
        const int i = items[k].index;
        switch (items[k].kind) {
            case H::Label: {
                LabelControl& c = canvas_.Label(i);
                // A size given is kept: the label no longer sizes itself to its caption.
                if (c.width != r.width || c.height != r.height) c.autoSize = false;
                c.left = r.left;
                c.top = r.top;
                c.width = r.width;
                c.height = r.height;
                break;
            }
            case H::Barcode:
                canvas_.UpdateBarcodeImageDetails(i, r);
                break;
            case H::Image:
                canvas_.UpdateImageDetails(i, r, canvas_.Images()[size_t(i)].linkedSignatureBox);
                break;
            case H::Hotspot:
                canvas_.UpdateHotspotShapeDetails(i, r, canvas_.Hotspots()[size_t(i)].kind);
                break;
            case H::SignatureBox:
                canvas_.UpdateSignatureBoxShapeDetails(
                    i, r, canvas_.SignatureBoxes()[size_t(i)].signaturePad);
                break;
            case H::Box:
                canvas_.UpdateBoxShapeDetails(i, r);
                break;
            default:
                break;
        }
    }
}
