#include "layout/ControlStore.h"

#include "layout/ItemTypes.h"
#include "shell/AtomicFile.h"
#include "shell/TextUtils.h"

ControlStore::ControlStore(FormModel& model, const TextMetrics& metrics, std::string imagesFolder)
    : model_(model), metrics_(metrics), imagesFolder_(std::move(imagesFolder)) {
    Entry tmpl;
    tmpl.control.caption = "Template";
    tmpl.control.visible = false;
    tmpl.control.height = metrics_.TextHeight(tmpl.control.fontName, tmpl.control.fontSize,
                                              tmpl.control.bold, tmpl.control.italic);
    labels_.push_back(tmpl);
}

void ControlStore::UnloadAllLabels() {
    labels_.resize(1);
}

void ControlStore::UnloadAllImages() {
    backgrounds_.clear();
    images_.clear();
    hotspots_.clear();
    signatureBoxes_.clear();
    boxes_.clear();
}

void ControlStore::SetPage(double widthInches, double heightInches) {
    pageWidth_ = widthInches;
    pageHeight_ = heightInches;
    pages_ = 0;
}

void ControlStore::LoadPageContainer(int page) {
    pages_ = std::max(pages_, page + 1);
}

bool ControlStore::LoadBackgroundImage(const std::string& line, int page) {
    backgrounds_.push_back({Canonical(line, "Background_Image:"), page});
    if (imagesFolder_.empty()) return false;
    std::string name = text::SplitStr(line, "\t", 2);
    if (name.empty() || name.find('/') != std::string::npos || name.find("..") != std::string::npos)
        return false;
    return files::FileExists(imagesFolder_ + "/" + name);
}

void ControlStore::LoadImage(const std::string& line, int page) {
    images_.push_back({Canonical(line, "Image:"), page});
}
void ControlStore::LoadHotspot(const std::string& line, int page) {
    hotspots_.push_back({Canonical(line, "Hotspot:"), page});
}
void ControlStore::LoadSignatureBox(const std::string& line, int page) {
    signatureBoxes_.push_back({Canonical(line, "Signature_Box:"), page});
}
void ControlStore::LoadBox(const std::string& line, int page, int) {
    boxes_.push_back({Canonical(line, "Box:"), page});
}

int ControlStore::NewLabel(int page, bool barcode) {
    Entry e;
    e.control = labels_[0].control;
    e.control.visible = false;
    e.control.page = page;
    e.barcode = barcode;
    labels_.push_back(e);
    return int(labels_.size()) - 1;
}

int ControlStore::LoadOneLabel(int page) {
    return NewLabel(page, false);
}
int ControlStore::LoadOneLabelForBarcode(int page) {
    return NewLabel(page, true);
}

LabelControl& ControlStore::Label(int index) {
    if (index < 0 || size_t(index) >= labels_.size()) return labels_[0].control;
    return labels_[size_t(index)].control;
}

void ControlStore::LoadBarcode(int) {}

void ControlStore::UpdatePageNumberSetting(int currentPage, int numberOfPages) {
    currentPage_ = currentPage;
    pages_ = std::max(pages_, numberOfPages);
}

const LabelControl* ControlStore::LabelAt(int index) const {
    if (index < 0 || size_t(index) >= labels_.size() || !labels_[size_t(index)].loaded)
        return nullptr;
    return &labels_[size_t(index)].control;
}

std::string ControlStore::GetBarcodeWidthHeight(int index) const {
    if (index <= 0 || size_t(index) >= labels_.size() || !labels_[size_t(index)].barcode) return {};
    const FormItem* r = model_.ItemAt(index);
    if (!r) return {};
    return NumberText(r->barcodeWidth) + "\t" + NumberText(r->barcodeHeight);
}

std::string ControlStore::Canonical(const std::string& line, const char* key) {
    size_t tab = line.find('\t');
    return std::string(key) + (tab == std::string::npos ? std::string("\t") : line.substr(tab));
}

std::string ControlStore::JoinLines(const std::vector<Definition>& defs, const char*) {
    std::string out;
    for (const auto& d : defs) {
        if (!out.empty()) out += "\r\n";
        out += d.line;
    }
    return out;
}

std::string ControlStore::GetBackgroundImagesDefinitions() const {
    return JoinLines(backgrounds_, "Background_Image:");
}
std::string ControlStore::GetImagesDefinitions() const {
    return JoinLines(images_, "Image:");
}
std::string ControlStore::GetHotspotShapesDefinitions() const {
    return JoinLines(hotspots_, "Hotspot:");
}
std::string ControlStore::GetSignatureBoxShapesDefinitions() const {
    return JoinLines(signatureBoxes_, "Signature_Box:");
}
std::string ControlStore::GetBoxShapesDefinitions() const {
    return JoinLines(boxes_, "Box:");
}

int ControlStore::VisibleLabelCount() const {
    int n = 0;
    for (size_t i = 1; i < labels_.size(); ++i)
        if (labels_[i].loaded && labels_[i].control.visible) ++n;
    return n;
}

int ControlStore::ShapeCount() const {
    return int(backgrounds_.size() + images_.size() + hotspots_.size() + signatureBoxes_.size() +
               boxes_.size());
}
