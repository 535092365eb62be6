#include "canvas/CanvasEditor.h"

#include <algorithm>
#include <cmath>

#include "canvas/PageGeometry.h"
#include "layout/ItemTypes.h"
#include "shell/Cp1252.h"

namespace {
// What an editing operation may touch: labels, pictures and shapes, and the selection.
constexpr unsigned kEdited = CanvasChange::Labels | CanvasChange::Shapes | CanvasChange::Selection;
const char* const kTopMarkerCaption = " L,T";
const char* const kBottomMarkerCaption = " R,B ";

bool Meets(const LabelControl& c, const Rect& r) {
    return c.left + c.width >= r.left && c.top + c.height >= r.top && c.left <= r.left + r.width &&
           c.top <= r.top + r.height;
}
}  // namespace

CanvasEditor::CanvasEditor(CanvasModel& canvas, FormModel& model, const TextMetrics& metrics)
    : canvas_(canvas), model_(model), metrics_(metrics) {
    const LabelControl& t = canvas_.Label(0);
    double h = metrics_.TextHeight(t.fontName, t.fontSize, t.bold, t.italic);
    top_.r = {0, 0, metrics_.TextWidth(kTopMarkerCaption, t.fontName, t.fontSize, t.bold, t.italic),
              h};
    bottom_.r = {0, 0,
                 metrics_.TextWidth(kBottomMarkerCaption, t.fontName, t.fontSize, t.bold, t.italic),
                 h};
}

bool CanvasEditor::IsOrdinaryLabel(int index) const {
    const LabelControl* c = canvas_.LabelAt(index);
    return index > 0 && c && c->visible && !canvas_.IsCompanionLabel(index) &&
           !canvas_.IsBarcodeLabel(index);
}

bool CanvasEditor::IsSelected(int index) const {
    const LabelControl* c = canvas_.LabelAt(index);
    return c && c->bordered;
}

int CanvasEditor::MarkedLabel() const {
    for (int i = 1; i < canvas_.LabelCount(); ++i)
        if (IsOrdinaryLabel(i) && canvas_.LabelAt(i)->Marked()) return i;
    return -1;
}

std::vector<int> CanvasEditor::SelectedLabels() const {
    std::vector<int> out;
    for (int i = 1; i < canvas_.LabelCount(); ++i)
        if (IsOrdinaryLabel(i) && IsSelected(i)) out.push_back(i);
    return out;
}

void CanvasEditor::MarkOneLabel(int index) {
    CanvasEdit edit(canvas_, kEdited);
    canvas_.ClearShapeMarks();
    if (hooks_.closeItemDialogs) hooks_.closeItemDialogs();
    for (int i = 1; i < canvas_.LabelCount(); ++i) {
        if (!IsOrdinaryLabel(i)) continue;
        canvas_.Label(i).SetMarked(i == index);
    }
    canvas_.BringToFront(index);
}

void CanvasEditor::UnselectAll() {
    // Borders, marks, colours and the drawing order are the canvas's: the form is unchanged.
    CanvasEdit edit(canvas_, CanvasChange::Selection);
    for (int i = 1; i < canvas_.LabelCount(); ++i) {
        if (!canvas_.LabelAt(i)) continue;
        LabelControl& c = canvas_.Label(i);
        c.bordered = false;
        // Companion labels are repainted by their item's kind; an ordinary label's
        // colour follows its mark (a grid cell keeps the grid's).
        if (int h = canvas_.GetHotspotShapeIndex(i); h >= 0) {
            canvas_.SetLabelBackColor(
                i, HotspotUnselectedLabelColor(canvas_.Hotspots()[size_t(h)].kind));
        } else if (canvas_.IsSignatureBoxLabel(i)) {
            canvas_.SetLabelBackColor(i, label_colors::kSignatureBox);
        } else if (canvas_.IsBoxLabel(i)) {
            canvas_.SetLabelBackColor(i, label_colors::kBox);
            c.ClearTag();
        } else if (!canvas_.IsCompanionLabel(i)) {
            c.ClearTag();
        }
    }
    canvas_.BringAllToFront();
    canvas_.ClearShapeMarks();
    if (hooks_.closeItemDialogs) hooks_.closeItemDialogs();
}

void CanvasEditor::MoveSupplementaryControls(int page) {
    CanvasEdit edit(canvas_, CanvasChange::Selection);
    EndCornerPick();
    HideGridArea();
    pickPage_ = page;
}

