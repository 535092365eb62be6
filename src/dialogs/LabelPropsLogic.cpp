#include "dialogs/LabelPropsLogic.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "dialogs/DialogText.h"
#include "dialogs/NumberFields.h"
#include "shell/TextUtils.h"
#include "shell/UserInterface.h"

namespace {
// The one-line height probe: a caption with the tallest and deepest letters.
const char* const kProbe = "WIIEJFKDkslkdjf";
// What an earlier version wrote into a text box's caption to show its rows.
const char* const kRowLine = "\nROW ";

// A whole number typed in a field, held within lo..hi (text that is no number reads 0).
int Whole(const std::string& field, int lo, int hi) {
    double v = text::Val(field);
    return std::isfinite(v) ? int(std::clamp(v, double(lo), double(hi))) : lo;
}

std::string Three(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3f", v);
    return buf;
}
}  // namespace

LabelPropsLogic::LabelPropsLogic(CanvasModel& canvas, CanvasEditor& editor, FormModel& model,
                                 const TextMetrics& metrics, UserInterface& ui,
                                 ShiftChanged shiftChanged)
    : canvas_(canvas),
      editor_(editor),
      model_(model),
      metrics_(metrics),
      ui_(ui),
      shiftChanged_(std::move(shiftChanged)) {
    UpdateShift();
}

const char* LabelPropsLogic::CaseTip(int option) {
    static const char* const tips[] = {"Do not uppercase or lowercase anything", "Uppercase all",
                                       "Lowercase all", "Words: uppercase each word"};
    return tips[std::clamp(option, 0, 3)];
}

std::string LabelPropsLogic::GroupCaption(int index) const {
    static const char* const captions[] = {"Font",         "Left",       "Top",         "Text",
                                           "Right",        "Left align", "Right align", "Width",
                                           "Center align", "Center",     "Case"};
    if (index == 7) return autoSize ? "Autosize" : "Width";
    return index >= 0 && index < 11 ? captions[index] : "";
}

std::string LabelPropsLogic::GroupTip(int index) const {
    if (index == 7) return "Apply Width to group or Autosize if checked";
    return "Apply " + GroupCaption(index) + " to group";
}

LabelControl* LabelPropsLogic::Bound(int index) {
    if (index < 0 || index >= canvas_.LabelCount()) return nullptr;
    return &canvas_.Label(index);
}

bool LabelPropsLogic::Bound() const {
    const LabelControl* c = canvas_.LabelAt(label_);
    return c && (label_ == 0 || c->visible);
}

void LabelPropsLogic::UpdateShift() {
    hSpacing = dialogtext::ShortNumber(model_.settings.horizontalShift);
    vSpacing = dialogtext::ShortNumber(model_.settings.verticalShift);
}

std::string LabelPropsLogic::LabelName() const {
    if (IsTemplate()) return "lblTemplate";
    return "lblF(" + std::to_string(label_) + ")";
}

std::string LabelPropsLogic::TypeText() const {
    if (staticText.rfind("%T", 0) == 0) return "Type: Text Box";
    if (staticText.rfind("%C", 0) == 0) return "Type: Check Box";
    return "Type: Static Label";
}

std::string LabelPropsLogic::WithoutRows(const std::string& caption) {
    size_t at = caption.find(kRowLine);
    return at == std::string::npos ? caption : caption.substr(0, at);
}

void LabelPropsLogic::SetLabelRef(int index, bool closeOnApply) {
    LabelControl* c = Bound(index);
    if (!c) return;
    if (index != label_) HideRows();
    c = Bound(index);
    label_ = index;
    closeOnApply_ = closeOnApply;
    preview = *c;
    preview.caption = WithoutRows(c->caption.str());
    alignment = c->alignment;
    staticText = preview.caption;
    left = Three(c->left);
    right = Three(c->left + c->width);
    top = Three(c->top);
    width = Three(c->width);
    height = Three(c->height);
    autoSize = c->autoSize && !IsTextBox();
    const FormItem* item = model_.ItemAt(index);
    linkData = item ? item->linkData.str() : std::string();
    auto linked = model_.linkedData.find(FormModel::LinkedDataKey(index));
    if (linkData.empty() && linked != model_.linkedData.end()) linkData = linked->second;
    // The data-field property: case code, then the multi-line width and lines.
    std::string code = text::SplitStr(c->spare, "#", 1);
    size_t pos = std::string(kCaseCodes).find(code.empty() ? 'N' : code[0]);
    if (code.size() > 1 || pos == std::string::npos) {
        ui_.Beep();
        pos = 0;
    }
    caseOption = int(pos);
    double wide = text::Val(text::SplitStr(c->spare, "#", 2));
    multiline = wide != 0;
    charsWide = multiline ? text::SplitStr(c->spare, "#", 2) : "";
    linesTall = multiline ? text::SplitStr(c->spare, "#", 3) : "";
    if (IsTextBox())
        ReadRows(c->height);
    else
        rowsPanel = false;
    changed_ = false;
}

