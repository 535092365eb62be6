#pragma once
// The one place where the designer window opens its item dialogs. It holds the open
// ones, keeps the label dialog on the marked label, closes the dialogs of other kinds
// when one opens, and passes a change of the shared move step on to every open one
// (UpdateShift).
#include <QImage>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "canvas/CanvasEditor.h"
#include "dialogs/qt/FrmGrid.h"
#include "dialogs/qt/FrmItemProps.h"
#include "server/Requests.h"

class FrmLineProps;
class FrmLists;
class FrmProps;
class PropertiesDock;
class QWidget;
class UserInterface;

class ItemDialogs : public QObject {
    Q_OBJECT
  public:
    struct Context {
        QWidget* window = nullptr;
        CanvasModel* canvas = nullptr;
        CanvasEditor* editor = nullptr;
        FormModel* model = nullptr;
        const TextMetrics* metrics = nullptr;
        UserInterface* ui = nullptr;
        std::function<std::vector<requests::StaticItem>()> staticItems;
        std::function<void()> refresh;  // the canvas repaints
        GridHost* grid = nullptr;       // where the grid dialog builds
        // The page's background alone at dpi pixels per inch (null when none).
        std::function<QImage(int page, double dpi)> background;
    };
    explicit ItemDialogs(Context context);
    ~ItemDialogs() override;

    // The label properties dialog bound to a label (close-on-apply as asked).
    void OpenLabelProperties(int label, bool closeOnApply = false);
    // The same dialog on the template label: the default text properties.
    void OpenTemplateProperties();
    void OpenBoxProperties(int box);
    void OpenShapeProperties(ShapePropsLogic::Kind kind, int index);
    void OpenImageProperties(int image);
    void OpenBarcodeProperties(int label);
    // The dialog of whatever the hit stands for.
    bool Open(const CanvasModel::Hit& item);
    // "Show Properties": the dialog of the marked label, picture or shape; false when
    // nothing is marked.
    bool OpenMarked();
    // "Insert Grid" on the area drawn with the grid tool, in the template's format.
    FrmGrid* OpenGrid(const Rect& area);
    // A line's properties, shown beside the canvas and kept until closed.
    FrmLineProps* OpenLineProps();
    // "Fill from List": the list picker in fill mode over the selection, or over the
    // labels carrying the tag (a grid's cells) when one is given.
    void OpenFillFromList(const std::string& tag = {});
    // One code of the form's lists for a property dialog, "" when none was chosen.
    std::string PickOneValue();
    // A plain or Shift click marked a label: its dialog shows it beside the page.
    void FollowLabel(int label);
    // The dialogs whose item is not of this kind close (all with Hit::None).
    void CloseOthers(CanvasModel::Hit::Kind keep);
    void CloseAll() { CloseOthers(CanvasModel::Hit::None); }
    // The form was put back to an earlier state: every item dialog closes (the state
    // read back may number its items differently).
    void Reload();
    // Every open item dialog shows the stored shared shift.
    void UpdateShift();

    // The open label dialog, or null.
    FrmProps* LabelProperties() const;
    FrmLists* Lists() const;
    FrmGrid* Grid() const { return grid_; }
    FrmBoxProps* Box() const { return box_; }
    FrmShapeProps* Shape() const { return shape_; }
    FrmImageProps* Image() const { return image_; }
    FrmBarcodeImageProps* Barcode() const { return barcode_; }
    // Where the label, box, shape, image and barcode dialogs show (null when the window
    // is no main window: then they float).
    PropertiesDock* Dock() const { return dock_; }

  private:
    FrmProps* Props();
    // Whether a fill goes ahead: there are entries and labels to fill, and a label bound
    // to a data field or prompt is replaced only after a Yes.
    bool ConfirmFill(const std::vector<std::string>& entries, int order, const std::string& tag);
    // Docked dialogs show beside the page; the others float above the window.
    void Present(QDialog* dialog, bool docked = true);
    Context c_;
    PropertiesDock* dock_ = nullptr;
    ItemContext items_;
    std::unique_ptr<OneValuePicker> picker_;
    QPointer<FrmProps> props_;
    QPointer<FrmLists> lists_;
    QPointer<FrmBoxProps> box_;
    QPointer<FrmShapeProps> shape_;
    QPointer<FrmImageProps> image_;
    QPointer<FrmBarcodeImageProps> barcode_;
    QPointer<FrmGrid> grid_;
    std::vector<QPointer<FrmLineProps>> lines_;
};
