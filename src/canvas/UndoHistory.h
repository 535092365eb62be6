#pragma once
// The steps of the open form for Undo and Redo: each step holds the records its command
// touched, before and after (CanvasStep), so a step costs what the command changed and
// taking it back or doing it again puts those records back at their own indices.
// Qt-free.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "canvas/CanvasStep.h"

class UndoHistory {
  public:
    // At most maxSteps steps are kept; the oldest go first.
    explicit UndoHistory(std::size_t maxSteps = 100) : maxSteps_(maxSteps) {}

    // A form was opened or started: no steps, and a state of its own.
    void Reset();
    // The step of a command named name ("Move", "Delete" ...); false, and no step, when
    // it changed nothing. Any redo beyond the current state goes.
    bool Record(CanvasStep step, const std::string& name);

    bool CanUndo() const { return current_ > 0; }
    bool CanRedo() const { return current_ < steps_.size(); }
    // The name of the step Undo / Redo would take back or do again ("" when none).
    std::string UndoName() const;
    std::string RedoName() const;
    // One step back / forward: the step whose records to put back as they were before /
    // after it; null when there is none.
    const CanvasStep* Undo();
    const CanvasStep* Redo();
    std::size_t Steps() const { return steps_.size(); }
    // Which state the form is in: a number of its own for every state the history
    // reached, so a state it comes back to by undo or redo has the same one.
    std::uint64_t Position() const { return current_ > 0 ? steps_[current_ - 1].id : baseId_; }
    // Bytes held by the kept steps (a part shared by several steps counted once).
    std::size_t MemoryBytes() const;

  private:
    struct Step {
        CanvasStep step;
        std::string name;  // the command that led to the state after it
        std::uint64_t id;  // that state's position
    };
    std::size_t maxSteps_;
    std::deque<Step> steps_;
    std::size_t current_ = 0;  // steps done; the next undo takes back steps_[current_ - 1]
    std::uint64_t baseId_ = 0, nextId_ = 1;
};
