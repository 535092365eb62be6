#pragma once
// What changed on one page since it was last drawn. The window keeps each page's picture
// and repaints only the parts that changed; it finds them by comparing what every item
// would draw now with what it drew then, so no edit that forgets to say what it touched
// can leave a stale picture. Qt-free.
#include <cstdint>
#include <unordered_map>
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
    struct Look {
        std::uint64_t hash = 0;
        float left = 0, top = 0, right = 0, bottom = 0;  // inches, with what the item's pen adds
        Rect Area() const { return {left, top, double(right) - left, double(bottom) - top}; }
    };
    static Look LabelLook(const CanvasModel& canvas, int index);
    void Collect(const CanvasModel& canvas, int page);
    void CompareLabels(Result& out) const;

    bool drawn_ = false;
    std::uint64_t pageHash_ = 0;
    // Labels of the page back to front with their looks, as drawn and as now.
    std::vector<int> order_, nextOrder_;
    std::vector<Look> looks_, nextLooks_;
    // Pictures and shapes by kind and index.
    std::unordered_map<std::uint64_t, Look> shapes_, nextShapes_;
};
