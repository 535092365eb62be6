#pragma once
// The SQLite helpers the SQLite engine's sources share: a prepared statement that binds text
// as bytes and reports its own failure, and a BEGIN IMMEDIATE transaction. Internal to
// the repository's .cpp files.
#include <sqlite3.h>

#include <string>

#include "Repository.h"

namespace repo {

inline std::string DbError(sqlite3* db) {
    return std::string("database error: ") + sqlite3_errmsg(db);
}

// The database's last message in error, for a store or read that went wrong.
inline Status Failed(sqlite3* db, std::string& error) {
    error = DbError(db);
    return Status::Failed;
}

// One prepared statement; text is bound as bytes so Windows-1252 passes unchanged.
class Stmt {
  public:
    Stmt(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &st_, nullptr) != SQLITE_OK) st_ = nullptr;
    }
    ~Stmt() { sqlite3_finalize(st_); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

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
    // Runs a statement that gives no rows; false with the database's message in error.
    bool Run(std::string& error) { return Ended(Step(), error); }
    // Calls row() for every row; false with the message when the walk did not end cleanly.
    template <class Row>
    bool Rows(std::string& error, Row row) {
        int rc;
        while ((rc = Step()) == SQLITE_ROW) row();
        return Ended(rc, error);
    }
    // The first row: Ok with it current, NotFound when there is none, or Failed.
    Status First(std::string& error) {
        int rc = Step();
        if (rc == SQLITE_ROW) return Status::Ok;
        return Ended(rc, error) ? Status::NotFound : Status::Failed;
    }
    std::string Text(int col) {
        const void* p = sqlite3_column_blob(st_, col);
        int n = sqlite3_column_bytes(st_, col);
        return p ? std::string(static_cast<const char*>(p), size_t(n)) : std::string();
    }
    long long Int(int col) { return sqlite3_column_int64(st_, col); }

  private:
    bool Ended(int rc, std::string& error) {
        if (rc == SQLITE_DONE) return true;
        error = DbError(db_);
        return false;
    }
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
};

// BEGIN IMMEDIATE ... COMMIT; rolls back unless committed.
class Transaction {
  public:
    explicit Transaction(sqlite3* db) : db_(db) {
        started_ = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~Transaction() {
        if (started_ && !done_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    // False with the database's message when the transaction could not begin.
    bool Started(std::string& error) {
        if (!started_) error = DbError(db_);
        return started_;
    }
    bool Commit(std::string& error) {
        done_ = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
        if (!done_) error = DbError(db_);
        return done_;
    }

  private:
    sqlite3* db_;
    bool started_ = false;
    bool done_ = false;
};

}  // namespace repo
