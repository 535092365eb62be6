#pragma once
// The non-visible part of a label item, and the user-prompt definitions of a form.
#include <string>
#include <vector>

enum class ItemKind { StaticText = 0, DatabaseField = 1, UserPrompt = 2 };

struct FormItem {
    std::string promptKey;      // part 1 of a prompt definition, with its "^"
    std::string promptCaption;  // part 2
    std::string defaultValue;   // part 7; from/thru values joined by character 186
    ItemKind itemKind = ItemKind::StaticText;
    std::string dataEntryType;  // part 3, a DataEntryType code
    std::string lookupKey;      // part 4, a LookupKind code or empty
    bool required = false;      // part 5
    bool definitionRead = false;
    bool markedDeleted = false;
    bool barcodeMark = false;
    int promptNumber = 0;  // part 6
    double barcodeWidth = 0;
    double barcodeHeight = 0;       // or the height of a text block
    std::string selectionField;     // part 8
    std::string dataGridReference;  // part 9
    std::string linkData;
};

// The parts of a prompt definition besides its key and data-entry type.
inline void CopyPromptDetails(const FormItem& from, FormItem& to) {
    to.promptCaption = from.promptCaption;
    to.defaultValue = from.defaultValue;
    to.lookupKey = from.lookupKey;
    to.required = from.required;
    to.promptNumber = from.promptNumber;
    to.selectionField = from.selectionField;
    to.dataGridReference = from.dataGridReference;
}

// Indexed by label control index; grows with the highest index.
using FormItemsArray = std::vector<FormItem>;
using UserPromptsArray = std::vector<FormItem>;

// One record of the database-field list: a field used on the form.
struct DatabaseFieldRef {
    std::string fieldName;  // without the "~"
    std::string longName;
};
