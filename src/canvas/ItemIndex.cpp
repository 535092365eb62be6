#include "canvas/ItemIndex.h"

#include <algorithm>
#include <cmath>

namespace {
// Cells about half an inch square: a label meets a few of them, and a click or an edit's
// area a few more.
constexpr double kCellInches = 0.5;
constexpr int kMostCells = 64;  // along one side, however large the page
// Pages beyond any a form may have are never drawn.
constexpr int kMostPages = 128;
// A page nobody draws must not gather damage forever: beyond this many areas its damage
// is dropped, and whoever reads it next draws the whole page.
constexpr std::size_t kMostDamage = 4096;

bool Finite(const ItemIndex::Look& look) {
    return std::isfinite(look.left) && std::isfinite(look.top) && std::isfinite(look.right) &&
           std::isfinite(look.bottom);
}
}  // namespace

void ItemIndex::Reset(double pageWidth, double pageHeight) {
    width_ = pageWidth;
    height_ = pageHeight;
    auto cut = [](double inches, int& count, double& size) {
        count = std::isfinite(inches) && inches > 0
                    ? std::clamp(int(std::ceil(std::min(inches, 1e6) / kCellInches)), 1, kMostCells)
                    : 1;
        size = std::isfinite(inches) && inches > 0 ? inches / count : 1;
    };
    cut(pageWidth, columns_, cellWidth_);
    cut(pageHeight, rows_, cellHeight_);
    ++epoch_;
    labels_.clear();
    shapes_.clear();
    pages_.clear();
}

ItemIndex::Span ItemIndex::CellsOf(double left, double top, double right, double bottom) const {
    // Whatever lies beyond the page's edge is kept in the cells along it.
    auto cell = [](double at, double size, int count) {
        return int(std::clamp(std::floor(at / size), 0.0, double(count - 1)));
    };
    return {cell(left, cellWidth_, columns_), cell(top, cellHeight_, rows_),
            cell(right, cellWidth_, columns_), cell(bottom, cellHeight_, rows_)};
}

ItemIndex::Span ItemIndex::CellsOf(const Look& look) const {
    if (look.page < 0 || look.page >= kMostPages || !Finite(look)) return {};
    return CellsOf(look.left, look.top, look.right, look.bottom);
}

ItemIndex::Page* ItemIndex::PageOf(int page) {
    if (page < 0 || page >= kMostPages) return nullptr;
    if (size_t(page) >= pages_.size()) pages_.resize(size_t(page) + 1);
    Page& p = pages_[size_t(page)];
    if (p.cells.empty()) p.cells.resize(size_t(columns_) * size_t(rows_));
    return &p;
}

const ItemIndex::Page* ItemIndex::PageOf(int page) const {
    if (page < 0 || size_t(page) >= pages_.size() || pages_[size_t(page)].cells.empty())
        return nullptr;
    return &pages_[size_t(page)];
}

void ItemIndex::Damage(const Look& look) {
    Page* p = Finite(look) ? PageOf(look.page) : nullptr;
    if (!p) return;
    if (p->damage.size() >= kMostDamage) {
        p->dropped += p->damage.size();
        std::vector<Rect>().swap(p->damage);
    }
    p->damage.push_back(look.Area());
}

void ItemIndex::PutLabel(int label, const Look& look, bool damage) {
    if (label < 0) return;
    if (size_t(label) >= labels_.size()) labels_.resize(size_t(label) + 1);
    Look& was = labels_[size_t(label)];
    if (was == look) return;
    const Span from = CellsOf(was), to = CellsOf(look);
    if (was.page != look.page || from.left != to.left || from.top != to.top ||
        from.right != to.right || from.bottom != to.bottom) {
        if (Page* p = PageOf(was.page))
            for (int r = from.top; r <= from.bottom; ++r)
                for (int c = from.left; c <= from.right; ++c) {
                    auto& cell = p->cells[size_t(r) * size_t(columns_) + size_t(c)];
                    // A cell's order is of no use: the last takes the place of the one leaving.
                    auto it = std::find(cell.begin(), cell.end(), label);
                    if (it == cell.end()) continue;
                    *it = cell.back();
                    cell.pop_back();
                }
        if (Page* p = PageOf(look.page))
            for (int r = to.top; r <= to.bottom; ++r)
                for (int c = to.left; c <= to.right; ++c)
                    p->cells[size_t(r) * size_t(columns_) + size_t(c)].push_back(label);
    }
    if (damage) {
        Damage(was);
        Damage(look);
    }
    was = look;
}

void ItemIndex::PutShapes(std::unordered_map<std::uint64_t, Look> looks) {
    for (const auto& [key, now] : looks) {
        auto was = shapes_.find(key);
        if (was == shapes_.end()) {
            Damage(now);
        } else if (!(was->second == now)) {
            Damage(was->second);
            Damage(now);
        }
    }
    for (const auto& [key, was] : shapes_)
        if (!looks.count(key)) Damage(was);
    shapes_ = std::move(looks);
}

void ItemIndex::LabelsIn(int page, const Rect& area, std::vector<int>& out) const {
    const Page* p = PageOf(page);
    if (!p || !std::isfinite(area.left) || !std::isfinite(area.top) || !std::isfinite(area.width) ||
        !std::isfinite(area.height))
        return;
    const double right = area.left + area.width, bottom = area.top + area.height;
    const Span span = CellsOf(area.left, area.top, right, bottom);
    for (int r = span.top; r <= span.bottom; ++r)
        for (int c = span.left; c <= span.right; ++c)
            for (int label : p->cells[size_t(r) * size_t(columns_) + size_t(c)]) {
                const Look& look = labels_[size_t(label)];
                if (look.right < area.left || look.left > right || look.bottom < area.top ||
                    look.top > bottom)
                    continue;
                // A label in several cells of the area is taken in the first of them only.
                const Span own = CellsOf(look);
                if (c == std::max(own.left, span.left) && r == std::max(own.top, span.top))
                    out.push_back(label);
            }
}

void ItemIndex::LabelsAt(int page, double x, double y, std::vector<int>& out) const {
    const Page* p = PageOf(page);
    if (!p || !std::isfinite(x) || !std::isfinite(y)) return;
    const Span at = CellsOf(x, y, x, y);
    for (int label : p->cells[size_t(at.top) * size_t(columns_) + size_t(at.left)]) {
        const Look& look = labels_[size_t(label)];
        if (x >= look.left && x <= look.right && y >= look.top && y <= look.bottom)
            out.push_back(label);
    }
}

bool ItemIndex::DamageSince(int page, Mark& mark, std::vector<Rect>& out) const {
    const Page* p = page >= 0 && size_t(page) < pages_.size() ? &pages_[size_t(page)] : nullptr;
    const std::uint64_t dropped = p ? p->dropped : 0, end = dropped + (p ? p->damage.size() : 0);
    const bool known = mark.epoch == epoch_ && mark.seen >= dropped && mark.seen <= end;
    if (known && p)
        out.insert(out.end(), p->damage.begin() + std::ptrdiff_t(mark.seen - dropped),
                   p->damage.end());
    mark = {epoch_, end};
    return known;
}
