#pragma once
// The grid dialog `frmGrid` ("Insert Grid"), beside the canvas: the area drawn with the
// grid tool, rows and columns, the cell format, line detection on the page's
// background, and the column and area buttons. GridLogic does the work.
#include <QDialog>
#include <QImage>
#include <functional>

#include "dialogs/GridLogic.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class FrmGrid : public QDialog {
    Q_OBJECT
  public:
    struct Wiring {
        std::function<void()> shiftChanged;
        std::function<void(const std::string& tag)> fillFromList;
        // The page's background alone at dpi pixels per inch; null when there is none.
        std::function<QImage(int page, double dpi)> background;
    };
    FrmGrid(CanvasModel& canvas, FormModel& model, UserInterface& ui, Wiring wiring,
            QWidget* parent = nullptr);

    void ParentForm(GridHost& host) { logic_.ParentForm(host); }
    void SetLabelRef(int label);
    void SetRect(const Rect& r);
    void UpdateShift();
    GridLogic& Logic() { return logic_; }

    // Pixels per inch at which the background is read for line detection.
    static constexpr double kDetectionDpi = 200;

    QLineEdit* Field(const QString& caption) const;  // by its caption, e.g. "Rows"
    QPushButton* Button(const QString& caption) const;
    QCheckBox* Check(const QString& caption) const;
    QRadioButton* Option(const QString& caption) const;
    QPushButton* MoveButton(GridLogic::Move m) const { return move_[int(m)]; }

  protected:
    void closeEvent(QCloseEvent* e) override;
    bool event(QEvent* e) override;

  private:
    void Read();
    void Show();
    void Run(const std::function<bool()>& action);
    GridLogic logic_;
    Wiring wiring_;
    QLineEdit *txtLeft_, *txtRight_, *txtTop_, *txtBottom_, *txtRows_, *txtColumns_, *txtGridNo_,
        *txtColumnsInRow_, *txtColumn_, *txtHStep_, *txtVStep_;
    QCheckBox *chkSnap_, *chkFill_, *chkBold_, *chkItalic_, *chkAutosize_, *chkDataGrid_;
    QRadioButton *optOver_, *optUnder_, *optBoth_, *optAlign_[3];
    QLabel *lblFontName_, *lblFontSize_;
    QPushButton* move_[8];
};
