#pragma once
// What changed on one page since it was last drawn. The window keeps each page's picture
// and repaints only the parts that changed. The canvas's index compares the look of
// every label an edit reached for writing (and of every shape, when one changed) with
// the look it had, so an edit that changes a label without saying so still repaints it,
// and finding the damage costs what the edits touched, not what the page holds. Qt-free.
#include <cstdint>
#include <vector>

#include "canvas/CanvasModel.h"

class PageDamage {
  public:
    struct Result {
        bool all = false;         // the whole page
        std::vector<Rect> rects;  // inches; what an item covers now and covered before
    };
    // The damage since the last call for the same page, and the page as it is now becomes
    // the one drawn. extra: anything else the drawing depends on (a painter's options).
    Result Take(const CanvasModel& canvas, int page, std::uint64_t extra = 0);
    // Forgets what was drawn: the next Take damages the whole page.
    void Reset() { drawn_ = false; }

  private:
    bool drawn_ = false;
    std::uint64_t pageHash_ = 0;
    ItemIndex::Mark mark_;  // the page's damage read so far
};
