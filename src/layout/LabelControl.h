#pragma once
// The visible part of one label item, as the canvas keeps it (one per label index).
// The reader fills it through ControlSink, the writer reads it through LayoutSource.
#include <cstdint>
#include <string>

#include "shell/CompactText.h"
#include "shell/InlineText.h"
#include "shell/TextMetrics.h"
#include "shell/TextUtils.h"

enum class LabelAlignment { Left = 0, Right = 1, Centre = 2 };

// What a label's tool tip tells. The text is composed from the label's item when it is
// wanted (LabelToolTip): a form read whole would otherwise hold one per label.
enum class LabelTip : std::uint8_t {
    None,
    ItemDescription,  // the kind as a digit, plus a prompt's definition parts
    PromptCaption,    // the caption of the prompt the label was made to show
};

// Texts besides the caption are short codes shared between labels, or mostly empty.
struct LabelControl {
    InlineText caption;
    double left = 0, top = 0;         // inches from the page's top-left corner
    double width = 1, height = 0.17;  // inches
    double fontSize = 8;              // points
    CodeText fontName = "Arial";
    SparseText spare;  // text case letter, then "#" row "#" column for grid cells
    CodeText tag;      // "marked", "JustCopied", a grid's id, or empty
    int page = 0;      // 0-based page container
    LabelAlignment alignment = LabelAlignment::Left;
    bool bold = false, italic = false;
    bool autoSize = false;
    bool visible = true, enabled = true;
    bool bordered = false;  // a single-line border marks a selected label
    LabelTip toolTip = LabelTip::None;
    // A view aid of the label dialog: the rows a text-box prompt will take, drawn as
    // "ROW n" lines under its caption. Never part of the caption, so never written.
    std::uint8_t shownRows = 0;

    // The spare text, read and written only through these.
    // Text case the caption is shown in: "U", "L", "W" or empty.
    // Most labels have no spare text: they are answered without taking it apart.
    std::string CaseLetter() const {
        return spare.empty() ? std::string() : text::SplitStr(spare, "#", 1);
    }
    void SetCaseLetter(const std::string& letter) { spare = letter + PlacePart(); }
    // The row and column a data-grid cell keeps through a save; row 0 when it has none.
    long long CellRow() const { return SparePart(2); }
    long long CellColumn() const { return SparePart(3); }
    bool CarriesCellPlace() const { return CellRow() > 0; }
    void SetCellPlace(long long row, long long column) {
        spare = CaseLetter() + "#" + std::to_string(row) + "#" + std::to_string(column);
    }

    // The tag text: the selection state, or the id of the grid a cell was made with.
    bool Marked() const { return tag == kMarkedTag; }
    void SetMarked(bool on) { tag = on ? kMarkedTag : ""; }
    void MarkJustCopied() { tag = kJustCopiedTag; }
    void SetGridId(const std::string& gridId) { tag = gridId; }
    bool HasTag(const std::string& value) const { return tag == value; }
    void ClearTag() { tag.clear(); }

    static constexpr const char* kMarkedTag = "marked";
    static constexpr const char* kJustCopiedTag = "JustCopied";

  private:
    long long SparePart(int n) const {
        return spare.empty() ? 0 : (long long)text::Val(text::SplitStr(spare, "#", n));
    }
    std::string PlacePart() const {
        size_t hash = spare.find('#');
        return hash == std::string::npos ? std::string() : spare.substr(hash);
    }
};
