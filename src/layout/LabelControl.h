#pragma once
// The visible part of one label item, as the canvas keeps it (one per label index).
// The reader fills it through ControlSink, the writer reads it through LayoutSource.
#include <string>

#include "shell/TextUtils.h"
#include "shell/Units.h"

enum class LabelAlignment { Left = 0, Right = 1, Centre = 2 };

struct LabelControl {
    std::string caption;
    double left = 0, top = 0;         // inches from the page's top-left corner
    double width = 1, height = 0.17;  // inches
    std::string fontName = "Arial";
    double fontSize = 8;  // points
    bool bold = false, italic = false;
    LabelAlignment alignment = LabelAlignment::Left;
    bool autoSize = false;
    bool visible = true, enabled = true;
    std::string toolTip;    // the kind as a digit, plus a prompt's definition parts
    std::string spare;      // text case letter, then "#" row "#" column for grid cells
    std::string tag;        // "marked", "JustCopied", a grid's id, or empty
    bool bordered = false;  // a single-line border marks a selected label
    int page = 0;           // 0-based page container

    // The spare text, read and written only through these.
    // Text case the caption is shown in: "U", "L", "W" or empty.
    std::string CaseLetter() const { return text::SplitStr(spare, "#", 1); }
    void SetCaseLetter(const std::string& letter) { spare = letter + PlacePart(); }
    // The row and column a data-grid cell keeps through a save; row 0 when it has none.
    long long CellRow() const { return (long long)text::Val(text::SplitStr(spare, "#", 2)); }
    long long CellColumn() const { return (long long)text::Val(text::SplitStr(spare, "#", 3)); }
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
    std::string PlacePart() const {
        size_t hash = spare.find('#');
        return hash == std::string::npos ? std::string() : spare.substr(hash);
    }
};

// Width and height of a caption in a font; the Qt implementation measures with
// QFontMetricsF, the test implementation uses a fixed width per character.
class TextMetrics {
  public:
    virtual ~TextMetrics() = default;
    // Size in inches of the caption drawn in the label's font.
    virtual double TextWidth(const std::string& caption, const std::string& fontName,
                             double fontSize, bool bold, bool italic) const = 0;
    virtual double TextHeight(const std::string& fontName, double fontSize, bool bold,
                              bool italic) const = 0;
    // False when no such font can be set on this machine.
    virtual bool FontExists(const std::string& fontName) const = 0;
};

// Deterministic metrics for tests and headless tools: every character is
// fontSize * 0.5 points wide, a line is fontSize * 1.2 points high, and every font
// exists except those named in missingFonts (comma-separated).
class FixedTextMetrics : public TextMetrics {
  public:
    explicit FixedTextMetrics(std::string missingFonts = {}) : missing_(std::move(missingFonts)) {}
    double TextWidth(const std::string& caption, const std::string&, double fontSize, bool,
                     bool) const override {
        return units::PointsToInches(double(caption.size()) * fontSize * 0.5);
    }
    double TextHeight(const std::string&, double fontSize, bool, bool) const override {
        return units::PointsToInches(fontSize * 1.2);
    }
    bool FontExists(const std::string& fontName) const override {
        if (missing_.empty() || fontName.empty()) return true;
        std::string list = "," + missing_ + ",";
        return list.find("," + fontName + ",") == std::string::npos;
    }

  private:
    std::string missing_;
};
