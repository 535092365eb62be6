#include "canvas/UndoHistory.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

UndoHistory::State UndoHistory::Split(const std::string& text) const {
    std::vector<std::string_view> pieces;
    pieces.reserve(std::size_t(std::count(text.begin(), text.end(), '\n')) + 1);
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        pieces.emplace_back(text.data() + start, end - start);
        start = end;
    }
    // A command touches a few lines: those before and after them are the current
    // state's, found by comparing in order; only the lines between are looked up.
    static const std::vector<Line> kNone;
    const std::vector<Line>& was = current_ < states_.size() ? states_[current_].lines : kNone;
    const std::size_t common = std::min(was.size(), pieces.size());
    std::size_t head = 0, tail = 0;
    while (head < common && *was[head] == pieces[head]) ++head;
    while (tail < common - head && *was[was.size() - 1 - tail] == pieces[pieces.size() - 1 - tail])
        ++tail;
    // Lines equal to one of the current state's are shared with it, wherever they moved.
    std::unordered_map<std::string_view, Line> known;
    for (std::size_t k = head; k < was.size() - tail; ++k) known.emplace(*was[k], was[k]);
    State state;
    state.lines.reserve(pieces.size());
    state.lines.insert(state.lines.end(), was.begin(), was.begin() + std::ptrdiff_t(head));
    for (std::size_t k = head; k < pieces.size() - tail; ++k) {
        auto found = known.find(pieces[k]);
        state.lines.push_back(
            found != known.end() ? found->second : std::make_shared<const std::string>(pieces[k]));
    }
    state.lines.insert(state.lines.end(), was.end() - std::ptrdiff_t(tail), was.end());
    return state;
}

std::string UndoHistory::Join(const State& state) {
    std::size_t size = 0;
    for (const Line& line : state.lines) size += line->size();
    std::string text;
    text.reserve(size);
    for (const Line& line : state.lines) text += *line;
    return text;
}

void UndoHistory::Reset(const std::string& state) {
    states_.clear();
    current_ = 0;
    states_.push_back(Split(state));
}

bool UndoHistory::Record(const std::string& state, const std::string& name) {
    if (states_.empty()) {
        Reset(state);
        return false;
    }
    State next = Split(state);
    // Every line the current state's own, in the same order: nothing changed.
    if (next.lines == states_[current_].lines) return false;
    next.name = name;
    states_.erase(states_.begin() + std::ptrdiff_t(current_) + 1, states_.end());
    states_.push_back(std::move(next));
    if (states_.size() > maxSteps_ + 1) states_.erase(states_.begin());
    current_ = states_.size() - 1;
    return true;
}

std::string UndoHistory::UndoName() const {
    return CanUndo() ? states_[current_].name : std::string();
}

std::string UndoHistory::RedoName() const {
    return CanRedo() ? states_[current_ + 1].name : std::string();
}

std::string UndoHistory::Undo() {
    if (CanUndo()) --current_;
    return Current();
}

std::string UndoHistory::Redo() {
    if (CanRedo()) ++current_;
    return Current();
}

std::string UndoHistory::Current() const {
    return states_.empty() ? std::string() : Join(states_[current_]);
}

std::size_t UndoHistory::MemoryBytes() const {
    std::unordered_set<const std::string*> counted;
    std::size_t bytes = 0;
    for (const State& state : states_) {
        bytes += state.lines.capacity() * sizeof(Line) + state.name.capacity();
        for (const Line& line : state.lines)
            if (counted.insert(line.get()).second) bytes += sizeof(std::string) + line->capacity();
    }
    return bytes;
}
