#pragma once
// What the pointer, the keys and the tool bar do to the canvas: the selection kept
// on the labels (a border = selected, tag "marked" = the one whose properties are
// shown), dragging, the group operations the property dialogs call, and the insert
// tools with their two-corner pick. No widgets: the window forwards events here.
#include <functional>
#include <string>
#include <vector>

#include "canvas/CanvasModel.h"

struct Marker {
    Rect r;
    bool visible = false;
};

class CanvasEditor {
  public:
    CanvasEditor(CanvasModel& canvas, FormModel& model, const TextMetrics& metrics);

    // What the window does for the editor: dialogs, file choice, pop-ups.
    struct Hooks {
        std::function<void(int label)> showLabelProperties;
        std::function<void(CanvasModel::Hit item)> showItemProperties;
        std::function<void()> closeItemDialogs;
        std::function<std::string()> selectImageFile;  // "" = cancelled
        // Copies a chosen picture into the images folder; its path there, or "" when
        // it cannot be kept (then no image is made).
        std::function<std::string(const std::string& path, const std::string& name)> keepImageFile;
        std::function<void(const Rect&)> openGridDialog;  // the grid area dialog
    };
    Hooks& GetHooks() { return hooks_; }

    // Labels that take part in selection: visible, index above 0, not a companion
    // label of a barcode or shape.
    bool IsOrdinaryLabel(int index) const;
    bool IsSelected(int index) const;
    int MarkedLabel() const;  // -1 when none
    std::vector<int> SelectedLabels() const;

    void MarkOneLabel(int index);
    void UnselectAll();
    // A page change: the markers, guide lines and grid frame go to that page, hidden.
    void MoveSupplementaryControls(int page);
    // "Clear Selection": markers hidden, corner-pick ended, nothing selected.
    void ClearSelection();

    // Left button on a label (x, y: the pointer in inches). True when a drag began.
    bool PressLabel(int index, double x, double y, bool shift, bool ctrl);
    // Right button on a label: it becomes marked and the only selected label; the
    // item a companion label stands for is marked. Returns what the menu acts on.
    CanvasModel::Hit RightPressLabel(int index);
    // The item a companion or barcode label stands for (None for other labels).
    CanvasModel::Hit ItemOfLabel(int index) const;
    // The pop-up's "Delete" on one item: that item alone goes (a label; a barcode
    // label with its picture; a picture; a shape with its companion label).
    void DeleteItem(const CanvasModel::Hit& item);
    // Left button on a picture or shape; true when a drag began.
    bool PressItem(const CanvasModel::Hit& item, double x, double y, bool shift, bool ctrl);
    // Drop of the dragged control at (x, y) on its page.
    void Drop(double x, double y);
    bool Dragging() const { return drag_.active; }
    void CancelDrag() { drag_ = {}; }
    // The press ended where it began: a click. A plain click on a member of the
    // selection leaves that label the only one selected.
    void ReleaseWithoutMove();
    // Where a drop at (x, y) would put the dragged control, or every label of a
    // dragged selection (for the drag outlines).
    std::vector<Rect> DragPreview(double x, double y) const;

    // Group operations (inches).
    void MoveLabels(double dx, double dy, const std::string& tagFilter = {},
                    bool leaveOutMarked = false);
    void MoveLabel(int index, double dx, double dy);
    // Returns the number of copies.
    int PasteSelectedLabels(double dx, double dy, int page);
    void EvenSpaceSelected(bool horizontal, bool vertical);
    void AssignGridRow(int row);
    // The box dialog's group operations: on every live marked box but the one the
    // dialog is bound to.
    std::vector<int> SelectedBoxes(int boundBox = -1) const;
    void MoveBoxShapes(double dx, double dy, int boundBox = -1);
    // Returns the number of copies; they become the marked boxes.
    int PasteSelectedBoxes(double dx, double dy, int page, int boundBox = -1);
    // direction 0: horizontally, 1: vertically.
    void EvenSpaceBoxes(int direction, int boundBox = -1);
    void HideLabels(bool onlySelected, const std::string& tagFilter = {});
    void DeleteSelection();
    // Labels meeting the rectangle on the page become the selection.
    void SelectInRect(const Rect& r, int page, bool gridOnly);
    // Moves the selection and the marked pictures and shapes by a step (arrow keys).
    void MoveSelectionBy(double dx, double dy);
    // Edit > Arrange, on the selected labels and the marked pictures and shapes together:
    // edges and centres line up with the group's outermost ones; distributing keeps the
    // first and last in place (in order of position) with equal gaps between edges;
    // sizes follow the marked label, or else the first of the selection. Nothing
    // changes with fewer than two.
    enum class Arrange {
        Left,
        Right,
        Top,
        Bottom,
        Centres,  // one vertical line through every centre
        Middles,  // one horizontal line through every centre
        DistributeAcross,
        DistributeDown,
        SameWidth,
        SameHeight
    };
    void ArrangeSelection(Arrange how);
    // The rule alone: rects rearranged, rects[reference] giving the sizes.
    static void ArrangeRects(std::vector<Rect>& rects, Arrange how, size_t reference = 0);

