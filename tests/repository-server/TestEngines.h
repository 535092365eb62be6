#pragma once
// The two engines every repository-server test runs against: a SQLite file in a scratch
// folder, or a schema of its own in the throwaway PostgreSQL cluster that the test run
// starts (pg-cluster.sh; its address in the file FD_PG_URI_FILE names).
#include <gtest/gtest.h>

#include <string>

namespace repotest {

enum class Engine { Sqlite, Postgres };

#define FD_ON_BOTH_ENGINES(Suite)                                                                \
    INSTANTIATE_TEST_SUITE_P(                                                                    \
        Engines, Suite, ::testing::Values(repotest::Engine::Sqlite, repotest::Engine::Postgres), \
        [](const auto& info) {                                                                   \
            return info.param == repotest::Engine::Sqlite ? "Sqlite" : "Postgres";               \
        })

// A fresh, empty place for one repository, removed with the object.
class Scratch {
  public:
    // inMemory: SQLite keeps the repository in memory (no file).
    explicit Scratch(Engine engine, bool inMemory = false);
    ~Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    const Engine engine;
    std::string dir;       // a scratch folder
    std::string location;  // what --db and Repository::Open take

    // Plain SQL on the repository, as another tool would run it.
    bool Sql(const std::string& statements, std::string& error);

  private:
    std::string server_;  // PostgreSQL: the cluster's address
    std::string schema_;
};

}  // namespace repotest
