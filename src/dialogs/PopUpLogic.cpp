#include "dialogs/PopUpLogic.h"

#include "dialogs/DialogText.h"
#include "layout/FormSettings.h"
#include "server/OutsideComponents.h"
#include "shell/UserInterface.h"

using dialogtext::IsNumeric;
using dialogtext::TrimSpaces;

const std::vector<std::string>& PopUpLogic::FormTypes() {
    static const std::vector<std::string> types{"ZEPH",         "ZEPH_R",      "ZEPH Prestan",
                                                "ZEPH Oskarin", "Interactive", "TEST"};
    return types;
}

const std::string& PopUpLogic::ForbiddenCharacters() {
    // 230 and 197 separate the parts of server records.
    static const std::string set = std::string("|") + '\xE6' + '\xC5' + ",:/\\`*?<>';@^~";
    return set;
}

bool PopUpLogic::HasForbiddenCharacter(const std::string& text) {
    return text.find_first_of(ForbiddenCharacters()) != std::string::npos;
}

void PopUpLogic::Load(const FormSettings& settings, bool formExists) {
    name = settings.formCode;
    description = settings.formName;
    type = settings.formType;
    documentType = settings.formDocumentType;
    storedCode_ = settings.formCode;
    overwriteShown_ = formExists;
    overwriteChecked_ = false;
    cancelled_ = false;
    focus_ = Field::None;
}

PopUpLogic::OkOutcome PopUpLogic::Refuse(UserInterface& ui, Field field, const std::string& text,
                                         const std::string& title) {
    ui.Message(text, title, MessageIcon::Warning);
    focus_ = field;
    return OkOutcome::KeepOpen;
}

PopUpLogic::OkOutcome PopUpLogic::Ok(FormSettings& settings, UserInterface& ui,
                                     const Confirm& confirm) {
    focus_ = Field::None;
    if (overwriteShown_) {
        // A disabled button cannot be pressed; the guard keeps the rule for callers too.
        if (!overwriteChecked_) return OkOutcome::KeepOpen;
        const std::string question = "Are you sure you want to overwrite '" + storedCode_ + "' ?";
        bool yes = confirm ? confirm(question, "Confirm Overwrite")
                           : ui.OkCancel(question, "Confirm Overwrite");
        if (!yes) {
            cancelled_ = true;
            return OkOutcome::Cancelled;
        }
    }

    const std::string n = TrimSpaces(name), d = TrimSpaces(description), t = TrimSpaces(type),
                      dt = TrimSpaces(documentType);
    const std::string listed = "\r\n" + ForbiddenCharacters();

    struct Named {
        const std::string& value;
        Field field;
        const char* word;   // "Name", "Description"
        const char* lower;  // "name", "description"
    };
    for (const Named& f : {Named{n, Field::Name, "Name", "name"},
                           Named{d, Field::Description, "Description", "description"}}) {
        if (f.value.empty())
            return Refuse(ui, f.field, std::string("Please enter Form ") + f.lower + ".",
                          "Saving Form");
        if (HasForbiddenCharacter(f.value))
            return Refuse(
                ui, f.field,
                std::string(f.word) + " cannot include the following characters: " + listed,
                std::string("Invalid ") + f.word);
        if (IsNumeric(f.value))
            return Refuse(ui, f.field, std::string("Numbers not allowed for ") + f.word + ".",
                          std::string("Invalid ") + f.word);
    }
    if (t.empty()) return Refuse(ui, Field::Type, "Please enter Form type.", "Saving Form");
    if (dt.empty())
        return Refuse(ui, Field::DocumentType, "Please enter Document type.", "Saving Form");
    if (HasForbiddenCharacter(t))
        return Refuse(ui, Field::Type, "Type cannot include the following characters: " + listed,
                      "Invalid Type");
    if (IsNumeric(t))
        return Refuse(ui, Field::Type, "Numbers not allowed for Type.", "Invalid Type");

    settings.formCode = n;
    settings.formName = d;
    settings.formType = t;
    settings.formDocumentType = dt;
    name = n;
    description = d;
    type = t;
    documentType = dt;
    cancelled_ = false;
    return OkOutcome::Accepted;
}

namespace {
// Shows the document-type list; the chosen code, or false on "CANCEL".
bool PickDocumentType(LookupPicker& picker, const std::string& current, std::string& code) {
    picker.Configure(PopUpLogic::kDocumentTypeList, "Document Type", "1", "1");
    std::string answer = picker.Show(current);
    if (answer == "CANCEL") return false;
    code = LookupAnswerCode(answer);
    return true;
}
}  // namespace

bool PopUpLogic::LookUpDocumentType(LookupPicker& picker) {
    std::string code;
    if (!PickDocumentType(picker, documentType, code)) return false;
    bool changed = code != documentType;
    documentType = code;
    return changed;
}

bool PopUpLogic::LeaveDocumentType(LookupValidator& validator, LookupPicker& picker) {
    // An empty field is checked too: no list holds an empty code, so the picker opens.
    const std::string typed = TrimSpaces(documentType);
    std::string corrected;
    if (ValidateLookupByServer(validator, kDocumentTypeList, typed, corrected) == "True") {
        bool changed = corrected != documentType;
        documentType = corrected;
        return changed;
    }
    return LookUpDocumentType(picker);
}
