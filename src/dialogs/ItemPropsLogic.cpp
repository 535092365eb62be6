#include "dialogs/ItemPropsLogic.h"

#include <cstdio>
#include <cstdlib>

#include "dialogs/DialogText.h"
#include "shell/UserInterface.h"

namespace {
constexpr double kLargest = 99;  // inches; no page is larger
}

bool ItemPropsLogic::ConfirmDelete() const {
    return ctx_.ui.YesNo("Delete " + name + "?", "Delete");
}

std::string ItemPropsLogic::Inches(double value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", value);
    return buf;
}

void ItemPropsLogic::ShowRect(const Rect& r) {
    left = Inches(r.left);
    top = Inches(r.top);
    width = Inches(r.width);
    height = Inches(r.height);
}

bool ItemPropsLogic::ReadRect(Rect& r) const {
    struct Field {
        const char* title;
        const std::string& text;
        double& value;
        bool size;
    };
    const Field fields[] = {{"Left", left, r.left, false},
                            {"Top", top, r.top, false},
                            {"Width", width, r.width, true},
                            {"Height", height, r.height, true}};
    for (const Field& f : fields) {
        double v = dialogtext::IsNumeric(f.text) ? std::strtod(f.text.c_str(), nullptr) : -1;
        if (v < 0 || v > kLargest || (f.size && v <= 0)) {
            ctx_.ui.Message(std::string(f.title) + " must be a number from " +
                                (f.size ? "above 0" : "0") + " to 99 inches.",
                            f.title, MessageIcon::Warning);
            return false;
        }
        f.value = v;
    }
    return true;
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
    if (!dialogtext::IsNumeric(horizontalStep) || !dialogtext::IsNumeric(verticalStep)) {
        ctx_.ui.Message("The step must be a number.", "Move", MessageIcon::Warning);
        return false;
    }
    h = std::strtod(horizontalStep.c_str(), nullptr);
    v = std::strtod(verticalStep.c_str(), nullptr);
    FormSettings& s = ctx_.model.settings;
    s.horizontalShift = h;
    s.verticalShift = v;
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
