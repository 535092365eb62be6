#include "dialogs/NumberFields.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "dialogs/DialogText.h"
#include "shell/TextUtils.h"
#include "shell/UserInterface.h"

namespace numberfields {

std::string Inches(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3f", value);
    return buf;
}

bool Read(std::string& field, const char* title, double low, double high, double now,
          UserInterface& ui, double& out) {
    bool ok = dialogtext::IsNumeric(field);
    double v = ok ? text::Val(dialogtext::TrimSpaces(field)) : 0;
    // Limits are compared as shown: a value that reads "8.500" is 8.5.
    ok = ok && std::isfinite(v) && std::round(v * 1000) >= std::round(low * 1000) &&
         std::round(v * 1000) <= std::round(high * 1000);
    if (!ok) {
        ui.Message("Please enter a number from " + Inches(low) + " to " + Inches(high) + ".", title,
                   MessageIcon::Warning);
        field = Inches(now);
        return false;
    }
    out = std::clamp(v, low, high);
    field = Inches(out);
    return true;
}

bool ReadStep(std::string& horizontal, std::string& vertical, FormSettings& settings,
              UserInterface& ui, double& h, double& v) {
    auto shown = [&] {
        horizontal = dialogtext::ShortNumber(settings.horizontalShift);
        vertical = dialogtext::ShortNumber(settings.verticalShift);
    };
    std::string fields[2] = {horizontal, vertical};
    const char* titles[2] = {"H Spacing", "V Spacing"};
    const double now[2] = {settings.horizontalShift, settings.verticalShift};
    double* outs[2] = {&h, &v};
    for (int i = 0; i < 2; ++i)
        if (!Read(fields[i], titles[i], 0, kLargestStep, now[i], ui, *outs[i])) {
            shown();
            return false;
        }
    settings.SetHorizontalShift(h);
    settings.SetVerticalShift(v);
    h = settings.horizontalShift;
    v = settings.verticalShift;
    shown();
    return true;
}

bool ReadRect(RectFields f, const Rect& now, double pageWidth, double pageHeight, UserInterface& ui,
              Rect& out) {
    const double pw = std::max(kSmallestSize, pageWidth), ph = std::max(kSmallestSize, pageHeight);
    if (!Read(f.width, "Width", kSmallestSize, pw, now.width, ui, out.width)) return false;
    if (!Read(f.height, "Height", kSmallestSize, ph, now.height, ui, out.height)) return false;
    if (!Read(f.left, "Left", 0, pw - out.width, now.left, ui, out.left)) return false;
    return Read(f.top, "Top", 0, ph - out.height, now.top, ui, out.top);
}

}  // namespace numberfields
