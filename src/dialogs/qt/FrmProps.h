#pragma once
// The label properties dialog `frmProps`: a modeless window over LabelPropsLogic.
// Bound to one label (or to the template, as "Default Text Properties"); every
// press hands the fields to the logic and shows what came back.
#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "dialogs/LabelPropsLogic.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class FrmProps : public QDialog {
    Q_OBJECT
  public:
    struct Wiring {
        std::function<void()> changed;         // the canvas repaints
        std::function<void()> shiftChanged;    // every open item dialog's UpdateShift
        std::function<std::string()> pickOne;  // the list picker's one value ("" = none)
    };
    FrmProps(CanvasModel& canvas, CanvasEditor& editor, FormModel& model,
             const TextMetrics& metrics, UserInterface& ui, Wiring wiring,
             QWidget* parent = nullptr);

    void SetLabelRef(int index, bool closeOnApply);
    int CurrentLabelIndx() const { return logic_->CurrentLabelIndx(); }
    void UpdateShift();
    LabelPropsLogic& Logic() { return *logic_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Load();   // logic -> widgets
    void Store();  // widgets -> logic
    // Runs an action with the fields handed over first and shown again after.
    void Act(const std::function<void()>& action);
    void ShowPreview();
    void Finish();  // the dialog closes

    std::unique_ptr<LabelPropsLogic> logic_;
    Wiring wiring_;
    bool loading_ = false;
    QLabel* lblName_ = nullptr;
    QLabel* lblType_ = nullptr;
    QLabel* lblChanged_ = nullptr;  // the static text holds changes not yet applied
    QLineEdit* txtStatic_ = nullptr;
    QPushButton* cmdList_ = nullptr;
    QLabel* lblPreview_ = nullptr;
    QWidget* position_ = nullptr;
    QLineEdit* txtPos_[5] = {};  // left, right, top, width, height
    QLabel* lblFontName_ = nullptr;
    QLabel* lblFontSize_ = nullptr;
    QLabel* lblBold_ = nullptr;
    QLabel* lblItalic_ = nullptr;
    QRadioButton* optAlign_[3] = {};  // L, R, C
    QCheckBox* chkAutoSize_ = nullptr;
    QRadioButton* optCase_[4] = {};
    QCheckBox* chkMult_ = nullptr;
    QLineEdit* txtCharsWide_ = nullptr;
    QLineEdit* txtLinesTall_ = nullptr;
    QPushButton* cmdAdjust_ = nullptr;
    QGroupBox* fraRows_ = nullptr;
    QLineEdit* txtRows_ = nullptr;
    QLineEdit* txtRowsHeight_ = nullptr;
    QCheckBox* chkVisualize_ = nullptr;
    QPushButton* cmdLink_ = nullptr;
    QLabel* lblLink_ = nullptr;
    QWidget* gridRow_ = nullptr;
    QLineEdit* txtGridRow_ = nullptr;
    QPushButton* cmdDelete_ = nullptr;
    QPushButton* cmdMore_ = nullptr;
    QGroupBox* fraGroup_ = nullptr;
    QPushButton* cmdGroup_[11] = {};
    QLineEdit* txtHSpacing_ = nullptr;
    QLineEdit* txtVSpacing_ = nullptr;
};
