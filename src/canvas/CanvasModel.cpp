#include "canvas/CanvasModel.h"

#include <algorithm>
#include <type_traits>
#include <utility>

#include "layout/ItemTypes.h"
#include "shell/AtomicFile.h"
#include "shell/Cp1252.h"
#include "shell/TextUtils.h"

int BoxStyleFromCode(int code) {
    return code >= 0 && code <= 5 ? code + 1 : 6;
}
int BoxCodeFromStyle(int style) {
    return style >= 1 && style <= 5 ? style - 1 : 6;
}

std::uint32_t HotspotLabelColor(const std::string& kind) {
    if (kind == "P") return label_colors::kHotspotP;
    if (kind == "D") return label_colors::kHotspotD;
    if (kind == "S") return label_colors::kHotspotS;
    return label_colors::kHotspotOther;
}

std::uint32_t HotspotUnselectedLabelColor(const std::string& kind) {
    return kind == "D" ? label_colors::kHotspotD : label_colors::kHotspotP;
}

namespace {
std::string Field(const std::string& line, int n) {
    return text::SplitStr(line, "\t", n);
}
std::string Fields(const std::string& line) {
    size_t tab = line.find('\t');
    return tab == std::string::npos ? std::string() : line.substr(tab);
}
// The writer places its own line end after the last line.
void AddLine(std::string& out, const std::string& line) {
    if (!out.empty()) out += "\r\n";
    out += line;
}
std::string RectText(const Rect& r) {
    return NumberText(r.left) + "\t" + NumberText(r.top) + "\t" + NumberText(r.width) + "\t" +
           NumberText(r.height);
}
}  // namespace

void SetGridCellPlace(LabelControl& label, int row, int column) {
    label.SetCellPlace(row, column);
}

void SetGridCellRow(LabelControl& label, int row) {
    if (!label.CarriesCellPlace()) return;
    label.SetCellPlace(row, label.CellColumn());
}

CanvasModel::CanvasModel(FormModel& model, const TextMetrics& metrics, std::string imagesFolder)
    : model_(model), metrics_(metrics), imagesFolder_(std::move(imagesFolder)) {
    Entry tmpl;
    tmpl.control.caption = "Template";
    tmpl.control.visible = false;
    tmpl.control.height = metrics_.TextHeight(tmpl.control.fontName, tmpl.control.fontSize,
                                              tmpl.control.bold, tmpl.control.italic);
    labels_.emplace_back(std::move(tmpl));
}

void CanvasModel::UnloadAllLabels() {
    // A form read anew is no edit: its steps start once it is in.
    StopSteps();
    labels_.KeepFirst(1);
    readFrom_ = std::min(readFrom_, labels_.size());
    reached_.clear();
    raised_.clear();
    raisedAt_.clear();
    raises_ = 0;
    Reordered();
    written_.clear();
    rebuildIndex_ = true;
    shapes_.barcodes.clear();
    Changed(CanvasChange::Labels);
}

void CanvasModel::UnloadLabelsFrom(int first) {
    if (first < 1 || size_t(first) >= labels_.size()) return;
    auto dropped = [first](int index) { return index >= first; };
    labels_.KeepFirst(size_t(first));
    readFrom_ = std::min(readFrom_, labels_.size());
    std::erase_if(reached_, dropped);
    std::erase_if(raised_, dropped);
    if (raisedAt_.size() > size_t(first)) raisedAt_.resize(size_t(first));
    std::erase_if(shapes_.barcodes, [&](const BarcodeRecord& b) { return dropped(b.label); });
    Reordered();
    written_.clear();
    rebuildIndex_ = true;
    Changed(CanvasChange::Labels);
}

void CanvasModel::UnloadAllImages() {
    shapes_.lines.clear();
    shapes_.hotspots.clear();
    shapes_.signatures.clear();
    shapes_.boxes.clear();
    shapes_.images.clear();
    shapes_.backgrounds.clear();
    Changed(CanvasChange::Shapes);
}

void CanvasModel::SetPage(double w, double h) {
    // Drawing sizes stay within what a page can be; the values themselves are kept.
    pageWidth_ = w;
    pageHeight_ = h;
    pages_ = 1;
    Changed(CanvasChange::Pages);
}

void CanvasModel::LoadPageContainer(int page) {
    const int pages = std::max(pages_, std::clamp(page, 0, 98) + 1);
    if (pages == pages_) return;
    pages_ = pages;
    Changed(CanvasChange::Pages, page);
}

Rect CanvasModel::ReadRect(const std::string& line) {
    return {ReadInches(Field(line, 2)), ReadInches(Field(line, 3)), ReadInches(Field(line, 4)),
            ReadInches(Field(line, 5))};
}

