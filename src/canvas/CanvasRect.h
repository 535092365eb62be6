#pragma once
// A rectangle on a page, in inches.

struct Rect {
    double left = 0, top = 0, width = 0, height = 0;  // inches
    bool operator==(const Rect&) const = default;
};
