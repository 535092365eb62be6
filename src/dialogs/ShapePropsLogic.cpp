#include "dialogs/ShapePropsLogic.h"

#include <algorithm>

#include "shell/UserInterface.h"

const std::vector<std::string>& ShapePropsLogic::TypeOptions() {
    static const std::vector<std::string> options{"P", "D", "S", "Other"};
    return options;
}

int ShapePropsLogic::TypeColor(const std::string& type) {
    if (type == "P") return 8421631;
    if (type == "D") return 8026470;
    if (type == "S") return 35999;
    return 10300511;
}

std::string ShapePropsLogic::Type() const {
    return typeOption >= 0 && typeOption < kOther ? TypeOptions()[size_t(typeOption)] : otherType;
}

void ShapePropsLogic::Bind(Kind kind, int index) {
    kind_ = kind;
    index_ = index;
    closed_ = false;
    name = std::string(kind == Kind::Hotspot ? "shpHotspot(" : "shpSignatureBox(") +
           std::to_string(index) + ")";
    ShowRect(ItemRect());
    UpdateShift();
    typeOption = 0;
    otherType.clear();
    signaturePad = false;
    padGroupShown_ = false;
    if (kind == Kind::Hotspot) {
        const auto& h = ctx_.canvas.Hotspots();
        std::string type = size_t(index) < h.size() ? h[size_t(index)].kind : "P";
        const auto& options = TypeOptions();
        auto it = std::find(options.begin(), options.begin() + kOther, type);
        typeOption = int(it - options.begin());
        if (typeOption == kOther) otherType = type;
        return;
    }
    const auto& s = ctx_.canvas.SignatureBoxes();
    signaturePad = size_t(index) < s.size() && s[size_t(index)].signaturePad;
    padGroupShown_ = ctx_.model.settings.signpad || signaturePad;
    if (!ctx_.model.settings.signpad && signaturePad)
        ctx_.ui.Message(
            "Check Form Setup: \r\n'Use with Signature Pad' is not checked.\r\n\r\nPerhaps it is "
            "an error.",
            "Form Setup: Use with Signature Pad?", MessageIcon::Information);
}

Rect ShapePropsLogic::ItemRect() const {
    if (kind_ == Kind::Hotspot) {
        const auto& h = ctx_.canvas.Hotspots();
        return size_t(index_) < h.size() ? h[size_t(index_)].r : Rect{};
    }
    const auto& s = ctx_.canvas.SignatureBoxes();
    return size_t(index_) < s.size() ? s[size_t(index_)].r : Rect{};
}

void ShapePropsLogic::MoveItem(double dx, double dy) {
    if (kind_ == Kind::Hotspot)
        ctx_.canvas.MoveHotspotShape(index_, dx, dy);
    else
        ctx_.canvas.MoveSignatureBoxShape(index_, dx, dy);
}

bool ShapePropsLogic::ChooseType(int option) {
    if (option < 0 || option > kOther) return false;
    typeOption = option;
    // "Other" waits for its text.
    if (option == kOther && otherType.empty()) return false;
    return Apply();
}

bool ShapePropsLogic::Apply() {
    Rect r;
    if (closed_ || !ReadRect(r)) return false;
    if (kind_ == Kind::Hotspot) {
        std::string type = Type();
        // A type is one word of the layout line: no separators in it.
        if (type.empty() || type.find_first_of("\t\r\n") != std::string::npos) {
            ctx_.ui.Message("Enter the hotspot type.", "Type", MessageIcon::Warning);
            return false;
        }
        ctx_.canvas.UpdateHotspotShapeDetails(index_, r, type);
    } else {
        ctx_.canvas.UpdateSignatureBoxShapeDetails(index_, r, signaturePad);
    }
    Changed();
    return true;
}

void ShapePropsLogic::Delete() {
    // A deleted hotspot's record keeps type "P".
    if (kind_ == Kind::Hotspot)
        ctx_.canvas.DeleteHotspot(index_);
    else
        ctx_.canvas.DeleteSignatureBox(index_);
    closed_ = true;
    Changed();
}