void LabelPropsLogic::ReadRows(double labelHeight) {
    rows = std::to_string(std::max(1, Whole(text::SplitStr(staticText, "@", 5), 0, 99)));
    // The caption carries the box height too; a caption without it has the label's.
    double h = text::Val(text::SplitStr(staticText, "@", 4));
    rowsHeight = Three(h > 0 && std::isfinite(h) ? h : labelHeight);
}

void LabelPropsLogic::SetStaticText(const std::string& text) {
    const std::string typeBefore = TypeText();
    staticText = text;
    preview.caption = text;
    changed_ = true;
    // The type decides "Auto size" when it changes, not at every key: a fixed-width
    // label keeps its width while its text is typed.
    const bool typeChanged = TypeText() != typeBefore;
    const LabelControl* c = canvas_.LabelAt(label_);
    if (IsTextBox()) {
        autoSize = false;
        preview.autoSize = false;
        if (typeChanged && c) {
            // A box takes the label's own size, not what its first letters fitted to.
            preview.width = c->width;
            width = Three(c->width);
        }
        ReadRows(c ? c->height : preview.height);
    } else {
        rowsPanel = false;
        if (typeChanged) SetAutoSize(true);
    }
    if (preview.autoSize) SetAutoSize(true);
}

void LabelPropsLogic::SetAutoSize(bool on) {
    autoSize = on;
    preview.autoSize = on;
    if (on) {
        FitLabelToCaption(preview, metrics_);
        width = Three(preview.width);
        height = Three(preview.height);
    } else {
        // Back to one line of the preview's font: what the probe caption takes.
        LabelControl probe = preview;
        probe.caption = kProbe;
        FitLabelToCaption(probe, metrics_);
        preview.height = probe.height;
        height = Three(preview.height);
    }
}

void LabelPropsLogic::SetFont(const std::string& name, double size, bool bold, bool italic) {
    preview.fontName = name;
    preview.fontSize = size;
    preview.bold = bold;
    preview.italic = italic;
    if (preview.autoSize) SetAutoSize(true);
}

void LabelPropsLogic::ToggleRowsPanel() {
    rowsPanel = IsTextBox() && !rowsPanel;
    if (rowsPanel && (rows.empty() || text::Val(rows) <= 0)) rows = "1";
}

bool LabelPropsLogic::ReadFields(int need, double& l, double& r, double& t, double& w, double& h) {
    const LabelControl* c = canvas_.LabelAt(label_);
    if (!c) return false;
    using numberfields::Read;
    const double pw = canvas_.PageWidth(), ph = canvas_.PageHeight();
    // The size the label will have: as typed, or what its caption takes when it sizes
    // itself; the whole label lies on the page.
    w = c->width;
    h = c->height;
    if (autoSize) {
        LabelControl fit = *c;
        WriteFont(fit);
        fit.caption = staticText;
        FitLabelToCaption(fit, metrics_);
        w = fit.width;
        h = fit.height;
    }
    if ((need & kWidth) && !Read(width, "Width", numberfields::kSmallestSize, pw, c->width, ui_, w))
        return false;
    if ((need & kHeight) &&
        !Read(height, "Height", numberfields::kSmallestSize, ph, c->height, ui_, h))
        return false;
    const double lw = std::min(w, pw), lh = std::min(h, ph);
    return (!(need & kLeft) || Read(left, "Left", 0, pw - lw, c->left, ui_, l)) &&
           (!(need & kRight) || Read(right, "Right", lw, pw, c->left + c->width, ui_, r)) &&
           (!(need & kTop) || Read(top, "Top", 0, ph - lh, c->top, ui_, t));
}

bool LabelPropsLogic::ReadShift(double& h, double& v) {
    // Every step press stores the pair as the shared shift first.
    if (!numberfields::ReadStep(hSpacing, vSpacing, model_.settings, ui_, h, v)) return false;
    if (shiftChanged_) shiftChanged_();
    return true;
}

