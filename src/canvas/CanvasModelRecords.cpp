// The shape and picture records: placing, reading, deleting, moving and updating
// them, one routine each for every kind.
#include <algorithm>

#include "canvas/CanvasModel.h"
#include "layout/ItemTypes.h"
#include "shell/TextUtils.h"

namespace {
std::string Field(const std::string& line, int n) {
    return text::SplitStr(line, "\t", n);
}
long long Int(const std::string& s, long long fallback) {
    long long v = 0;
    return text::ParseInt(text::Trim(s), v) ? v : fallback;
}
}  // namespace

// A new record at the end of its kind's list, active, with its companion label
// when its kind has one; returns its index.
template <class Own>
int CanvasModel::Place(std::vector<ShapeRecord<Own>>& records, ShapeRecord<Own> record) {
    record.active = true;
    if constexpr (Own::kKind == ShapeKind::Hotspot)
        record.label = LoadOneLabelForHotspot(record.page, record.r, record.kind);
    else if constexpr (Own::kKind == ShapeKind::SignatureBox)
        record.label = LoadOneLabelForSignatureBox(record.page, record.r);
    else if constexpr (Own::kKind == ShapeKind::Box)
        record.label = LoadOneLabelForBox(record.page, record.r);
    const int page = record.page;
    records.push_back(std::move(record));
    Changed(CanvasChange::Shapes | CanvasChange::Labels, page);
    return int(records.size()) - 1;
}
// CanvasModel.cpp places lines and barcodes: an optimised build inlines the uses here
// and would leave no definition for it.
template int CanvasModel::Place(std::vector<LineRecord>&, LineRecord);
template int CanvasModel::Place(std::vector<BarcodeRecord>&, BarcodeRecord);

template <class Own>
ShapeRecord<Own> CanvasModel::ReadRecord(const std::string& line, int page) {
    ShapeRecord<Own> record;
    record.r = ReadRect(line);
    record.page = page;
    return record;
}

int CanvasModel::LoadOneLine(int page, double x, double y) {
    LineRecord l;
    l.x1 = l.x2 = x;
    l.y1 = l.y2 = y;
    l.page = std::clamp(page, 0, pages_ - 1);
    return Place(shapes_.lines, std::move(l));
}

int CanvasModel::LoadOneLabelForBarcode(int page) {
    int index = NewLabel(page, true, Companion::None);
    BarcodeRecord b;
    b.label = index;
    b.page = page;
    Place(shapes_.barcodes, std::move(b));
    return index;
}

void CanvasModel::LoadImage(const std::string& line, int page) {
    ImageRecord im = ReadRecord<ImageFields>(line, page);
    im.name = Field(line, 6);
    im.timeStamp = Field(line, 7);
    im.linkedSignatureBox = Field(line, 9);
    if (!imagesFolder_.empty() && SafeName(im.name)) im.path = imagesFolder_ + "/" + im.name;
    Place(shapes_.images, std::move(im));
}

void CanvasModel::LoadHotspot(const std::string& line, int page) {
    HotspotRecord h = ReadRecord<HotspotFields>(line, page);
    h.kind = Field(line, 7);
    Place(shapes_.hotspots, std::move(h));
}

void CanvasModel::LoadSignatureBox(const std::string& line, int page) {
    SignatureBoxRecord s = ReadRecord<SignatureBoxFields>(line, page);
    s.signaturePad = text::EqualsNoCase(text::Trim(Field(line, 7)), "Y");
    Place(shapes_.signatures, std::move(s));
}

void CanvasModel::LoadBox(const std::string& line, int page, int boxOption) {
    BoxRecord b = ReadRecord<BoxFields>(line, page);
    b.styleCode = BoxCodeFromStyle(int(Int(Field(line, 7), 7)));
    b.borderWidth = int(std::clamp<long long>(Int(Field(line, 8), 1), 0, 1000));
    b.hideInPreview = text::EqualsNoCase(text::Trim(Field(line, 9)), "Y") ? 1 : 0;
    b.borderColor = Int(Field(line, 10), 0);
    b.option = boxOption;
    Place(shapes_.boxes, std::move(b));
}

// A record for an item placed on the canvas: on one of the form's pages.
template <class Own>
ShapeRecord<Own> CanvasModel::NewRecord(const Rect& r, int page) const {
    ShapeRecord<Own> record;
    record.r = r;
    record.page = std::clamp(page, 0, pages_ - 1);
    return record;
}

int CanvasModel::AddBox(const Rect& r, int page) {
    return Place(shapes_.boxes, NewRecord<BoxFields>(r, page));
}

int CanvasModel::AddHotspot(const Rect& r, int page, const std::string& kind) {
    HotspotRecord h = NewRecord<HotspotFields>(r, page);
    h.kind = kind;
    return Place(shapes_.hotspots, std::move(h));
}

int CanvasModel::AddSignatureBox(const Rect& r, int page) {
    return Place(shapes_.signatures, NewRecord<SignatureBoxFields>(r, page));
}

