#pragma once
// The size and font rules of a label, shared by the reader, the canvas and the
// dialogs, so a label's width follows the same rule wherever it is set.
#include <string>

#include "layout/LabelControl.h"

class UserInterface;

// Which edge stays put when a label's width changes.
enum class WidthAnchor {
    ByAlignment,  // a right-aligned label keeps its right edge, any other its left
    LeftEdge,     // the left edge stays whatever the alignment
};

// A new width for a label.
void SetLabelWidth(LabelControl& label, double width,
                   WidthAnchor anchor = WidthAnchor::ByAlignment);
// The height of one line of text in the label's own font.
double LabelLineHeight(const LabelControl& label, const TextMetrics& metrics);
// The label takes the width and height of its caption in its own font.
void FitLabelToCaption(LabelControl& label, const TextMetrics& metrics,
                       WidthAnchor anchor = WidthAnchor::ByAlignment);
// Sets fontName on label. When no such font exists, shows "Could not set <name>
// font." CR LF "Will use default." titled "Fonts" and gives the label fallbackFont
// (the designer window's own font).
void SetLabelFont(UserInterface& ui, const TextMetrics& metrics, LabelControl& label,
                  const std::string& fontName, const std::string& fallbackFont);
