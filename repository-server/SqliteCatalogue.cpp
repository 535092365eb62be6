// What every entity shares: the data catalogue, the code lists and charge-slip sets of the
// lookups, and the records saved with forms.
#include <sqlite3.h>

#include "CatalogueProperties.h"
#include "SqliteRepository.h"
#include "SqliteSql.h"

namespace repo {
Status SqliteRepository::SetDatabaseName(const std::string& name, std::string& error) {
    std::lock_guard lock(mutex_);
    Stmt st(db_, "INSERT OR REPLACE INTO meta(key, value) VALUES('database_name', ?)");
    st.Bind(1, name);
    return st.Run(error) ? Status::Ok : Status::Failed;
}

Status SqliteRepository::AddCatalogueTable(const CatalogueTable& table, std::string& error) {
    std::lock_guard lock(mutex_);
    Transaction tx(db_);
    Stmt t(db_, "INSERT INTO catalogue_tables(name) VALUES(?)");
    t.Bind(1, table.name);
    if (!tx.Started(error) || !t.Run(error)) return Status::Failed;
    for (const auto& f : table.fields) {
        std::string props = JoinProperties(f.properties);
        Stmt st(db_, "INSERT INTO catalogue_fields(table_name, name, properties) VALUES(?,?,?)");
        st.Bind(1, table.name).Bind(2, f.name).Bind(3, props);
        if (!st.Run(error)) return Status::Failed;
    }
    return tx.Commit(error) ? Status::Ok : Status::Failed;
}

Status SqliteRepository::ReadCatalogue(std::string& databaseName,
                                       std::vector<CatalogueTable>& tables, std::string& error) {
    std::lock_guard lock(mutex_);
    tables.clear();
    databaseName.clear();
    Stmt name(db_, "SELECT value FROM meta WHERE key='database_name'");
    if (name.Step() == SQLITE_ROW) databaseName = name.Text(0);
    Stmt t(db_, "SELECT name FROM catalogue_tables ORDER BY position");
    if (!t.Rows(error, [&] { tables.push_back({t.Text(0), {}}); })) return Status::Failed;
    for (auto& table : tables) {
        Stmt f(db_,
               "SELECT name, properties FROM catalogue_fields WHERE table_name=? ORDER BY "
               "position");
        f.Bind(1, table.name);
        if (!f.Rows(error, [&] {
                table.fields.push_back({f.Text(0), SplitProperties(f.Text(1))});
            }))
            return Status::Failed;
    }
    return Status::Ok;
}

Status SqliteRepository::FindField(const std::string& table, const std::string& field,
                                   CatalogueField& out, std::string& error) {
    std::lock_guard lock(mutex_);
    Stmt st(db_,
            "SELECT name, properties FROM catalogue_fields WHERE table_name=? AND name=? ORDER "
            "BY position");
    st.Bind(1, table).Bind(2, field);
    Status found = st.First(error);
    if (found != Status::Ok) return found;
    out.name = st.Text(0);
    out.properties = SplitProperties(st.Text(1));
    return Status::Ok;
}

Status SqliteRepository::AddCodeEntry(const std::string& list, const CodeEntry& entry,
                                      std::string& error) {
    std::lock_guard lock(mutex_);
    Stmt st(db_, "INSERT INTO code_lists(list, code, description) VALUES(?,?,?)");
    st.Bind(1, list).Bind(2, entry.code).Bind(3, entry.description);
    return st.Run(error) ? Status::Ok : Status::Failed;
}

Status SqliteRepository::ReadCodeList(const std::string& list, std::vector<CodeEntry>& entries,
                                      std::string& error) {
    std::lock_guard lock(mutex_);
    entries.clear();
    Stmt st(db_, "SELECT code, description FROM code_lists WHERE list=? ORDER BY position");
    st.Bind(1, list);
    if (!st.Rows(error, [&] { entries.push_back({st.Text(0), st.Text(1)}); }))
        return Status::Failed;
    return entries.empty() ? Status::NotFound : Status::Ok;
}

Status SqliteRepository::AddChargeSlipEntry(const std::string& set, const ChargeSlipEntry& entry,
                                            std::string& error) {
    std::lock_guard lock(mutex_);
    Stmt st(db_,
            "INSERT INTO charge_slip_entries(set_code, heading, code, description, other)"
            " VALUES(?,?,?,?,?)");
    st.Bind(1, set)
        .Bind(2, entry.heading)
        .Bind(3, entry.code)
        .Bind(4, entry.description)
        .Bind(5, entry.other);
    return st.Run(error) ? Status::Ok : Status::Failed;
}

Status SqliteRepository::ReadChargeSlipSet(const std::string& set,
                                           std::vector<ChargeSlipEntry>& entries,
                                           std::string& error) {
    std::lock_guard lock(mutex_);
    entries.clear();
    Stmt st(db_,
            "SELECT heading, code, description, other FROM charge_slip_entries WHERE set_code=?"
            " ORDER BY position");
    st.Bind(1, set);
    if (!st.Rows(error, [&] {
            entries.push_back({st.Text(0), st.Text(1), st.Text(2), st.Text(3)});
        }))
        return Status::Failed;
    return entries.empty() ? Status::NotFound : Status::Ok;
}

Status SqliteRepository::AddSavedRecord(const std::string& entity, const SavedRecord& r,
                                        std::string& error) {
    std::lock_guard lock(mutex_);
    Stmt st(db_,
            "INSERT INTO saved_records(entity, newer, account, dos, type, form, description,"
            " saved) VALUES(?,?,?,?,?,?,?,?)");
    st.Bind(1, entity)
        .Bind(2, (long long)(r.newerKind ? 1 : 0))
        .Bind(3, r.account)
        .Bind(4, r.dateOfService)
        .Bind(5, r.type)
        .Bind(6, r.form)
        .Bind(7, r.description)
        .Bind(8, r.saved);
    return st.Run(error) ? Status::Ok : Status::Failed;
}

Status SqliteRepository::ReadSavedRecords(const std::string& entity, bool newerKind,
                                          std::vector<SavedRecord>& records, std::string& error) {
    std::lock_guard lock(mutex_);
    records.clear();
    Stmt st(db_,
            "SELECT account, dos, type, form, description, saved FROM saved_records"
            " WHERE entity=? AND newer=? ORDER BY position");
    st.Bind(1, entity).Bind(2, (long long)(newerKind ? 1 : 0));
    bool read = st.Rows(error, [&] {
        SavedRecord r;
        r.account = st.Text(0);
        r.dateOfService = st.Text(1);
        r.type = st.Text(2);
        r.form = st.Text(3);
        r.description = st.Text(4);
        r.saved = st.Text(5);
        r.newerKind = newerKind;
        records.push_back(std::move(r));
    });
    return read ? Status::Ok : Status::Failed;
}

}  // namespace repo