void CanvasEditor::ClearSelection() {
    CanvasEdit edit(canvas_, CanvasChange::Selection);
    top_.visible = bottom_.visible = false;
    gridFrameVisible_ = false;
    EndCornerPick();
    UnselectAll();
}

CanvasModel::Hit CanvasEditor::ItemOfLabel(int index) const {
    using H = CanvasModel::Hit;
    if (int i = canvas_.GetHotspotShapeIndex(index); i >= 0) return {H::Hotspot, i};
    if (int s = canvas_.GetSignatureBoxShapeIndex(index); s >= 0) return {H::SignatureBox, s};
    if (int b = canvas_.GetBoxShapeIndex(index); b >= 0) return {H::Box, b};
    if (canvas_.IsBarcodeLabel(index) && canvas_.LabelAt(index)) return {H::Barcode, index};
    return {};
}

void CanvasEditor::UnmarkShapes() {
    canvas_.ClearShapeMarks();
    for (int i = 1; i < canvas_.LabelCount(); ++i)
        if (canvas_.IsCompanionLabel(i) && canvas_.LabelAt(i)) canvas_.Label(i).bordered = false;
}

bool CanvasEditor::PressLabel(int index, double x, double y, bool shift, bool ctrl) {
    CanvasEdit edit(canvas_, kEdited);
    if (!canvas_.LabelAt(index)) return false;
    // A companion label stands for its item: the press goes to the item.
    if (canvas_.IsCompanionLabel(index) || canvas_.IsBarcodeLabel(index)) {
        CanvasModel::Hit hit = ItemOfLabel(index);
        return hit.kind != CanvasModel::Hit::None && PressItem(hit, x, y, shift, ctrl);
    }
    if (!IsOrdinaryLabel(index)) return false;
    LabelControl& c = canvas_.Label(index);
    if (ctrl && !shift) {
        if (c.bordered || c.Marked()) {
            c.bordered = false;
            c.ClearTag();
        } else {
            c.bordered = true;
            canvas_.BringToFront(index);
        }
        UnmarkShapes();
        if (MarkedLabel() < 0 && hooks_.closeItemDialogs) hooks_.closeItemDialogs();
        return false;
    }
    bool wasSelected = c.bordered;
    MarkOneLabel(index);
    // A plain press on a member of the selection keeps the group for a drag; released
    // without moving it leaves this label alone selected. A press elsewhere starts a
    // new selection.
    if (!shift && !wasSelected)
        for (int i : SelectedLabels()) canvas_.Label(i).bordered = false;
    c.bordered = true;
    drag_ = {};
    drag_.active = true;
    drag_.soleOnClick = !shift && wasSelected;
    drag_.item = {CanvasModel::Hit::Label, index};
    drag_.rightAnchor = c.alignment == LabelAlignment::Right;
    drag_.startLeft = drag_.rightAnchor ? c.left + c.width : c.left;
    drag_.startTop = c.top;
    drag_.grabX = x - drag_.startLeft;
    drag_.grabY = y - c.top;
    if (hooks_.showLabelProperties) hooks_.showLabelProperties(index);
    return true;
}

void CanvasEditor::ReleaseWithoutMove() {
    CanvasEdit edit(canvas_, kEdited);
    Drag d = drag_;
    drag_ = {};
    if (!d.active || !d.soleOnClick) return;
    for (int i : SelectedLabels())
        if (i != d.item.index) canvas_.Label(i).bordered = false;
}

CanvasModel::Hit CanvasEditor::RightPressLabel(int index) {
    CanvasEdit edit(canvas_, kEdited);
    using H = CanvasModel::Hit;
    if (!canvas_.LabelAt(index)) return {};
    MarkOneLabel(index);
    for (int i : SelectedLabels()) canvas_.Label(i).bordered = false;
    H item = ItemOfLabel(index);
    if (item.kind == H::None) {
        canvas_.Label(index).bordered = true;
        return {H::Label, index};
    }
    MarkItem(item);
    // A barcode's label is edited as a label; a shape's label stands for its shape.
    return item.kind == H::Barcode ? H{H::Label, index} : item;
}

