#include "dialogs/ItemPropsLogic.h"

#include "dialogs/DialogText.h"
#include "dialogs/NumberFields.h"
#include "shell/UserInterface.h"

bool ItemPropsLogic::ConfirmDelete() const {
    return ctx_.ui.YesNo("Delete " + name + "?", "Delete");
}

std::string ItemPropsLogic::Inches(double value) {
    return numberfields::Inches(value);
}

void ItemPropsLogic::ShowRect(const Rect& r) {
    left = Inches(r.left);
    top = Inches(r.top);
    width = Inches(r.width);
    height = Inches(r.height);
}

bool ItemPropsLogic::ReadRect(Rect& r) {
    return numberfields::ReadRect({left, top, width, height}, ItemRect(), ctx_.canvas.PageWidth(),
                                  ctx_.canvas.PageHeight(), ctx_.ui, r);
}

void ItemPropsLogic::Changed() const {
    if (ctx_.changed) ctx_.changed();
}

void ItemPropsLogic::UpdateShift() {
    horizontalStep = dialogtext::ShortNumber(ctx_.model.settings.horizontalShift);
    verticalStep = dialogtext::ShortNumber(ctx_.model.settings.verticalShift);
}

bool ItemPropsLogic::StoreStep(double& h, double& v) {
    if (closed_) return false;
    if (!numberfields::ReadStep(horizontalStep, verticalStep, ctx_.model.settings, ctx_.ui, h, v))
        return false;
    if (ctx_.shiftChanged) ctx_.shiftChanged();
    return true;
}

bool ItemPropsLogic::Press(Step step) {
    double h = 0, v = 0;
    if (!StoreStep(h, v)) return false;
    switch (step) {
        case Step::Up:
            MoveByStep(0, -v);
            break;
        case Step::Down:
            MoveByStep(0, v);
            break;
        case Step::Left:
            MoveByStep(-h, 0);
            break;
        case Step::Right:
            MoveByStep(h, 0);
            break;
        case Step::Move:
            MoveByStep(h, v);
            break;
        case Step::LeftDown:
            MoveItem(-h, 0);
            break;
        case Step::LeftUp:
            MoveItem(h, 0);
            break;
        case Step::TopDown:
            MoveItem(0, -v);
            break;
        case Step::TopUp:
            MoveItem(0, v);
            break;
        default: {
            Rect r = ItemRect();
            bool tall = step == Step::HeightDown || step == Step::HeightUp;
            bool up = step == Step::HeightUp || step == Step::WidthUp;
            double& size = tall ? r.height : r.width;
            double next = size + (up ? 1 : -1) * (tall ? v : h);
            // A size never goes to nothing or below.
            if (next <= 0) return false;
            (tall ? height : width) = Inches(next);
            return Apply();
        }
    }
    ShowRect(ItemRect());
    Changed();
    return true;
}
