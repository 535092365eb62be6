#include "Repository.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace repo {
namespace {

constexpr int kSchemaVersion = 1;

const char* kSchema = R"SQL(
CREATE TABLE IF NOT EXISTS meta (key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS forms (
    entity TEXT NOT NULL, name TEXT NOT NULL,
    description TEXT NOT NULL, type TEXT NOT NULL, doctype TEXT NOT NULL,
    layout BLOB NOT NULL, stamp TEXT NOT NULL, modified TEXT NOT NULL,
    active INTEGER NOT NULL, selected INTEGER NOT NULL,
    PRIMARY KEY (entity, name));
CREATE TABLE IF NOT EXISTS images (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    entity TEXT NOT NULL, form TEXT NOT NULL, file TEXT NOT NULL,
    stamp TEXT NOT NULL, bytes BLOB NOT NULL,
    UNIQUE (entity, form, file));
CREATE TABLE IF NOT EXISTS static_lists (
    entity TEXT NOT NULL, form TEXT NOT NULL, list BLOB NOT NULL,
    PRIMARY KEY (entity, form));
CREATE TABLE IF NOT EXISTS catalogue_tables (
    position INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT NOT NULL UNIQUE);
CREATE TABLE IF NOT EXISTS catalogue_fields (
    position INTEGER PRIMARY KEY AUTOINCREMENT, table_name TEXT NOT NULL, name TEXT NOT NULL,
    properties BLOB NOT NULL);
CREATE TABLE IF NOT EXISTS code_lists (
    position INTEGER PRIMARY KEY AUTOINCREMENT, list TEXT NOT NULL, code TEXT NOT NULL,
    description TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS charge_slip_entries (
    position INTEGER PRIMARY KEY AUTOINCREMENT, set_code TEXT NOT NULL, heading TEXT NOT NULL,
    code TEXT NOT NULL, description TEXT NOT NULL, other TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS saved_records (
    position INTEGER PRIMARY KEY AUTOINCREMENT, entity TEXT NOT NULL, newer INTEGER NOT NULL,
    account TEXT NOT NULL, dos TEXT NOT NULL, type TEXT NOT NULL, form TEXT NOT NULL,
    description TEXT NOT NULL, saved TEXT NOT NULL);
)SQL";

// Property values of a catalogue field travel inside one column, separated by a byte
// that never occurs in them.
constexpr char kPropertySep = '\x1F';

// One prepared statement; text is bound as bytes so Windows-1252 passes unchanged.
class Stmt {
  public:
    Stmt(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &st_, nullptr) != SQLITE_OK) st_ = nullptr;
    }
    ~Stmt() { sqlite3_finalize(st_); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    bool ok() const { return st_ != nullptr; }
    Stmt& Bind(int i, const std::string& v) {
        if (st_) sqlite3_bind_blob(st_, i, v.data(), int(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    // Bytes that stay in place until the statement has run: bound without a copy.
    Stmt& BindInPlace(int i, const std::string& v) {
        if (st_) sqlite3_bind_blob(st_, i, v.data(), int(v.size()), SQLITE_STATIC);
        return *this;
    }
    Stmt& Bind(int i, long long v) {
        if (st_) sqlite3_bind_int64(st_, i, v);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step() { return st_ ? sqlite3_step(st_) : SQLITE_ERROR; }
    std::string Text(int col) {
        const void* p = sqlite3_column_blob(st_, col);
        int n = sqlite3_column_bytes(st_, col);
        return p ? std::string(static_cast<const char*>(p), size_t(n)) : std::string();
    }
    long long Int(int col) { return sqlite3_column_int64(st_, col); }

  private:
    sqlite3_stmt* st_ = nullptr;
};

std::string DbError(sqlite3* db) {
    return std::string("database error: ") + sqlite3_errmsg(db);
}

// BEGIN IMMEDIATE ... COMMIT; rolls back unless committed.
class Transaction {
  public:
    explicit Transaction(sqlite3* db) : db_(db) {
        started_ = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~Transaction() {
        if (started_ && !done_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    bool started() const { return started_; }
    bool Commit() {
        done_ = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
        return done_;
    }

  private:
    sqlite3* db_;
    bool started_ = false;
    bool done_ = false;
};

long long NowMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::vector<std::string> SplitProps(const std::string& s) {
    std::vector<std::string> out;
    size_t start = 0;
    if (s.empty()) return out;
    for (;;) {
        size_t p = s.find(kPropertySep, start);
        out.push_back(s.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos) break;
        start = p + 1;
    }
    return out;
}

}  // namespace

std::unique_ptr<Repository> Repository::Open(const std::string& path, std::string& error) {
    sqlite3* db = nullptr;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        error = "cannot open " + path + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 10000);
    std::unique_ptr<Repository> r(new Repository(db));
    if (!r->CreateSchema(error)) return nullptr;
    if (r->wal_) r->StartCheckpointer(path);
    return r;
}

Repository::Repository(sqlite3* db) : db_(db) {}

Repository::~Repository() {
    if (checkpointer_.joinable()) {
        {
            std::lock_guard lock(checkpointMutex_);
            stopping_ = true;
        }
        checkpointWake_.notify_one();
        checkpointer_.join();
    }
    // The last connection to close checks in what is left of the log.
    sqlite3_close(db_);
}

void Repository::StartCheckpointer(const std::string& path) {
    sqlite3* db = nullptr;
    bool opened = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX,
                                  nullptr) == SQLITE_OK;
    if (opened) {
        // A connection knows the file's log only once it has looked at the file.
        Stmt mode(db, "PRAGMA journal_mode");
        opened = mode.Step() == SQLITE_ROW && mode.Text(0) == "wal";
    }
    if (!opened) {
        // Without it the store that fills the log checks it in itself, as SQLite does.
        sqlite3_close(db);
        return;
    }
    long long pageSize = 4096;
    {
        Stmt st(db_, "PRAGMA page_size");
        if (st.Step() == SQLITE_ROW && st.Int(0) > 0) pageSize = st.Int(0);
    }
    checkpointPages_ = int(std::max(64ll, kCheckpointBytes / pageSize));
    // Replaces SQLite's own check-in after a commit that filled the log.
    sqlite3_wal_hook(db_, &Repository::OnLogCommit, this);
    checkpointer_ = std::thread([this, db] {
        std::unique_lock lock(checkpointMutex_);
        for (;;) {
            checkpointWake_.wait(lock, [this] { return checkpointDue_ || stopping_; });
            if (stopping_) break;
            checkpointDue_ = false;
            lock.unlock();
            // PASSIVE: stores go on while the pages are copied.
            sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
            lock.lock();
        }
        lock.unlock();
        sqlite3_close(db);
    });
}

int Repository::OnLogCommit(void* self, sqlite3*, const char*, int pages) {
    auto* r = static_cast<Repository*>(self);
    if (pages >= r->checkpointPages_) {
        {
            std::lock_guard lock(r->checkpointMutex_);
            r->checkpointDue_ = true;
        }
        r->checkpointWake_.notify_one();
    }
    return SQLITE_OK;
}

bool Repository::Exec(const char* sql, std::string& error) {
    char* msg = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &msg) != SQLITE_OK) {
        error = std::string("database error: ") + (msg ? msg : "unknown");
        sqlite3_free(msg);
        return false;
    }
    return true;
}

bool Repository::CreateSchema(std::string& error) {
    std::lock_guard lock(mutex_);
    // A new file gets pages of 16 KB, so a layout or picture of megabytes is a quarter as
    // many pages to chain, log and check in (an existing file keeps its page size). The
    // cache holds a large form or picture whole, so storing one never spills half-written
    // pages to the log and replacing one finds the old pages without reading them back.
    if (!Exec("PRAGMA page_size=16384", error) || !Exec("PRAGMA cache_size=-16384", error))
        return false;
    // WAL keeps readers going while a store commits. With WAL, NORMAL writes every commit
    // to the log before the reply goes out, so a crash of the server loses nothing stored;
    // the log is synced at checkpoints, so a power cut may lose the last commits but never
    // leaves the file inconsistent. A journal other than WAL keeps FULL.
    {
        Stmt mode(db_, "PRAGMA journal_mode=WAL");
        wal_ = mode.Step() == SQLITE_ROW && mode.Text(0) == "wal";
    }
    if (!Exec(wal_ ? "PRAGMA synchronous=NORMAL" : "PRAGMA synchronous=FULL", error)) return false;
    Transaction tx(db_);
    if (!tx.started()) {
        error = DbError(db_);
        return false;
    }
    if (!Exec(kSchema, error)) return false;
    Stmt get(db_, "SELECT value FROM meta WHERE key='schema_version'");
    if (get.Step() == SQLITE_ROW) {
        long long v = std::atoll(get.Text(0).c_str());
        if (v > kSchemaVersion) {
            error = "the database was made by a newer server (schema " + get.Text(0) + ")";
            return false;
        }
    } else {
        Stmt put(db_, "INSERT INTO meta(key, value) VALUES('schema_version', ?)");
        put.Bind(1, std::to_string(kSchemaVersion));
        if (put.Step() != SQLITE_DONE) {
            error = DbError(db_);
            return false;
        }
    }
    if (!tx.Commit()) {
        error = DbError(db_);
        return false;
    }
    return true;
}

std::string Repository::FormatStamp(long long ms) {
    std::time_t secs = std::time_t(ms / 1000);
    std::tm tm{};
    gmtime_r(&secs, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d%03d", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, int(ms % 1000));
    return buf;
}

std::string Repository::FormatDate(long long ms) {
    std::time_t secs = std::time_t(ms / 1000);
    std::tm tm{};
    gmtime_r(&secs, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

// Called inside a store's transaction, so the stamp and the data commit together.
bool Repository::NextStamp(long long& millis, std::string& error) {
    long long last = 0;
    {
        Stmt get(db_, "SELECT value FROM meta WHERE key='last_stamp'");
        if (get.Step() == SQLITE_ROW) last = std::atoll(get.Text(0).c_str());
    }
    millis = std::max(NowMillis(), last + 1);
    Stmt put(db_, "INSERT OR REPLACE INTO meta(key, value) VALUES('last_stamp', ?)");
    put.Bind(1, std::to_string(millis));
    if (put.Step() != SQLITE_DONE) {
        error = DbError(db_);
        return false;
    }
    return true;
}

bool Repository::IsEmpty() {
    std::lock_guard lock(mutex_);
    Stmt st(db_,
            "SELECT (SELECT COUNT(*) FROM forms) + (SELECT COUNT(*) FROM catalogue_tables) + "
            "(SELECT COUNT(*) FROM code_lists)");
    return st.Step() == SQLITE_ROW && st.Int(0) == 0;
}

Status Repository::StoreForm(const std::string& entity, const FormRecord& form,
                             std::string& timeStamp, std::string& error) {
    std::lock_guard lock(mutex_);
    Transaction tx(db_);
    long long ms = 0;
    if (!tx.started() || !NextStamp(ms, error)) {
        if (error.empty()) error = DbError(db_);
        return Status::Failed;
    }
    std::string stamp = FormatStamp(ms);
    // Keeps the flags of a form that is stored again.
    Stmt st(db_,
            "INSERT INTO forms(entity, name, description, type, doctype, layout, stamp, modified,"
            " active, selected) VALUES(?,?,?,?,?,?,?,?,?,?)"
            " ON CONFLICT(entity, name) DO UPDATE SET description=excluded.description,"
            " type=excluded.type, doctype=excluded.doctype, layout=excluded.layout,"
            " stamp=excluded.stamp, modified=excluded.modified");
    st.Bind(1, entity)
        .Bind(2, form.name)
        .Bind(3, form.description)
        .Bind(4, form.type)
        .Bind(5, form.documentType)
        .BindInPlace(6, form.layout)
        .Bind(7, stamp)
        .Bind(8, FormatDate(ms))
        .Bind(9, (long long)(form.active ? 1 : 0))
        .Bind(10, (long long)(form.selected ? 1 : 0));
    if (st.Step() != SQLITE_DONE || !tx.Commit()) {
        error = DbError(db_);
        return Status::Failed;
    }
    timeStamp = stamp;
    return Status::Ok;
}

Status Repository::FindForm(const std::string& entity, const std::string& name, FormRecord& form,
                            std::string& error) {
    std::lock_guard lock(mutex_);
    Stmt st(db_,
            "SELECT name, description, type, doctype, layout, stamp, modified, active, selected"
            " FROM forms WHERE entity=? AND name=?");
    st.Bind(1, entity).Bind(2, name);
    int rc = st.Step();
    if (rc == SQLITE_DONE) return Status::NotFound;
    if (rc != SQLITE_ROW) {
        error = DbError(db_);
        return Status::Failed;
    }
    form.name = st.Text(0);
    form.description = st.Text(1);
    form.type = st.Text(2);
    form.documentType = st.Text(3);
    form.layout = st.Text(4);
    form.timeStamp = st.Text(5);
    form.dateModified = st.Text(6);
    form.active = st.Int(7) != 0;
    form.selected = st.Int(8) != 0;
    form.images.clear();
    return Status::Ok;
}

Status Repository::ListForms(const std::string& entity, std::vector<FormRecord>& forms,
                             std::string& error) {
    std::lock_guard lock(mutex_);
    forms.clear();
    Stmt st(db_,
            "SELECT name, description, type, doctype, stamp, modified, active, selected"
            " FROM forms WHERE entity=? ORDER BY name");
    if (!st.ok()) {
        error = DbError(db_);
        return Status::Failed;
    }
    st.Bind(1, entity);
    int rc;
    while ((rc = st.Step()) == SQLITE_ROW) {
        FormRecord f;
        f.name = st.Text(0);
        f.description = st.Text(1);
        f.type = st.Text(2);
        f.documentType = st.Text(3);
        f.timeStamp = st.Text(4);
        f.dateModified = st.Text(5);
        f.active = st.Int(6) != 0;
        f.selected = st.Int(7) != 0;
        forms.push_back(std::move(f));
    }
    if (rc != SQLITE_DONE) {
        error = DbError(db_);
        return Status::Failed;
    }
    for (auto& f : forms) {
        Stmt one(db_, "SELECT id, file, stamp FROM images WHERE entity=? AND form=? ORDER BY id");
        one.Bind(1, entity).Bind(2, f.name);
        while ((rc = one.Step()) == SQLITE_ROW)
            f.images.push_back({one.Int(0), one.Text(1), one.Text(2)});
        if (rc != SQLITE_DONE) {
            error = DbError(db_);
            return Status::Failed;
        }
    }
    return Status::Ok;
}

Status Repository::DeleteForm(const std::string& entity, const std::string& name,
                              std::string& error) {
    std::lock_guard lock(mutex_);
    Transaction tx(db_);
    Stmt st(db_, "DELETE FROM forms WHERE entity=? AND name=?");
    st.Bind(1, entity).Bind(2, name);
    if (!tx.started() || st.Step() != SQLITE_DONE) {
        error = DbError(db_);
        return Status::Failed;
    }
    int changed = sqlite3_changes(db_);
    if (!tx.Commit()) {
        error = DbError(db_);
        return Status::Failed;
    }
    return changed > 0 ? Status::Ok : Status::NotFound;
}

Status Repository::SetFlags(const std::string& entity, const std::string& name, bool active,
                            bool selected, std::string& error) {
    std::lock_guard lock(mutex_);
    Transaction tx(db_);
    Stmt st(db_, "UPDATE forms SET active=?, selected=? WHERE entity=? AND name=?");
    st.Bind(1, (long long)(active ? 1 : 0))
        .Bind(2, (long long)(selected ? 1 : 0))
        .Bind(3, entity)
        .Bind(4, name);
    if (!tx.started() || st.Step() != SQLITE_DONE) {
        error = DbError(db_);
        return Status::Failed;
    }
    int changed = sqlite3_changes(db_);
    if (!tx.Commit()) {
        error = DbError(db_);
        return Status::Failed;
    }
    return changed > 0 ? Status::Ok : Status::NotFound;
}

Status Repository::StoreImage(const std::string& entity, const std::string& form,
                              const std::string& file, const std::string& bytes,
                              std::string& timeStamp, std::string& error) {
    std::lock_guard lock(mutex_);
    Transaction tx(db_);
    long long ms = 0;
    if (!tx.started() || !NextStamp(ms, error)) {
        if (error.empty()) error = DbError(db_);
        return Status::Failed;
    }
    std::string stamp = FormatStamp(ms);
    // A replaced picture gets a new id too, so the list shows a new entry.
    Stmt del(db_, "DELETE FROM images WHERE entity=? AND form=? AND file=?");
    del.Bind(1, entity).Bind(2, form).Bind(3, file);
    Stmt ins(db_, "INSERT INTO images(entity, form, file, stamp, bytes) VALUES(?,?,?,?,?)");
    ins.Bind(1, entity).Bind(2, form).Bind(3, file).Bind(4, stamp).BindInPlace(5, bytes);
    if (del.Step() != SQLITE_DONE || ins.Step() != SQLITE_DONE || !tx.Commit()) {
        error = DbError(db_);
        return Status::Failed;
    }
    timeStamp = stamp;
    return Status::Ok;
}

Status Repository::FindImage(const std::string& entity, const std::string& form,
                             const std::string& timeStamp, const std::string& file,
                             std::string& bytes, std::string& error) {
    std::lock_guard lock(mutex_);
    Stmt st(db_, "SELECT stamp, bytes FROM images WHERE entity=? AND form=? AND file=?");
    st.Bind(1, entity).Bind(2, form).Bind(3, file);
    int rc = st.Step();
    if (rc == SQLITE_DONE) return Status::NotFound;
    if (rc != SQLITE_ROW) {
        error = DbError(db_);
        return Status::Failed;
    }
    if (!timeStamp.empty() && st.Text(0) != timeStamp) return Status::NotFound;
    bytes = st.Text(1);
    return Status::Ok;
}

// One statement with text arguments, in a transaction of its own.
Status Repository::WriteOne(const char* sql, std::initializer_list<std::string> values,
                            std::string& error) {
    std::lock_guard lock(mutex_);
    Transaction tx(db_);
    Stmt st(db_, sql);
    int i = 0;
    for (const auto& v : values) st.Bind(++i, v);
    if (!tx.started() || st.Step() != SQLITE_DONE || !tx.Commit()) {
        error = DbError(db_);
        return Status::Failed;
    }
    return Status::Ok;
}

Status Repository::DeleteImages(const std::string& entity, const std::string& form,
                                std::string& error) {
    return WriteOne("DELETE FROM images WHERE entity=? AND form=?", {entity, form}, error);
}

Status Repository::StoreStaticList(const std::string& entity, const std::string& form,
                                   const std::string& list, std::string& error) {
    if (list.empty()) return DeleteStaticList(entity, form, error);
    return WriteOne("INSERT OR REPLACE INTO static_lists(entity, form, list) VALUES(?,?,?)",
                    {entity, form, list}, error);
}

Status Repository::DeleteStaticList(const std::string& entity, const std::string& form,
                                    std::string& error) {
    return WriteOne("DELETE FROM static_lists WHERE entity=? AND form=?", {entity, form}, error);
}

Status Repository::FindStaticList(const std::string& entity, const std::string& form,
                                  std::string& list, std::string& error) {
    std::lock_guard lock(mutex_);
    Stmt st(db_, "SELECT list FROM static_lists WHERE entity=? AND form=?");
    st.Bind(1, entity).Bind(2, form);
    int rc = st.Step();
    list.clear();
    if (rc == SQLITE_DONE) return Status::NotFound;
    if (rc != SQLITE_ROW) {
        error = DbError(db_);
        return Status::Failed;
    }
    list = st.Text(0);
    return Status::Ok;
}

Status Repository::SetDatabaseName(const std::string& name, std::string& error) {
    std::lock_guard lock(mutex_);
    Stmt st(db_, "INSERT OR REPLACE INTO meta(key, value) VALUES('database_name', ?)");
    st.Bind(1, name);
    if (st.Step() != SQLITE_DONE) {
        error = DbError(db_);
        return Status::Failed;
    }
    return Status::Ok;
}

Status Repository::AddCatalogueTable(const CatalogueTable& table, std::string& error) {
    std::lock_guard lock(mutex_);
    Transaction tx(db_);
    Stmt t(db_, "INSERT INTO catalogue_tables(name) VALUES(?)");
    t.Bind(1, table.name);
    if (!tx.started() || t.Step() != SQLITE_DONE) {
        error = DbError(db_);
        return Status::Failed;
    }
    for (const auto& f : table.fields) {
        std::string props;
        for (size_t i = 0; i < f.properties.size(); ++i) {
            if (i) props += kPropertySep;
            props += f.properties[i];
        }
        Stmt st(db_, "INSERT INTO catalogue_fields(table_name, name, properties) VALUES(?,?,?)");
        st.Bind(1, table.name).Bind(2, f.name).Bind(3, props);
        if (st.Step() != SQLITE_DONE) {
            error = DbError(db_);
            return Status::Failed;
        }
    }
    if (!tx.Commit()) {
        error = DbError(db_);
        return Status::Failed;
    }
    return Status::Ok;
}

Status Repository::ReadCatalogue(std::string& databaseName, std::vector<CatalogueTable>& tables,
                                 std::string& error) {
    std::lock_guard lock(mutex_);
    tables.clear();
    databaseName.clear();
    Stmt name(db_, "SELECT value FROM meta WHERE key='database_name'");
    if (name.Step() == SQLITE_ROW) databaseName = name.Text(0);
    Stmt t(db_, "SELECT name FROM catalogue_tables ORDER BY position");
    int rc;
    while ((rc = t.Step()) == SQLITE_ROW) tables.push_back({t.Text(0), {}});
    if (rc != SQLITE_DONE) {
        error = DbError(db_);
        return Status::Failed;
    }
    for (auto& table : tables) {
        Stmt f(db_,
               "SELECT name, properties FROM catalogue_fields WHERE table_name=? ORDER BY "
               "position");
        f.Bind(1, table.name);
        while ((rc = f.Step()) == SQLITE_ROW)
            table.fields.push_back({f.Text(0), SplitProps(f.Text(1))});
        if (rc != SQLITE_DONE) {
            error = DbError(db_);
            return Status::Failed;
        }
    }
    return Status::Ok;
}

Status Repository::FindField(const std::string& table, const std::string& field,
                             CatalogueField& out, std::string& error) {
    std::lock_guard lock(mutex_);
    Stmt st(db_,
            "SELECT name, properties FROM catalogue_fields WHERE table_name=? AND name=? ORDER "
            "BY position");
    st.Bind(1, table).Bind(2, field);
    int rc = st.Step();
    if (rc == SQLITE_DONE) return Status::NotFound;
    if (rc != SQLITE_ROW) {
        error = DbError(db_);
        return Status::Failed;
    }
    out.name = st.Text(0);
    out.properties = SplitProps(st.Text(1));
    return Status::Ok;
}

Status Repository::AddCodeEntry(const std::string& list, const CodeEntry& entry,
                                std::string& error) {
    std::lock_guard lock(mutex_);
    Stmt st(db_, "INSERT INTO code_lists(list, code, description) VALUES(?,?,?)");
    st.Bind(1, list).Bind(2, entry.code).Bind(3, entry.description);
    if (st.Step() != SQLITE_DONE) {
        error = DbError(db_);
        return Status::Failed;
    }
    return Status::Ok;
}

Status Repository::ReadCodeList(const std::string& list, std::vector<CodeEntry>& entries,
                                std::string& error) {
    std::lock_guard lock(mutex_);
    entries.clear();
    Stmt st(db_, "SELECT code, description FROM code_lists WHERE list=? ORDER BY position");
    st.Bind(1, list);
    int rc;
    while ((rc = st.Step()) == SQLITE_ROW) entries.push_back({st.Text(0), st.Text(1)});
    if (rc != SQLITE_DONE) {
        error = DbError(db_);
        return Status::Failed;
    }
    return entries.empty() ? Status::NotFound : Status::Ok;
}

Status Repository::AddChargeSlipEntry(const std::string& set, const ChargeSlipEntry& entry,
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
    if (st.Step() != SQLITE_DONE) {
        error = DbError(db_);
        return Status::Failed;
    }
    return Status::Ok;
}

Status Repository::ReadChargeSlipSet(const std::string& set, std::vector<ChargeSlipEntry>& entries,
                                     std::string& error) {
    std::lock_guard lock(mutex_);
    entries.clear();
    Stmt st(db_,
            "SELECT heading, code, description, other FROM charge_slip_entries WHERE set_code=?"
            " ORDER BY position");
    st.Bind(1, set);
    int rc;
    while ((rc = st.Step()) == SQLITE_ROW)
        entries.push_back({st.Text(0), st.Text(1), st.Text(2), st.Text(3)});
    if (rc != SQLITE_DONE) {
        error = DbError(db_);
        return Status::Failed;
    }
    return entries.empty() ? Status::NotFound : Status::Ok;
}

Status Repository::AddSavedRecord(const std::string& entity, const SavedRecord& r,
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
    if (st.Step() != SQLITE_DONE) {
        error = DbError(db_);
        return Status::Failed;
    }
    return Status::Ok;
}

Status Repository::ReadSavedRecords(const std::string& entity, bool newerKind,
                                    std::vector<SavedRecord>& records, std::string& error) {
    std::lock_guard lock(mutex_);
    records.clear();
    Stmt st(db_,
            "SELECT account, dos, type, form, description, saved FROM saved_records"
            " WHERE entity=? AND newer=? ORDER BY position");
    st.Bind(1, entity).Bind(2, (long long)(newerKind ? 1 : 0));
    int rc;
    while ((rc = st.Step()) == SQLITE_ROW) {
        SavedRecord r;
        r.account = st.Text(0);
        r.dateOfService = st.Text(1);
        r.type = st.Text(2);
        r.form = st.Text(3);
        r.description = st.Text(4);
        r.saved = st.Text(5);
        r.newerKind = newerKind;
        records.push_back(std::move(r));
    }
    if (rc != SQLITE_DONE) {
        error = DbError(db_);
        return Status::Failed;
    }
    return Status::Ok;
}

}  // namespace repo
