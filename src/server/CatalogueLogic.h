#pragma once
// What the data catalogue `frmDBLists` does, apart from its window: the server's
// tables and fields, and the three lists a form may bind to (chosen data fields, user
// prompts, static items), read from the form model and applied back to it one tab at
// a time. Rows are Windows-1252 texts as the lists show them.
#include <functional>
#include <string>
#include <vector>

#include "layout/FormModel.h"
#include "server/Requests.h"

class CommComponent;
class LookupPicker;
class UserInterface;

class CatalogueLogic {
  public:
    struct FieldRow {
        std::string code;      // "~" + field code (+ "?n", or "~$$FN(code)")
        std::string longName;  // table + "." + field
        bool operator==(const FieldRow&) const = default;
    };
    struct PromptRow {
        std::string id, caption;
        std::string type;  // display name ("Text", "Date(From/Thru)" ...)
        std::string defaultValue, lookupKey;
        std::string required = "N";  // "Y" or "N"
        std::string dbField, dataGrid;
        bool operator==(const PromptRow&) const = default;
    };
    // Where the prompt type puts its boxes and what the footnotes under them say.
    struct TypeLayout {
        bool secondDefault = false;
        bool lookupKey = false;
        std::string footnote1, footnote2;
    };
    using StaticRow = requests::StaticItem;

    CatalogueLogic(CommComponent& comm, UserInterface& ui) : comm_(comm), ui_(ui) {}

    // ---- catalogue ----
    // Fetches the table list; on failure the lists stay empty.
    bool GetTablesData();
    const std::string& Database() const { return tables_.database; }
    const std::vector<requests::TableRecord>& Tables() const { return tables_.tables; }
    void ChooseTable(int index);
    const std::vector<std::string>& TableFields() const { return tableFields_; }
    // Fetches the field's properties; every property is cleared first.
    bool ChooseField(int index);
    const std::vector<std::string>& Properties() const { return properties_; }
    std::string FieldCode() const { return requests::FieldCode(properties_); }

    // ---- chosen data fields ----
    std::vector<FieldRow> fields;
    // Add, Add multiple ("from", "thru" as typed) and Add function on the chosen field;
    // false (and a message where one is due) when nothing was added.
    bool AddField();
    bool AddMultiple(const std::string& from, const std::string& thru);
    bool AddFunction(const std::string& function);
    static const std::vector<std::string>& PredefinedFunctions();
    static std::string FunctionInfo();

    // ---- user prompts ----
    std::vector<PromptRow> prompts;
    static const std::vector<std::string>& PromptTypes();
    static TypeLayout LayoutOfType(const std::string& type);
    // The default of a from/thru type: both values joined by character 186.
    static std::string JoinDefaults(const std::string& first, const std::string& second);
    // Checks caption and lookup key; false with a message when one is missing or a text
    // would break the definition (titled by the field that holds it).
    bool CheckPrompt(const PromptRow& p);
    bool AddPrompt(const PromptRow& p);
    bool ModifyPrompt(int row, const PromptRow& p);
    // A prompt the form's labels use is removed only after a Yes.
    bool RemovePrompt(int row, const std::function<bool(const std::string& id)>& used);
    // The code chosen in the lookup picker over a lookup kind, "" when cancelled.
    static std::string PickLookupCode(LookupPicker& picker, const std::string& kind,
                                      const std::string& current);

    // ---- static items ----
    std::vector<StaticRow> available, selected;
    // False (with a message naming the character) when a text holds a separator of the
    // stored list (character 230, TAB, a line break): the item is left out.
    bool CreateItem(const std::string& code, const std::string& description,
                    const std::string& other);
    // "Get list from Charge Slip Set": the picker's set, then its codes.
    bool ChargeSlipSets(LookupPicker& picker);
    bool LoadCodeList(const std::string& setCode);
    // Another form's static list added to the available list.
    bool AddStaticListOf(const std::string& form);
    // Clipboard text: up to three TAB-separated columns per CR LF row.
    void LoadClipboard(const std::string& text);
    void AddStatic(const std::vector<int>& rows);
    void RemoveStatic(const std::vector<int>& rows);

    // Moves row by delta (-1 up, +1 down) within list; the row's new place, or row.
    template <class T>
    static int Move(std::vector<T>& list, int row, int delta) {
        int to = row + delta;
        if (row < 0 || to < 0 || size_t(row) >= list.size() || size_t(to) >= list.size())
            return row;
        std::swap(list[size_t(row)], list[size_t(to)]);
        return to;
    }

    // ---- the form's lists ----
    void FillSelected(const FormModel& model, const std::vector<StaticRow>& staticItems);
    void ApplyFields(FormModel& model) const;
    void ApplyPrompts(FormModel& model) const;
    void ApplyStatic(std::vector<StaticRow>& staticItems) const;

  private:
    // Adds rows, replacing the texts of a row whose code is already listed.
    void PutFields(const std::vector<FieldRow>& rows);
    FieldRow ChosenField() const;
    // Adds what the stored list can carry; one message names what was left out.
    bool AddAvailable(const std::vector<StaticRow>& rows);
    // False (with a message) when another row than `row` has the prompt's ID.
    bool UniqueId(const PromptRow& p, int row);

    CommComponent& comm_;
    UserInterface& ui_;
    requests::TableList tables_;
    int table_ = -1;
    int field_ = -1;
    std::vector<std::string> tableFields_;
    std::vector<std::string> properties_;
};
