#pragma once
// Measuring the canvas: the scroll bars in steps of 100 twips,
// the page size text and the page buttons. Pure functions, so the window and the
// tests agree on every number.
#include <algorithm>
#include <string>

#include "shell/Units.h"

constexpr int kScrollStepTwips = 100;

// Canvas margins in twips: top (room for the tool bar), left, right, bottom.
constexpr int kCanvasMargins[4] = {400, 100, 100, 100};
constexpr int kToolbarGapTwips = 30;

struct ScrollBarState {
    int minimum = 0, maximum = 0;
    int largeChange = 1, smallChange = 1;
    bool visible = false;
};

// page, container: the page canvas and viewport extent in inches along the bar;
// threshold: the value above which the bar is not needed (page height / 1.5 for the
// vertical bar, container height / 1.5 for the horizontal one). previous keeps the
// values a hidden bar does not change.
ScrollBarState ComputeScrollBar(double page, double container, double threshold,
                                const ScrollBarState& previous = {});
ScrollBarState ComputeVerticalScrollBar(double pageHeight, double containerHeight,
                                        const ScrollBarState& previous = {});
ScrollBarState ComputeHorizontalScrollBar(double pageWidth, double containerWidth,
                                          double containerHeight,
                                          const ScrollBarState& previous = {});

// " 8.5'' X  11''": each number in its shortest form after a blank for the sign.
std::string PageSizeText(double widthInches, double heightInches);
extern const char* const kInitialPageSizeText;

// The page a navigation button leads to (0 "<<", 1 "<", 2 ">", 3 ">>"); pages from 1,
// a current page of 0 counts as 1.
int PageAfterButton(int button, int currentPageNumber, int pageCount);

// One displacement d (inches) of a span [lowest, highest] along a page of the given
// size, limited so the span stays on the page; a span already off it (from a damaged
// layout, or wider than the page) may come back but never goes further out.
inline double KeepOnPage(double d, double lowest, double highest, double size) {
    if (d < 0) return std::max(d, std::min(0.0, -lowest));
    if (d > 0) return std::min(d, std::max(0.0, size - highest));
    return d;
}

// The number of pages as every reader of it sees it.
inline int ClampPageCount(int pages) {
    return pages < 1 ? 1 : pages > 99 ? 99 : pages;
}
