#pragma once
// What the label properties dialog `frmProps` does, apart from its window: bound to
// one label of the canvas (or to the template label 0, the default text), it shows
// the label in fields, writes them back on "Apply", and runs the canvas's group
// operations on the selection with the shared step.
#include <functional>
#include <string>

#include "canvas/CanvasEditor.h"
#include "canvas/CanvasModel.h"

class UserInterface;

class LabelPropsLogic {
  public:
    // Called after the shared step changed, so every open item dialog shows it.
    using ShiftChanged = std::function<void()>;
    LabelPropsLogic(CanvasModel& canvas, CanvasEditor& editor, FormModel& model,
                    const TextMetrics& metrics, UserInterface& ui, ShiftChanged shiftChanged = {});

    static constexpr const char* kPreviewCaption = "here is the label";
    static constexpr const char* kCaseCodes = "NULW";
    static const char* CaseTip(int option);  // option 0..3 as kCaseCodes
    // The eleven "Apply to group" buttons: caption and tip (index 7 follows "Auto size").
    std::string GroupCaption(int index) const;
    std::string GroupTip(int index) const;

    // Binds the dialog to a label and fills every field from it.
    void SetLabelRef(int index, bool closeOnApply);
    int CurrentLabelIndx() const { return label_; }
    bool IsTemplate() const { return label_ == 0; }
    bool CloseOnApply() const { return closeOnApply_; }
    // The label still exists and shows (a deleted label closes the dialog).
    bool Bound() const;
    // The step fields from the stored shared shift.
    void UpdateShift();

    // Texts the form shows.
    std::string Title() const { return IsTemplate() ? "Default Text Properties" : "Properties"; }
    std::string LabelName() const;
    std::string TypeText() const;
    bool IsTextBox() const { return staticText.rfind("%T", 0) == 0; }
    bool AutoSizeEnabled() const { return !IsTextBox(); }
    std::string MoreCaption() const { return groupPanel ? "Close  << " : "More  >> "; }
    std::string AdjustCaption() const {
        return rowsPanel ? "Adjust Height/Rows  <<" : "Adjust Height/Rows >>";
    }
    // The link value beside "Link Data" (18 dots when none).
    std::string LinkShown() const { return linkData.empty() ? std::string(18, '.') : linkData; }
    bool Changed() const { return changed_; }

    // Fields, as the user typed them.
    std::string staticText;
    std::string left, right, top, width, height;
    std::string charsWide, linesTall;  // "Mult."
    std::string rows, rowsHeight;      // the "Multiline Textbox" panel
    std::string gridRow = "1";
    std::string hSpacing, vSpacing;
    std::string linkData;
    bool autoSize = false;
    bool multiline = false;
    bool visualizeRows = false;
    bool rowsPanel = false, groupPanel = false;
    int caseOption = 0;  // position in kCaseCodes
    LabelAlignment alignment = LabelAlignment::Left;
    // What the preview shows: font, alignment, caption and size.
    LabelControl preview;

    // The static text changed: the preview, the type and what it offers follow.
    void SetStaticText(const std::string& text);
    void SetAutoSize(bool on);
    void SetFont(const std::string& name, double size, bool bold, bool italic);
    void SetAlignment(LabelAlignment a) { alignment = preview.alignment = a; }
    void ToggleGroupPanel() { groupPanel = !groupPanel; }
    void ToggleRowsPanel();

    // "Apply": true when the dialog closes afterwards. A field that cannot be taken
    // is reported, shows its previous value again and nothing is written.
    bool Apply();
    // "Apply to group" button 0..10 on every selected label.
    void ApplyToGroup(int index);
    // Arrow buttons 0..3 (up, down, left, right) and "Move".
    void Arrow(int direction);
    void MoveBoth();
    // Up-down counters 0..4 (left, top, right, width, height).
    void Counter(int counter, bool up);
    void Paste();
    void CopyGridRow();  // "gr row"
    void MakeGridRow();  // "make it a grid row #"
    void EvenSpace(bool horizontal);
    // "Delete" of the group panel; true when the bound label went with the selection.
    bool DeleteSelected();
    void AutoSizeSelected(bool on);
    // "Delete": hides the bound label (the dialog then closes).
    void DeleteLabel();
    // "Link Data": asks for the new value.
    void EditLinkData();
    // "Apply" of the rows panel.
    void ApplyRows();
    // "Cancel" and the close box: the row lines leave the canvas.
    void Close();

    // A caption without row lines (forms saved by an earlier version carry them).
    static std::string WithoutRows(const std::string& caption);

  private:
    enum Need { kLeft = 1, kRight = 2, kTop = 4, kWidth = 8, kHeight = 16 };
    // Reads the fields named by need; on a bad one reports it, restores it and
    // gives false.
    bool ReadFields(int need, double& l, double& r, double& t, double& w, double& h);
    bool ReadShift(double& h, double& v);
    std::string CaseValue() const;
    void Rebind() { SetLabelRef(label_, closeOnApply_); }
    void WriteFont(LabelControl& c) const;
    void FitHeight(LabelControl& c) const;
    LabelControl* Bound(int index);
    // The rows panel's fields from a text box's caption.
    void ReadRows(double labelHeight);
    // The bound label's row lines leave the canvas.
    void HideRows();

    CanvasModel& canvas_;
    CanvasEditor& editor_;
    FormModel& model_;
    const TextMetrics& metrics_;
    UserInterface& ui_;
    ShiftChanged shiftChanged_;
    int label_ = -1;
    bool closeOnApply_ = false;
    bool changed_ = false;
};
