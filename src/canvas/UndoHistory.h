#pragma once
// The steps of the open form for Undo and Redo: whole states of the form (its layout
// text), each kept as lines shared with its neighbour so that a step that touches a few
// items costs little more than their lines. A state's lines are views into blocks of
// text shared between states; the opened form is its text alone, split when needed.
// Qt-free.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class UndoHistory {
  public:
    // At most maxSteps steps are kept; the oldest go first.
    explicit UndoHistory(std::size_t maxSteps = 100) : maxSteps_(maxSteps) {}

    // A form was opened or started: no steps, this is its state.
    void Reset(const std::string& state);
    // ... taking a text that the caller may keep sharing.
    void Reset(std::shared_ptr<const std::string> state);
    // The state after a command named name ("Move", "Delete" ...); false, and no step,
    // when it equals the current one. Any redo beyond the current state goes.
    bool Record(const std::string& state, const std::string& name);

    bool CanUndo() const { return current_ > 0; }
    bool CanRedo() const { return current_ + 1 < states_.size(); }
    // The name of the step Undo / Redo would take back or do again ("" when none).
    std::string UndoName() const;
    std::string RedoName() const;
    // One step back / forward: the state to restore (unchanged when there is none).
    std::string Undo();
    std::string Redo();
    std::string Current() const;
    std::size_t Steps() const { return states_.empty() ? 0 : states_.size() - 1; }
    // Bytes held by the kept states (lines counted once however many states share them).
    std::size_t MemoryBytes() const;

  private:
    using Block = std::shared_ptr<const std::string>;
    struct State {
        std::vector<Block> blocks;            // the texts its lines point into
        std::vector<std::string_view> lines;  // none when it is its one block whole
        std::string name;                     // the command that led to this state
    };
    State Split(const std::string& text) const;
    static State Whole(Block text);
    template <class F>
    static void ForEachLine(const State& state, F f);
    static std::string Join(const State& state);
    // Whether the state is that text, without joining it.
    static bool Holds(const State& state, std::string_view text);

    std::size_t maxSteps_;
    std::vector<State> states_;
    std::size_t current_ = 0;
};
