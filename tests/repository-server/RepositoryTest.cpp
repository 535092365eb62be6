#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "DemoData.h"
#include "Repository.h"

namespace fs = std::filesystem;

namespace {

class RepositoryFile : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "repo-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
        path = (fs::path(dir) / "repository.db").string();
    }
    void TearDown() override { fs::remove_all(dir); }

    std::unique_ptr<repo::Repository> Open() {
        std::string error;
        auto r = repo::Repository::Open(path, error);
        EXPECT_TRUE(r) << error;
        return r;
    }
    // Plain SQL on the file, as another tool would do it.
    void Sql(const std::string& statement) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        char* msg = nullptr;
        EXPECT_EQ(sqlite3_exec(db, statement.c_str(), nullptr, nullptr, &msg), SQLITE_OK)
            << (msg ? msg : "");
        sqlite3_free(msg);
        sqlite3_close(db);
    }

    std::string dir, path;
};

repo::FormRecord Form(const std::string& name, const std::string& layout) {
    repo::FormRecord f;
    f.name = name;
    f.description = "D";
    f.type = "T";
    f.documentType = "X";
    f.layout = layout;
    return f;
}

}  // namespace

TEST_F(RepositoryFile, EverythingStoredSurvivesAReopen) {
    std::string stamp, error, firstStamp;
    std::string bytes("\0\r\n\xFF", 4);
    {
        auto r = Open();
        ASSERT_TRUE(r);
        EXPECT_TRUE(r->IsEmpty());
        ASSERT_EQ(r->StoreForm("1", Form("A", "line1\r\nline2"), firstStamp, error),
                  repo::Status::Ok);
        ASSERT_EQ(r->SetFlags("1", "A", false, true, error), repo::Status::Ok);
        ASSERT_EQ(r->StoreImage("1", "A", "p.bmp", bytes, stamp, error), repo::Status::Ok);
        ASSERT_EQ(r->StoreStaticList("1", "A", "x\xE6y", error), repo::Status::Ok);
        ASSERT_TRUE(repo::SeedDemoData(*r, error)) << error;
    }
    auto r = Open();
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->IsEmpty());
    repo::FormRecord f;
    ASSERT_EQ(r->FindForm("1", "A", f, error), repo::Status::Ok);
    EXPECT_EQ(f.layout, "line1\r\nline2");
    EXPECT_EQ(f.timeStamp, firstStamp);
    EXPECT_FALSE(f.active);
    EXPECT_TRUE(f.selected);
    std::string got;
    ASSERT_EQ(r->FindImage("1", "A", stamp, "p.bmp", got, error), repo::Status::Ok);
    EXPECT_EQ(got, bytes);
    ASSERT_EQ(r->FindStaticList("1", "A", got, error), repo::Status::Ok);
    EXPECT_EQ(got, "x\xE6y");
    std::string db;
    std::vector<repo::CatalogueTable> tables;
    ASSERT_EQ(r->ReadCatalogue(db, tables, error), repo::Status::Ok);
    EXPECT_EQ(db, "PRACTICE");
    EXPECT_EQ(tables.size(), 4u);

    // Stamps keep rising after the reopen, even with a clock far behind the last one.
    Sql("UPDATE meta SET value='4102444800000' WHERE key='last_stamp'");
    r = Open();
    ASSERT_EQ(r->StoreForm("1", Form("A", "v2"), stamp, error), repo::Status::Ok);
    EXPECT_GT(stamp, firstStamp);
    std::string next;
    ASSERT_EQ(r->StoreForm("1", Form("A", "v3"), next, error), repo::Status::Ok);
    EXPECT_GT(next, stamp);
}

