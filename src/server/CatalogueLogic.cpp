#include "server/CatalogueLogic.h"

#include <algorithm>
#include <optional>
#include <set>
#include <unordered_map>

#include "layout/ItemTypes.h"
#include "server/OutsideComponents.h"
#include "server/RepositoryCommands.h"
#include "shell/Cp1252.h"
#include "shell/TextUtils.h"
#include "shell/UserInterface.h"

namespace {

const std::string kSelectionText =
    "This field's value will be used as a selection criteria for data request";

// A static item travels as fields joined by character 230 and items joined by TAB:
// either inside a code, description or other would split it into other items when
// the list is stored. The character such a text holds, or none.
std::optional<char> SeparatorIn(const requests::StaticItem& item) {
    for (const std::string* t : {&item.code, &item.description, &item.other})
        for (char c : *t)
            if (c == '\0' || c == '\t' || c == '\r' || c == '\n' || c == cp1252::kBarcodeMark)
                return c;
    return std::nullopt;
}

std::string CharacterName(char c) {
    if (c == cp1252::kBarcodeMark) return "\"" + std::string(1, c) + "\"";
    if (c == '\t') return "TAB";
    if (c == '\0') return "NUL";
    return "a line break";
}

bool AllDigits(const std::string& t) {
    return !t.empty() && t.size() <= 9 &&
           std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsFromThru(const std::string& type) {
    return type == "Text(From/Thru)" || type == "Date(From/Thru)";
}
bool IsLookup(const std::string& type) {
    return type == "Lookup" || type == "Lookup(Description)";
}

}  // namespace

bool CatalogueLogic::GetTablesData() {
    table_ = field_ = -1;
    tableFields_.clear();
    properties_.clear();
    return requests::GetTablesData(comm_, ui_, tables_);
}

void CatalogueLogic::ChooseTable(int index) {
    table_ = index >= 0 && size_t(index) < tables_.tables.size() ? index : -1;
    field_ = -1;
    properties_.clear();
    tableFields_ = table_ < 0 ? std::vector<std::string>{} : tables_.tables[size_t(table_)].fields;
}

bool CatalogueLogic::ChooseField(int index) {
    properties_.clear();
    field_ = table_ >= 0 && index >= 0 && size_t(index) < tableFields_.size() ? index : -1;
    if (field_ < 0) return false;
    return requests::GetFieldProperties(comm_, ui_, tables_.database,
                                        tables_.tables[size_t(table_)].name,
                                        tableFields_[size_t(field_)], properties_);
}

CatalogueLogic::FieldRow CatalogueLogic::ChosenField() const {
    if (table_ < 0 || field_ < 0 || FieldCode().empty()) return {};
    return {"~" + FieldCode(),
            tables_.tables[size_t(table_)].name + "." + tableFields_[size_t(field_)]};
}

void CatalogueLogic::PutFields(const std::vector<FieldRow>& rows) {
    // A numbered range may add thousands of rows: one index, not a scan per row.
    std::unordered_map<std::string, size_t> at;
    for (size_t i = 0; i < fields.size(); ++i) at.emplace(fields[i].code, i);
    for (const FieldRow& row : rows) {
        auto [it, added] = at.emplace(row.code, fields.size());
        if (added)
            fields.push_back(row);
        else
            fields[it->second] = row;
    }
}

bool CatalogueLogic::AddField() {
    FieldRow row = ChosenField();
    if (row.code.empty()) return false;
    PutFields({row});
    return true;
}

bool CatalogueLogic::AddMultiple(const std::string& from, const std::string& thru) {
    FieldRow row = ChosenField();
    if (row.code.empty()) return false;
    // Digits only, and a range the list can hold.
    long first = AllDigits(from) ? std::stol(from) : 0;
    long last = AllDigits(thru) ? std::stol(thru) : -1;
    if (first == 0 || last < first || last - first >= 10000) {
        ui_.Message("Please enter correct \"from - to\" values.", "Error", MessageIcon::Warning);
        return false;
    }
    std::vector<FieldRow> rows;
    for (long n = first; n <= last; ++n)
        rows.push_back({row.code + "?" + std::to_string(n), row.longName});
    PutFields(rows);
    return true;
}

bool CatalogueLogic::AddFunction(const std::string& function) {
    std::string name = text::ToUpper(text::Trim(function));
    if (name.empty()) {
        ui_.Message("Please select or enter Function Name.", "Error", MessageIcon::Warning);
        return false;
    }
    FieldRow row = ChosenField();
    if (row.code.empty()) return false;
    PutFields({{"~$$" + name + "(" + FieldCode() + ")", row.longName}});
    return true;
}

const std::vector<std::string>& CatalogueLogic::PredefinedFunctions() {
    static const std::vector<std::string> names = {"ADDR",  "AGE",   "CODE",  "DESC",  "LINE1",
                                                   "LINE2", "LINE3", "PNAME", "RNAME", "XNAME"};
    return names;
}

std::string CatalogueLogic::FunctionInfo() {
    return text::Join(
        {"QRB - example $$QRB(\"RFTL\",WF_CC1)", "ADDR - shows 3 address lines",
         "AGE - converts DOB to AGE", "CODE - converts a CODE/DESCRIPTION field to only CODE",
         "DESC - converts a CODE/DESCRIPTION field to only DESCRIPTION",
         "LINEn - shows n line of multiline field", "PNAME - converts an ACCOUNT to PATIENT NAME",
         "RNAME - converts a REFERRAL CODE to a REFERRAL NAME",
         "XNAME - converts a LAST, FIRST MIDDLE TITLE  to a FIRST MIDDLE LAST TITLE", "",
         "Example: $$ADDR(WF_CC1)"},
        "\r\n");
}

const std::vector<std::string>& CatalogueLogic::PromptTypes() {
    static const std::vector<std::string> types = {
        "Text", "Text(From/Thru)", "Lookup", "Lookup(Description)",
        "Date", "Date(From/Thru)", "Yes/No"};
    return types;
}

CatalogueLogic::TypeLayout CatalogueLogic::LayoutOfType(const std::string& type) {
    TypeLayout l;
    l.secondDefault = IsFromThru(type);
    l.lookupKey = IsLookup(type);
    if (type == "Date") {
        l.footnote1 =
            "1  Enter  T for today,  T +- n ,  E for end of month  or  FD to pull Date from "
            "Charge Slip report ";
        l.footnote2 = "2 " + kSelectionText;
    } else if (type == "Date(From/Thru)") {
        l.footnote1 = "1  Enter  T for today,  T +- n ,  E for end of month ";
    } else if (type == "Yes/No") {
        l.footnote1 = "1  Enter Y for YES, N for NO";
    } else if (l.lookupKey) {
        l.footnote1 = "1  Select  'ACCNT'  for Patient Lookup";
        l.footnote2 = "2 " + kSelectionText;
    } else {
        l.footnote1 = "1  " + kSelectionText;
    }
    return l;
}

std::string CatalogueLogic::JoinDefaults(const std::string& first, const std::string& second) {
    return first + cp1252::kFromThruSep + second;
}

bool CatalogueLogic::CheckPrompt(const PromptRow& p) {
    // The definition is one "@"-separated part of a TAB-separated line, and its key
    // needs a name after the "^": texts that would break it are refused, not stored.
    if (text::Trim(p.id).empty()) {
        ui_.Message("Please enter Prompt ID.", "Prompt ID", MessageIcon::Warning);
        return false;
    }
    const std::pair<const std::string*, const char*> texts[] = {
        {&p.id, "Prompt ID"},         {&p.caption, "Prompt Caption"},
        {&p.defaultValue, "Default"}, {&p.lookupKey, "Prompt Lookup Key"},
        {&p.dbField, "DB field"},     {&p.dataGrid, "Data grid"}};
    for (const auto& [t, title] : texts) {
        if (t->find_first_of(std::string("@^\t\r\n\0", 6)) != std::string::npos) {
            ui_.Message("A prompt's texts may not hold \"@\", \"^\", TAB or line breaks.", title,
                        MessageIcon::Warning);
            return false;
        }
    }
    if (text::Trim(p.caption).empty()) {
        ui_.Message("Please enter Prompt Caption.", "Prompt Caption", MessageIcon::Warning);
        return false;
    }
    if (IsLookup(p.type) && text::Trim(p.lookupKey).empty()) {
        ui_.Message("Please enter Prompt Lookup Key.", "Prompt Lookup Key", MessageIcon::Warning);
        return false;
    }
    return true;
}

bool CatalogueLogic::UniqueId(const PromptRow& p, int row) {
    // Two rows with one ID would be two definitions of one "^" key in the layout.
    const std::string id = text::Trim(p.id);
    for (size_t i = 0; i < prompts.size(); ++i)
        if (int(i) != row && text::Trim(prompts[i].id) == id) {
            ui_.Message("The Prompt ID \"" + id + "\" is already in the list.", "Prompt ID",
                        MessageIcon::Warning);
            return false;
        }
    return true;
}

bool CatalogueLogic::AddPrompt(const PromptRow& p) {
    if (!CheckPrompt(p) || !UniqueId(p, -1)) return false;
    prompts.push_back(p);
    return true;
}

bool CatalogueLogic::ModifyPrompt(int row, const PromptRow& p) {
    if (row < 0 || size_t(row) >= prompts.size() || !CheckPrompt(p) || !UniqueId(p, row))
        return false;
    prompts[size_t(row)] = p;
    return true;
}

bool CatalogueLogic::RemovePrompt(int row, const std::function<bool(const std::string& id)>& used) {
    if (row < 0 || size_t(row) >= prompts.size()) return false;
    if (used && used(prompts[size_t(row)].id) &&
        !ui_.YesNo("Prompt currently used on the form.\r\nDo you still want to remove it?",
                   "Remove Prompt?"))
        return false;
    prompts.erase(prompts.begin() + row);
    return true;
}

std::string CatalogueLogic::PickLookupCode(LookupPicker& picker, const std::string& kind,
                                           const std::string& current) {
    picker.Configure(kind, LookupKindDescription(kind), "1", "1");
    std::string answer = picker.Show(current);
    if (answer == "CANCEL") return "";
    return LookupAnswerCode(answer);
}

bool CatalogueLogic::CreateItem(const std::string& code, const std::string& description,
                                const std::string& other) {
    return AddAvailable({{code, description, other}});
}

bool CatalogueLogic::AddAvailable(const std::vector<StaticRow>& rows) {
    // An item that would not come back as written is left out, and said so once.
    std::string refused;
    std::size_t count = 0;
    std::optional<char> what;
    for (const StaticRow& row : rows) {
        if (std::optional<char> c = SeparatorIn(row)) {
            if (!what) what = c;
            // The first few name the rest: a message box holds no thousand codes.
            if (++count <= 10) refused += (refused.empty() ? "" : ", ") + row.code;
            continue;
        }
        available.push_back(row);
    }
    if (count > 10) refused += " and " + std::to_string(count - 10) + " more";
    if (what)
        ui_.Message("A static item's texts may not hold " + CharacterName(*what) +
                        " (the layout separates items with it).\r\nLeft out: " + refused,
                    "Static Items", MessageIcon::Warning);
    return !what;
}

bool CatalogueLogic::ChargeSlipSets(LookupPicker& picker) {
    picker.Configure("CHL", "Charge Slip", "1", "1");
    std::string answer = picker.Show("");
    if (answer == "CANCEL") return false;
    return LoadCodeList(LookupAnswerCode(answer));
}

bool CatalogueLogic::LoadCodeList(const std::string& setCode) {
    std::vector<StaticRow> items;
    // A failed or unreadable reply leaves the available list as it was.
    if (!requests::GetCodeList(comm_, ui_, setCode, items)) return false;
    available.clear();
    AddAvailable(items);
    return !items.empty();
}

bool CatalogueLogic::AddStaticListOf(const std::string& form) {
    std::string list;
    if (form.empty() || !requests::GetStaticList(comm_, ui_, form, list)) return false;
    AddAvailable(requests::ReadStaticList(list));
    return true;
}

void CatalogueLogic::LoadClipboard(const std::string& clip) {
    std::string t = text::ReplaceAll(text::ReplaceAll(clip, "|OK||", ""), "|END|", "");
    std::vector<StaticRow> rows;
    for (const std::string& row : text::Split(t, "\r\n")) {
        if (row.empty()) continue;
        auto f = text::Split(row, "\t");
        rows.push_back({f[0], f.size() > 1 ? f[1] : "", f.size() > 2 ? f[2] : ""});
    }
    AddAvailable(rows);
}

void CatalogueLogic::AddStatic(const std::vector<int>& rows) {
    for (int r : rows)
        if (r >= 0 && size_t(r) < available.size()) selected.push_back(available[size_t(r)]);
}

void CatalogueLogic::RemoveStatic(const std::vector<int>& rows) {
    std::set<int> gone(rows.begin(), rows.end());
    std::vector<StaticRow> kept;
    for (size_t i = 0; i < selected.size(); ++i)
        if (!gone.count(int(i))) kept.push_back(selected[i]);
    selected = std::move(kept);
}

void CatalogueLogic::FillSelected(const FormModel& model,
                                  const std::vector<StaticRow>& staticItems) {
    selected = staticItems;
    fields.clear();
    for (const auto& f : model.databaseFields)
        fields.push_back({"~" + f.fieldName, f.longName.str()});
    prompts.clear();
    // Prompts placed on labels carry their definition on the label's record; the
    // form's list holds the others.
    std::vector<const FormItem*> defs;
    std::set<std::string> keys;
    for (const auto* list : {&model.prompts, &model.items})
        for (const FormItem& p : *list)
            if (p.itemKind == ItemKind::UserPrompt && !p.markedDeleted &&
                p.promptKey().size() > 1 && keys.insert(p.promptKey()).second)
                defs.push_back(&p);
    for (const FormItem* d : defs) {
        const FormItem& p = *d;
        PromptRow r;
        r.id = p.promptKey()[0] == '^' ? p.promptKey().substr(1) : p.promptKey();
        r.caption = p.promptCaption();
        r.type = DataEntryTypeName(p.dataEntryType());
        r.defaultValue = p.defaultValue();
        r.lookupKey = p.lookupKey();
        r.required = p.required ? "Y" : "N";
        r.dbField = p.selectionField();
        r.dataGrid = p.dataGridReference();
        prompts.push_back(std::move(r));
    }
}

void CatalogueLogic::ApplyFields(FormModel& model) const {
    model.databaseFields.clear();
    for (const FieldRow& f : fields)
        model.databaseFields.push_back(
            {f.code.rfind('~', 0) == 0 ? f.code.substr(1) : f.code, f.longName});
    model.InvalidateFieldIndex();
}

void CatalogueLogic::ApplyPrompts(FormModel& model) const {
    UserPromptsArray out;
    for (size_t i = 0; i < prompts.size(); ++i) {
        const PromptRow& r = prompts[i];
        FormItem p;
        // What the form read about a prompt beyond this list (its label data) stays.
        for (const FormItem& old : model.prompts)
            if (old.itemKind == ItemKind::UserPrompt && old.promptKey() == "^" + r.id) p = old;
        p.Prompt().promptKey = "^" + r.id;
        p.itemKind = ItemKind::UserPrompt;
        p.Prompt().promptCaption = r.caption;
        p.Prompt().dataEntryType = DataEntryTypeCode(r.type);
        p.Prompt().defaultValue = r.defaultValue;
        p.Prompt().lookupKey = r.lookupKey;
        p.required = r.required == "Y";
        p.Prompt().selectionField = r.dbField;
        p.Prompt().dataGridReference = r.dataGrid;
        p.Prompt().promptNumber = int(i) + 1;
        p.markedDeleted = false;
        out.push_back(std::move(p));
    }
    // A label showing a prompt writes its own record's definition: the edited details
    // go there too (its type stays, as the label was sized for it).
    for (FormItem& item : model.items)
        if (item.itemKind == ItemKind::UserPrompt)
            for (const FormItem& p : out)
                if (p.promptKey() == item.promptKey()) CopyPromptDetails(p, item);
    model.prompts = std::move(out);
}

void CatalogueLogic::ApplyStatic(std::vector<StaticRow>& staticItems) const {
    staticItems = selected;
}
