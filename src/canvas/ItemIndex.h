#pragma once
// Where the labels of a form lie, page by page, and what changed where since a page was
// last drawn. A page is cut into cells and a label is listed in every cell its area
// meets, so finding what lies in an area or under a point visits that area's cells
// alone. Every item keeps its look (a hash of what it draws and the area it covers);
// when an item is looked at again after an edit and its look changed, the area it
// covered and the area it covers now are added to its pages' damage, so no edit costs
// what the page holds. Shapes and pictures are few: they are compared all at once when
// one of them changed. Qt-free.
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "canvas/CanvasRect.h"

// Hashes what an item draws.
class LookHasher {
  public:
    LookHasher& Add(std::uint64_t v) {
        h_ = (h_ ^ v) * 0x9E3779B97F4A7C15ULL;
        h_ ^= h_ >> 29;
        return *this;
    }
    LookHasher& Add(double d) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &d, sizeof bits);
        return Add(bits);
    }
    LookHasher& Add(std::string_view s) {
        return Add(std::uint64_t(std::hash<std::string_view>{}(s))).Add(std::uint64_t(s.size()));
    }
    LookHasher& Add(const Rect& r) { return Add(r.left).Add(r.top).Add(r.width).Add(r.height); }
    std::uint64_t Value() const { return h_; }

  private:
    std::uint64_t h_ = 0xCBF29CE484222325ULL;
};

class ItemIndex {
  public:
    struct Look {
        std::uint64_t hash = 0;
        float left = 0, top = 0, right = 0, bottom = 0;  // inches, with what the item's pen adds
        int page = -1;                                   // -1: drawn on no page
        Rect Area() const { return {left, top, double(right) - left, double(bottom) - top}; }
        bool operator==(const Look&) const = default;
    };
    // How far a reader of a page's damage has read.
    struct Mark {
        std::uint64_t epoch = 0, seen = 0;
    };

    // Forgets every item and cuts the pages for this size: every mark goes stale.
    void Reset(double pageWidth, double pageHeight);
    double PageWidth() const { return width_; }
    double PageHeight() const { return height_; }
    // A label's look now. damage: its old and new areas are damage when they differ.
    void PutLabel(int label, const Look& look, bool damage = true);
    // The looks of every shape and picture, by a key of their own.
    void PutShapes(std::unordered_map<std::uint64_t, Look> looks);
    // The labels whose area meets `area` on a page, each once, in no order.
    void LabelsIn(int page, const Rect& area, std::vector<int>& out) const;
    // The labels whose area holds a point of a page, in no order.
    void LabelsAt(int page, double x, double y, std::vector<int>& out) const;
    // Appends the damage of a page since mark and moves the mark on; false when it is not
    // known (the mark is older than the last Reset or than the damage kept): the whole page.
    bool DamageSince(int page, Mark& mark, std::vector<Rect>& out) const;

  private:
    struct Page {
        std::vector<std::vector<int>> cells;  // row by row
        std::vector<Rect> damage;
        std::uint64_t dropped = 0;  // damage areas before damage[0]
    };
    struct Span {
        int left = 0, top = 0, right = -1, bottom = -1;  // cells, inclusive
    };
    Span CellsOf(double left, double top, double right, double bottom) const;
    Span CellsOf(const Look& look) const;
    Page* PageOf(int page);
    const Page* PageOf(int page) const;
    void Damage(const Look& look);

    double width_ = 0, height_ = 0;
    int columns_ = 1, rows_ = 1;
    double cellWidth_ = 1, cellHeight_ = 1;
    std::uint64_t epoch_ = 1;
    std::vector<Look> labels_;
    std::unordered_map<std::uint64_t, Look> shapes_;
    std::vector<Page> pages_;
};
