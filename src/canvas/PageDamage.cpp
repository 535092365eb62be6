#include "canvas/PageDamage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string_view>

namespace {

// Pens are drawn a screen pixel wide (1/96 inch) for each unit of their width, half of it
// outside the item; antialiasing takes one more pixel.
constexpr double kPenInches = 1.0 / 96;

class Hasher {
  public:
    Hasher& Add(std::uint64_t v) {
        h_ = (h_ ^ v) * 0x9E3779B97F4A7C15ULL;
        h_ ^= h_ >> 29;
        return *this;
    }
    Hasher& Add(double d) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &d, sizeof bits);
        return Add(bits);
    }
    Hasher& Add(const std::string& s) {
        return Add(std::uint64_t(std::hash<std::string_view>{}(s))).Add(std::uint64_t(s.size()));
    }
    Hasher& Add(const Rect& r) { return Add(r.left).Add(r.top).Add(r.width).Add(r.height); }
    std::uint64_t Value() const { return h_; }

  private:
    std::uint64_t h_ = 0xCBF29CE484222325ULL;
};

bool Same(const std::vector<int>& a, const std::vector<int>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

}  // namespace

PageDamage::Look PageDamage::LabelLook(const CanvasModel& canvas, int index) {
    const LabelControl& c = *canvas.LabelAt(index);
    Look look;
    look.hash =
        Hasher()
            .Add(c.caption)
            .Add(c.fontName)
            .Add(c.fontSize)
            .Add(std::uint64_t(c.bold) | std::uint64_t(c.italic) << 1 |
                 std::uint64_t(c.bordered) << 2 | std::uint64_t(canvas.LabelTextWraps(index)) << 3 |
                 std::uint64_t(c.alignment) << 8 | std::uint64_t(c.shownRows) << 16)
            .Add(std::uint64_t(canvas.LabelBackColor(index)) << 32 | canvas.LabelForeColor(index))
            .Add(Rect{c.left, c.top, c.width, c.height})
            .Value();
    const double pen = 2 * kPenInches;
    look.left = float(c.left - pen);
    look.top = float(c.top - pen);
    look.right = float(c.left + c.width + pen);
    look.bottom = float(c.top + c.height + pen);
    return look;
}

void PageDamage::Collect(const CanvasModel& canvas, int page) {
    nextOrder_.clear();
    nextLooks_.clear();
    for (int i : canvas.LabelOrder()) {
        const LabelControl* c = canvas.LabelAt(i);
        if (!c || !c->visible || c->page != page) continue;
        nextOrder_.push_back(i);
        nextLooks_.push_back(LabelLook(canvas, i));
    }
    nextShapes_.clear();
    auto put = [&](int kind, std::size_t index, const Rect& r, double penWidth, Hasher h) {
        const double pen = (penWidth + 2) * kPenInches;
        Look look;
        look.hash = h.Add(r).Value();
        look.left = float(std::min(r.left, r.left + r.width) - pen);
        look.top = float(std::min(r.top, r.top + r.height) - pen);
        look.right = float(std::max(r.left, r.left + r.width) + pen);
        look.bottom = float(std::max(r.top, r.top + r.height) + pen);
        nextShapes_[std::uint64_t(kind) << 32 | index] = look;
    };
    for (std::size_t i = 0; i < canvas.Images().size(); ++i)
        if (const auto& im = canvas.Images()[i]; im.active && im.page == page)
            put(0, i, im.r, 0, Hasher().Add(im.name).Add(im.path).Add(im.timeStamp));
    for (std::size_t i = 0; i < canvas.Boxes().size(); ++i)
        if (const auto& b = canvas.Boxes()[i]; b.active && b.page == page)
            put(1, i, b.r, std::max(1, b.borderWidth),
                Hasher()
                    .Add(std::uint64_t(b.styleCode))
                    .Add(std::uint64_t(b.borderWidth))
                    .Add(std::uint64_t(b.borderColor)));
    for (std::size_t i = 0; i < canvas.Hotspots().size(); ++i)
        if (const auto& h = canvas.Hotspots()[i]; h.active && h.page == page)
            put(2, i, h.r, 1, Hasher());
    for (std::size_t i = 0; i < canvas.SignatureBoxes().size(); ++i)
        if (const auto& s = canvas.SignatureBoxes()[i]; s.active && s.page == page)
            put(3, i, s.r, 1, Hasher().Add(std::uint64_t(s.signaturePad)));
    for (std::size_t i = 0; i < canvas.Lines().size(); ++i)
        if (const auto& l = canvas.Lines()[i]; l.active && l.page == page)
            put(4, i, {l.x1, l.y1, l.x2 - l.x1, l.y2 - l.y1}, std::max(1, l.width),
                Hasher().Add(std::uint64_t(l.color)).Add(std::uint64_t(l.width)));
    for (const auto& b : canvas.Barcodes()) {
        const LabelControl* c = canvas.LabelAt(b.label);
        if (b.active && c && c->visible && c->page == page)
            put(5, std::size_t(b.label), canvas.BarcodeRect(b.label), 0, Hasher().Add(c->caption));
    }
}

