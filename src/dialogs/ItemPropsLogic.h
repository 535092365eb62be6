#pragma once
// What the dialogs of boxes, hotspots, signature boxes, images and barcodes share:
// the four position fields, the two step fields of the shared move step and the
// arrow, "Move" and counter buttons. Each dialog is bound to one item by index and
// acts on the canvas records directly; it keeps no copy of the item.
#include <functional>
#include <string>

#include "canvas/CanvasEditor.h"
#include "canvas/CanvasModel.h"

class UserInterface;

// The designer window as the item dialogs see it.
struct ItemContext {
    CanvasModel& canvas;
    CanvasEditor& editor;
    FormModel& model;
    UserInterface& ui;
    const TextMetrics& metrics;
    std::function<void()> shiftChanged;  // every open item dialog shows the new step
    std::function<void()> changed;       // the canvas shows the new state
};

class ItemPropsLogic {
  public:
    enum class Step {
        Up,
        Down,
        Left,
        Right,
        Move,  // arrows and "Move"
        LeftDown,
        LeftUp,
        TopDown,
        TopUp,
        HeightDown,
        HeightUp,
        WidthDown,
        WidthUp  // counters
    };
    explicit ItemPropsLogic(ItemContext& context) : ctx_(context) {}
    virtual ~ItemPropsLogic() = default;

    // Fields as typed; positions and sizes in inches, shown "0.000".
    std::string name, left, top, width, height;
    std::string horizontalStep, verticalStep;

    int Index() const { return index_; }
    // The item was deleted: the dialog closes.
    bool Closed() const { return closed_; }

    // The step fields show the shared shift.
    void UpdateShift();
    // A step button: the step fields become the shared shift first. False when a field
    // was refused (a message was shown) and nothing changed.
    bool Press(Step step);
    // "Apply": the fields go to the item and its record. False when a field was refused.
    virtual bool Apply() = 0;
    // "Delete": the item goes and the dialog closes.
    virtual void Delete() = 0;
    // Asked before "Delete": true when the user agrees to lose the item.
    bool ConfirmDelete() const;

    // "0.000"
    static std::string Inches(double value);

  protected:
    virtual Rect ItemRect() const = 0;
    virtual void MoveItem(double dx, double dy) = 0;
    // Arrows and "Move"; a box moves its group instead.
    virtual void MoveByStep(double dx, double dy) { MoveItem(dx, dy); }
    // The step fields become the shared shift; false (with a message) when one is
    // refused (numberfields::ReadStep).
    bool StoreStep(double& h, double& v);
    void ShowRect(const Rect& r);
    // The four fields, the whole rectangle on the page (numberfields::ReadRect); a
    // refused field shows its previous value again.
    bool ReadRect(Rect& r);
    void Changed() const;

    ItemContext& ctx_;
    int index_ = -1;
    bool closed_ = false;
};
