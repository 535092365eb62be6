#include "PgRepository.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

namespace repo {
namespace {

constexpr int kSchemaVersion = 1;
// Enough for the server's workers and a few more callers; each is a backend process of
// the database.
constexpr int kConnections = 4;
// Tries of one transaction before its failure is reported after all.
constexpr int kTries = 40;
// Taken while the schema is made, so servers started together do not race to make it.
constexpr const char* kSchemaLock = "SELECT pg_advisory_xact_lock(727011)";

const char* kSchema = R"SQL(
CREATE TABLE IF NOT EXISTS meta (key TEXT PRIMARY KEY, value BYTEA NOT NULL);
CREATE TABLE IF NOT EXISTS forms (
    entity BYTEA NOT NULL, name BYTEA NOT NULL,
    description BYTEA NOT NULL, type BYTEA NOT NULL, doctype BYTEA NOT NULL,
    layout BYTEA NOT NULL, stamp BYTEA NOT NULL, modified BYTEA NOT NULL,
    active BIGINT NOT NULL, selected BIGINT NOT NULL,
    PRIMARY KEY (entity, name));
CREATE TABLE IF NOT EXISTS images (
    id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    entity BYTEA NOT NULL, form BYTEA NOT NULL, file BYTEA NOT NULL,
    stamp BYTEA NOT NULL, bytes BYTEA NOT NULL,
    UNIQUE (entity, form, file));
CREATE TABLE IF NOT EXISTS static_lists (
    entity BYTEA NOT NULL, form BYTEA NOT NULL, list BYTEA NOT NULL,
    PRIMARY KEY (entity, form));
CREATE TABLE IF NOT EXISTS catalogue_tables (
    position BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY, name BYTEA NOT NULL UNIQUE);
CREATE TABLE IF NOT EXISTS catalogue_fields (
    position BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY, table_name BYTEA NOT NULL,
    name BYTEA NOT NULL, properties BYTEA NOT NULL);
CREATE TABLE IF NOT EXISTS code_lists (
    position BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY, list BYTEA NOT NULL,
    code BYTEA NOT NULL, description BYTEA NOT NULL);
CREATE TABLE IF NOT EXISTS charge_slip_entries (
    position BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY, set_code BYTEA NOT NULL,
    heading BYTEA NOT NULL, code BYTEA NOT NULL, description BYTEA NOT NULL,
    other BYTEA NOT NULL);
CREATE TABLE IF NOT EXISTS saved_records (
    position BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY, entity BYTEA NOT NULL,
    newer BIGINT NOT NULL, account BYTEA NOT NULL, dos BYTEA NOT NULL, type BYTEA NOT NULL,
    form BYTEA NOT NULL, description BYTEA NOT NULL, saved BYTEA NOT NULL);
INSERT INTO meta(key, value) VALUES ('schema_version', '1'), ('last_stamp', '0')
    ON CONFLICT (key) DO NOTHING;
)SQL";

// SERIALIZABLE: a save reads what it replaces (the form's pictures, to drop those its
// layout no longer names) and writes several tables; at this level the outcome of saves
// running at once, through any number of server processes, is that of running them one
// after another, so two saves of one form end as one of them whole. The one that would
// see the other half done fails to commit and runs again. Every store also takes the
// stamp row first, so stores queue there rather than fail late.
constexpr const char* kBeginStore = "BEGIN ISOLATION LEVEL SERIALIZABLE";
// A snapshot never fails to serialize when it only reads.
constexpr const char* kBeginRead = "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY";

void Pause(int attempt) {
    thread_local std::minstd_rand random(std::random_device{}());
    int most = 1 << std::min(attempt, 6);
    std::this_thread::sleep_for(std::chrono::milliseconds(1 + int(random() % unsigned(most))));
}

}  // namespace

