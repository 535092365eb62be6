#pragma once
// The non-visible part of a label item, and the user-prompt definitions of a form.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shell/CompactText.h"
#include "shell/InlineText.h"

enum class ItemKind : std::uint8_t { StaticText = 0, DatabaseField = 1, UserPrompt = 2 };

// A prompt's definition parts: only prompt labels and the form's prompt list carry them.
struct PromptParts {
    // Part 1 of a prompt definition, with its "^": short, and held in place (one allocation
    // fewer for every prompt read).
    std::string promptKey;
    CodeText promptCaption;        // part 2
    SparseText defaultValue;       // part 7; from/thru values joined by character 186
    CodeText dataEntryType;        // part 3, a DataEntryType code
    CodeText lookupKey;            // part 4, a LookupKind code or empty
    SparseText selectionField;     // part 8
    SparseText dataGridReference;  // part 9
    int promptNumber = 0;          // part 6
    bool operator==(const PromptParts&) const = default;

    // A form of many prompts takes and gives back as many of these blocks: the blocks
    // given back are kept on the thread for the next (up to kKept of them), so a form
    // read after another takes its prompts' blocks without going to the heap.
    static constexpr std::size_t kKept = 65536;
    static void* operator new(std::size_t size);
    static void operator delete(void* p) noexcept;
};

// One per label index: a large form holds many, most of them without a prompt, so a
// prompt's texts live in a block of their own that the others go without, the other
// texts cost a pointer while empty and codes are shared.
struct FormItem {
    FormItem() = default;
    FormItem(const FormItem& other)
        : linkData(other.linkData),
          barcodeWidth(other.barcodeWidth),
          barcodeHeight(other.barcodeHeight),
          itemKind(other.itemKind),
          required(other.required),
          definitionRead(other.definitionRead),
          markedDeleted(other.markedDeleted),
          barcodeMark(other.barcodeMark),
          prompt_(other.prompt_ ? std::make_unique<PromptParts>(*other.prompt_) : nullptr) {}
    FormItem(FormItem&&) noexcept = default;
    FormItem& operator=(const FormItem& other) {
        if (this != &other) *this = FormItem(other);
        return *this;
    }
    FormItem& operator=(FormItem&&) noexcept = default;

    // The prompt parts read as empty on an item without them; Prompt() gives them for
    // writing, making them on first use, so only writers of a prompt's parts call it.
    const std::string& promptKey() const { return Parts().promptKey; }
    const CodeText& promptCaption() const { return Parts().promptCaption; }
    const SparseText& defaultValue() const { return Parts().defaultValue; }
    const CodeText& dataEntryType() const { return Parts().dataEntryType; }
    const CodeText& lookupKey() const { return Parts().lookupKey; }
    const SparseText& selectionField() const { return Parts().selectionField; }
    const SparseText& dataGridReference() const { return Parts().dataGridReference; }
    int promptNumber() const { return Parts().promptNumber; }
    PromptParts& Prompt() {
        if (!prompt_) prompt_ = std::make_unique<PromptParts>();
        return *prompt_;
    }
    bool HasPromptParts() const { return prompt_ != nullptr; }
    // Equal in everything written; a block of empty parts equals none.
    friend bool operator==(const FormItem& a, const FormItem& b) {
        return a.linkData == b.linkData && a.barcodeWidth == b.barcodeWidth &&
               a.barcodeHeight == b.barcodeHeight && a.itemKind == b.itemKind &&
               a.required == b.required && a.definitionRead == b.definitionRead &&
               a.markedDeleted == b.markedDeleted && a.barcodeMark == b.barcodeMark &&
               a.Parts() == b.Parts();
    }

    SparseText linkData;
    double barcodeWidth = 0;
    double barcodeHeight = 0;  // or the height of a text block
    ItemKind itemKind = ItemKind::StaticText;
    bool required = false;  // part 5
    bool definitionRead = false;
    bool markedDeleted = false;
    bool barcodeMark = false;

  private:
    const PromptParts& Parts() const {
        static const PromptParts none;
        return prompt_ ? *prompt_ : none;
    }
    std::unique_ptr<PromptParts> prompt_;
};

// The parts of a prompt definition besides its key and data-entry type.
inline void CopyPromptDetails(const FormItem& from, FormItem& to) {
    PromptParts& parts = to.Prompt();
    parts.promptCaption = from.promptCaption();
    parts.defaultValue = from.defaultValue();
    parts.lookupKey = from.lookupKey();
    to.required = from.required;
    parts.promptNumber = from.promptNumber();
    parts.selectionField = from.selectionField();
    parts.dataGridReference = from.dataGridReference();
}

// Indexed by label control index; grows with the highest index.
using FormItemsArray = std::vector<FormItem>;
using UserPromptsArray = std::vector<FormItem>;

// One record of the database-field list: a field used on the form.
// Both held in place while short: a form's fields are read and looked up by the thousand.
struct DatabaseFieldRef {
    InlineText fieldName;  // without the "~"
    InlineText longName;
};
