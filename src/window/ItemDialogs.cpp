#include "window/ItemDialogs.h"

#include <QApplication>
#include <QMainWindow>
#include <QWidget>

#include "dialogs/qt/FrmGrid.h"
#include "dialogs/qt/FrmLineProps.h"
#include "dialogs/qt/FrmLists.h"
#include "dialogs/qt/FrmProps.h"
#include "shell/UserInterface.h"
#include "window/PropertiesDock.h"

namespace {

// The barcode dialog's list button uses the list picker's one-value mode.
class ListsPicker : public OneValuePicker {
  public:
    explicit ListsPicker(ItemDialogs& dialogs) : dialogs_(dialogs) {}
    std::string PickOneValue(const FormModel&) override { return dialogs_.PickOneValue(); }

  private:
    ItemDialogs& dialogs_;
};

}  // namespace

ItemDialogs::ItemDialogs(Context context)
    : QObject(context.window),
      c_(std::move(context)),
      items_{*c_.canvas,
             *c_.editor,
             *c_.model,
             *c_.ui,
             *c_.metrics,
             [this] { UpdateShift(); },
             [this] {
                 if (c_.refresh) c_.refresh();
             }},
      picker_(std::make_unique<ListsPicker>(*this)) {
    if (auto* main = qobject_cast<QMainWindow*>(c_.window)) dock_ = new PropertiesDock(main);
}

ItemDialogs::~ItemDialogs() {
    for (QDialog* d :
         std::initializer_list<QDialog*>{props_, lists_, box_, shape_, image_, barcode_, grid_})
        delete d;
    for (QDialog* d : lines_) delete d;
}

FrmProps* ItemDialogs::Props() {
    if (!props_) {
        FrmProps::Wiring wiring;
        wiring.changed = c_.refresh;
        wiring.shiftChanged = [this] { UpdateShift(); };
        wiring.pickOne = [this] { return PickOneValue(); };
        props_ = new FrmProps(*c_.canvas, *c_.editor, *c_.model, *c_.metrics, *c_.ui,
                              std::move(wiring), c_.window);
    }
    return props_;
}

FrmProps* ItemDialogs::LabelProperties() const {
    return props_ && props_->isVisible() ? props_.data() : nullptr;
}

FrmLists* ItemDialogs::Lists() const {
    return lists_;
}

