#include "canvas/view/ItemDialogs.h"

#include <QInputDialog>

#include "dialogs/qt/FrmItemProps.h"
#include "shell/qt/QtText.h"

namespace {

// Until the list dialog has its one-value mode: a plain choice among the form's static
// items and its data fields.
class PlainValuePicker : public OneValuePicker {
  public:
    explicit PlainValuePicker(QWidget* parent) : parent_(parent) {}
    std::string PickOneValue(const FormModel& model) override {
        QStringList values;
        for (const std::string& s : model.staticListsUsed) values << toUnicode(s);
        for (const auto& f : model.databaseFields) values << toUnicode("^" + f.fieldName);
        if (values.isEmpty()) return {};
        bool ok = false;
        QString v = QInputDialog::getItem(parent_, "Lists", "Value:", values, 0, false, &ok);
        return ok ? fromUnicode(v) : std::string();
    }

  private:
    QWidget* parent_;
};

}  // namespace

ItemDialogs::ItemDialogs(QWidget* window, ItemContext context, OneValuePicker* picker)
    : window_(window), ctx_(std::move(context)), picker_(picker) {
    if (!picker_) {
        ownPicker_ = std::make_unique<PlainValuePicker>(window);
        picker_ = ownPicker_.get();
    }
}

ItemDialogs::~ItemDialogs() {
    for (QDialog* d : std::initializer_list<QDialog*>{box_, shape_, image_, barcode_}) delete d;
}

void ItemDialogs::Present(FrmItemProps* dialog) {
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void ItemDialogs::OpenBoxProperties(int box) {
    CloseOthers(CanvasModel::Hit::Box);
    if (!box_) box_ = new FrmBoxProps(ctx_, window_);
    box_->setObjectName("frmBoxProps");
    box_->Bind(box);
    Present(box_);
}

void ItemDialogs::OpenShapeProperties(ShapePropsLogic::Kind kind, int index) {
    CloseOthers(kind == ShapePropsLogic::Kind::Hotspot ? CanvasModel::Hit::Hotspot
                                                       : CanvasModel::Hit::SignatureBox);
    if (!shape_) shape_ = new FrmShapeProps(ctx_, window_);
    shape_->setObjectName("frmShapeProps");
    shape_->Bind(kind, index);
    Present(shape_);
}

void ItemDialogs::OpenImageProperties(int image) {
    CloseOthers(CanvasModel::Hit::Image);
    if (!image_) image_ = new FrmImageProps(ctx_, window_);
    image_->setObjectName("frmImageProps");
    image_->Bind(image);
    Present(image_);
}

void ItemDialogs::OpenBarcodeProperties(int label) {
    CloseOthers(CanvasModel::Hit::Barcode);
    if (!barcode_) barcode_ = new FrmBarcodeImageProps(ctx_, *picker_, window_);
    barcode_->setObjectName("frmBarcodeImageProps");
    barcode_->Bind(label);
    Present(barcode_);
}

bool ItemDialogs::Open(const CanvasModel::Hit& item) {
    using H = CanvasModel::Hit;
    switch (item.kind) {
        case H::Box:
            OpenBoxProperties(item.index);
            return true;
        case H::Hotspot:
            OpenShapeProperties(ShapePropsLogic::Kind::Hotspot, item.index);
            return true;
        case H::SignatureBox:
            OpenShapeProperties(ShapePropsLogic::Kind::SignatureBox, item.index);
            return true;
        case H::Image:
            OpenImageProperties(item.index);
            return true;
        case H::Barcode:
            OpenBarcodeProperties(item.index);
            return true;
        default:
            return false;
    }
}

bool ItemDialogs::OpenMarked() {
    using H = CanvasModel::Hit;
    const CanvasModel& c = ctx_.canvas;
    auto find = [](const auto& records, H::Kind kind, H& hit) {
        for (size_t i = 0; i < records.size() && hit.kind == H::None; ++i)
            if (records[i].active && records[i].marked) hit = {kind, int(i)};
    };
    H hit;
    find(c.Boxes(), H::Box, hit);
    find(c.Hotspots(), H::Hotspot, hit);
    find(c.SignatureBoxes(), H::SignatureBox, hit);
    find(c.Images(), H::Image, hit);
    for (const auto& b : c.Barcodes())
        if (hit.kind == H::None && b.active && b.marked) hit = {H::Barcode, b.label};
    return Open(hit);
}

void ItemDialogs::CloseOthers(CanvasModel::Hit::Kind keep) {
    using H = CanvasModel::Hit;
    if (box_ && keep != H::Box) box_->close();
    // One dialog serves hotspots and signature boxes.
    if (shape_ && keep != H::Hotspot && keep != H::SignatureBox) shape_->close();
    if (image_ && keep != H::Image) image_->close();
    if (barcode_ && keep != H::Barcode) barcode_->close();
}

void ItemDialogs::UpdateShift() {
    for (FrmItemProps* d : std::initializer_list<FrmItemProps*>{box_, shape_, image_, barcode_})
        if (d && d->isVisible()) d->UpdateShift();
}
