// The insert tools: picking two corners, then placing the item they frame.
#include <algorithm>
#include <cmath>

#include "canvas/CanvasEditor.h"
#include "canvas/PageGeometry.h"
#include "layout/ItemTypes.h"
#include "shell/Cp1252.h"

void CanvasEditor::PressTool(int mode) {
    CanvasEdit edit(canvas_, kEdited);
    if (hooks_.closeItemDialogs) hooks_.closeItemDialogs();
    CanvasWindowState& w = canvas_.Window();
    auto shapeTool = [](int m) { return m == 1 || m == 3 || m == 4 || m == 5 || m == 6 || m == 7; };
    bool labelLike = mode == kInsertLabel || mode == kInsertGrid;
    if ((shapeTool(w.insertMode) && labelLike) ||
        ((w.insertMode == kInsertLabel || w.insertMode == kInsertGrid) && shapeTool(mode) &&
         mode != kInsertLine))
        UnselectAll();
    if (pressedTool_ == mode) {
        pressedTool_ = -1;
        w.insertMode = kInsertLabel;
    } else {
        pressedTool_ = mode;
        w.insertMode = mode >= kInsertLabel && mode <= kInsertBox ? mode : kInsertLabel;
    }
}

void CanvasEditor::ShowGridArea(const Rect& area) {
    CanvasEdit edit(canvas_, kEdited);
    gridFrame_ = area;
    gridFrameVisible_ = true;
    top_.r.left = area.left;
    top_.r.top = area.top;
    bottom_.r.left = area.left + area.width - bottom_.r.width;
    bottom_.r.top = area.top + area.height - bottom_.r.height;
    top_.visible = bottom_.visible = true;
}

void CanvasEditor::HideGridArea() {
    CanvasEdit edit(canvas_, CanvasChange::Selection);
    gridFrameVisible_ = false;
    top_.visible = bottom_.visible = false;
}

void CanvasEditor::MoveGridArea(double dx, double dy) {
    CanvasEdit edit(canvas_, kEdited);
    if (!gridFrameVisible_) return;
    ClampToPage({gridFrame_}, dx, dy);
    gridFrame_.left += dx;
    gridFrame_.top += dy;
    ShowGridArea(gridFrame_);
}

void CanvasEditor::EndCornerPick() {
    CanvasWindowState& w = canvas_.Window();
    w.cornerPick = w.firstCorner = w.secondCorner = false;
    top_.visible = bottom_.visible = false;
    pickLine_ = -1;
}

Rect CanvasEditor::PickedRect() const {
    double left = top_.r.left, top = top_.r.top;
    return {left, top, bottom_.r.left + bottom_.r.width - left,
            bottom_.r.top + bottom_.r.height - top};
}

void CanvasEditor::ClickCanvas(double x, double y, int page, bool left, bool shift, bool ctrl,
                               bool alt) {
    CanvasEdit edit(canvas_, kEdited);
    CanvasWindowState& w = canvas_.Window();
    int mode = w.insertMode;
    if (!w.cornerPick) {
        bool start = mode == kInsertImage || mode == kInsertGrid || mode == kInsertBarcode ||
                     mode == kInsertHotspot || mode == kInsertSignatureBox ||
                     ((mode == kInsertBox || mode == kInsertLine) && left) || (left && shift);
        if (!start) {
            if (mode == kInsertLabel && left && !shift && !ctrl && !alt) {
                int index = canvas_.LoadOneLabel(page);
                LabelControl& c = canvas_.Label(index);
                c.left = x;
                c.top = y;
                c.visible = true;
                c.enabled = true;
                canvas_.Item(index);
                canvas_.BringToFront(index);
                lastLabel_ = index;
            }
            return;
        }
        w.cornerPick = true;
        w.firstCorner = w.secondCorner = false;
        top_.visible = bottom_.visible = false;
        gridFrameVisible_ = false;
        boxBand_ = mode == kInsertBox && shift;
        pickPage_ = page;
    }
    if (!w.firstCorner) {
        w.firstCorner = true;
        top_.r.left = x;
        top_.r.top = y;
        top_.visible = mode != kInsertLine;
        if (mode == kInsertLine) pickLine_ = canvas_.LoadOneLine(page, x, y);
        return;
    }
    if (!w.secondCorner) {
        w.secondCorner = true;
        bottom_.r.left = x - bottom_.r.width;
        bottom_.r.top = y - bottom_.r.height;
        if (mode == kInsertLine && pickLine_ >= 0) {
            canvas_.Lines()[size_t(pickLine_)].x2 = x;
            canvas_.Lines()[size_t(pickLine_)].y2 = y;
        }
        CompleteCornerPick(pickPage_);
    }
}