void ItemDialogs::Present(QDialog* dialog, bool docked) {
    if (dock_ && docked) return dock_->Present(dialog);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void ItemDialogs::OpenLabelProperties(int label, bool closeOnApply) {
    if (!c_.canvas->LabelAt(label)) return;
    CloseOthers(CanvasModel::Hit::Label);
    FrmProps* p = Props();
    p->SetLabelRef(label, closeOnApply);
    Present(p);
}

void ItemDialogs::OpenTemplateProperties() {
    OpenLabelProperties(0);
}

void ItemDialogs::OpenBoxProperties(int box) {
    CloseOthers(CanvasModel::Hit::Box);
    if (!box_) box_ = new FrmBoxProps(items_, c_.window);
    box_->setObjectName("frmBoxProps");
    box_->Bind(box);
    Present(box_);
}

void ItemDialogs::OpenShapeProperties(ShapePropsLogic::Kind kind, int index) {
    CloseOthers(kind == ShapePropsLogic::Kind::Hotspot ? CanvasModel::Hit::Hotspot
                                                       : CanvasModel::Hit::SignatureBox);
    if (!shape_) shape_ = new FrmShapeProps(items_, c_.window);
    shape_->setObjectName("frmShapeProps");
    shape_->Bind(kind, index);
    Present(shape_);
}

void ItemDialogs::OpenImageProperties(int image) {
    CloseOthers(CanvasModel::Hit::Image);
    if (!image_) image_ = new FrmImageProps(items_, c_.window);
    image_->setObjectName("frmImageProps");
    image_->Bind(image);
    Present(image_);
}

void ItemDialogs::OpenBarcodeProperties(int label) {
    CloseOthers(CanvasModel::Hit::Barcode);
    if (!barcode_) barcode_ = new FrmBarcodeImageProps(items_, *picker_, c_.window);
    barcode_->setObjectName("frmBarcodeImageProps");
    barcode_->Bind(label);
    Present(barcode_);
}

FrmGrid* ItemDialogs::OpenGrid(const Rect& area) {
    CloseAll();
    if (!grid_) {
        FrmGrid::Wiring wiring{[this] { UpdateShift(); },
                               [this](const std::string& tag) { OpenFillFromList(tag); },
                               c_.background};
        grid_ = new FrmGrid(*c_.canvas, *c_.model, *c_.ui, std::move(wiring), c_.window);
        if (c_.grid) grid_->ParentForm(*c_.grid);
    }
    grid_->SetLabelRef(0);
    grid_->SetRect(area);
    grid_->UpdateShift();
    Present(grid_, false);
    return grid_;
}

FrmLineProps* ItemDialogs::OpenLineProps() {
    auto* dialog = new FrmLineProps(c_.model->settings, c_.window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    lines_.push_back(dialog);
    dialog->show();
    return dialog;
}

bool ItemDialogs::Open(const CanvasModel::Hit& item) {
    using H = CanvasModel::Hit;
    switch (item.kind) {
        case H::Label:
            OpenLabelProperties(item.index);
            return LabelProperties() != nullptr;
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
    const CanvasModel& c = *c_.canvas;
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
    if (hit.kind == H::None)
        if (int marked = c_.editor->MarkedLabel(); marked > 0) hit = {H::Label, marked};
    if (hit.kind == H::None)
        c_.ui->Message("Nothing is marked: click an item on the page first.", "Show Properties",
                       MessageIcon::Information);
    return Open(hit);
}

void ItemDialogs::Reload() {
    // Undo and redo put records back at their own indices: the label dialog stays on its
    // label and shows the values put back, unless that label is gone.
    FrmProps* p = LabelProperties();
    const int label = p ? p->CurrentLabelIndx() : -1;
    const LabelControl* control = label > 0 ? c_.canvas->LabelAt(label) : nullptr;
    if (control && control->visible)
        p->SetLabelRef(label, false);
    else
        CloseAll();
    CloseOthers(CanvasModel::Hit::Label);
}

void ItemDialogs::FollowLabel(int label) {
    if (label <= 0) return;
    // The dialog in place is rebound, not opened again: it keeps its panels as they are.
    if (FrmProps* p = LabelProperties())
        p->SetLabelRef(label, false);
    else
        OpenLabelProperties(label);
}

std::string ItemDialogs::PickOneValue() {
    QWidget* parent = QApplication::activeWindow() ? QApplication::activeWindow() : c_.window;
    return PickOneListValue(*c_.ui,
                            c_.staticItems ? c_.staticItems() : std::vector<requests::StaticItem>{},
                            c_.model->databaseFields, parent);
}

void ItemDialogs::OpenFillFromList(const std::string& tag) {
    if (!lists_) lists_ = new FrmLists(*c_.ui, c_.window);
    lists_->SetTag(tag);
    lists_->FillListBoxes(c_.staticItems ? c_.staticItems() : std::vector<requests::StaticItem>{},
                          c_.model->databaseFields);
    lists_->ShowFill(
        [this](const std::vector<std::string>& entries, int order, const std::string& tag) {
            if (!ConfirmFill(entries, order, tag)) return;
            c_.editor->FillLabels(entries, order, tag);
            if (FrmProps* p = LabelProperties()) p->SetLabelRef(p->CurrentLabelIndx(), false);
            if (c_.refresh) c_.refresh();
        });
}

bool ItemDialogs::ConfirmFill(const std::vector<std::string>& entries, int order,
                              const std::string& tag) {
    const char* title = "Fill from List";
    if (entries.empty()) {
        c_.ui->Message("The list holds no entries to fill with.", title, MessageIcon::Information);
        return false;
    }
    const std::vector<int> targets = c_.editor->FillTargets(entries.size(), order, tag);
    if (targets.empty()) {
        c_.ui->Message("Select the labels to fill first.", title, MessageIcon::Information);
        return false;
    }
    // A label bound to a data field or a prompt loses its binding to a list entry.
    std::string bound;
    for (int i : targets)
        if (const FormItem* item = c_.model->ItemAt(i);
            item && item->itemKind != ItemKind::StaticText)
            bound += "\r\n" + c_.canvas->LabelAt(i)->caption;
    return bound.empty() ||
           c_.ui->YesNo("These labels are bound to data fields or prompts:" + bound +
                            "\r\n\r\nReplace them with the list's entries?",
                        title);
}

void ItemDialogs::CloseOthers(CanvasModel::Hit::Kind keep) {
    using H = CanvasModel::Hit;
    if (props_ && props_->isVisible() && keep != H::Label) props_->close();
    if (box_ && keep != H::Box) box_->close();
    // One dialog serves hotspots and signature boxes.
    if (shape_ && keep != H::Hotspot && keep != H::SignatureBox) shape_->close();
    if (image_ && keep != H::Image) image_->close();
    if (barcode_ && keep != H::Barcode) barcode_->close();
    if (grid_ && keep == H::None) grid_->close();
}

void ItemDialogs::UpdateShift() {
    if (FrmProps* p = LabelProperties()) p->UpdateShift();
    for (FrmItemProps* d : std::initializer_list<FrmItemProps*>{box_, shape_, image_, barcode_})
        if (d && d->isVisible()) d->UpdateShift();
    if (grid_ && grid_->isVisible()) grid_->UpdateShift();
    std::erase_if(lines_, [](const QPointer<FrmLineProps>& d) { return d.isNull(); });
    for (FrmLineProps* d : lines_)
        if (d->isVisible()) d->UpdateShift();
}
