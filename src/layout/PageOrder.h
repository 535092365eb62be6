#pragma once
// The order the lines of a page are written in: prompts by number, database fields,
// boxes by number, static texts, barcodes, each group in the turn its lines came.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

enum class LineGroup : std::uint8_t { Prompts, Fields, Boxes, Statics, Barcodes, Count };

struct LineKey {
    LineGroup group = LineGroup::Statics;
    double number = 0;  // prompts and boxes are ordered by it, the others keep their turn
};

// The key of a line, from its first field (up to the first TAB).
LineKey KeyOfLine(std::string_view line);

// The positions of keys in the order their lines are written.
void ArrangeKeys(const std::vector<LineKey>& keys, std::vector<std::uint32_t>& order);

// The lines of one page, written first and filed after: the lines stay where they were
// written, in one text, and only their places are filed. A page already in order is
// copied out whole, any other page once, line by line.
class ArrangedPage {
  public:
    // The text lines are written onto; Take() files what was written.
    std::string& Text() { return text_; }
    void Reserve(std::size_t lines) {
        keys_.reserve(lines);
        places_.reserve(lines);
    }
    // Files the lines written onto the text from `from` on and ends them with CR LF.
    // Lines end at CR LF or at a CR alone.
    void Take(std::size_t from);
    void AddLines(std::string_view text) {
        const std::size_t from = text_.size();
        text_ += text;
        Take(from);
    }
    void AddPrompt(double number, std::string_view line);
    // The keys of the prompts on the page.
    std::unordered_set<std::string_view> PromptKeys() const;
    // The page's lines in order onto out; the page is empty again after.
    void AppendTo(std::string& out);
    // Empty again, keeping its room.
    void Clear();

  private:
    struct Place {
        std::size_t begin, length;
        bool crLf;  // CR LF follows it in the text
    };
    std::string_view LineText(const Place& p) const {
        return std::string_view(text_).substr(p.begin, p.length);
    }
    bool WrittenInOrder() const;
    void File(std::size_t begin, std::size_t length, bool crLf);
    std::string text_;
    std::vector<LineKey> keys_;
    std::vector<Place> places_;
    std::vector<std::uint32_t> order_;
};

// The n-th part (from 1) of text split at delimiter; empty when there is no such part.
std::string_view NthPart(std::string_view text, char delimiter, int n);
