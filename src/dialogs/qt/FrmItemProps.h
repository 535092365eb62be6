#pragma once
// The forms of the item dialogs: boxes, hotspots and signature boxes, images and
// barcodes. The part they share (position fields, move group with its step fields,
// counters, "Apply" and "Delete") is built once by FrmItemProps.
#include <QDialog>
#include <map>

#include "dialogs/BoxPropsLogic.h"
#include "dialogs/PicturePropsLogic.h"
#include "dialogs/ShapePropsLogic.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

class FrmItemProps : public QDialog {
    Q_OBJECT
  public:
    // The step fields show the shared shift.
    void UpdateShift();
    QLineEdit* Field(const char* caption) const;  // "Left", "Top", "Width", "Height"
    QLineEdit* HorizontalStepField() const { return txtHStep_; }
    QLineEdit* VerticalStepField() const { return txtVStep_; }
    QPushButton* StepButton(ItemPropsLogic::Step step) const { return steps_.at(step); }
    QPushButton* ApplyButton() const { return cmdApply_; }
    QPushButton* DeleteButton() const { return cmdDelete_; }
    QPushButton* CloseButton() const { return cmdClose_; }
    QGroupBox* MoveGroup() const { return move_; }
    ItemPropsLogic& Logic() { return logic_; }

  protected:
    FrmItemProps(ItemPropsLogic& logic, const char* widthCaption, QWidget* parent);
    bool event(QEvent* e) override;
    // Fields to the logic and back.
    virtual void Read();
    virtual void Show();
    void Run(const std::function<bool()>& action);
    QVBoxLayout* Body() const { return body_; }
    QLineEdit* txtName_;

  private:
    ItemPropsLogic& logic_;
    std::map<std::string, QLineEdit*> fields_;
    std::map<ItemPropsLogic::Step, QPushButton*> steps_;
    QLineEdit *txtHStep_, *txtVStep_;
    QPushButton *cmdApply_, *cmdDelete_, *cmdClose_;
    QGroupBox* move_;
    QVBoxLayout* body_;
};

class FrmBoxProps : public FrmItemProps {
    Q_OBJECT
  public:
    FrmBoxProps(ItemContext& context, QWidget* parent = nullptr);
    void Bind(int box);
    BoxPropsLogic& Box() { return logic_; }
    QComboBox* BorderWidthList() const { return cmbWidth_; }
    QComboBox* StyleList() const { return cmbStyle_; }
    QCheckBox* HideInPreviewBox() const { return chkHide_; }
    QPushButton* GroupButton(int index) const { return group_[index]; }
    QPushButton* MoreButton() const { return cmdMore_; }
    QPushButton* PasteButton() const { return cmdPaste_; }
    QPushButton* EvenButton(int direction) const { return cmdEven_[direction]; }
    QWidget* GroupPanel() const { return groupPanel_; }

  protected:
    void Read() override;
    void Show() override;

  private:
    void ShowColor();
    BoxPropsLogic logic_;
    QComboBox *cmbWidth_, *cmbStyle_;
    QCheckBox* chkHide_;
    QLabel *swatch_, *preview_;
    QPushButton* group_[10];
    QPushButton *cmdMore_, *cmdPaste_, *cmdEven_[2];
    QWidget* groupPanel_;
};

class FrmShapeProps : public FrmItemProps {
    Q_OBJECT
  public:
    FrmShapeProps(ItemContext& context, QWidget* parent = nullptr);
    void Bind(ShapePropsLogic::Kind kind, int index);
    ShapePropsLogic& Shape() { return logic_; }
    QRadioButton* TypeOption(int i) const { return optType_[i]; }
    QLineEdit* OtherTypeField() const { return txtOther_; }
    QLabel* TypeBar() const { return typeBar_; }
    QCheckBox* SignaturePadBox() const { return chkPad_; }
    QGroupBox* TypeGroup() const { return typeGroup_; }
    QGroupBox* PadGroup() const { return padGroup_; }

  protected:
    void Read() override;
    void Show() override;

  private:
    ShapePropsLogic logic_;
    QRadioButton* optType_[4];
    QLineEdit* txtOther_;
    QLabel* typeBar_;
    QCheckBox* chkPad_;
    QGroupBox *typeGroup_, *padGroup_;
    bool showing_ = false;
};

class FrmImageProps : public FrmItemProps {
    Q_OBJECT
  public:
    FrmImageProps(ItemContext& context, QWidget* parent = nullptr);
    void Bind(int image);
    ImagePropsLogic& Image() { return logic_; }
    QLabel* SizeLabel() const { return lblSize_; }
    QLineEdit* LinkField() const { return txtLink_; }

  protected:
    void Read() override;
    void Show() override;

  private:
    ImagePropsLogic logic_;
    QLabel *lblSize_, *lblSource_;
    QLineEdit* txtLink_;
};

class FrmBarcodeImageProps : public FrmItemProps {
    Q_OBJECT
  public:
    FrmBarcodeImageProps(ItemContext& context, OneValuePicker& picker, QWidget* parent = nullptr);
    void Bind(int label);
    BarcodePropsLogic& Barcode() { return logic_; }
    QLineEdit* TextField() const { return txtText_; }
    QPushButton* ListButton() const { return cmdList_; }

  protected:
    void Read() override;
    void Show() override;

  private:
    BarcodePropsLogic logic_;
    OneValuePicker& picker_;
    QLineEdit* txtText_;
    QLabel* lblPreview_;
    QPushButton* cmdList_;
};