bool CanvasModel::SafeName(const std::string& name) const {
    return !name.empty() && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos && name.find("..") == std::string::npos;
}

bool CanvasModel::LoadBackgroundImage(const std::string& line, int page) {
    BackgroundRecord b;
    b.line = Fields(line);
    b.name = Field(line, 2);
    b.page = page;
    b.active = true;
    b.placed = !imagesFolder_.empty() && SafeName(b.name) &&
               files::FileExists(imagesFolder_ + "/" + b.name);
    shapes_.backgrounds.push_back(b);
    Changed(CanvasChange::Shapes, page);
    return b.placed;
}

void CanvasModel::ClearBackground(int page) {
    for (auto& b : shapes_.backgrounds)
        if (b.page == page) b.active = false;
}

void CanvasModel::UpdatePictureTimeStamp(const std::string& name, const std::string& stamp) {
    for (auto& im : shapes_.images)
        if (im.active && text::EqualsNoCase(im.name, name)) im.timeStamp = stamp;
    for (auto& b : shapes_.backgrounds) {
        if (!b.active || !text::EqualsNoCase(b.name, name)) continue;
        auto f = text::Split(b.line, "\t");  // "", name, stamp, page
        if (f.size() < 3) f.resize(3);
        f[2] = stamp;
        b.line = text::Join(f, "\t");
    }
    Changed(CanvasChange::Shapes);
}

int CanvasModel::NewLabel(int page, bool barcode, Companion companion) {
    // Copied from the template entry whole, then set: a label made empty first looks its
    // font up only to be given the template's, and one made from the template's control
    // alone had the rest of its entry cleared byte by byte first. Every field besides the
    // control is set here.
    static_assert(sizeof(Entry) == sizeof(LabelControl) + 16, "set a new field of the entry here");
    Entry& e = labels_.emplace_back(labels_[0]);
    e.control.visible = false;
    e.control.page = page;
    e.loaded = true;
    e.barcode = barcode;
    e.gridCell = false;
    e.companion = companion;
    e.touched = e.reached = false;
    e.backColor = barcode ? label_colors::kBarcode : label_colors::kOrdinary;
    e.foreColor = 0;
    int index = int(labels_.size()) - 1;
    // Before the edit the index was free: a step taken back hides the label again.
    if (steps_) {
        labels_[size_t(index)].loaded = false;
        Touch(index);
        labels_[size_t(index)].loaded = true;
    }
    Written(index);
    Reordered();
    // A new label lies on top: above the labels brought to front when there are any.
    if (!raised_.empty()) {
        raisedAt_.resize(labels_.size());
        raisedAt_[size_t(index)] = ++raises_;
        raised_.push_back(index);
    }
    // A companion's colour follows its item's selection: the selection always looks at it.
    if (companion != Companion::None) Reach(index);
    Changed(CanvasChange::Labels, page);
    return index;
}

// Companion labels sit at their shape's top-left corner and carry the shape's name.
int CanvasModel::NewCompanion(int page, Companion companion, const Rect& r, const char* caption,
                              std::uint32_t backColor) {
    int index = NewLabel(page, false, companion);
    Entry& e = labels_[size_t(index)];
    e.control.caption = caption;
    e.control.autoSize = true;
    e.control.left = r.left;
    e.control.top = r.top;
    FitLabelToCaption(e.control, metrics_);
    e.control.visible = true;
    e.backColor = backColor;
    e.foreColor = label_colors::kCompanionText;
    return index;
}

int CanvasModel::LoadOneLabelForHotspot(int page, const Rect& r, const std::string& kind) {
    return NewCompanion(page, Companion::Hotspot, r, "Hotspot", HotspotLabelColor(kind));
}
int CanvasModel::LoadOneLabelForSignatureBox(int page, const Rect& r) {
    return NewCompanion(page, Companion::Signature, r, "Signature Box",
                        label_colors::kSignatureBox);
}
int CanvasModel::LoadOneLabelForBox(int page, const Rect& r) {
    return NewCompanion(page, Companion::Box, r, "Box", label_colors::kBox);
}

std::string CanvasModel::CurrentImageName(int index) const {
    return index >= 0 && size_t(index) < shapes_.images.size() ? shapes_.images[size_t(index)].name
                                                               : std::string();
}
std::string CanvasModel::CurrentImagePath(int index) const {
    return index >= 0 && size_t(index) < shapes_.images.size() ? shapes_.images[size_t(index)].path
                                                               : std::string();
}
std::string CanvasModel::CurrentBackgroundImage() const {
    for (const auto& b : shapes_.backgrounds)
        if (b.active && b.placed && b.page == window_.currentPage) return b.name;
    return {};
}
std::string CanvasModel::CurrentBackgroundImagePath() const {
    return BackgroundPath(window_.currentPage);
}

