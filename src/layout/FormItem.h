#pragma once
// The non-visible part of a label item, and the user-prompt definitions of a form.
#include <string>
#include <vector>

#include "shell/CompactText.h"

enum class ItemKind { StaticText = 0, DatabaseField = 1, UserPrompt = 2 };

// One per label index: a large form holds many, most of them without a prompt, so the
// texts cost a pointer while empty and codes are shared.
struct FormItem {
    SparseText promptKey;          // part 1 of a prompt definition, with its "^"
    CodeText promptCaption;        // part 2
    SparseText defaultValue;       // part 7; from/thru values joined by character 186
    CodeText dataEntryType;        // part 3, a DataEntryType code
    CodeText lookupKey;            // part 4, a LookupKind code or empty
    SparseText selectionField;     // part 8
    SparseText dataGridReference;  // part 9
    SparseText linkData;
    double barcodeWidth = 0;
    double barcodeHeight = 0;  // or the height of a text block
    ItemKind itemKind = ItemKind::StaticText;
    int promptNumber = 0;   // part 6
    bool required = false;  // part 5
    bool definitionRead = false;
    bool markedDeleted = false;
    bool barcodeMark = false;
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