void PageDamage::CompareLabels(Result& out) const {
    auto changed = [&](const Look& was, const Look& now) {
        if (was.hash == now.hash) return;
        out.rects.push_back(was.Area());
        out.rects.push_back(now.Area());
    };
    if (Same(order_, nextOrder_)) {
        for (std::size_t k = 0; k < order_.size(); ++k) changed(looks_[k], nextLooks_[k]);
        return;
    }
    // Labels came, went or changed places in the drawing order.
    int top = 0;
    for (int i : order_) top = std::max(top, i);
    for (int i : nextOrder_) top = std::max(top, i);
    std::vector<int> was(std::size_t(top) + 1, -1), now(std::size_t(top) + 1, -1);
    for (std::size_t k = 0; k < order_.size(); ++k) was[std::size_t(order_[k])] = int(k);
    for (std::size_t k = 0; k < nextOrder_.size(); ++k) now[std::size_t(nextOrder_[k])] = int(k);
    std::vector<int> before, after;  // the labels in both, in each order
    for (std::size_t k = 0; k < order_.size(); ++k) {
        if (now[std::size_t(order_[k])] < 0)
            out.rects.push_back(looks_[k].Area());
        else
            before.push_back(order_[k]);
    }
    for (std::size_t k = 0; k < nextOrder_.size(); ++k) {
        const int w = was[std::size_t(nextOrder_[k])];
        if (w < 0)
            out.rects.push_back(nextLooks_[k].Area());
        else
            changed(looks_[std::size_t(w)], nextLooks_[k]), after.push_back(nextOrder_[k]);
    }
    // Only labels whose place relative to others changed need drawing again: one label
    // brought to the front (or sent back to its place) is the common case.
    std::size_t from = 0, to = before.size();
    while (from < to && before[from] == after[from]) ++from;
    while (to > from && before[to - 1] == after[to - 1]) --to;
    if (from == to) return;
    auto damage = [&](int label) {
        out.rects.push_back(looks_[std::size_t(was[std::size_t(label)])].Area());
        out.rects.push_back(nextLooks_[std::size_t(now[std::size_t(label)])].Area());
    };
    auto equal = [&](std::size_t a, std::size_t b, std::size_t n) {
        return std::equal(before.begin() + std::ptrdiff_t(a),
                          before.begin() + std::ptrdiff_t(a + n),
                          after.begin() + std::ptrdiff_t(b));
    };
    const std::size_t n = to - from - 1;
    if (before[from] == after[to - 1] && equal(from + 1, from, n))
        damage(before[from]);
    else if (before[to - 1] == after[from] && equal(from, from + 1, n))
        damage(after[from]);
    else
        for (std::size_t k = from; k < to; ++k) damage(before[k]);
}

PageDamage::Result PageDamage::Take(const CanvasModel& canvas, int page, std::uint64_t extra) {
    Collect(canvas, page);
    const std::uint64_t pageHash = Hasher()
                                       .Add(canvas.BackgroundPath(page))
                                       .Add(canvas.PageWidth())
                                       .Add(canvas.PageHeight())
                                       .Add(extra)
                                       .Value();
    Result out;
    out.all = !drawn_ || pageHash != pageHash_;
    if (!out.all) {
        CompareLabels(out);
        for (const auto& [key, now] : nextShapes_) {
            auto was = shapes_.find(key);
            if (was == shapes_.end()) {
                out.rects.push_back(now.Area());
            } else if (was->second.hash != now.hash) {
                out.rects.push_back(was->second.Area());
                out.rects.push_back(now.Area());
            }
        }
        for (const auto& [key, was] : shapes_)
            if (!nextShapes_.count(key)) out.rects.push_back(was.Area());
    }
    drawn_ = true;
    pageHash_ = pageHash;
    order_.swap(nextOrder_);
    looks_.swap(nextLooks_);
    shapes_.swap(nextShapes_);
    // The next Take builds them again; a large page should not keep two copies.
    std::vector<int>().swap(nextOrder_);
    std::vector<Look>().swap(nextLooks_);
    nextShapes_.clear();
    return out;
}