std::uint32_t CanvasModel::LabelBackColor(int index) const {
    if (index < 0 || size_t(index) >= labels_.size()) return label_colors::kOrdinary;
    const Entry& e = labels_[size_t(index)];
    if (e.companion == Companion::None && !e.barcode) {
        if (e.control.Marked()) return label_colors::kMarked;
        // Grid cells keep their own colour, so a grid stays recognisable.
        if (IsGridCellLabel(index)) return label_colors::kGridCell;
    }
    return e.backColor;
}

bool CanvasModel::IsGridCellLabel(int index) const {
    if (index <= 0 || size_t(index) >= labels_.size()) return false;
    const Entry& e = labels_[size_t(index)];
    if (!e.loaded || e.barcode || e.companion != Companion::None) return false;
    const LabelControl& c = e.control;
    return e.gridCell || (!c.caption.empty() && c.caption[0] == cp1252::kGridCellMark) ||
           c.CarriesCellPlace();
}

void CanvasModel::SetGridCell(int index) {
    Touch(index);
    if (index > 0 && size_t(index) < labels_.size()) labels_[size_t(index)].gridCell = true;
    Written(index);
    Changed(CanvasChange::Labels);
}

void CanvasModel::SetLabelBackColor(int index, std::uint32_t bgr) {
    if (index <= 0 || size_t(index) >= labels_.size() || labels_[size_t(index)].backColor == bgr)
        return;
    labels_[size_t(index)].backColor = bgr;
    Written(index);
    // Colours are the canvas's own, never written.
    Changed(CanvasChange::Selection, labels_[size_t(index)].control.page);
}

std::uint32_t CanvasModel::LabelForeColor(int index) const {
    if (index < 0 || size_t(index) >= labels_.size()) return 0;
    return labels_[size_t(index)].foreColor;
}

bool CanvasModel::IsCompanionLabel(int index) const {
    return index > 0 && size_t(index) < labels_.size() &&
           labels_[size_t(index)].companion != Companion::None;
}

bool CanvasModel::IsBarcodeLabel(int index) const {
    return index > 0 && size_t(index) < labels_.size() && labels_[size_t(index)].barcode;
}

bool CanvasModel::LabelTextWraps(int index) const {
    const FormItem* item = model_.ItemAt(index);
    const LabelControl* c = LabelAt(index);
    return c && item && item->barcodeHeight > 0 && !IsBarcodeLabel(index) &&
           c->caption.view().starts_with("%T@");
}

Rect CanvasModel::BarcodeRect(int index) const {
    if (!IsBarcodeLabel(index)) return {};
    const LabelControl& c = labels_[size_t(index)].control;
    const FormItem* item = model_.ItemAt(index);
    double w = item && item->barcodeWidth > 0 ? item->barcodeWidth : kDefaultBarcodeWidth;
    double h = item && item->barcodeHeight > 0 ? item->barcodeHeight : kDefaultBarcodeHeight;
    return {c.left, c.top, w, h};
}

int CanvasModel::ItemLabelCount() const {
    int n = 0;
    for (size_t i = 1; i < labels_.size(); ++i)
        if (labels_[i].loaded && labels_[i].control.visible &&
            labels_[i].companion == Companion::None)
            ++n;
    return n;
}

int CanvasModel::ShapeCount() const {
    auto active = [](const auto& v) {
        return int(std::count_if(v.begin(), v.end(), [](const auto& r) { return r.active; }));
    };
    return active(shapes_.backgrounds) + active(shapes_.images) + active(shapes_.hotspots) +
           active(shapes_.signatures) + active(shapes_.boxes);
}

std::string CanvasModel::BackgroundPath(int page) const {
    for (const auto& b : shapes_.backgrounds)
        if (b.active && b.placed && b.page == page) return imagesFolder_ + "/" + b.name;
    return {};
}

void CanvasModel::EndRead() {
    if (reading_ == 0 || --reading_ > 0) return;
    readFrom_ = size_t(-1);
    ForgetUnmarked();
    const unsigned kinds = std::exchange(heldKinds_, 0u);
    if (kinds) Changed(kinds, heldPage_);
}

int CanvasModel::LoadOneLabel(int page) {
    return NewLabel(page, false, Companion::None);
}

LabelControl& CanvasModel::Label(int index) {
    if (index < 0 || size_t(index) >= labels_.size()) return labels_[0].control;
    Touch(index);
    if (size_t(index) < readFrom_) Reach(index);
    Written(index);
    return labels_[size_t(index)].control;
}

