#pragma once
// Giving a label its font when the machine may not have it.
#include <string>

#include "layout/LabelControl.h"

class UserInterface;

// Sets fontName on label. When no such font exists, shows "Could not set <name>
// font." CR LF "Will use default." titled "Fonts", gives the label fallbackFont
// (the designer window's own font) and returns false.
bool SetLabelFont(UserInterface& ui, const TextMetrics& metrics, LabelControl& label,
                  const std::string& fontName, const std::string& fallbackFont);