    // Tool bar insert buttons (insert modes); pressing the pressed one again returns
    // to the label tool.
    void PressTool(int mode);
    int PressedTool() const { return pressedTool_; }
    // A click on empty canvas (no control under the pointer); ctrl and alt stand for
    // any other modifier held.
    void ClickCanvas(double x, double y, int page, bool left, bool shift, bool ctrl = false,
                     bool alt = false);
    // The pointer over the page canvas (corner markers and lines follow it).
    void MovePointer(double x, double y);

    // The item menu of a label: what a dropped label becomes.
    void ItemToStaticText(int index);
    void ItemToDataField(int index, const std::string& fieldName);
    struct PromptEntry {
        std::string caption;    // what the menu shows
        std::string reference;  // the prompt key without its "^"
        int promptNumber = 0;
        int record = -1;  // index in the prompts array
    };
    // Prompts of the form that no label uses yet.
    std::vector<PromptEntry> UserPromptEntries() const;
    // True when a visible label shows the prompt of key (without its "^"): its caption is
    // "^" + key alone or followed by a blank or "@".
    bool PromptOnForm(std::string_view key) const;
    void ItemToUserPrompt(int index, const PromptEntry& entry);

    // Fill from a list: one entry per label, the labels taken in the given order;
    // entries beyond the last label are left over, labels beyond the last entry keep
    // their captions. An entry beginning with "~" makes its label a database field,
    // any other a static text. The labels are those tagged tagFilter, or the
    // selection when it is empty. Orders: 0 index order; 1 rows then columns (top
    // to bottom, each row left to right); 2 columns then rows (left to right, each
    // column top to bottom). Labels whose tops (lefts) lie within kFillTolerance
    // inches of the first label of a row (column) belong to it. Returns the labels
    // filled.
    static constexpr double kFillTolerance = 0.05;
    // The labels a fill of `count` entries writes, in the order they take them.
    std::vector<int> FillTargets(size_t count, int order, const std::string& tagFilter) const;
    int FillLabels(const std::vector<std::string>& entries, int order,
                   const std::string& tagFilter = {});
    std::vector<int> FillOrder(std::vector<int> labels, int order) const;

    // The grid dialog's area drawn on the canvas: a frame with the corner markers.
    void ShowGridArea(const Rect& area);
    void HideGridArea();
    // The dialog's move buttons: the frame and its markers move, up to the page edge.
    void MoveGridArea(double dx, double dy);
    bool GridAreaVisible() const { return gridFrameVisible_; }
    const Rect& GridAreaFrame() const { return gridFrame_; }

    const Marker& TopMarker() const { return top_; }
    const Marker& BottomMarker() const { return bottom_; }
    bool GridOnly() const { return gridOnly_; }
    void SetGridOnly(bool on) { gridOnly_ = on; }
    // Snap: dropped items land with their corner on multiples of step inches (0: off).
    double SnapStep() const { return snap_; }
    void SetSnapStep(double step) { snap_ = step > 0 && step < 100 ? step : 0; }
    // A position on the snap grid (unchanged while snap is off).
    double Snapped(double inches) const;
    bool BoxBand() const { return boxBand_; }
    int LastInsertedLabel() const { return lastLabel_; }

  private:
    // What an editing operation may touch: labels, pictures and shapes, and the selection.
    static constexpr unsigned kEdited =
        CanvasChange::Labels | CanvasChange::Shapes | CanvasChange::Selection;

    struct Drag {
        bool active = false;
        CanvasModel::Hit item;  // Label: the selected labels move
        double grabX = 0, grabY = 0;
        double startLeft = 0, startTop = 0;
        bool rightAnchor = false;
        bool soleOnClick = false;  // a plain press on a member of the selection
    };
    void EndCornerPick();
    void CompleteCornerPick(int page);
    Rect PickedRect() const;
    std::vector<int> LabelsToMove(const std::string& tagFilter, bool leaveOutMarked) const;
    std::vector<Rect> LabelRects(const std::vector<int>& labels) const;
    // Limits the one displacement of a group so that none of its members leaves the
    // page; the members keep their places relative to each other.
    void ClampToPage(const std::vector<Rect>& rects, double& dx, double& dy) const;
    void ShiftLabels(const std::vector<int>& labels, double dx, double dy);
    // Pictures and shapes lose their marks, companion labels any border.
    void UnmarkShapes();
    Rect ItemRect(const CanvasModel::Hit& item) const;
    // New caption; auto-size when asked, and a right-aligned label keeps its right edge.
    void Recaption(int index, const std::string& caption, bool autoSize, double width = 0);
    void MoveItem(const CanvasModel::Hit& item, double dx, double dy);
    void MarkItem(const CanvasModel::Hit& item);
    // The label's record for a new kind of item.
    FormItem& NewItemKind(int index, ItemKind kind);

    CanvasModel& canvas_;
    FormModel& model_;
    const TextMetrics& metrics_;
    Hooks hooks_;
    Drag drag_;
    Marker top_, bottom_;
    Rect gridFrame_;
    bool gridFrameVisible_ = false;
    int pressedTool_ = -1;
    int pickPage_ = 0;
    int pickLine_ = -1;
    bool gridOnly_ = false;
    double snap_ = 0;
    bool boxBand_ = false;
    int lastLabel_ = -1;
};
