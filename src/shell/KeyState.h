#pragma once
// Which modifier keys are held right now. The canvas asks through this seam so that
// tests can set the answer; the window build installs the keyboard-backed one.
class KeyState {
  public:
    virtual ~KeyState() = default;
    virtual bool ShiftPressed() const = 0;
    virtual bool CtrlPressed() const = 0;
    virtual bool AltPressed() const = 0;
};

// Answers whatever the flags say; all released at first.
class SettableKeyState : public KeyState {
  public:
    bool ShiftPressed() const override { return shift; }
    bool CtrlPressed() const override { return ctrl; }
    bool AltPressed() const override { return alt; }
    bool shift = false, ctrl = false, alt = false;
};

// The process-wide key state. Until one is installed every key reads as released.
KeyState& CurrentKeyState();
// Installs ks (not owned; nullptr goes back to "all released").
void SetCurrentKeyState(KeyState* ks);