int CanvasModel::AddImage(const Rect& r, int page, const std::string& name,
                          const std::string& path) {
    ImageRecord im = NewRecord<ImageFields>(r, page);
    im.name = name;
    im.path = path;
    im.source = "Local";
    return Place(shapes_.images, std::move(im));
}

int CanvasModel::AddBarcode(const Rect& r, int page, const std::string& data) {
    int index = LoadOneLabelForBarcode(std::clamp(page, 0, pages_ - 1));
    Entry& e = labels_[size_t(index)];
    e.control.caption = data;
    e.control.left = r.left;
    e.control.top = r.top;
    e.control.autoSize = true;
    FitLabelToCaption(e.control, metrics_);
    e.control.visible = true;
    FormItem& item = Item(index);
    item.barcodeWidth = r.width;
    item.barcodeHeight = r.height;
    Changed(CanvasChange::Shapes | CanvasChange::Labels, e.control.page);
    return index;
}

// Deleting an item clears its record and hides its companion label; the index
// stays taken.
template <class Own>
void CanvasModel::DeleteShape(std::vector<ShapeRecord<Own>>& records, int index) {
    if (index < 0 || size_t(index) >= records.size()) return;
    ShapeRecord<Own>& record = records[size_t(index)];
    DeleteLabel(record.label);
    record.Clear();
    Changed(CanvasChange::Shapes | CanvasChange::Labels, record.page);
}

void CanvasModel::DeleteBox(int index) {
    DeleteShape(shapes_.boxes, index);
}
void CanvasModel::DeleteHotspot(int index) {
    DeleteShape(shapes_.hotspots, index);
}
void CanvasModel::DeleteSignatureBox(int index) {
    DeleteShape(shapes_.signatures, index);
}
void CanvasModel::DeleteImage(int index) {
    DeleteShape(shapes_.images, index);
}

void CanvasModel::DeleteBarcode(int labelIndex) {
    DeleteLabel(labelIndex);
}

namespace {
template <class Records>
int CompanionIndex(const Records& records, int label) {
    if (label <= 0) return -1;
    for (size_t i = 0; i < records.size(); ++i)
        if (records[i].label == label && records[i].active) return int(i);
    return -1;
}
}  // namespace

int CanvasModel::GetHotspotShapeIndex(int label) const {
    return CompanionIndex(shapes_.hotspots, label);
}
int CanvasModel::GetSignatureBoxShapeIndex(int label) const {
    return CompanionIndex(shapes_.signatures, label);
}
int CanvasModel::GetBoxShapeIndex(int label) const {
    return CompanionIndex(shapes_.boxes, label);
}
int CanvasModel::GetBarcodeImageIndex(int label) const {
    return CompanionIndex(shapes_.barcodes, label);
}

namespace {
void Shift(Rect& r, double dx, double dy) {
    r.left += dx;
    r.top += dy;
}
}  // namespace

// A shape and its companion label move as one.
template <class Records>
void CanvasModel::MoveShape(Records& records, int index, double dx, double dy) {
    if (index < 0 || size_t(index) >= records.size()) return;
    Shift(records[size_t(index)].r, dx, dy);
    if (records[size_t(index)].label > 0) {
        LabelControl& c = Label(records[size_t(index)].label);
        c.left += dx;
        c.top += dy;
    }
    Changed(CanvasChange::Shapes | CanvasChange::Labels, records[size_t(index)].page);
}

void CanvasModel::MoveHotspotShape(int index, double dx, double dy) {
    MoveShape(shapes_.hotspots, index, dx, dy);
}
void CanvasModel::MoveSignatureBoxShape(int index, double dx, double dy) {
    MoveShape(shapes_.signatures, index, dx, dy);
}
void CanvasModel::MoveBoxShape(int index, double dx, double dy) {
    MoveShape(shapes_.boxes, index, dx, dy);
}

void CanvasModel::MoveImage(int index, double dx, double dy) {
    MoveShape(shapes_.images, index, dx, dy);
}

void CanvasModel::MoveBarcodeImage(int labelIndex, double dx, double dy) {
    if (!IsBarcodeLabel(labelIndex)) return;
    LabelControl& c = Label(labelIndex);
    c.left += dx;
    c.top += dy;
    Changed(CanvasChange::Shapes | CanvasChange::Labels, c.page);
}

namespace {
template <class Records>
auto* LiveRecord(Records& records, int index) {
    using Record = std::remove_reference_t<decltype(records[0])>;
    if (index < 0 || size_t(index) >= records.size() || !records[size_t(index)].active)
        return static_cast<Record*>(nullptr);
    return &records[size_t(index)];
}
template <class Records>
auto* AnyRecord(const Records& records, int index) {
    using Record = std::remove_reference_t<decltype(records[0])>;
    if (index < 0 || size_t(index) >= records.size()) return static_cast<Record*>(nullptr);
    return &records[size_t(index)];
}
}  // namespace

