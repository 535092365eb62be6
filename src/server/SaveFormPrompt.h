#pragma once
// The save-form dialog as the save flow sees it. The dialog fills its fields from
// the form settings, and on "OK" stores the checked name, description, type and
// document type back into them.
struct FormSettings;

class SaveFormPrompt {
  public:
    virtual ~SaveFormPrompt() = default;
    // Shows the dialog modally; formExists shows "Overwrite" and starts with "OK"
    // disabled. True when the user confirmed and the values were stored, false when
    // cancelled (nothing stored then).
    virtual bool ShowSaveDialog(FormSettings& settings, bool formExists) = 0;
};
