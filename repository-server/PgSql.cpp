#include "PgSql.h"

#include <cstdlib>

namespace repo::pg {
namespace {

constexpr Oid kByteaOid = 17;
constexpr Oid kInt8Oid = 20;

}  // namespace

long long Result::Int(int row, int col) const {
    const auto* p = reinterpret_cast<const unsigned char*>(PQgetvalue(r_, row, col));
    int n = PQgetlength(r_, row, col);
    unsigned long long v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | p[i];
    if (n > 0 && n < 8 && (p[0] & 0x80)) v |= ~0ull << (8 * n);
    return (long long)v;
}

long long Result::Changed() const {
    return r_ ? std::atoll(PQcmdTuples(r_)) : 0;
}

bool Conn::Check(PGresult* r, std::string& error, Result* rows) {
    Result result(r);
    ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
        state_.clear();
        if (rows) *rows = std::move(result);
        return true;
    }
    const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    state_ = state ? state : "";
    const char* message = r ? PQresultErrorMessage(r) : "";
    if (!message || !*message) message = PQerrorMessage(pg_);
    error = std::string("database error: ") + message;
    while (!error.empty() && (error.back() == '\n' || error.back() == ' ')) error.pop_back();
    return false;
}

bool Conn::Run(const char* sql, std::initializer_list<Arg> args, std::string& error, Result* rows) {
    std::vector<Oid> types;
    std::vector<const char*> values;
    std::vector<int> lengths, formats;
    for (const Arg& a : args) {
        types.push_back(a.IsBytes() ? kByteaOid : kInt8Oid);
        values.push_back(a.Data());
        lengths.push_back(a.Size());
        formats.push_back(a.IsBytes() ? 1 : 0);
    }
    PGresult* r = PQexecParams(pg_, sql, int(values.size()), types.data(), values.data(),
                               lengths.data(), formats.data(), 1);
    return Check(r, error, rows);
}

bool Conn::Script(const char* sql, std::string& error) {
    return Check(PQexec(pg_, sql), error, nullptr);
}

Pool::~Pool() {
    for (Conn* c : idle_) delete c;
}

Pool::Lease Pool::Take(std::string& error) {
    std::unique_lock lock(mutex_);
    freed_.wait(lock, [this] { return !idle_.empty() || open_ < size_; });
    if (!idle_.empty()) {
        Conn* c = idle_.back();
        idle_.pop_back();
        lock.unlock();
        // The database may have gone away and come back since the last use.
        if (c->Lost()) c->Reset();
        return Lease(this, c);
    }
    ++open_;
    lock.unlock();
    PGconn* pg = PQconnectdb(conninfo_.c_str());
    if (!pg || PQstatus(pg) != CONNECTION_OK) {
        error = std::string("database error: cannot connect: ") +
                (pg ? PQerrorMessage(pg) : "out of memory");
        while (!error.empty() && error.back() == '\n') error.pop_back();
        PQfinish(pg);
        lock.lock();
        --open_;
        freed_.notify_one();
        return Lease(this, nullptr);
    }
    auto* c = new Conn(pg);
    std::string ignored;
    // Values travel in binary; the client's text encoding never touches them, but a
    // message the database sends should read the same everywhere.
    c->Script("SET client_min_messages TO warning", ignored);
    return Lease(this, c);
}

void Pool::GiveBack(Conn* conn) {
    {
        std::lock_guard lock(mutex_);
        idle_.push_back(conn);
    }
    freed_.notify_one();
}

bool MayRetry(const Conn& conn) {
    const std::string& s = conn.FailedState();
    return s == "40001" || s == "40P01" || (s.empty() && conn.Lost());
}

}  // namespace repo::pg
