#include "SqliteRepository.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>

#include "SqliteSql.h"

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

}  // namespace

std::unique_ptr<SqliteRepository> SqliteRepository::Open(const std::string& path,
                                                         std::string& error) {
    sqlite3* db = nullptr;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        error = "cannot open " + path + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 10000);
    std::unique_ptr<SqliteRepository> r(new SqliteRepository(db));
    if (!r->CreateSchema(error)) return nullptr;
    if (r->wal_) r->StartCheckpointer(path);
    return r;
}

SqliteRepository::SqliteRepository(sqlite3* db) : db_(db) {}

SqliteRepository::~SqliteRepository() {
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

void SqliteRepository::StartCheckpointer(const std::string& path) {
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
    sqlite3_wal_hook(db_, &SqliteRepository::OnLogCommit, this);
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

int SqliteRepository::OnLogCommit(void* self, sqlite3*, const char*, int pages) {
    auto* r = static_cast<SqliteRepository*>(self);
    if (pages >= r->checkpointPages_) {
        {
            std::lock_guard lock(r->checkpointMutex_);
            r->checkpointDue_ = true;
        }
        r->checkpointWake_.notify_one();
    }
    return SQLITE_OK;
}

bool SqliteRepository::Exec(const char* sql, std::string& error) {
    char* msg = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &msg) != SQLITE_OK) {
        error = std::string("database error: ") + (msg ? msg : "unknown");
        sqlite3_free(msg);
        return false;
    }
    return true;
}

bool SqliteRepository::CreateSchema(std::string& error) {
    std::lock_guard lock(mutex_);
    // A new file gets pages of 16 KB, so a layout or picture of megabytes is a quarter as
    // many pages to chain, log and check in (an existing file keeps its page size). The
    // cache holds a large form or picture whole, so storing one never spills half-written
    // pages to the log and replacing one finds the old pages without reading them back.
    if (!Exec("PRAGMA page_size=16384", error) || !Exec("PRAGMA cache_size=-16384", error))
        return false;
    // WAL keeps readers going while a store commits. FULL syncs the log at every commit,
    // before the reply goes out: a save answered "Form Saved." is on the disk, and survives
    // a power cut as well as a crash of the server.
    {
        Stmt mode(db_, "PRAGMA journal_mode=WAL");
        wal_ = mode.Step() == SQLITE_ROW && mode.Text(0) == "wal";
    }
    if (!Exec("PRAGMA synchronous=FULL", error)) return false;
    Transaction tx(db_);
    if (!tx.Started(error) || !Exec(kSchema, error)) return false;
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
        if (!put.Run(error)) return false;
    }
    return tx.Commit(error);
}

// Called inside a store's transaction, so the stamp and the data commit together.
bool SqliteRepository::NextStamp(long long& millis, std::string& error) {
    long long last = 0;
    {
        Stmt get(db_, "SELECT value FROM meta WHERE key='last_stamp'");
        if (get.Step() == SQLITE_ROW) last = std::atoll(get.Text(0).c_str());
    }
    millis = std::max(NowMillis(), last + 1);
    Stmt put(db_, "INSERT OR REPLACE INTO meta(key, value) VALUES('last_stamp', ?)");
    put.Bind(1, std::to_string(millis));
    return put.Run(error);
}

bool SqliteRepository::IsEmpty() {
    std::lock_guard lock(mutex_);
    Stmt st(db_,
            "SELECT (SELECT COUNT(*) FROM forms) + (SELECT COUNT(*) FROM catalogue_tables) + "
            "(SELECT COUNT(*) FROM code_lists)");
    return st.Step() == SQLITE_ROW && st.Int(0) == 0;
}

}  // namespace repo
