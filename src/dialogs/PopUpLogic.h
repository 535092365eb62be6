#pragma once
// What the save-form dialog `frmPopUp` does, apart from its window: the four fields
// that identify a form, the overwrite guard, the checks on "OK" and the document-type
// look-up against the "IDT" code list.
#include <functional>
#include <string>
#include <vector>

struct FormSettings;
class UserInterface;
class LookupPicker;
class LookupValidator;

class PopUpLogic {
  public:
    enum class Field { None, Name, Description, Type, DocumentType };
    enum class OkOutcome { KeepOpen, Accepted, Cancelled };
    // Asks text/title with OK and Cancel (Cancel the default, exclamation icon); true on OK.
    using Confirm = std::function<bool(const std::string& text, const std::string& title)>;

    // The code list that holds the document types of the medical record.
    static constexpr const char* kDocumentTypeList = "IDT";

    // Form types offered in the drop-down list, in order.
    static const std::vector<std::string>& FormTypes();
    // Characters refused in name, description and type, in the order they are listed.
    static const std::string& ForbiddenCharacters();
    static bool HasForbiddenCharacter(const std::string& text);

    // Fills the fields from the settings; an existing form shows "Overwrite" and
    // starts with "OK" disabled.
    void Load(const FormSettings& settings, bool formExists);

    std::string name, description, type, documentType;

    bool OverwriteShown() const { return overwriteShown_; }
    bool OverwriteChecked() const { return overwriteChecked_; }
    void SetOverwriteChecked(bool on) { overwriteChecked_ = on; }
    bool OkEnabled() const { return !overwriteShown_ || overwriteChecked_; }

    // "OK": runs the confirmation and the checks in order. On Accepted the four values
    // are stored in settings; on KeepOpen FocusField() names the field to correct; on
    // Cancelled (the confirmation was refused) nothing is stored. Without a confirm
    // function the question goes to ui.OkCancel.
    OkOutcome Ok(FormSettings& settings, UserInterface& ui, const Confirm& confirm = {});
    // "Cancel" and the close box.
    void Cancel() { cancelled_ = true; }

    bool Cancelled() const { return cancelled_; }
    Field FocusField() const { return focus_; }

    // The look-up button: the picker's choice (its code) replaces the field; "CANCEL"
    // changes nothing. True when the field changed.
    bool LookUpDocumentType(LookupPicker& picker);
    // Leaving the field: a valid code is rewritten in the list's own form; one that is
    // not valid (an empty field included) opens the picker. True when it changed.
    bool LeaveDocumentType(LookupValidator& validator, LookupPicker& picker);

  private:
    OkOutcome Refuse(UserInterface& ui, Field field, const std::string& text,
                     const std::string& title);

    bool overwriteShown_ = false;
    bool overwriteChecked_ = false;
    bool cancelled_ = false;
    Field focus_ = Field::None;
    std::string storedCode_;
};
