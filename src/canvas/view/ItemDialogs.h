#pragma once
// The one place where the designer window opens its item dialogs: it holds the open
// ones, keeps the label dialog on the marked label, and fans the shared step out to
// every open dialog (UpdateShift).
#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "canvas/CanvasEditor.h"
#include "server/Requests.h"

class FrmLists;
class FrmProps;
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
    };
    explicit ItemDialogs(Context context);
    ~ItemDialogs() override;

    // The label properties dialog bound to a label (close-on-apply as asked).
    void OpenLabelProperties(int label, bool closeOnApply = false);
    // The same dialog on the template label: the default text properties.
    void OpenTemplateProperties();
    // "Fill from List": the list picker in fill mode over the selection, or over the
    // labels carrying the tag (a grid's cells) when one is given.
    void OpenFillFromList(const std::string& tag = {});
    // One code of the form's lists for a property dialog, "" when none was chosen.
    std::string PickOneValue();
    // A click made another label the marked one: an open label dialog follows it.
    void FollowLabel(int label);
    // Every open item dialog shows the stored shared shift.
    void UpdateShift();
    void CloseAll();
    // The open label dialog, or null.
    FrmProps* LabelProperties() const;
    FrmLists* Lists() const { return lists_; }

  private:
    FrmProps* Props();
    Context c_;
    FrmProps* props_ = nullptr;
    FrmLists* lists_ = nullptr;
};
