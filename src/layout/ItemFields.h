#pragma once
// The fields of one item line of a page, in the order they are written; each field
// is followed by a TAB. The reader and the writer both go by these names.
#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

enum class ItemField : std::size_t {
    Caption,  // the caption form (a barcode line has character 230 before it)
    Left,     // a right-aligned label's right edge instead
    Top,
    FontName,
    FontSize,   // the size, then the text-case letter
    Bold,       // "Y" or "N"
    Italic,     // "Y" or "N"
    Alignment,  // "L", "R" or "C"; a data-grid cell adds "-" row "-" column
    Width,
    AutoSize,       // "Y" or "N"
    BarcodeWidth,   // empty but for barcodes
    BarcodeHeight,  // a barcode's height, or a text block's
    LinkData,       // written only when there is any
};
inline constexpr std::size_t kItemFieldCount = std::size_t(ItemField::LinkData) + 1;
// A line of fewer elements is no item line.
inline constexpr std::size_t kMinItemLineElements = 8;
// A line of exactly this many elements was written before width and auto-size counted.
inline constexpr std::size_t kOldItemLineElements = 10;

class ItemFields {
  public:
    // Every field empty, for writing.
    ItemFields() : elements_(kItemFieldCount) {}
    // A line split at TAB, for reading.
    explicit ItemFields(std::vector<std::string> elements) : elements_(std::move(elements)) {}

    // A field is there when a TAB follows it: the element after the last TAB is none.
    bool Has(ItemField f) const { return std::size_t(f) + 1 < elements_.size(); }
    std::size_t ElementCount() const { return elements_.size(); }
    const std::string& operator[](ItemField f) const { return elements_[std::size_t(f)]; }
    std::string& operator[](ItemField f) { return elements_[std::size_t(f)]; }

    // The fields from the caption up to last, each followed by TAB.
    std::string Text(ItemField last) const {
        const std::size_t end = std::min(std::size_t(last) + 1, elements_.size());
        std::size_t length = end;
        for (std::size_t i = 0; i < end; ++i) length += elements_[i].size();
        std::string out;
        out.reserve(length);
        for (std::size_t i = 0; i < end; ++i) (out += elements_[i]) += '\t';
        return out;
    }

  private:
    std::vector<std::string> elements_;
};
