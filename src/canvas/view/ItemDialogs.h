#pragma once
// The one place where the window opens the dialogs of its items. It holds the open
// item dialogs, closes those of other kinds when one opens, and passes a change of
// the shared move step on to every one of them.
#include <QObject>
#include <QPointer>
#include <memory>

#include "canvas/CanvasModel.h"
#include "dialogs/qt/FrmItemProps.h"

class ItemDialogs {
  public:
    // picker: the one-value list picker of the barcode dialog (null: a plain list of
    // the form's static items and data fields).
    ItemDialogs(QWidget* window, ItemContext context, OneValuePicker* picker = nullptr);
    ~ItemDialogs();

    void OpenBoxProperties(int box);
    void OpenShapeProperties(ShapePropsLogic::Kind kind, int index);
    void OpenImageProperties(int image);
    void OpenBarcodeProperties(int label);
    // The dialog of whatever the hit stands for (nothing for an ordinary label).
    bool Open(const CanvasModel::Hit& item);
    // "Show Properties": the dialog of the marked picture or shape; false when none is.
    bool OpenMarked();
    // The dialogs whose item is not of this kind close (all with Hit::None).
    void CloseOthers(CanvasModel::Hit::Kind keep);
    // Every open item dialog shows the shared step.
    void UpdateShift();

    FrmBoxProps* Box() const { return box_; }
    FrmShapeProps* Shape() const { return shape_; }
    FrmImageProps* Image() const { return image_; }
    FrmBarcodeImageProps* Barcode() const { return barcode_; }

  private:
    void Present(FrmItemProps* dialog);
    QWidget* window_;
    ItemContext ctx_;
    std::unique_ptr<OneValuePicker> ownPicker_;
    OneValuePicker* picker_;
    QPointer<FrmBoxProps> box_;
    QPointer<FrmShapeProps> shape_;
    QPointer<FrmImageProps> image_;
    QPointer<FrmBarcodeImageProps> barcode_;
};
