#include "TestEngines.h"

#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace repotest {
namespace {

bool RunOnServer(const std::string& address, const std::string& sql, std::string& error) {
    PGconn* c = PQconnectdb(address.c_str());
    bool ok = PQstatus(c) == CONNECTION_OK;
    if (ok) {
        PGresult* r = PQexec(c, ("SET client_min_messages TO warning;" + sql).c_str());
        ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
        PQclear(r);
    }
    if (!ok) error = PQerrorMessage(c);
    PQfinish(c);
    return ok;
}

}  // namespace

Scratch::Scratch(Engine e, bool inMemory) : engine(e) {
    std::string tmpl = (fs::temp_directory_path() / "repo-test-XXXXXX").string();
    if (::mkdtemp(tmpl.data())) dir = tmpl;
    if (engine == Engine::Sqlite) {
        location = inMemory ? ":memory:" : dir + "/repository.db";
        return;
    }
    // No cluster is no skip: the test fails on an address that reaches nothing.
    const char* file = std::getenv("FD_PG_URI_FILE");
    std::ifstream in(file ? file : "");
    std::getline(in, server_);
    if (server_.empty()) {
        ADD_FAILURE() << "no PostgreSQL cluster: FD_PG_URI_FILE=" << (file ? file : "(unset)");
        location = "postgresql://127.0.0.1:1/none";
        return;
    }
    static std::atomic<int> made{0};
    schema_ = "t" + std::to_string(::getpid()) + "_" + std::to_string(made++);
    std::string error;
    EXPECT_TRUE(RunOnServer(server_, "CREATE SCHEMA " + schema_, error)) << error;
    location = server_ + "&options=-csearch_path%3D" + schema_;
}

Scratch::~Scratch() {
    std::string error;
    if (!schema_.empty())
        EXPECT_TRUE(RunOnServer(server_, "DROP SCHEMA " + schema_ + " CASCADE", error)) << error;
    if (!dir.empty()) fs::remove_all(dir);
}

bool Scratch::Sql(const std::string& statements, std::string& error) {
    if (engine == Engine::Postgres) return RunOnServer(location, statements, error);
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(location.c_str(), &db) == SQLITE_OK;
    char* msg = nullptr;
    ok = ok && sqlite3_exec(db, statements.c_str(), nullptr, nullptr, &msg) == SQLITE_OK;
    if (!ok) error = msg ? msg : sqlite3_errmsg(db);
    sqlite3_free(msg);
    sqlite3_close(db);
    return ok;
}

}  // namespace repotest
