#include "canvas/CanvasEditor.h"

#include "canvas/PageGeometry.h"
#include "layout/ItemTypes.h"
#include "shell/Cp1252.h"

namespace {
// The captions of the corner markers of an insert.
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
    for (int i : canvas_.ReachedLabels())
        if (IsOrdinaryLabel(i) && canvas_.LabelAt(i)->Marked()) return i;
    return -1;
}

std::vector<int> CanvasEditor::SelectedLabels() const {
    std::vector<int> out;
    for (int i : canvas_.ReachedLabels())
        if (IsOrdinaryLabel(i) && IsSelected(i)) out.push_back(i);
    return out;
}

void CanvasEditor::MarkOneLabel(int index) {
    CanvasEdit edit(canvas_, kEdited);
    canvas_.ClearShapeMarks();
    if (hooks_.closeItemDialogs) hooks_.closeItemDialogs();
    for (int i : canvas_.ReachedLabels())
        if (IsOrdinaryLabel(i)) canvas_.Marks(i).SetMarked(i == index);
    if (IsOrdinaryLabel(index)) canvas_.Marks(index).SetMarked(true);
    canvas_.BringToFront(index);
}

void CanvasEditor::UnselectAll() {
    // Borders, marks, colours and the drawing order are the canvas's: the form is unchanged.
    CanvasEdit edit(canvas_, CanvasChange::Selection);
    for (int i : canvas_.ReachedLabels()) {
        if (!canvas_.LabelAt(i)) continue;
        LabelControl& c = canvas_.Marks(i);
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
    canvas_.ForgetUnmarked();
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
    for (int i : canvas_.ReachedLabels())
        if (canvas_.IsCompanionLabel(i) && canvas_.LabelAt(i)) canvas_.Marks(i).bordered = false;
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
    LabelControl& c = canvas_.Marks(index);
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
        for (int i : SelectedLabels()) canvas_.Marks(i).bordered = false;
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
        if (i != d.item.index) canvas_.Marks(i).bordered = false;
}

CanvasModel::Hit CanvasEditor::RightPressLabel(int index) {
    CanvasEdit edit(canvas_, kEdited);
    using H = CanvasModel::Hit;
    if (!canvas_.LabelAt(index)) return {};
    MarkOneLabel(index);
    for (int i : SelectedLabels()) canvas_.Marks(i).bordered = false;
    H item = ItemOfLabel(index);
    if (item.kind == H::None) {
        canvas_.Marks(index).bordered = true;
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
        const LabelControl& c = *canvas_.LabelAt(i);
        const bool in = c.page == page && Meets(c, r) && (!gridOnly || canvas_.IsGridCellLabel(i));
        if (in || c.bordered) canvas_.Marks(i).bordered = in;
    }
}