std::string LabelPropsLogic::CaseValue() const {
    std::string code = caseOption > 0 ? std::string(1, kCaseCodes[caseOption]) : "";
    if (!multiline) return code;
    int wide = Whole(charsWide, 0, 9999), lines = Whole(linesTall, 0, 9999);
    if (wide == 0) return code;  // a zero width is no multi-line text
    return (code.empty() ? "N" : code) + "#" + std::to_string(wide) + "#" + std::to_string(lines);
}

void LabelPropsLogic::WriteFont(LabelControl& c) const {
    c.fontName = preview.fontName;
    c.fontSize = preview.fontSize;
    c.bold = preview.bold;
    c.italic = preview.italic;
}

void LabelPropsLogic::FitHeight(LabelControl& c) const {
    if (c.autoSize) {
        FitLabelToCaption(c, metrics_);
    } else {
        LabelControl probe = c;
        probe.caption = kProbe;
        FitLabelToCaption(probe, metrics_);
        c.height = probe.height;
    }
}

bool LabelPropsLogic::Apply() {
    LabelControl* c = Bound(label_);
    if (!c) return false;
    double l = 0, r = 0, t = 0, w = 0, h = 0;
    int need = IsTemplate() || autoSize ? 0 : kWidth | kHeight;
    if (!IsTemplate()) need |= (alignment == LabelAlignment::Right ? kRight : kLeft) | kTop;
    if (!ReadFields(need, l, r, t, w, h)) return false;
    preview.caption = staticText;
    WriteFont(*c);
    c->alignment = alignment;
    c->autoSize = autoSize;
    c->caption = preview.caption;
    // The row lines are drawn beside the caption, never written into it.
    int rowCount = Whole(rows, 0, 99);
    c->shownRows = visualizeRows && IsTextBox() && rowCount >= 2 ? std::uint8_t(rowCount) : 0;
    if (!IsTemplate()) {
        if (autoSize) {
            FitLabelToCaption(*c, metrics_);
        } else {
            c->width = w;
            c->height = h;
        }
        // A right-aligned label keeps its right edge on "Right".
        c->left = alignment == LabelAlignment::Right ? std::max(0.0, r - c->width) : l;
        c->top = t;
    } else if (autoSize) {
        FitLabelToCaption(*c, metrics_);
    }
    c->spare = CaseValue();
    Rebind();
    return closeOnApply_;
}

void LabelPropsLogic::ApplyToGroup(int index) {
    double l = 0, r = 0, t = 0, w = 0, h = 0;
    static const int needs[11] = {0, kLeft, kTop, 0, kRight, 0, 0, 0, 0, kLeft | kRight, 0};
    int need = index >= 0 && index < 11 ? needs[index] : 0;
    if (index == 7 && !autoSize) need = kWidth;
    if (!ReadFields(need, l, r, t, w, h)) return;
    for (int i : editor_.SelectedLabels()) {
        LabelControl& c = canvas_.Label(i);
        switch (index) {
            case 0:
                WriteFont(c);
                FitHeight(c);
                break;
            case 1:
                c.left = l;
                break;
            case 2:
                c.top = t;
                break;
            case 3:
                c.caption = staticText;
                if (c.autoSize) FitLabelToCaption(c, metrics_);
                break;
            case 4:
                c.left = std::max(0.0, r - c.width);
                break;
            case 5:
                c.alignment = LabelAlignment::Left;
                break;
            case 6:
                c.alignment = LabelAlignment::Right;
                break;
            case 7:
                c.autoSize = autoSize;
                if (autoSize)
                    FitLabelToCaption(c, metrics_);
                else
                    c.width = w;
                break;
            case 8:
                c.alignment = LabelAlignment::Centre;
                break;
            case 9:
                c.left = std::max(0.0, (l + r) / 2 - c.width / 2);
                break;
            case 10:
                c.spare = CaseValue();
                break;
            default:
                break;
        }
        // The fields were taken for the bound label; the others stay on the page too.
        if (index == 1 || index == 2 || index == 4 || index == 7 || index == 9) {
            c.left = std::clamp(c.left, 0.0, std::max(0.0, canvas_.PageWidth() - c.width));
            c.top = std::clamp(c.top, 0.0, std::max(0.0, canvas_.PageHeight() - c.height));
        }
    }
    Rebind();
}

void LabelPropsLogic::Arrow(int direction) {
    double h = 0, v = 0;
    if (!ReadShift(h, v)) return;
    const double dx[4] = {0, 0, -h, h}, dy[4] = {-v, v, 0, 0};
    int d = std::clamp(direction, 0, 3);
    editor_.MoveLabels(dx[d], dy[d]);
    Rebind();
}

