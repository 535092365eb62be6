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

// Views of the fields, into the line read or the values to write, which must outlive
// them: an item line costs no string per field either way.
class ItemFields {
  public:
    // Every field empty, for writing.
    ItemFields() : count_(kItemFieldCount) {}
    // A line split at TAB, for reading. Elements past the last named field are
    // counted only.
    explicit ItemFields(std::string_view line) : count_(0) {
        if (line.empty()) return;
        // One pass over the line: its fields are a few letters each.
        const char* start = line.data();
        const char* const end = start + line.size();
        for (const char* p = start; p != end; ++p) {
            if (*p != '\t') continue;
            if (count_ < kItemFieldCount) fields_[count_] = {start, std::size_t(p - start)};
            ++count_;
            start = p + 1;
        }
        if (count_ < kItemFieldCount) fields_[count_] = {start, std::size_t(end - start)};
        ++count_;
    }

    // A field is there when a TAB follows it: the element after the last TAB is none.
    bool Has(ItemField f) const { return std::size_t(f) + 1 < count_; }
    std::size_t ElementCount() const { return count_; }
    std::string_view operator[](ItemField f) const { return fields_[std::size_t(f)]; }
    std::string_view& operator[](ItemField f) { return fields_[std::size_t(f)]; }

    // Appends the fields from the caption up to last, each followed by TAB.
    void AppendTo(std::string& out, ItemField last) const {
        const std::size_t end = std::min(std::size_t(last) + 1, count_);
        // Room for the whole line at once: a dozen short appends cost more than the bytes.
        std::size_t length = end;
        for (std::size_t i = 0; i < end; ++i) length += fields_[i].size();
        const std::size_t start = out.size();
        out.resize(start + length);
        char* p = out.data() + start;
        for (std::size_t i = 0; i < end; ++i) {
            p = std::copy(fields_[i].begin(), fields_[i].end(), p);
            *p++ = '\t';
        }
    }

  private:
    std::array<std::string_view, kItemFieldCount> fields_{};
    std::size_t count_;
};
