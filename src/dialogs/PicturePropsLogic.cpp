#include "dialogs/PicturePropsLogic.h"

#include "dialogs/DialogText.h"
#include "layout/BarcodeText.h"
#include "shell/AtomicFile.h"
#include "shell/UserInterface.h"

void ImagePropsLogic::Bind(int image) {
    index_ = image;
    closed_ = false;
    const CanvasModel& c = ctx_.canvas;
    name = c.CurrentImageName(image);
    std::string path = c.CurrentImagePath(image);
    sizeText = path.empty() ? "0 B" : files::FileSizeText(path);
    source = c.GetImageSource(image);
    linkedSignatureBox = c.GetImageLinkedSignatureBoxNum(image);
    ShowRect(ItemRect());
    UpdateShift();
}

Rect ImagePropsLogic::ItemRect() const {
    const auto& images = ctx_.canvas.Images();
    return size_t(index_) < images.size() ? images[size_t(index_)].r : Rect{};
}

void ImagePropsLogic::MoveItem(double dx, double dy) {
    ctx_.canvas.MoveImage(index_, dx, dy);
}

bool ImagePropsLogic::Apply() {
    Rect r;
    if (closed_ || !ReadRect(r)) return false;
    std::string link = dialogtext::TrimSpaces(linkedSignatureBox);
    if (!link.empty()) {
        const auto& boxes = ctx_.canvas.SignatureBoxes();
        bool digits = link.size() < 6 && link.find_first_not_of("0123456789") == std::string::npos;
        size_t n = digits ? std::stoul(link) : boxes.size();
        if (n >= boxes.size() || !boxes[n].active) {
            ctx_.ui.Message("There is no signature box #" + link + " on this form.",
                            "Link to Signature Box", MessageIcon::Warning);
            return false;
        }
    }
    linkedSignatureBox = link;
    ctx_.canvas.UpdateImageDetails(index_, r, link);
    Changed();
    return true;
}

void ImagePropsLogic::Delete() {
    ctx_.canvas.DeleteImage(index_);
    closed_ = true;
    Changed();
}

void BarcodePropsLogic::Bind(int label) {
    index_ = label;
    closed_ = false;
    name = "imgBarcode(" + std::to_string(ctx_.canvas.GetBarcodeImageIndex(label)) + ")";
    const LabelControl* c = ctx_.canvas.LabelAt(label);
    text = c ? c->caption.str() : std::string();
    RefreshTip();
    ShowRect(ItemRect());
    UpdateShift();
}

void BarcodePropsLogic::RefreshTip() {
    tip.clear();
    if (text.size() < 2 || text[0] != '^') return;
    const DatabaseFieldRef* f = ctx_.model.FindDatabaseField(text.substr(1));
    if (!f) return;
    tip = f->longName;
    size_t run = tip.find("   ");
    if (run == std::string::npos) return;
    std::string field = dialogtext::TrimSpaces(tip.substr(0, run));
    if (!field.empty()) text = "^" + field;
    tip = dialogtext::TrimSpaces(tip.substr(run + 3));
}

bool BarcodePropsLogic::PickFromList(OneValuePicker& picker) {
    std::string value = picker.PickOneValue(ctx_.model);
    if (value.empty()) return false;
    text = value;
    RefreshTip();
    return true;
}

Rect BarcodePropsLogic::ItemRect() const {
    return ctx_.canvas.BarcodeRect(index_);
}

void BarcodePropsLogic::MoveItem(double dx, double dy) {
    // The picture sits at its label's corner: the two move as one.
    ctx_.canvas.MoveBarcodeImage(index_, dx, dy);
}

bool BarcodePropsLogic::Apply() {
    Rect r;
    if (closed_ || !ReadRect(r)) return false;
    // An empty text would drop the barcode when the form is written; separators would
    // break its layout line.
    if (dialogtext::TrimSpaces(text).empty() ||
        text.find_first_of("\t\r\n\xE6\xC5") != std::string::npos) {
        ctx_.ui.Message("Enter the text of the barcode.", "Barcode", MessageIcon::Warning);
        return false;
    }
    // Bars that scan as other data than the text are never printed.
    if (barcodetext::Classify(text) == barcodetext::Kind::Refused) {
        ctx_.ui.Message("A barcode cannot encode \"" + text +
                            "\": it holds digits, capital letters, the space and - . $ / + % "
                            "(or a \"^\" field).",
                        "Barcode", MessageIcon::Warning);
        return false;
    }
    if (!ctx_.canvas.IsBarcodeLabel(index_)) return false;
    ctx_.canvas.UpdateBarcodeImageDetails(index_, r);
    RefreshTip();
    LabelControl& c = ctx_.canvas.Label(index_);
    c.caption = text;
    FitLabelToCaption(c, ctx_.metrics);
    Changed();
    return true;
}

void BarcodePropsLogic::Delete() {
    ctx_.canvas.DeleteBarcode(index_);
    closed_ = true;
    Changed();
}