TEST_F(RepositoryFile, NewFilesGetLargePagesAndAnOlderFileKeepsItsOwn) {
    auto pageSize = [&] {
        sqlite3* db = nullptr;
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        sqlite3_prepare_v2(db, "PRAGMA page_size", -1, &st, nullptr);
        int size = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : 0;
        sqlite3_finalize(st);
        sqlite3_close(db);
        return size;
    };
    std::string big(100000, '\n'), stamp, error;
    for (int older : {0, 4096}) {
        fs::remove_all(dir);
        fs::create_directories(dir);
        if (older) Sql("PRAGMA page_size=" + std::to_string(older) + "; CREATE TABLE t(a)");
        ASSERT_EQ(Open()->StoreForm("1", Form("A", big), stamp, error), repo::Status::Ok);
        repo::FormRecord f;
        ASSERT_EQ(Open()->FindForm("1", "A", f, error), repo::Status::Ok);
        EXPECT_EQ(f.layout, big);
        EXPECT_EQ(pageSize(), older ? older : 16384);
    }
}

TEST_F(RepositoryFile, TheLogIsCheckedInToTheFileSoonAfterAStore) {
    auto r = Open();
    std::string stamp, error;
    const std::uintmax_t size = 9u << 20;
    ASSERT_EQ(r->StoreForm("1", Form("A", std::string(size, 'x')), stamp, error), repo::Status::Ok);
    for (int i = 0; i < 1000 && fs::file_size(path) < size; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_GE(fs::file_size(path), size);
}

TEST_F(RepositoryFile, AStoreThatFailsHalfwayKeepsThePreviousCopy) {
    std::string stamp, error;
    {
        auto r = Open();
        ASSERT_EQ(r->StoreForm("1", Form("A", "old layout"), stamp, error), repo::Status::Ok);
        ASSERT_EQ(r->StoreImage("1", "A", "p.bmp", "old bytes", stamp, error), repo::Status::Ok);
    }
    // Makes the last step of every store fail after the data rows were written.
    Sql("CREATE TRIGGER fail_forms AFTER UPDATE ON forms BEGIN SELECT RAISE(ABORT, 'disk "
        "gone'); END;"
        "CREATE TRIGGER fail_images AFTER INSERT ON images BEGIN SELECT RAISE(ABORT, 'disk "
        "gone'); END;");
    {
        auto r = Open();
        EXPECT_EQ(r->StoreForm("1", Form("A", "new layout"), stamp, error), repo::Status::Failed);
        EXPECT_NE(error.find("disk gone"), std::string::npos);
        EXPECT_EQ(r->StoreImage("1", "A", "p.bmp", "new bytes", stamp, error),
                  repo::Status::Failed);
        repo::FormRecord f;
        ASSERT_EQ(r->FindForm("1", "A", f, error), repo::Status::Ok);
        EXPECT_EQ(f.layout, "old layout");
        std::string bytes;
        ASSERT_EQ(r->FindImage("1", "A", "", "p.bmp", bytes, error), repo::Status::Ok);
        EXPECT_EQ(bytes, "old bytes");
    }
}

TEST_F(RepositoryFile, ADatabaseFromANewerServerOrNotADatabaseIsRefused) {
    { ASSERT_TRUE(Open()); }
    Sql("UPDATE meta SET value='99' WHERE key='schema_version'");
    std::string error;
    EXPECT_FALSE(repo::Repository::Open(path, error));
    EXPECT_NE(error.find("newer"), std::string::npos);

    std::string junk = (fs::path(dir) / "junk.db").string();
    FILE* f = std::fopen(junk.c_str(), "wb");
    std::fputs("this is not a database file at all, just some text of a fair length......", f);
    std::fclose(f);
    error.clear();
    EXPECT_FALSE(repo::Repository::Open(junk, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(repo::Repository::Open(dir + "/no/such/folder/x.db", error));
}

TEST(StampText, IsSeventeenDigitsOfUtcTime) {
    EXPECT_EQ(repo::Repository::FormatStamp(0), "19700101000000000");
    EXPECT_EQ(repo::Repository::FormatStamp(1796000000123LL), "20261130005320123");
    EXPECT_EQ(repo::Repository::FormatDate(1796000000123LL), "2026/11/30 00:53:20");
}
