#pragma once
// The fields of one item line of a page, in the order they are written; each field
// is followed by a TAB. The reader and the writer both go by these names.
#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "shell/TextUtils.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    // A line split at TAB. Elements past the last named field are counted only.
    explicit ItemFields(std::string_view line) : count_(0) {
        if (line.empty()) return;
        const char* start = line.data();
        const char* const end = start + line.size();
        const char* p = start;
#if defined(__SSE2__)
        // Sixteen bytes are looked at together: a line's fields are a few letters each,
        // so a byte at a time costs a branch per byte, and one call per field costs more.
        const __m128i tab = _mm_set1_epi8('\t');
        for (; end - p >= 16; p += 16) {
            auto tabs = unsigned(_mm_movemask_epi8(
                _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), tab)));
            for (; tabs; tabs &= tabs - 1) EndField(start, p + __builtin_ctz(tabs));
        }
#endif
        for (; p != end; ++p)
            if (*p == '\t') EndField(start, p);
        if (count_ < kItemFieldCount) fields_[count_] = {start, std::size_t(end - start)};
        ++count_;
    }

    // A field is there when a TAB follows it: the element after the last TAB is none.
    bool Has(ItemField f) const {
        return std::size_t(f) + 1 < count_;
    }
    std::size_t ElementCount() const {
        return count_;
    }
    std::string_view operator[](ItemField f) const {
        return fields_[std::size_t(f)];
    }

  private:
    // The field from start ends at tab; the next one starts after it.
    void EndField(const char*& start, const char* tab) {
        if (count_ < kItemFieldCount) fields_[count_] = {start, std::size_t(tab - start)};
        ++count_;
        start = tab + 1;
    }

    std::array<std::string_view, kItemFieldCount> fields_{};
    std::size_t count_;
};
