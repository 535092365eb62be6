#pragma once
// The PostgreSQL helpers the PostgreSQL engine's sources share: statements whose text
// travels as bytes (bytea, binary format) so Windows-1252 passes unchanged, their results,
// and a small pool of connections shared by the connection threads. Internal to the
// repository's .cpp files.
#include <libpq-fe.h>

#include <condition_variable>
#include <initializer_list>
#include <mutex>
#include <string>
#include <vector>

namespace repo::pg {

// A value bound to a statement: text as bytes, numbers as int8.
class Arg {
  public:
    Arg(const std::string& bytes)  // NOLINT(google-explicit-constructor): reads as a value
        : bytes_(&bytes) {}
    Arg(long long number)  // NOLINT(google-explicit-constructor)
        : number_(std::to_string(number)) {}
    bool IsBytes() const { return bytes_ != nullptr; }
    const char* Data() const { return bytes_ ? bytes_->data() : number_.c_str(); }
    int Size() const { return bytes_ ? int(bytes_->size()) : int(number_.size()); }

  private:
    const std::string* bytes_ = nullptr;
    std::string number_;
};

// The rows of a statement, read in binary: bytea columns as their bytes, integers whole.
class Result {
  public:
    Result() = default;
    explicit Result(PGresult* r) : r_(r) {}
    ~Result() { PQclear(r_); }
    Result(Result&& o) noexcept : r_(o.r_) { o.r_ = nullptr; }
    Result& operator=(Result&& o) noexcept {
        std::swap(r_, o.r_);
        return *this;
    }
    int Rows() const { return r_ ? PQntuples(r_) : 0; }
    std::string Text(int row, int col) const {
        return std::string(PQgetvalue(r_, row, col), size_t(PQgetlength(r_, row, col)));
    }
    long long Int(int row, int col) const;
    // Rows a command changed.
    long long Changed() const;

  private:
    PGresult* r_ = nullptr;
};

// One connection and the state of its last failure.
class Conn {
  public:
    explicit Conn(PGconn* c) : pg_(c) {}
    ~Conn() { PQfinish(pg_); }
    Conn(const Conn&) = delete;
    Conn& operator=(const Conn&) = delete;

    // Runs one statement; false with the database's message in error.
    bool Run(const char* sql, std::initializer_list<Arg> args, std::string& error,
             Result* rows = nullptr);
    // Statements without values, one after the other (schema, BEGIN, COMMIT).
    bool Script(const char* sql, std::string& error);
    // The SQLSTATE of the last failure; empty when the link itself failed.
    const std::string& FailedState() const { return state_; }
    bool Lost() const { return PQstatus(pg_) != CONNECTION_OK; }
    void Reset() { PQreset(pg_); }

  private:
    bool Check(PGresult* r, std::string& error, Result* rows);
    PGconn* pg_;
    std::string state_;
};

// Connections opened as the threads need them, up to a bound; a thread past it waits.
class Pool {
  public:
    Pool(std::string conninfo, int size) : conninfo_(std::move(conninfo)), size_(size) {}
    ~Pool();
    Pool(const Pool&) = delete;
    Pool& operator=(const Pool&) = delete;

    class Lease {
      public:
        Lease(Pool* pool, Conn* conn) : pool_(pool), conn_(conn) {}
        ~Lease() {
            if (conn_) pool_->GiveBack(conn_);
        }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        explicit operator bool() const { return conn_ != nullptr; }
        Conn& operator*() const { return *conn_; }
        Conn* operator->() const { return conn_; }

      private:
        Pool* pool_;
        Conn* conn_;
    };
    // A connection to use, or an empty lease with the reason in error.
    Lease Take(std::string& error);

  private:
    void GiveBack(Conn* conn);
    std::string conninfo_;
    int size_;
    std::mutex mutex_;
    std::condition_variable freed_;
    std::vector<Conn*> idle_;
    int open_ = 0;
};

// Whether a failed transaction may simply run again: a serialization failure or a deadlock
// broken by the database, or the link lost before the commit was answered.
bool MayRetry(const Conn& conn);

}  // namespace repo::pg