std::unique_ptr<PgRepository> PgRepository::Open(const std::string& uri, std::string& error) {
    char* message = nullptr;
    PQconninfoOption* options = PQconninfoParse(uri.c_str(), &message);
    if (!options) {
        error = std::string("bad database address: ") + (message ? message : "out of memory");
        while (!error.empty() && error.back() == '\n') error.pop_back();
        PQfreemem(message);
        return nullptr;
    }
    bool password = false;
    for (PQconninfoOption* o = options; o->keyword; ++o)
        if (std::string(o->keyword) == "password" && o->val && *o->val) password = true;
    PQconninfoFree(options);
    if (password) {
        error =
            "the database address holds a password; give it in PGPASSWORD or a password "
            "file (~/.pgpass) instead";
        return nullptr;
    }
    std::unique_ptr<PgRepository> r(new PgRepository(uri));
    if (!r->CreateSchema(error)) return nullptr;
    return r;
}

PgRepository::PgRepository(const std::string& uri) : pool_(uri, kConnections) {}

bool PgRepository::CreateSchema(std::string& error) {
    auto made = [](pg::Conn& c, std::string& e) {
        pg::Result version;
        if (!c.Script(kSchemaLock, e) || !c.Script(kSchema, e) ||
            !c.Run("SELECT value FROM meta WHERE key='schema_version'", {}, e, &version))
            return Status::Failed;
        std::string text = version.Rows() ? version.Text(0, 0) : "";
        if (std::atoll(text.c_str()) > kSchemaVersion) {
            e = "the database was made by a newer server (schema " + text + ")";
            return Status::Failed;
        }
        return Status::Ok;
    };
    return Transact("BEGIN", made, error) == Status::Ok;
}

Status PgRepository::Transact(const char* begin, const Body& body, std::string& error) {
    for (int attempt = 1;; ++attempt) {
        auto conn = pool_.Take(error);
        if (!conn) return Status::Failed;
        bool again = false;
        if (!begin) {
            Status s = body(*conn, error);
            if (s != Status::Failed) return s;
            again = pg::MayRetry(*conn);
        } else if (conn->Script(begin, error)) {
            Status s = body(*conn, error);
            if (s != Status::Failed && conn->Script("COMMIT", error)) return s;
            again = pg::MayRetry(*conn);
            std::string ignored;
            if (!conn->Lost()) conn->Script("ROLLBACK", ignored);
        } else {
            again = pg::MayRetry(*conn);
        }
        if (!again || attempt >= kTries) return Status::Failed;
        Pause(attempt);
    }
}

Status PgRepository::Store(const Body& body, std::string& error) {
    return Transact(kBeginStore, body, error);
}

Status PgRepository::Read(const Body& body, std::string& error) {
    return Transact(kBeginRead, body, error);
}

Status PgRepository::ReadOne(const Body& body, std::string& error) {
    return Transact(nullptr, body, error);
}

Status PgRepository::WriteOne(const char* sql, std::initializer_list<pg::Arg> values,
                              std::string& error) {
    return Store(
        [&](pg::Conn& c, std::string& e) {
            pg::Result done;
            if (!c.Run(sql, values, e, &done)) return Status::Failed;
            return done.Changed() > 0 ? Status::Ok : Status::NotFound;
        },
        error);
}

// Called inside a store's transaction, so the stamp and the data commit together. The
// stamp row is locked until then: stores of every server process take their stamps in turn.
bool PgRepository::NextStamp(pg::Conn& c, long long& millis, std::string& error) {
    pg::Result last;
    if (!c.Run("SELECT value FROM meta WHERE key='last_stamp' FOR UPDATE", {}, error, &last))
        return false;
    long long before = last.Rows() ? std::atoll(last.Text(0, 0).c_str()) : 0;
    millis = std::max(NowMillis(), before + 1);
    return c.Run("UPDATE meta SET value=$1 WHERE key='last_stamp'", {std::to_string(millis)},
                 error);
}

bool PgRepository::IsEmpty() {
    std::string error;
    bool empty = false;
    Status s = ReadOne(
        [&](pg::Conn& c, std::string& e) {
            pg::Result n;
            if (!c.Run("SELECT (SELECT COUNT(*) FROM forms) + (SELECT COUNT(*) FROM "
                       "catalogue_tables) + (SELECT COUNT(*) FROM code_lists)",
                       {}, e, &n))
                return Status::Failed;
            empty = n.Rows() == 1 && n.Int(0, 0) == 0;
            return Status::Ok;
        },
        error);
    return s == Status::Ok && empty;
}

}  // namespace repo