void CanvasModel::LoadBarcode(int) {}

void CanvasModel::UpdatePageNumberSetting(int currentPage, int numberOfPages) {
    pages_ = std::max(pages_, std::clamp(numberOfPages, 1, 99));
    window_.currentPage = std::clamp(currentPage, 0, pages_ - 1);
    if (window_.currentPageNumber > pages_) {
        window_.currentPageNumber = 1;
        window_.currentPage = 0;
    }
    Changed(CanvasChange::Pages);
}

void CanvasModel::ShowPage(int page) {
    window_.currentPage = std::clamp(page, 0, pages_ - 1);
    window_.currentPageNumber = window_.currentPage + 1;
    window_.cornerPick = window_.firstCorner = window_.secondCorner = false;
    model_.currentPage = window_.currentPage;
    // Which page is shown is the window's, never written.
    Changed(CanvasChange::Selection);
}

bool CanvasModel::IsHotspotLabel(int i) const {
    return i > 0 && size_t(i) < labels_.size() &&
           labels_[size_t(i)].companion == Companion::Hotspot;
}
bool CanvasModel::IsBoxLabel(int i) const {
    return i > 0 && size_t(i) < labels_.size() && labels_[size_t(i)].companion == Companion::Box;
}
bool CanvasModel::IsSignatureBoxLabel(int i) const {
    return i > 0 && size_t(i) < labels_.size() &&
           labels_[size_t(i)].companion == Companion::Signature;
}

std::string CanvasModel::GetBarcodeWidthHeight(int index) const {
    if (index <= 0 || size_t(index) >= labels_.size() || !labels_[size_t(index)].barcode) return {};
    const FormItem* r = model_.ItemAt(index);
    if (!r) return {};
    return NumberText(r->barcodeWidth) + "\t" + NumberText(r->barcodeHeight);
}

std::string CanvasModel::GetBackgroundImagesDefinitions() const {
    std::string out;
    for (const auto& b : shapes_.backgrounds)
        if (b.active) AddLine(out, "Background_Image:" + b.line);
    return out;
}

std::string CanvasModel::GetImagesDefinitions() const {
    std::string out;
    for (const auto& im : shapes_.images)
        if (im.active)
            AddLine(out, "Image:\t" + RectText(im.r) + "\t" + im.name + "\t" + im.timeStamp + "\t" +
                             std::to_string(im.page + 1) + "\t" + im.linkedSignatureBox);
    return out;
}

std::string CanvasModel::GetHotspotShapesDefinitions() const {
    // Data-bound hotspots come first so the data entry screen reaches them first.
    std::vector<const HotspotRecord*> order;
    for (int pass = 0; pass < 2; ++pass)
        for (const auto& h : shapes_.hotspots) {
            std::string k = text::ToUpper(h.kind);
            bool dataKind = k == "D" || k == "DG";
            if (h.active && dataKind == (pass == 0)) order.push_back(&h);
        }
    std::string out;
    for (const auto* h : order)
        AddLine(out, "Hotspot:\t" + RectText(h->r) + "\t" + std::to_string(h->page + 1) + "\t" +
                         h->kind);
    return out;
}

std::string CanvasModel::GetSignatureBoxShapesDefinitions() const {
    std::string out;
    for (const auto& s : shapes_.signatures)
        if (s.active)
            AddLine(out, "Signature_Box:\t" + RectText(s.r) + "\t" + std::to_string(s.page + 1) +
                             "\t" + (s.signaturePad ? "Y" : "N"));
    return out;
}

std::string CanvasModel::GetBoxShapesDefinitions() const {
    std::string out;
    for (const auto& b : shapes_.boxes)
        if (b.active)
            AddLine(out, "Box:\t" + RectText(b.r) + "\t" + std::to_string(b.page + 1) + "\t" +
                             std::to_string(BoxStyleFromCode(b.styleCode)) + "\t" +
                             std::to_string(b.borderWidth) + "\t" +
                             (b.hideInPreview == 1 ? "Y" : "N") + "\t" +
                             std::to_string(b.borderColor));
    return out;
}

void CanvasModel::DeleteLabel(int index) {
    if (index <= 0 || size_t(index) >= labels_.size()) return;
    Touch(index);
    Written(index);
    Reordered();
    labels_[size_t(index)].control.visible = false;
    labels_[size_t(index)].loaded = false;
    for (auto& b : shapes_.barcodes)
        if (b.label == index) b.active = false;
    Changed(CanvasChange::Labels | CanvasChange::Shapes, labels_[size_t(index)].control.page);
}
