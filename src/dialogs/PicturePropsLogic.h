#pragma once
// The picture dialogs without their windows: `frmImageProps` for an image placed on a
// page and `frmBarcodeImageProps` for a barcode (a picture with a companion label
// that carries its text).
#include "dialogs/ItemPropsLogic.h"

// The one-value list picker: the form's static items and chosen data fields, one of
// which the user picks. "" when nothing was picked.
class OneValuePicker {
  public:
    virtual ~OneValuePicker() = default;
    virtual std::string PickOneValue(const FormModel& model) = 0;
};

class ImagePropsLogic : public ItemPropsLogic {
  public:
    using ItemPropsLogic::ItemPropsLogic;

    void Bind(int image);
    std::string sizeText, source, linkedSignatureBox;

    // The linked signature-box number must name a signature box of the form (or be
    // empty: no link).
    bool Apply() override;
    void Delete() override;

  protected:
    Rect ItemRect() const override;
    void MoveItem(double dx, double dy) override;
};

class BarcodePropsLogic : public ItemPropsLogic {
  public:
    using ItemPropsLogic::ItemPropsLogic;
    static constexpr const char* kWidthNote = "* Width for 10 characters Barcode";

    // Bound by the barcode's label index.
    void Bind(int label);
    std::string text;
    // The catalogue description of a "^" field, shown as the text's tip.
    std::string tip;
    // Refreshes the tip from the text; a description with a run of three spaces
    // carries the field name before it, which then fills the text.
    void RefreshTip();
    // The list button: the picked value becomes the text.
    bool PickFromList(OneValuePicker& picker);

    bool Apply() override;
    void Delete() override;

  protected:
    Rect ItemRect() const override;
    void MoveItem(double dx, double dy) override;
};