// What an item dialog stores: a live record takes the geometry and the kind's own
// values (set by own), its companion label following its corner.
template <class Own, class SetOwn>
void CanvasModel::UpdateShape(std::vector<ShapeRecord<Own>>& records, int index, const Rect& r,
                              SetOwn own) {
    ShapeRecord<Own>* record = LiveRecord(records, index);
    if (!record) return;
    record->r = r;
    own(*record);
    MoveCompanionTo(record->label, r);
    Changed(CanvasChange::Shapes | CanvasChange::Labels, record->page);
}

void CanvasModel::UpdateHotspotShapeDetails(int index, const Rect& r, const std::string& kind) {
    UpdateShape(shapes_.hotspots, index, r, [&](HotspotRecord& h) {
        h.kind = kind;
        SetLabelBackColor(h.label, HotspotLabelColor(kind));
    });
}

void CanvasModel::UpdateSignatureBoxShapeDetails(int index, const Rect& r, bool signaturePad) {
    UpdateShape(shapes_.signatures, index, r,
                [&](SignatureBoxRecord& s) { s.signaturePad = signaturePad; });
}

void CanvasModel::UpdateBoxShapeDetails(int index, const Rect& r) {
    UpdateShape(shapes_.boxes, index, r, [](BoxRecord&) {});
}

void CanvasModel::UpdateImageDetails(int index, const Rect& r,
                                     const std::string& linkedSignatureBox) {
    UpdateShape(shapes_.images, index, r,
                [&](ImageRecord& im) { im.linkedSignatureBox = linkedSignatureBox; });
}

void CanvasModel::UpdateBarcodeImageDetails(int labelIndex, const Rect& r) {
    if (!IsBarcodeLabel(labelIndex) || !LabelAt(labelIndex)) return;
    LabelControl& c = Label(labelIndex);
    c.left = r.left;
    c.top = r.top;
    FormItem& item = Item(labelIndex);
    item.barcodeWidth = r.width;
    item.barcodeHeight = r.height;
    Changed(CanvasChange::Shapes | CanvasChange::Labels);
}

void CanvasModel::UpdateBoxShapeProps(int index, BoxOption option, long long value) {
    BoxRecord* b = LiveRecord(shapes_.boxes, index);
    if (!b) return;
    switch (option) {
        case BoxOption::BorderStyle:
            b->styleCode = value >= 0 && value <= 5 ? int(value) : 6;
            break;
        case BoxOption::BorderWidth:
            b->borderWidth = int(std::clamp(value, 1LL, 12LL));
            break;
        case BoxOption::HideInPreview:
            b->hideInPreview = value == 1 ? 1 : 0;
            break;
        case BoxOption::BorderColor:
            b->borderColor = std::clamp(value, 0LL, 0xFFFFFFLL);
            break;
    }
    Changed(CanvasChange::Shapes | CanvasChange::Labels);
}

double CanvasModel::GetBoxShapeDetailsHeight(int index) const {
    const BoxRecord* b = AnyRecord(shapes_.boxes, index);
    return b ? b->r.height : 0;
}
double CanvasModel::GetBoxShapeDetailsWidth(int index) const {
    const BoxRecord* b = AnyRecord(shapes_.boxes, index);
    return b ? b->r.width : 0;
}
int CanvasModel::GetBoxShapeDetailsHideInPreview(int index) const {
    const BoxRecord* b = AnyRecord(shapes_.boxes, index);
    return b ? b->hideInPreview : 0;
}
long long CanvasModel::GetBoxShapeDetailsBorderColor(int index) const {
    const BoxRecord* b = AnyRecord(shapes_.boxes, index);
    return b ? b->borderColor : 0;
}
int CanvasModel::GetBoxShapeLabelIndex(int index) const {
    const BoxRecord* b = AnyRecord(shapes_.boxes, index);
    return b ? b->label : -1;
}
std::string CanvasModel::GetImageSource(int index) const {
    const ImageRecord* im = AnyRecord(shapes_.images, index);
    return im ? im->source : std::string();
}
std::string CanvasModel::GetImageLinkedSignatureBoxNum(int index) const {
    const ImageRecord* im = AnyRecord(shapes_.images, index);
    return im ? im->linkedSignatureBox : std::string();
}
std::string CanvasModel::GetHotspotWidthHeight(int index) const {
    const HotspotRecord* h = AnyRecord(shapes_.hotspots, index);
    return h ? NumberText(h->r.width) + "\t" + NumberText(h->r.height) : std::string();
}

void CanvasModel::MoveCompanionTo(int label, const Rect& r) {
    if (label <= 0 || !LabelAt(label)) return;
    LabelControl& c = Label(label);
    c.left = r.left;
    c.top = r.top;
}

void CanvasModel::ClearShapeMarks() {
    shapes_.ForEach([](auto& records) {
        for (auto& r : records) r.marked = false;
    });
    Changed(CanvasChange::Selection);
}
