#include "dialogs/BoxPropsLogic.h"

#include <algorithm>

using Option = CanvasModel::BoxOption;

const std::vector<std::string>& BoxPropsLogic::BorderWidths() {
    static const std::vector<std::string> widths{"1", "2", "3", "4",  "5",  "6",
                                                 "7", "8", "9", "10", "11", "12"};
    return widths;
}

const std::vector<std::string>& BoxPropsLogic::BorderStyles() {
    static const std::vector<std::string> styles{
        "1 - Solid", "2 - Dash", "3 - Dot", "4 - Dash-Dot", "5 - Dash-Dot-Dot", "6 - Inside Solid"};
    return styles;
}

void BoxPropsLogic::Bind(int box) {
    index_ = box;
    closed_ = false;
    // The control array's element 0 is the template box, so the first real box is
    // shpBox(1): the records here hold the real boxes only, from 0.
    name = "shpBox(" + std::to_string(box + 1) + ")";
    const CanvasModel& c = ctx_.canvas;
    Rect r = ItemRect();
    r.width = c.GetBoxShapeDetailsWidth(box);
    r.height = c.GetBoxShapeDetailsHeight(box);
    ShowRect(r);
    borderColor = c.GetBoxShapeDetailsBorderColor(box);
    hideInPreview = c.GetBoxShapeDetailsHideInPreview(box) == 1;
    const BoxRecord* b = size_t(box) < c.Boxes().size() ? &c.Boxes()[size_t(box)] : nullptr;
    stylePosition = b ? BoxStyleFromCode(b->styleCode) - 1 : -1;
    widthPosition = b ? b->borderWidth - 1 : -1;
    UpdateShift();
}

Rect BoxPropsLogic::ItemRect() const {
    const auto& boxes = ctx_.canvas.Boxes();
    return size_t(index_) < boxes.size() ? boxes[size_t(index_)].r : Rect{};
}

void BoxPropsLogic::MoveItem(double dx, double dy) {
    ctx_.canvas.MoveBoxShape(index_, dx, dy);
}

void BoxPropsLogic::MoveByStep(double dx, double dy) {
    // The selected boxes move, and the edited box with them even when it alone is
    // selected or it is not.
    const auto& boxes = ctx_.canvas.Boxes();
    const bool marked = size_t(index_) < boxes.size() && boxes[size_t(index_)].marked;
    ctx_.editor.MoveBoxShapes(dx, dy, marked ? -1 : index_);
    if (!marked) MoveItem(dx, dy);
}

// Options of the group button (GroupBorder, GroupPreview, GroupColor), or all of them.
void BoxPropsLogic::StoreOptions(int box, int group) {
    CanvasModel& c = ctx_.canvas;
    if (group < 0 || group == GroupBorder) {
        c.UpdateBoxShapeProps(box, Option::BorderStyle, stylePosition < 0 ? 6 : stylePosition);
        c.UpdateBoxShapeProps(box, Option::BorderWidth, widthPosition < 0 ? 1 : widthPosition + 1);
    }
    if (group < 0 || group == GroupPreview)
        c.UpdateBoxShapeProps(box, Option::HideInPreview, hideInPreview ? 1 : 0);
    if (group < 0 || group == GroupColor)
        c.UpdateBoxShapeProps(box, Option::BorderColor, borderColor);
}

bool BoxPropsLogic::Apply() {
    Rect r;
    if (closed_ || !ReadRect(r)) return false;
    // The fill (hatched in the border colour while fill-in is shown) is drawn from the
    // window's option, so only the record's own values are stored.
    ctx_.canvas.UpdateBoxShapeDetails(index_, r);
    StoreOptions(index_, -1);
    Changed();
    return true;
}

void BoxPropsLogic::Delete() {
    ctx_.canvas.DeleteBox(index_);
    closed_ = true;
    Changed();
}

bool BoxPropsLogic::ApplyToGroup(int button) {
    if (closed_ || button < GroupLeft || button > GroupDelete) return false;
    Rect fields;
    if (button <= GroupWidth && !ReadRect(fields)) return false;
    const Rect bound = ItemRect();
    CanvasModel& c = ctx_.canvas;
    for (int box : ctx_.editor.SelectedBoxes(index_)) {
        if (button >= GroupBorder) {
            if (button == GroupDelete)
                c.DeleteBox(box);
            else
                StoreOptions(box, button);
            continue;
        }
        Rect r = c.Boxes()[size_t(box)].r;
        switch (button) {
            case GroupLeft:
                r.left = fields.left;
                break;
            case GroupTop:
                r.top = fields.top;
                break;
            case GroupRight:
                r.left = fields.left + bound.width - r.width;
                break;
            case GroupCenter:
                r.left = fields.left + bound.width / 2 - r.width / 2;
                break;
            case GroupHeight:
                r.height = fields.height;
                break;
            case GroupWidth:
                r.width = fields.width;
                break;
        }
        // The fields were taken for the bound box; the others stay on the page too.
        r.left = std::clamp(r.left, 0.0, std::max(0.0, c.PageWidth() - r.width));
        r.top = std::clamp(r.top, 0.0, std::max(0.0, c.PageHeight() - r.height));
        c.UpdateBoxShapeDetails(box, r);
    }
    Changed();
    return true;
}

bool BoxPropsLogic::Paste() {
    double h = 0, v = 0;
    if (!StoreStep(h, v)) return false;
    ctx_.editor.PasteSelectedBoxes(h, v, ctx_.canvas.Window().currentPage, index_);
    Changed();
    return true;
}

void BoxPropsLogic::EvenSpace(int direction) {
    ctx_.editor.EvenSpaceBoxes(direction, index_);
    Changed();
}