void CanvasEditor::MarkItem(const CanvasModel::Hit& item) {
    using H = CanvasModel::Hit;
    switch (item.kind) {
        case H::Image:
            canvas_.ImageRecords()[size_t(item.index)].marked = true;
            break;
        case H::Hotspot:
            canvas_.HotspotRecords()[size_t(item.index)].marked = true;
            break;
        case H::SignatureBox:
            canvas_.SignatureBoxRecords()[size_t(item.index)].marked = true;
            break;
        case H::Box:
            canvas_.BoxRecords()[size_t(item.index)].marked = true;
            break;
        case H::Barcode:
            if (int b = canvas_.GetBarcodeImageIndex(item.index); b >= 0)
                canvas_.BarcodeRecords()[size_t(b)].marked = true;
            break;
        default:
            break;
    }
}

void CanvasEditor::DeleteItem(const CanvasModel::Hit& item) {
    CanvasEdit edit(canvas_, kEdited);
    using H = CanvasModel::Hit;
    switch (item.kind) {
        case H::Label:
        case H::Barcode:  // the label and its picture go together
            canvas_.DeleteLabel(item.index);
            break;
        case H::Image:
            canvas_.DeleteImage(item.index);
            break;
        case H::Hotspot:
            canvas_.DeleteHotspot(item.index);
            break;
        case H::SignatureBox:
            canvas_.DeleteSignatureBox(item.index);
            break;
        case H::Box:
            canvas_.DeleteBox(item.index);
            break;
        default:
            return;
    }
    canvas_.ClearShapeMarks();
    if (hooks_.closeItemDialogs) hooks_.closeItemDialogs();
}

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
    for (int i = 1; i < canvas_.LabelCount(); ++i) {
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
            model_.Item(copy) = copied;
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
    for (int i = 1; i < canvas_.LabelCount(); ++i) {
        if (!IsOrdinaryLabel(i)) continue;
        const LabelControl& c = *canvas_.LabelAt(i);
        bool take = !tagFilter.empty() ? c.HasTag(tagFilter) : !onlySelected || c.bordered;
        if (take) canvas_.DeleteLabel(i);
    }
}

void CanvasEditor::DeleteSelection() {
    CanvasEdit edit(canvas_, kEdited);
    HideLabels(true);
    for (size_t i = 0; i < canvas_.Images().size(); ++i)
        if (canvas_.Images()[i].marked) canvas_.DeleteImage(int(i));
    for (const auto& b : canvas_.Barcodes())
        if (b.marked && b.active) canvas_.DeleteBarcode(b.label);
    for (size_t i = 0; i < canvas_.Hotspots().size(); ++i)
        if (canvas_.Hotspots()[i].marked) canvas_.DeleteHotspot(int(i));
    for (size_t i = 0; i < canvas_.SignatureBoxes().size(); ++i)
        if (canvas_.SignatureBoxes()[i].marked) canvas_.DeleteSignatureBox(int(i));
    for (size_t i = 0; i < canvas_.Boxes().size(); ++i)
        if (canvas_.Boxes()[i].marked) canvas_.DeleteBox(int(i));
    canvas_.ClearShapeMarks();
    // No dialog may stay bound to an item that is gone.
    if (hooks_.closeItemDialogs) hooks_.closeItemDialogs();
}

