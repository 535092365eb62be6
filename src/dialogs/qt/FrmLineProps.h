#pragma once
// The line properties dialog. It only shows the shared move step; its buttons do nothing.
#include <QDialog>

#include "dialogs/LinePropsLogic.h"

class QComboBox;
class QLineEdit;
class QPushButton;

class FrmLineProps : public QDialog {
    Q_OBJECT
  public:
    explicit FrmLineProps(const FormSettings& settings, QWidget* parent = nullptr);

    // Fills each empty step field with the stored shift of its direction.
    void UpdateShift();

    QLineEdit* LineNameField() const { return txtLineName_; }
    QLineEdit* LeftField() const { return txtLeft_; }
    QLineEdit* TopField() const { return txtTop_; }
    QLineEdit* WidthField() const { return txtWidth_; }
    QLineEdit* BorderWidthField() const { return txtBorderWidth_; }
    QComboBox* StyleList() const { return cmbStyle_; }
    QLineEdit* HorizontalStepField() const { return txtHStep_; }
    QLineEdit* VerticalStepField() const { return txtVStep_; }

  protected:
    bool event(QEvent* e) override;

  private:
    const FormSettings& settings_;
    LinePropsLogic logic_;
    QLineEdit *txtLineName_, *txtLeft_, *txtTop_, *txtWidth_, *txtBorderWidth_, *txtHStep_,
        *txtVStep_;
    QComboBox* cmbStyle_;
};
