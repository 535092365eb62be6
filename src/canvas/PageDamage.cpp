#include "canvas/PageDamage.h"

PageDamage::Result PageDamage::Take(const CanvasModel& canvas, int page, std::uint64_t extra) {
    const std::uint64_t pageHash = LookHasher()
                                       .Add(canvas.BackgroundPath(page))
                                       .Add(canvas.PageWidth())
                                       .Add(canvas.PageHeight())
                                       .Add(extra)
                                       .Value();
    Result out;
    const bool known = canvas.Index().DamageSince(page, mark_, out.rects);
    out.all = !known || !drawn_ || pageHash != pageHash_;
    if (out.all) out.rects.clear();
    drawn_ = true;
    pageHash_ = pageHash;
    return out;
}
