#include "layout/PageOrder.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "layout/ItemTypes.h"
#include "shell/Cp1252.h"
#include "shell/TextUtils.h"

namespace {

constexpr char kCrLf[] = "\r\n";

bool Before(const LineKey& a, const LineKey& b) {
    return a.group < b.group || (a.group == b.group && a.number < b.number);
}

bool IsBarcodeLine(std::string_view line) {
    return !line.empty() && line[0] == cp1252::kBarcodeMark;
}

}  // namespace

std::string_view NthPart(std::string_view text, char delimiter, int n) {
    for (; n > 1; --n) {
        const size_t pos = text.find(delimiter);
        if (pos == std::string_view::npos) return {};
        text.remove_prefix(pos + 1);
    }
    return text.substr(0, text.find(delimiter));
}

LineKey KeyOfLine(std::string_view line) {
    // Every marked caption begins with its marker: a line that begins otherwise is a
    // static text, known without looking for its end.
    if (line.empty()) return {LineGroup::Statics, 0};
    if (const char first = line[0];
        first != char(cp1252::kBarcodeMark) && first != '^' && first != '%' && first != '~')
        return {LineGroup::Statics, 0};
    const std::string_view f0 = NthPart(line, '\t', 1);
    if (IsBarcodeLine(f0)) {
        const std::string_view rest = f0.substr(1);
        if (IsUserPromptsLabel(rest)) return {LineGroup::Prompts, text::Val(NthPart(rest, '@', 6))};
        return {LineGroup::Barcodes, 0};
    }
    if (IsUserPromptsLabel(f0)) return {LineGroup::Prompts, text::Val(NthPart(f0, '@', 6))};
    if (IsInteractiveBoxLabel(f0)) return {LineGroup::Boxes, text::Val(NthPart(f0, '@', 3))};
    if (IsDataBoundLabel(f0)) return {LineGroup::Fields, 0};
    return {LineGroup::Statics, 0};
}

void ArrangeKeys(const std::vector<LineKey>& keys, std::vector<std::uint32_t>& order) {
    if (keys.size() > UINT32_MAX) throw std::length_error("too many lines on one page");
    // Counted into their groups, in turn; then the numbered groups sorted where they
    // are out of order, equal numbers keeping their turn.
    std::array<size_t, size_t(LineGroup::Count) + 1> first{};
    for (const LineKey& k : keys) ++first[size_t(k.group) + 1];
    for (size_t g = 1; g < first.size(); ++g) first[g] += first[g - 1];
    std::array<size_t, size_t(LineGroup::Count)> next{};
    std::copy(first.begin(), first.end() - 1, next.begin());
    order.resize(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) order[next[size_t(keys[i].group)]++] = uint32_t(i);
    auto byNumber = [&keys](uint32_t a, uint32_t b) { return keys[a].number < keys[b].number; };
    for (LineGroup g : {LineGroup::Prompts, LineGroup::Boxes}) {
        const auto from = order.begin() + std::ptrdiff_t(first[size_t(g)]);
        const auto to = order.begin() + std::ptrdiff_t(first[size_t(g) + 1]);
        if (!std::is_sorted(from, to, byNumber)) std::stable_sort(from, to, byNumber);
    }
}

void ArrangedPage::Take(size_t from) {
    const std::string_view text(text_);
    for (size_t start = from; start < text.size();) {
        const size_t cr = text.find('\r', start);
        // The last line is ended with CR LF below.
        const bool crLf =
            cr == std::string_view::npos || (cr + 1 < text.size() && text[cr + 1] == '\n');
        File(start, (cr == std::string_view::npos ? text.size() : cr) - start, crLf);
        start = cr == std::string_view::npos ? cr : cr + (crLf ? 2 : 1);
    }
    text_ += kCrLf;
}

void ArrangedPage::AddPrompt(double number, std::string_view line) {
    keys_.push_back({LineGroup::Prompts, number});
    places_.push_back({text_.size(), line.size(), true});
    (text_ += line) += kCrLf;
}

std::unordered_set<std::string_view> ArrangedPage::PromptKeys() const {
    std::unordered_set<std::string_view> keys;
    for (size_t i = 0; i < keys_.size(); ++i) {
        if (keys_[i].group != LineGroup::Prompts) continue;
        std::string_view f0 = NthPart(LineText(places_[i]), '\t', 1);
        if (IsBarcodeLine(f0)) f0.remove_prefix(1);
        keys.insert(NthPart(f0, '@', 1));
    }
    return keys;
}

void ArrangedPage::AppendTo(std::string& out) {
    if (WrittenInOrder()) {
        out += text_;
    } else {
        ArrangeKeys(keys_, order_);
        // A line with its CR LF behind it is copied with it, in one piece.
        for (uint32_t i : order_) {
            const Place& p = places_[i];
            if (p.crLf)
                out.append(text_, p.begin, p.length + 2);
            else
                (out += LineText(p)) += kCrLf;
        }
    }
    Clear();
}

void ArrangedPage::Clear() {
    text_.clear();
    keys_.clear();
    places_.clear();
}

// True when the text holds each line once, in order, each followed by CR LF.
bool ArrangedPage::WrittenInOrder() const {
    size_t at = 0;
    for (size_t i = 0; i < places_.size(); ++i) {
        const Place& p = places_[i];
        if (p.begin != at || text_.compare(p.begin + p.length, 2, kCrLf) != 0) return false;
        if (i > 0 && Before(keys_[i], keys_[i - 1])) return false;
        at = p.begin + p.length + 2;
    }
    return at == text_.size();
}

void ArrangedPage::File(size_t begin, size_t length, bool crLf) {
    if (length == 0) return;
    keys_.push_back(KeyOfLine(std::string_view(text_).substr(begin, length)));
    places_.push_back({begin, length, crLf});
}
