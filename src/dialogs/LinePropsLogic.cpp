#include "dialogs/LinePropsLogic.h"

#include "dialogs/DialogText.h"
#include "layout/FormSettings.h"

const std::vector<std::string>& LinePropsLogic::BorderStyles() {
    static const std::vector<std::string> styles{"1 - Solid", "2 - Dash", "3 - Dot", "4 - Dash-Dot",
                                                 "5 - Dash-Dot-Dot"};
    return styles;
}

bool LinePropsLogic::UpdateShift(const FormSettings& settings) {
    bool changed = false;
    if (dialogtext::TrimSpaces(horizontalStep).empty()) {
        horizontalStep = dialogtext::ShortNumber(settings.horizontalShift);
        changed = true;
    }
    if (dialogtext::TrimSpaces(verticalStep).empty()) {
        verticalStep = dialogtext::ShortNumber(settings.verticalShift);
        changed = true;
    }
    return changed;
}
