#include "layout/LabelGeometry.h"

#include "shell/UserInterface.h"

void SetLabelWidth(LabelControl& label, double width, WidthAnchor anchor) {
    if (anchor == WidthAnchor::ByAlignment && label.alignment == LabelAlignment::Right)
        label.left += label.width - width;
    label.width = width;
}

double LabelLineHeight(const LabelControl& label, const TextMetrics& metrics) {
    return metrics.TextHeight(label.fontName, label.fontSize, label.bold, label.italic);
}

void FitLabelToCaption(LabelControl& label, const TextMetrics& metrics, WidthAnchor anchor) {
    SetLabelWidth(
        label,
        metrics.TextWidth(label.caption, label.fontName, label.fontSize, label.bold, label.italic),
        anchor);
    label.height = LabelLineHeight(label, metrics);
}

void SetLabelFont(UserInterface& ui, const TextMetrics& metrics, LabelControl& label,
                  const std::string& fontName, const std::string& fallbackFont) {
    if (metrics.FontExists(fontName)) {
        label.fontName = fontName;
        return;
    }
    ui.Message("Could not set " + fontName + " font." + "\r\n" + "Will use default.", "Fonts");
    label.fontName = fallbackFont;
}
