#include "canvas/PageGeometry.h"

#include <cmath>
#include <cstdio>
#include <limits>

const char* const kInitialPageSizeText = "8.5'' X 11''";

namespace {
// Scroll values are 16-bit; a huge page must not wrap them.
int ClampToShort(double v) {
    if (!std::isfinite(v)) return 0;
    if (v > 32767) return 32767;
    if (v < -32768) return -32768;
    return int(v);
}

std::string Shortest(double v) {
    // Single precision, as the page sizes are kept.
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.7g", double(float(v)));
    std::string s = buf;
    return (v < 0 ? "" : " ") + s;
}
}  // namespace

ScrollBarState ComputeScrollBar(double page, double container, double threshold,
                                const ScrollBarState& previous) {
    ScrollBarState s = previous;
    int range = ClampToShort(std::trunc(units::InchesToTwips(page - container) / kScrollStepTwips));
    s.maximum = range;
    bool hidden = false;
    if (threshold > range) {
        s.maximum = ClampToShort(std::trunc(threshold));
        hidden = true;
    }
    auto changes = [&](double m) {
        s.minimum = 0;
        s.largeChange = container > 0 ? std::max(1, ClampToShort(std::trunc(m / container))) : 1;
        s.smallChange = page > 0 ? std::max(1, ClampToShort(std::trunc(m / page))) : 1;
    };
    double m = s.maximum;
    if (m < 0 || m < container) {
        s.visible = false;
    } else {
        changes(m);
        s.visible = !hidden;
    }
    // The thresholds above hide the bar while up to half an inch or more of the page
    // lies beyond the viewport, where nothing else could reach it: a page that does
    // not fit always keeps a bar that reaches its far edge.
    if (!s.visible && range > 0) {
        s.maximum = range;
        changes(range);
        s.visible = true;
    }
    return s;
}

ScrollBarState ComputeVerticalScrollBar(double pageHeight, double containerHeight,
                                        const ScrollBarState& previous) {
    return ComputeScrollBar(pageHeight, containerHeight, pageHeight / 1.5, previous);
}

ScrollBarState ComputeHorizontalScrollBar(double pageWidth, double containerWidth,
                                          double containerHeight, const ScrollBarState& previous) {
    return ComputeScrollBar(pageWidth, containerWidth, containerHeight / 1.5, previous);
}

std::string PageSizeText(double w, double h) {
    return Shortest(w) + "'' X " + Shortest(h) + "''";
}

int PageAfterButton(int button, int current, int count) {
    count = ClampPageCount(count);
    if (current <= 0) current = 1;
    if (current > count) current = count;
    switch (button) {
        case 0:
            return 1;
        case 1:
            return current > 1 ? current - 1 : 1;
        case 2:
            return current < count ? current + 1 : count;
        case 3:
            return count;
        default:
            return current;
    }
}
