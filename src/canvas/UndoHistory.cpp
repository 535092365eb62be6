#include "canvas/UndoHistory.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {
template <class F>
void ForEachLine(std::string_view text, F f) {
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        end = end == std::string_view::npos ? text.size() : end + 1;
        f(text.substr(start, end - start));
        start = end;
    }
}
}  // namespace

template <class F>
void UndoHistory::ForEachLine(const State& state, F f) {
    if (state.lines.empty() && !state.blocks.empty())
        ::ForEachLine(*state.blocks[0], f);
    else
        for (std::string_view line : state.lines) f(line);
}

UndoHistory::State UndoHistory::Whole(Block text) {
    State state;
    state.blocks.push_back(std::move(text));
    return state;
}

UndoHistory::State UndoHistory::Split(const std::string& text) const {
    if (current_ >= states_.size()) return Whole(std::make_shared<const std::string>(text));
    const State& now = states_[current_];
    // The current state's lines, each with the block it points into (they come in runs
    // from one block).
    std::vector<std::string_view> was;
    std::vector<std::size_t> blockOf;
    auto within = [&](std::string_view line, std::size_t b) {
        const std::string& block = *now.blocks[b];
        return line.data() >= block.data() && line.data() < block.data() + block.size();
    };
    std::size_t b = 0;
    ForEachLine(now, [&](std::string_view line) {
        if (!within(line, b))
            for (b = 0; b + 1 < now.blocks.size() && !within(line, b);) ++b;
        was.push_back(line);
        blockOf.push_back(b);
    });
    std::vector<std::string_view> pieces;
    pieces.reserve(std::size_t(std::count(text.begin(), text.end(), '\n')) + 1);
    ::ForEachLine(text, [&](std::string_view line) { pieces.push_back(line); });
    // A command touches a few lines: those before and after them are the current state's,
    // found by comparing in order; only the lines between are looked up.
    const std::size_t common = std::min(was.size(), pieces.size());
    std::size_t head = 0, tail = 0;
    while (head < common && was[head] == pieces[head]) ++head;
    while (tail < common - head && was[was.size() - 1 - tail] == pieces[pieces.size() - 1 - tail])
        ++tail;
    // Lines equal to one of the current state's are shared with it, wherever they moved;
    // the others go into one new block. A state keeps only the blocks it points into.
    std::unordered_map<std::string_view, std::size_t> known;  // line -> its index in was
    known.reserve(was.size() - tail - head + 1);
    for (std::size_t k = head; k < was.size() - tail; ++k) known.emplace(was[k], k);
    State state;
    state.lines.reserve(pieces.size());
    std::vector<bool> used(now.blocks.size(), false);
    auto share = [&](std::size_t k) {
        used[blockOf[k]] = true;
        state.lines.push_back(was[k]);
    };
    std::string fresh;
    std::vector<std::size_t> freshLines;  // pointed into the new block once it is whole
    for (std::size_t k = 0; k < head; ++k) share(k);
    for (std::size_t k = head; k < pieces.size() - tail; ++k) {
        if (auto found = known.find(pieces[k]); found != known.end()) {
            share(found->second);
        } else {
            freshLines.push_back(state.lines.size());
            state.lines.push_back(pieces[k]);
            fresh += pieces[k];
        }
    }
    for (std::size_t k = was.size() - tail; k < was.size(); ++k) share(k);
    for (std::size_t i = 0; i < now.blocks.size(); ++i)
        if (used[i]) state.blocks.push_back(now.blocks[i]);
    if (!fresh.empty()) {
        auto block = std::make_shared<const std::string>(std::move(fresh));
        std::size_t at = 0;
        for (std::size_t i : freshLines) {
            std::string_view& line = state.lines[i];
            line = std::string_view(block->data() + at, line.size());
            at += line.size();
        }
        state.blocks.push_back(std::move(block));
    }
    return state;
}

std::string UndoHistory::Join(const State& state) {
    if (state.lines.empty()) return state.blocks.empty() ? std::string() : *state.blocks[0];
    std::size_t size = 0;
    for (std::string_view line : state.lines) size += line.size();
    std::string text;
    text.reserve(size);
    for (std::string_view line : state.lines) text += line;
    return text;
}

bool UndoHistory::Holds(const State& state, std::string_view text) {
    std::size_t at = 0;
    bool same = true;
    ForEachLine(state, [&](std::string_view line) {
        same = same && text.substr(at, line.size()) == line;
        at += line.size();
    });
    return same && at == text.size();
}

void UndoHistory::Reset(const std::string& state) {
    Reset(std::make_shared<const std::string>(state));
}

void UndoHistory::Reset(std::shared_ptr<const std::string> state) {
    states_.clear();
    current_ = 0;
    states_.push_back(Whole(std::move(state)));
}

bool UndoHistory::Record(const std::string& state, const std::string& name) {
    if (states_.empty()) {
        Reset(state);
        return false;
    }
    if (Holds(states_[current_], state)) return false;
    State next = Split(state);
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
        bytes += state.lines.capacity() * sizeof(std::string_view) + state.name.capacity() +
                 state.blocks.capacity() * sizeof(Block);
        for (const Block& block : state.blocks)
            if (counted.insert(block.get()).second)
                bytes += sizeof(std::string) + block->capacity();
    }
    return bytes;
}
