#pragma once
// Which modifier keys are held right now, for whoever is handed one: the keyboard's
// in the window build, settable flags in tests.
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
