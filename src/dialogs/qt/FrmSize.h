#pragma once
// The form settings dialog ("Form Setup"): page size and orientation, number of pages,
// print adjustments, printed-box appearance and the form's flags.
#include <QDialog>
#include <functional>

#include "dialogs/FormSizeLogic.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class FormSizeHost;
class UserInterface;

class FrmSize : public QDialog {
    Q_OBJECT
  public:
    // Opens the system colour dialog preset to bgr; false when cancelled.
    using ColourChooser = std::function<bool(int& bgr)>;

    FrmSize(FormSettings& settings, FormSizeHost& host, UserInterface& ui,
            QWidget* parent = nullptr);

    // Fills the fields for the current page size and runs modally.
    void ShowFormSettingsDialog(double width, double height);
    // Fills the fields without running (the window can then be shown or driven).
    void Prepare(double width, double height);
    bool Cancelled() const { return logic_.Cancelled(); }
    float FormWidthValue() const { return logic_.FormWidthValue(); }
    float FormHeightValue() const { return logic_.FormHeightValue(); }

    // The page-setup command: runs the dialog and, when accepted, stores the page size
    // and resizes the pages through host. True when accepted.
    static bool RunPageSetup(FormSettings& settings, FormSizeHost& host, UserInterface& ui,
                             QWidget* parent, double width, double height);

    void SetColourChooser(ColourChooser chooser) { chooseColour_ = std::move(chooser); }

    QTabWidget* Tabs() const { return tabs_; }
    QLineEdit* WidthField() const { return txtWidth_; }
    QLineEdit* HeightField() const { return txtHeight_; }
    QLineEdit* HorizontalShiftField() const { return txtHShift_; }
    QLineEdit* VerticalShiftField() const { return txtVShift_; }
    QLineEdit* PagesField() const { return txtPages_; }
    QRadioButton* LandscapeOption() const { return optLandscape_; }
    QRadioButton* PortraitOption() const { return optPortrait_; }
    QCheckBox* InteractiveBox() const { return chkInteractive_; }
    QCheckBox* PostingBox() const { return chkPosting_; }
    QCheckBox* SingleRecordBox() const { return chkSingleRecord_; }
    QCheckBox* SignpadBox() const { return chkSignpad_; }
    QCheckBox* OpenLastBox() const { return chkOpenLast_; }
    QCheckBox* LookupPCBox() const { return chkLookupPC_; }
    QCheckBox* LookupDGBox() const { return chkLookupDG_; }
    QCheckBox* ObgynBox() const { return chkOBGYN_; }
    QCheckBox* SaveImageBox() const { return chkSaveImage_; }
    QCheckBox* DataGridBox() const { return chkDataGrid_; }
    QLabel* ObgynNote() const { return lblObgynNote_; }
    QCheckBox* StatementBox() const { return chkIsStatement_; }
    QPlainTextEdit* TagField() const { return txtTags_; }
    QRadioButton* BorderYes() const { return optBorderYes_; }
    QRadioButton* BorderNo() const { return optBorderNo_; }
    QRadioButton* ShadedYes() const { return optShadedYes_; }
    QRadioButton* ShadedNo() const { return optShadedNo_; }
    QLabel* BorderSwatch() const { return picBorderColor_; }
    QLabel* ShadeSwatch() const { return picShadeColor_; }
    QPushButton* BorderColourButton() const { return cmdBorderColor_; }
    QPushButton* ShadeColourButton() const { return cmdShadeColor_; }
    QPushButton* OkButton() const { return cmdOK_; }
    QPushButton* CancelButton() const { return cmdCancel_; }

  protected:
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ShowValues();
    void ShowStates();
    void ReadValues();
    void TypeBoxChanged(bool interactiveChanged);
    void PickColour(bool border);
    void PressOk();

    FormSizeHost& host_;
    UserInterface& ui_;
    FormSizeLogic logic_;
    ColourChooser chooseColour_;
    bool filling_ = false;

    QTabWidget* tabs_;
    QLineEdit *txtWidth_, *txtHeight_, *txtPages_, *txtHShift_, *txtVShift_;
    QRadioButton *optLandscape_, *optPortrait_;
    QCheckBox *chkInteractive_, *chkPosting_, *chkSingleRecord_, *chkSignpad_, *chkOpenLast_,
        *chkLookupPC_, *chkLookupDG_, *chkOBGYN_, *chkSaveImage_, *chkDataGrid_, *chkIsStatement_;
    QLabel* lblObgynNote_;
    QPlainTextEdit* txtTags_;
    QRadioButton *optBorderYes_, *optBorderNo_, *optShadedYes_, *optShadedNo_;
    QLabel *picBorderColor_, *picShadeColor_;
    QPushButton *cmdBorderColor_, *cmdShadeColor_, *cmdOK_, *cmdCancel_;
};
