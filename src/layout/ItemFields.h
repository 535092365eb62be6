#pragma once
// The fields of one item line of a page, in the order they are written; each field
// is followed by a TAB. The reader and the writer both go by these names.
#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "shell/TextUtils.h"

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

// Views of the fields of a line read, which must outlive them: an item line costs no
// string per field.
class ItemFields {
  public:
    // The first line of text, given as line (without its CR LF), split at TAB in the same
    // pass. Elements past the last named field are counted only. The fields are left unset
    // until split: clearing them first cost more than the split of a short line.
    ItemFields(std::string_view text, std::string_view& line)
        : count_(text::FirstPiecesOfLine(text, '\t', fields_, line)) {}

    // A field is there when a TAB follows it: the element after the last TAB is none.
    bool Has(ItemField f) const { return std::size_t(f) + 1 < count_; }
    std::size_t ElementCount() const { return count_; }
    // Empty past the last element.
    std::string_view operator[](ItemField f) const {
        return std::size_t(f) < count_ ? fields_[std::size_t(f)] : std::string_view();
    }

  private:
    union {
        std::array<std::string_view, kItemFieldCount> fields_;
    };
    std::size_t count_;
};