void CanvasEditor::SelectInRect(const Rect& r, int page, bool gridOnly) {
    CanvasEdit edit(canvas_, kEdited);
    for (int i = 1; i < canvas_.LabelCount(); ++i) {
        if (!IsOrdinaryLabel(i)) continue;
        LabelControl& c = canvas_.Label(i);
        c.bordered = c.page == page && Meets(c, r) && (!gridOnly || canvas_.IsGridCellLabel(i));
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

void CanvasEditor::PressTool(int mode) {
    CanvasEdit edit(canvas_, kEdited);
    if (hooks_.closeItemDialogs) hooks_.closeItemDialogs();
    CanvasWindowState& w = canvas_.Window();
    auto shapeTool = [](int m) { return m == 1 || m == 3 || m == 4 || m == 5 || m == 6 || m == 7; };
    bool labelLike = mode == kInsertLabel || mode == kInsertGrid;
    if ((shapeTool(w.insertMode) && labelLike) ||
        ((w.insertMode == kInsertLabel || w.insertMode == kInsertGrid) && shapeTool(mode) &&
         mode != kInsertLine))
        UnselectAll();
    if (pressedTool_ == mode) {
        pressedTool_ = -1;
        w.insertMode = kInsertLabel;
    } else {
        pressedTool_ = mode;
        w.insertMode = mode >= kInsertLabel && mode <= kInsertBox ? mode : kInsertLabel;
    }
}

void CanvasEditor::ShowGridArea(const Rect& area) {
    CanvasEdit edit(canvas_, kEdited);
    gridFrame_ = area;
    gridFrameVisible_ = true;
    top_.r.left = area.left;
    top_.r.top = area.top;
    bottom_.r.left = area.left + area.width - bottom_.r.width;
    bottom_.r.top = area.top + area.height - bottom_.r.height;
    top_.visible = bottom_.visible = true;
}

void CanvasEditor::HideGridArea() {
    CanvasEdit edit(canvas_, CanvasChange::Selection);
    gridFrameVisible_ = false;
    top_.visible = bottom_.visible = false;
}

void CanvasEditor::MoveGridArea(double dx, double dy) {
    CanvasEdit edit(canvas_, kEdited);
    if (!gridFrameVisible_) return;
    ClampToPage({gridFrame_}, dx, dy);
    gridFrame_.left += dx;
    gridFrame_.top += dy;
    ShowGridArea(gridFrame_);
}

void CanvasEditor::EndCornerPick() {
    CanvasWindowState& w = canvas_.Window();
    w.cornerPick = w.firstCorner = w.secondCorner = false;
    top_.visible = bottom_.visible = false;
    pickLine_ = -1;
}

Rect CanvasEditor::PickedRect() const {
    double left = top_.r.left, top = top_.r.top;
    return {left, top, bottom_.r.left + bottom_.r.width - left,
            bottom_.r.top + bottom_.r.height - top};
}

void CanvasEditor::ClickCanvas(double x, double y, int page, bool left, bool shift, bool ctrl,
                               bool alt) {
    CanvasEdit edit(canvas_, kEdited);
    CanvasWindowState& w = canvas_.Window();
    int mode = w.insertMode;
    if (!w.cornerPick) {
        bool start = mode == kInsertImage || mode == kInsertGrid || mode == kInsertBarcode ||
                     mode == kInsertHotspot || mode == kInsertSignatureBox ||
                     ((mode == kInsertBox || mode == kInsertLine) && left) || (left && shift);
        if (!start) {
            if (mode == kInsertLabel && left && !shift && !ctrl && !alt) {
                int index = canvas_.LoadOneLabel(page);
                LabelControl& c = canvas_.Label(index);
                c.left = x;
                c.top = y;
                c.visible = true;
                c.enabled = true;
                model_.Item(index);
                canvas_.BringToFront(index);
                lastLabel_ = index;
            }
            return;
        }
        w.cornerPick = true;
        w.firstCorner = w.secondCorner = false;
        top_.visible = bottom_.visible = false;
        gridFrameVisible_ = false;
        boxBand_ = mode == kInsertBox && shift;
        pickPage_ = page;
    }
    if (!w.firstCorner) {
        w.firstCorner = true;
        top_.r.left = x;
        top_.r.top = y;
        top_.visible = mode != kInsertLine;
        if (mode == kInsertLine) pickLine_ = canvas_.LoadOneLine(page, x, y);
        return;
    }
    if (!w.secondCorner) {
        w.secondCorner = true;
        bottom_.r.left = x - bottom_.r.width;
        bottom_.r.top = y - bottom_.r.height;
        if (mode == kInsertLine && pickLine_ >= 0) {
            canvas_.Lines()[size_t(pickLine_)].x2 = x;
            canvas_.Lines()[size_t(pickLine_)].y2 = y;
        }
        CompleteCornerPick(pickPage_);
    }
}

void CanvasEditor::MovePointer(double x, double y) {
    CanvasEdit edit(canvas_, kEdited);
    const CanvasWindowState& w = canvas_.Window();
    if (!w.cornerPick || !w.firstCorner || w.secondCorner) return;
    if (w.insertMode == kInsertLine && pickLine_ >= 0) {
        canvas_.Lines()[size_t(pickLine_)].x2 = x;
        canvas_.Lines()[size_t(pickLine_)].y2 = y;
        return;
    }
    bottom_.r.left = x - bottom_.r.width;
    bottom_.r.top = y - bottom_.r.height;
    bottom_.visible = true;
}

void CanvasEditor::CompleteCornerPick(int page) {
    const int mode = canvas_.Window().insertMode;
    Rect r = PickedRect();
    bool proper = r.width > 0 && r.height > 0;
    switch (mode) {
        case kInsertImage: {
            std::string path = hooks_.selectImageFile ? hooks_.selectImageFile() : std::string();
            if (!path.empty() && proper) {
                size_t slash = path.find_last_of("/\\");
                std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
                // The form refers to its pictures by name in the images folder, which is
                // what a save uploads.
                if (hooks_.keepImageFile) path = hooks_.keepImageFile(path, name);
                if (path.empty()) break;
                int im = canvas_.AddImage(r, page, name, path);
                canvas_.ClearShapeMarks();
                canvas_.ImageRecords()[size_t(im)].marked = true;
            }
            break;
        }
        case kInsertBarcode:
            if (proper) {
                int label = canvas_.AddBarcode(r, page, canvas_.Label(0).caption);
                canvas_.ClearShapeMarks();
                if (int b = canvas_.GetBarcodeImageIndex(label); b >= 0)
                    canvas_.BarcodeRecords()[size_t(b)].marked = true;
                lastLabel_ = label;
            }
            break;
        case kInsertHotspot:
            if (proper) {
                int h = canvas_.AddHotspot(r, page, "P");
                canvas_.ClearShapeMarks();
                canvas_.HotspotRecords()[size_t(h)].marked = true;
            }
            break;
        case kInsertSignatureBox:
            if (proper) {
                int s = canvas_.AddSignatureBox(r, page);
                canvas_.ClearShapeMarks();
                canvas_.SignatureBoxRecords()[size_t(s)].marked = true;
            }
            break;
        case kInsertBox:
            if (boxBand_) {
                // The boxes inside join the marked ones; other marks stay.
                boxBand_ = false;
                for (auto& b : canvas_.BoxRecords())
                    if (b.active && b.page == page && b.r.left >= r.left && b.r.top >= r.top &&
                        b.r.left + b.r.width <= r.left + r.width &&
                        b.r.top + b.r.height <= r.top + r.height)
                        b.marked = true;
            } else if (proper) {
                canvas_.ClearShapeMarks();
                int b = canvas_.AddBox(r, page);
                canvas_.BoxRecords()[size_t(b)].marked = true;
            }
            break;
        case kInsertGrid:
            if (proper && hooks_.openGridDialog) hooks_.openGridDialog(r);
            break;
        default:
            break;
    }
    if (mode == kInsertLabel || mode == kInsertImage || mode == kInsertGrid ||
        mode == kInsertBarcode || mode == kInsertLine)
        SelectInRect(r, page, gridOnly_);
    EndCornerPick();
}

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
    FormItem& item = model_.Item(index);
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
    Recaption(index, canvas_.Label(0).caption, true);
    NewItemKind(index, ItemKind::StaticText);
}

void CanvasEditor::ItemToDataField(int index, const std::string& fieldName) {
    CanvasEdit edit(canvas_, kEdited);
    Recaption(index, "~" + fieldName, true);
    NewItemKind(index, ItemKind::DatabaseField);
}

std::vector<CanvasEditor::PromptEntry> CanvasEditor::UserPromptEntries() const {
    std::vector<PromptEntry> out;
    for (size_t r = 0; r < model_.prompts.size(); ++r) {
        const FormItem& p = model_.prompts[r];
        if (p.itemKind != ItemKind::UserPrompt || p.promptKey().size() < 2 || p.markedDeleted)
            continue;
        std::string reference =
            p.promptKey()[0] == '^' ? p.promptKey().substr(1) : p.promptKey().str();
        bool used = false;
        for (int i = 1; i < canvas_.LabelCount() && !used; ++i) {
            const LabelControl* c = canvas_.LabelAt(i);
            if (!c || !c->visible) continue;
            const std::string& cap = c->caption;
            used = cap == "^" + reference || cap.rfind("^" + reference + " ", 0) == 0 ||
                   cap.rfind("^" + reference + "@", 0) == 0;
        }
        if (used) continue;
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

int CanvasEditor::FillLabels(const std::vector<std::string>& entries, int order,
                             const std::string& tagFilter) {
    std::vector<int> labels;
    for (int i = 1; i < canvas_.LabelCount(); ++i)
        if (IsOrdinaryLabel(i) &&
            (tagFilter.empty() ? IsSelected(i) : canvas_.LabelAt(i)->tag == tagFilter))
            labels.push_back(i);
    labels = FillOrder(std::move(labels), order);
    size_t n = std::min(labels.size(), entries.size());
    for (size_t k = 0; k < n; ++k) {
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
    return int(n);
}
