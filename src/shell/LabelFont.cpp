#include "LabelFont.h"

#include "UserInterface.h"

bool SetLabelFont(UserInterface& ui, const TextMetrics& metrics, LabelControl& label,
                  const std::string& fontName, const std::string& fallbackFont) {
    if (metrics.FontExists(fontName)) {
        label.fontName = fontName;
        return true;
    }
    ui.Message("Could not set " + fontName + " font." + "\r\n" + "Will use default.", "Fonts");
    label.fontName = fallbackFont;
    return false;
}