void LabelPropsLogic::MoveBoth() {
    double h = 0, v = 0;
    if (!ReadShift(h, v)) return;
    editor_.MoveLabels(h, v);
    Rebind();
}

void LabelPropsLogic::Counter(int counter, bool up) {
    double h = 0, v = 0;
    if (!ReadShift(h, v)) return;
    const double sign = up ? 1 : -1;
    switch (counter) {
        case 0:
        case 2:
            editor_.MoveLabels(sign * h, 0);
            break;
        case 1:
            editor_.MoveLabels(0, sign * v);
            break;
        case 3:
        case 4: {
            std::string& field = counter == 3 ? width : height;
            double now = text::Val(field) + sign * (counter == 3 ? h : v);
            if (now <= 0) return;  // never below nothing
            field = Three(now);
            if (counter == 4 && IsTextBox()) {
                rowsHeight = field;
                ApplyRows();
            }
            Apply();
            return;
        }
        default:
            return;
    }
    Rebind();
}

void LabelPropsLogic::Paste() {
    double h = 0, v = 0;
    if (!ReadShift(h, v)) return;
    // The canvas binds the dialog to the marked label's copy; a copy never shows rows.
    HideRows();
    editor_.PasteSelectedLabels(h, v, canvas_.Window().currentPage);
    if (Bound()) Rebind();
}

void LabelPropsLogic::CopyGridRow() {
    double h = 0, v = 0;
    if (!ReadShift(h, v)) return;
    HideRows();
    editor_.PasteSelectedLabels(h, v, canvas_.Window().currentPage);
    int row = Whole(gridRow, 0, 999999) + 1;
    gridRow = std::to_string(row);
    editor_.AssignGridRow(row);
    if (Bound()) Rebind();
}

void LabelPropsLogic::MakeGridRow() {
    double row = text::Val(gridRow);
    if (!dialogtext::IsNumeric(gridRow) || row < 1 || row > 1e6) {
        ui_.Message("Please enter a grid row number from 1.", "make it a grid row #",
                    MessageIcon::Warning);
        return;
    }
    editor_.AssignGridRow(int(row));
    Rebind();
}

void LabelPropsLogic::EvenSpace(bool horizontal) {
    editor_.EvenSpaceSelected(horizontal, !horizontal);
    Rebind();
}

bool LabelPropsLogic::DeleteSelected() {
    editor_.HideLabels(true);
    if (!Bound()) return true;
    Rebind();
    return false;
}

void LabelPropsLogic::AutoSizeSelected(bool on) {
    for (int i : editor_.SelectedLabels()) {
        LabelControl& c = canvas_.Label(i);
        c.autoSize = on;
        if (on) FitLabelToCaption(c, metrics_);
    }
    Rebind();
}

void LabelPropsLogic::DeleteLabel() {
    if (label_ > 0) canvas_.DeleteLabel(label_);
}

void LabelPropsLogic::EditLinkData() {
    std::string answer = linkData;
    // A cancelled question reads as an empty answer: the link goes.
    if (!ui_.InputBox("LINK data currenly is: " + linkData, "Linked Data", answer)) answer.clear();
    if (answer == linkData) return;
    linkData = answer;
    if (label_ > 0) {
        canvas_.Item(label_).linkData = answer;
        model_.SetLinkedData(label_, answer);
    }
}

void LabelPropsLogic::ApplyRows() {
    if (!IsTextBox()) return;
    double l = 0, r = 0, t = 0, w = 0, h = 0;
    std::string keep = height;
    height = rowsHeight;
    bool ok = ReadFields(kHeight, l, r, t, w, h);
    rowsHeight = height;
    // The label takes the box's height: the caption and the label tell one height.
    if (!ok) {
        height = keep;
        return;
    }
    int n = Whole(rows, 1, 99);
    rows = std::to_string(n);
    std::vector<std::string> parts = text::Split(staticText, "@");
    if (parts.size() < 5) parts.resize(5);
    parts[3] = Three(h);
    parts[4] = rows;
    std::string caption = parts[0];
    for (size_t i = 1; i < parts.size(); ++i) caption += "@" + parts[i];
    staticText = caption;
    preview.caption = caption;
    changed_ = true;
    if (visualizeRows) Apply();
}

void LabelPropsLogic::Close() {
    visualizeRows = false;
    HideRows();
}

void LabelPropsLogic::HideRows() {
    if (label_ > 0 && canvas_.LabelAt(label_) && canvas_.LabelAt(label_)->shownRows)
        canvas_.Label(label_).shownRows = 0;
}
