// Replies of the shared catalogue, code lists and record searches.
#include "ReplyText.h"
#include "RequestHandler.h"
#include "shell/TextUtils.h"

namespace repo {
using namespace reply;
namespace {

// Record searches are read from the sixth character of the first line, so their error
// text sits behind the usual framing.
Reply SearchError(std::string_view why) {
    return One(std::string(kOk) + Error(why));
}

}  // namespace

Reply RequestHandler::Tables() {
    std::string db, error;
    std::vector<CatalogueTable> tables;
    if (repo_.ReadCatalogue(db, tables, error) != Status::Ok) return DbFailure(error);
    // Read as it comes: the first element is the database name.
    std::string out = db;
    for (const auto& t : tables) {
        out += cp1252::kTableRecordSep;
        out += t.name;
        for (const auto& f : t.fields) {
            out += cp1252::kTableFieldSep;
            out += f.name;
        }
    }
    return One(out);
}

Reply RequestHandler::Fields(std::string_view args) {
    std::string db, table;
    if (!TakeField(args, db) || !TakeField(args, table)) return Unknown();
    std::string error;
    CatalogueField field;
    Status s = repo_.FindField(table, std::string(args), field, error);
    if (s == Status::Failed) return DbFailure(error);
    if (s == Status::NotFound) return One(Error("field not found"));
    return One(text::Join(field.properties, std::string(1, cp1252::kBarcodeMark)));
}

Reply RequestHandler::CodeList(std::string_view args) {
    std::string error;
    size_t bar = args.find('|');
    if (bar == std::string_view::npos) {
        // A whole list for the lookup picker: one entry per line, code, four blanks,
        // description.
        std::vector<CodeEntry> entries;
        Status s = repo_.ReadCodeList(std::string(args), entries, error);
        if (s == Status::Failed) return DbFailure(error);
        if (s == Status::NotFound) return One(Error("code list not found"));
        Reply out{std::string(kOk)};
        for (const auto& e : entries) out.push_back(e.code + "    " + e.description);
        out.emplace_back(kEnd);
        return out;
    }
    std::string_view head = args.substr(0, bar);
    std::string_view value = args.substr(bar + 1);
    size_t colon = head.rfind(':');
    if (colon == std::string_view::npos) return Unknown();
    std::string list(head.substr(0, colon));
    std::string_view mode = head.substr(colon + 1);
    if (mode == "0") {
        // Codes of one set. Read split at ":"; the fifth part holds the entries.
        std::vector<ChargeSlipEntry> entries;
        Status s = repo_.ReadChargeSlipSet(std::string(value), entries, error);
        if (s == Status::Failed) return DbFailure(error);
        if (s == Status::NotFound || list != "CHL") return One(Error("code set not found"));
        std::string description;
        std::vector<CodeEntry> sets;
        if (repo_.ReadCodeList(list, sets, error) == Status::Ok) {
            for (const auto& e : sets)
                if (e.code == value) description = e.description;
        }
        std::string out = std::string(kOk) + list + ":0:" + std::string(value) + ":" +
                          text::ReplaceAll(description, ":", ";") + ":";
        int line = 0;
        for (const auto& e : entries) {
            ++line;
            out += e.heading + kTab + std::to_string(line) + kTab + e.code + kTab + e.description +
                   kTab + e.other + cp1252::kBarcodeMark;
        }
        out += ":";
        out += kEnd;
        return One(out);
    }
    if (mode == "V") {
        // Validation: the list's own form of the value when it is on the list.
        std::vector<CodeEntry> entries;
        Status s = repo_.ReadCodeList(list, entries, error);
        if (s == Status::Failed) return DbFailure(error);
        if (s == Status::NotFound) return One(Error("code list not found"));
        std::string wanted = text::Trim(value);
        for (const auto& e : entries) {
            if (text::EqualsNoCase(e.code, wanted))
                return One(std::string(kOk) + "VALID|" + e.code + std::string(kEnd));
        }
        return One(std::string(kOk) + "NOT VALID|" + std::string(kEnd));
    }
    return Unknown();
}

Reply RequestHandler::RecordsReady(const std::string& entity) {
    std::vector<FormRecord> forms;
    std::string error;
    if (repo_.ListForms(entity, forms, error) != Status::Ok) return DbFailure(error);
    return One(std::string(kOk) + std::to_string(forms.size()) + std::string(kEnd));
}

// "|GET|EMR|" account "||SEARCH|" AND-or-OR "|" criteria, the criteria being triples
// field TAB connector TAB value.
Reply RequestHandler::NewerRecords(const std::string& entity, std::string_view args) {
    std::vector<std::string> parts = text::Split(args, "|");
    if (parts.size() != 5 || !parts[1].empty() || parts[2] != "SEARCH" ||
        (parts[3] != "AND" && parts[3] != "OR"))
        return SearchError("bad search request");
    const std::string& account = parts[0];
    std::vector<std::string> terms = text::Split(parts[4], "\t");
    if (terms.empty() || terms.size() % 3 != 0) return SearchError("bad search criteria");
    for (size_t i = 0; i < terms.size(); i += 3) {
        if (terms[i] != "DESCR" && terms[i] != "ACCNT" && terms[i] != "TYPE")
            return SearchError("unknown search field " + terms[i]);
    }
    std::vector<SavedRecord> records;
    std::string error;
    if (repo_.ReadSavedRecords(entity, true, records, error) != Status::Ok)
        return SearchError(error);
    bool all = parts[3] == "AND";
    Reply out{std::string(kOk)};
    bool first = true;
    for (const auto& r : records) {
        if (account != "*" && account != r.account) continue;
        bool match = all;
        for (size_t i = 0; i < terms.size(); i += 3) {
            const std::string& have = terms[i] == "DESCR"   ? r.form
                                      : terms[i] == "ACCNT" ? r.account
                                                            : r.type;
            bool m = text::EqualsNoCase(have, terms[i + 2]);
            match = all ? (match && m) : (match || m);
        }
        if (!match) continue;
        std::string line = r.account + kTab + r.dateOfService + kTab + r.form + kTab +
                           r.description + kTab + r.saved;
        if (first) {
            out.front() += line;
            first = false;
        } else {
            out.push_back(line);
        }
    }
    out.emplace_back(kEnd);
    return out;
}

// "|GETP|EFORM|LIST||" criteria "|*|", the criteria being KEY:value items separated by
// TAB; an empty value matches anything.
Reply RequestHandler::OlderRecords(const std::string& entity, std::string_view args) {
    size_t bar = args.find('|');
    if (bar == std::string_view::npos || args.substr(bar) != "|*|")
        return SearchError("bad search request");
    std::string account, dos, type, name, saved;
    for (const auto& item : text::Split(args.substr(0, bar), "\t")) {
        auto [key, value] = text::SplitAtFirst(item, ":");
        if (item.find(':') == std::string::npos) return SearchError("bad search criteria");
        if (key == "ACCNT")
            account = value;
        else if (key == "DOS")
            dos = value;
        else if (key == "TYPE")
            type = value;
        else if (key == "NAME")
            name = value;
        else if (key == "SAVE")
            saved = value;
        else
            return SearchError("unknown search field " + key);
    }
    std::vector<SavedRecord> records;
    std::string error;
    if (repo_.ReadSavedRecords(entity, false, records, error) != Status::Ok)
        return SearchError(error);
    Reply out{std::string(kOk)};
    bool first = true;
    for (const auto& r : records) {
        if (!account.empty() && account != r.account) continue;
        if (!dos.empty() && dos != r.dateOfService) continue;
        if (!type.empty() && !text::EqualsNoCase(type, r.type)) continue;
        if (!name.empty() && !text::EqualsNoCase(name, r.form)) continue;
        if (!saved.empty() && saved != r.saved) continue;
        std::string line = "ACCNT:" + r.account + kTab + "DOS:" + r.dateOfService + kTab +
                           "TYPE:" + r.type + kTab + "NAME:" + r.form + kTab + "SAVE:" + r.saved;
        if (first) {
            out.front() += line;
            first = false;
        } else {
            out.push_back(line);
        }
    }
    out.emplace_back(kEnd);
    return out;
}

}  // namespace repo
