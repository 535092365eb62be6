// What every entity shares, on PostgreSQL: the data catalogue, the code lists and
// charge-slip sets of the lookups, and the records saved with forms.
#include <map>

#include "CatalogueProperties.h"
#include "PgRepository.h"

namespace repo {

Status PgRepository::SetDatabaseName(const std::string& name, std::string& error) {
    Status s = WriteOne(
        "INSERT INTO meta(key, value) VALUES('database_name', $1)"
        " ON CONFLICT(key) DO UPDATE SET value=excluded.value",
        {name}, error);
    return s == Status::NotFound ? Status::Ok : s;
}

Status PgRepository::AddCatalogueTable(const CatalogueTable& table, std::string& error) {
    return Store(
        [&](pg::Conn& c, std::string& e) {
            if (!c.Run("INSERT INTO catalogue_tables(name) VALUES($1)", {table.name}, e))
                return Status::Failed;
            for (const auto& f : table.fields)
                if (!c.Run("INSERT INTO catalogue_fields(table_name, name, properties)"
                           " VALUES($1,$2,$3)",
                           {table.name, f.name, JoinProperties(f.properties)}, e))
                    return Status::Failed;
            return Status::Ok;
        },
        error);
}

Status PgRepository::ReadCatalogue(std::string& databaseName, std::vector<CatalogueTable>& tables,
                                   std::string& error) {
    return Read(
        [&](pg::Conn& c, std::string& e) {
            tables.clear();
            databaseName.clear();
            pg::Result name, listed, fields;
            if (!c.Run("SELECT value FROM meta WHERE key='database_name'", {}, e, &name) ||
                !c.Run("SELECT name FROM catalogue_tables ORDER BY position", {}, e, &listed) ||
                !c.Run("SELECT table_name, name, properties FROM catalogue_fields"
                       " ORDER BY position",
                       {}, e, &fields))
                return Status::Failed;
            if (name.Rows()) databaseName = name.Text(0, 0);
            std::map<std::string, size_t> place;
            for (int i = 0; i < listed.Rows(); ++i) {
                place[listed.Text(i, 0)] = tables.size();
                tables.push_back({listed.Text(i, 0), {}});
            }
            for (int i = 0; i < fields.Rows(); ++i) {
                auto t = place.find(fields.Text(i, 0));
                if (t != place.end())
                    tables[t->second].fields.push_back(
                        {fields.Text(i, 1), SplitProperties(fields.Text(i, 2))});
            }
            return Status::Ok;
        },
        error);
}

Status PgRepository::FindField(const std::string& table, const std::string& field,
                               CatalogueField& out, std::string& error) {
    return ReadOne(
        [&](pg::Conn& c, std::string& e) {
            pg::Result r;
            if (!c.Run("SELECT name, properties FROM catalogue_fields WHERE table_name=$1 AND"
                       " name=$2 ORDER BY position LIMIT 1",
                       {table, field}, e, &r))
                return Status::Failed;
            if (r.Rows() == 0) return Status::NotFound;
            out.name = r.Text(0, 0);
            out.properties = SplitProperties(r.Text(0, 1));
            return Status::Ok;
        },
        error);
}

Status PgRepository::AddCodeEntry(const std::string& list, const CodeEntry& entry,
                                  std::string& error) {
    return WriteOne("INSERT INTO code_lists(list, code, description) VALUES($1,$2,$3)",
                    {list, entry.code, entry.description}, error);
}

Status PgRepository::ReadCodeList(const std::string& list, std::vector<CodeEntry>& entries,
                                  std::string& error) {
    return ReadOne(
        [&](pg::Conn& c, std::string& e) {
            entries.clear();
            pg::Result r;
            if (!c.Run("SELECT code, description FROM code_lists WHERE list=$1 ORDER BY position",
                       {list}, e, &r))
                return Status::Failed;
            for (int i = 0; i < r.Rows(); ++i) entries.push_back({r.Text(i, 0), r.Text(i, 1)});
            return entries.empty() ? Status::NotFound : Status::Ok;
        },
        error);
}

Status PgRepository::AddChargeSlipEntry(const std::string& set, const ChargeSlipEntry& entry,
                                        std::string& error) {
    return WriteOne(
        "INSERT INTO charge_slip_entries(set_code, heading, code, description, other)"
        " VALUES($1,$2,$3,$4,$5)",
        {set, entry.heading, entry.code, entry.description, entry.other}, error);
}

Status PgRepository::ReadChargeSlipSet(const std::string& set,
                                       std::vector<ChargeSlipEntry>& entries, std::string& error) {
    return ReadOne(
        [&](pg::Conn& c, std::string& e) {
            entries.clear();
            pg::Result r;
            if (!c.Run("SELECT heading, code, description, other FROM charge_slip_entries"
                       " WHERE set_code=$1 ORDER BY position",
                       {set}, e, &r))
                return Status::Failed;
            for (int i = 0; i < r.Rows(); ++i)
                entries.push_back({r.Text(i, 0), r.Text(i, 1), r.Text(i, 2), r.Text(i, 3)});
            return entries.empty() ? Status::NotFound : Status::Ok;
        },
        error);
}

Status PgRepository::AddSavedRecord(const std::string& entity, const SavedRecord& r,
                                    std::string& error) {
    return WriteOne(
        "INSERT INTO saved_records(entity, newer, account, dos, type, form, description,"
        " saved) VALUES($1,$2,$3,$4,$5,$6,$7,$8)",
        {entity, (long long)(r.newerKind ? 1 : 0), r.account, r.dateOfService, r.type, r.form,
         r.description, r.saved},
        error);
}

Status PgRepository::ReadSavedRecords(const std::string& entity, bool newerKind,
                                      std::vector<SavedRecord>& records, std::string& error) {
    return ReadOne(
        [&](pg::Conn& c, std::string& e) {
            records.clear();
            pg::Result r;
            if (!c.Run("SELECT account, dos, type, form, description, saved FROM saved_records"
                       " WHERE entity=$1 AND newer=$2 ORDER BY position",
                       {entity, (long long)(newerKind ? 1 : 0)}, e, &r))
                return Status::Failed;
            for (int i = 0; i < r.Rows(); ++i) {
                SavedRecord s;
                s.account = r.Text(i, 0);
                s.dateOfService = r.Text(i, 1);
                s.type = r.Text(i, 2);
                s.form = r.Text(i, 3);
                s.description = r.Text(i, 4);
                s.saved = r.Text(i, 5);
                s.newerKind = newerKind;
                records.push_back(std::move(s));
            }
            return Status::Ok;
        },
        error);
}

}  // namespace repo