void CanvasEditor::MovePointer(double x, double y) {
    CanvasEdit edit(canvas_, kEdited);
    const CanvasWindowState& w = canvas_.Window();
    if (!w.cornerPick || !w.firstCorner || w.secondCorner) return;
    if (w.insertMode == kInsertLine && pickLine_ >= 0) {
        canvas_.Lines()[size_t(pickLine_)].x2 = x;
        canvas_.Lines()[size_t(pickLine_)].y2 = y;
        return;
    }
    bottom_.r.left = x - bottom_.r.width;
    bottom_.r.top = y - bottom_.r.height;
    bottom_.visible = true;
}

void CanvasEditor::CompleteCornerPick(int page) {
    const int mode = canvas_.Window().insertMode;
    Rect r = PickedRect();
    bool proper = r.width > 0 && r.height > 0;
    switch (mode) {
        case kInsertImage: {
            std::string path = hooks_.selectImageFile ? hooks_.selectImageFile() : std::string();
            if (!path.empty() && proper) {
                size_t slash = path.find_last_of("/\\");
                std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
                // The form refers to its pictures by name in the images folder, which is
                // what a save uploads.
                if (hooks_.keepImageFile) path = hooks_.keepImageFile(path, name);
                if (path.empty()) break;
                int im = canvas_.AddImage(r, page, name, path);
                canvas_.ClearShapeMarks();
                canvas_.ImageRecords()[size_t(im)].marked = true;
            }
            break;
        }
        case kInsertBarcode:
            if (proper) {
                int label = canvas_.AddBarcode(r, page, canvas_.Label(0).caption.str());
                canvas_.ClearShapeMarks();
                if (int b = canvas_.GetBarcodeImageIndex(label); b >= 0)
                    canvas_.BarcodeRecords()[size_t(b)].marked = true;
                lastLabel_ = label;
            }
            break;
        case kInsertHotspot:
            if (proper) {
                int h = canvas_.AddHotspot(r, page, "P");
                canvas_.ClearShapeMarks();
                canvas_.HotspotRecords()[size_t(h)].marked = true;
            }
            break;
        case kInsertSignatureBox:
            if (proper) {
                int s = canvas_.AddSignatureBox(r, page);
                canvas_.ClearShapeMarks();
                canvas_.SignatureBoxRecords()[size_t(s)].marked = true;
            }
            break;
        case kInsertBox:
            if (boxBand_) {
                // The boxes inside join the marked ones; other marks stay.
                boxBand_ = false;
                for (auto& b : canvas_.BoxRecords())
                    if (b.active && b.page == page && b.r.left >= r.left && b.r.top >= r.top &&
                        b.r.left + b.r.width <= r.left + r.width &&
                        b.r.top + b.r.height <= r.top + r.height)
                        b.marked = true;
            } else if (proper) {
                canvas_.ClearShapeMarks();
                int b = canvas_.AddBox(r, page);
                canvas_.BoxRecords()[size_t(b)].marked = true;
            }
            break;
        case kInsertGrid:
            if (proper && hooks_.openGridDialog) hooks_.openGridDialog(r);
            break;
        default:
            break;
    }
    if (mode == kInsertLabel || mode == kInsertImage || mode == kInsertGrid ||
        mode == kInsertBarcode || mode == kInsertLine)
        SelectInRect(r, page, gridOnly_);
    EndCornerPick();
}
