#pragma once
// The shape properties dialog `frmShapeProps` without its window: one hotspot (its
// type) or one signature box (its signature-pad mark).
#include <vector>

#include "dialogs/ItemPropsLogic.h"

class ShapePropsLogic : public ItemPropsLogic {
  public:
    using ItemPropsLogic::ItemPropsLogic;
    enum class Kind { Hotspot, SignatureBox };

    static const std::vector<std::string>& TypeOptions();  // "P", "D", "S", "Other"
    static constexpr int kOther = 3;
    // The colour bar of a type, 0xBBGGRR.
    static int TypeColor(const std::string& type);
    static constexpr const char* kPadNote = "The best fit:";
    static constexpr const char* kPadSize = "W=4, H=0.8 inches";

    // Fills the fields. A signature box marked for the pad while the form does not use
    // one shows a message.
    void Bind(Kind kind, int index);
    Kind GetKind() const { return kind_; }
    std::string KindName() const { return kind_ == Kind::Hotspot ? "Hotspot" : "Signature Box"; }
    std::string Title() const { return KindName() + " Properties"; }
    std::string MoveCaption() const { return "Move " + KindName(); }

    int typeOption = 0;
    std::string otherType;
    std::string Type() const;
    // Choosing a type applies at once.
    bool ChooseType(int option);
    bool signaturePad = false;
    bool PadGroupShown() const { return padGroupShown_; }

    bool Apply() override;
    void Delete() override;

  protected:
    Rect ItemRect() const override;
    void MoveItem(double dx, double dy) override;

  private:
    Kind kind_ = Kind::Hotspot;
    bool padGroupShown_ = false;
};
