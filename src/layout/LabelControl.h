#pragma once
// The visible part of one label item, as the canvas keeps it (one per label index).
// The reader fills it through ControlSink, the writer reads it through LayoutSource.
#include <string>

#include "shell/TextMetrics.h"

enum class LabelAlignment { Left = 0, Right = 1, Centre = 2 };

struct LabelControl {
    std::string caption;
    double left = 0, top = 0;         // inches from the page's top-left corner
    double width = 1, height = 0.17;  // inches
    std::string fontName = "Arial";
    double fontSize = 8;  // points
    bool bold = false, italic = false;
    LabelAlignment alignment = LabelAlignment::Left;
    bool autoSize = false;
    bool visible = true, enabled = true;
    std::string toolTip;    // the kind as a digit, plus a prompt's definition parts
    std::string spare;      // text case letter, then "#" row "#" column for grid cells
    std::string tag;        // "marked", "JustCopied" or empty (selection state)
    bool bordered = false;  // a single-line border marks a selected label
    int page = 0;           // 0-based page container
};
