#pragma once
// The repository in one SQLite file, for one server process: a single connection behind a
// lock, the log checked in to the file by a thread of its own. Internal to the repository's
// sources; callers hold a Repository.
#include <condition_variable>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "Repository.h"

struct sqlite3;

namespace repo {

class SqliteRepository final : public Repository {
  public:
    // path ":memory:" gives a private in-memory repository.
    static std::unique_ptr<SqliteRepository> Open(const std::string& path, std::string& error);
    ~SqliteRepository() override;

    // True when no form, catalogue table or code list was ever stored.
    bool IsEmpty() override;

    // Forms. A store replaces the layout and identity and gives the form a new time stamp;
    // an existing form keeps its active and selected flags.
    Status StoreForm(const std::string& entity, const FormRecord& form, std::string& timeStamp,
                     std::string& error) override;
    Status FindForm(const std::string& entity, const std::string& name, FormRecord& form,
                    std::string& error) override;
    Status ListForms(const std::string& entity, std::vector<FormRecord>& forms,
                     std::string& error) override;
    Status DeleteForm(const std::string& entity, const std::string& name,
                      std::string& error) override;
    Status SetFlags(const std::string& entity, const std::string& name, bool active, bool selected,
                    std::string& error) override;

    // All of a save in one transaction, under one new time stamp.
    Status StoreSave(const std::string& entity, const SaveSet& save, std::string& error) override;

    // Pictures belong to a form name but outlive the form's record.
    Status StoreImage(const std::string& entity, const std::string& form, const std::string& file,
                      const std::string& bytes, std::string& timeStamp,
                      std::string& error) override;
    // An empty time stamp asks for the current picture; otherwise it must match.
    Status FindImage(const std::string& entity, const std::string& form,
                     const std::string& timeStamp, const std::string& file, std::string& bytes,
                     std::string& error) override;
    Status DeleteImages(const std::string& entity, const std::string& form,
                        std::string& error) override;

    // Static list text; storing an empty text deletes it.
    Status StoreStaticList(const std::string& entity, const std::string& form,
                           const std::string& list, std::string& error) override;
    Status DeleteStaticList(const std::string& entity, const std::string& form,
                            std::string& error) override;
    Status FindStaticList(const std::string& entity, const std::string& form, std::string& list,
                          std::string& error) override;

    // Catalogue (shared by every entity).
    Status SetDatabaseName(const std::string& name, std::string& error) override;
    Status AddCatalogueTable(const CatalogueTable& table, std::string& error) override;
    Status ReadCatalogue(std::string& databaseName, std::vector<CatalogueTable>& tables,
                         std::string& error) override;
    Status FindField(const std::string& table, const std::string& field, CatalogueField& out,
                     std::string& error) override;

    // Code lists for the lookup picker and validator, and charge-slip sets.
    Status AddCodeEntry(const std::string& list, const CodeEntry& entry,
                        std::string& error) override;
    Status ReadCodeList(const std::string& list, std::vector<CodeEntry>& entries,
                        std::string& error) override;
    Status AddChargeSlipEntry(const std::string& set, const ChargeSlipEntry& entry,
                              std::string& error) override;
    Status ReadChargeSlipSet(const std::string& set, std::vector<ChargeSlipEntry>& entries,
                             std::string& error) override;

    // Records saved with forms.
    Status AddSavedRecord(const std::string& entity, const SavedRecord& record,
                          std::string& error) override;
    Status ReadSavedRecords(const std::string& entity, bool newerKind,
                            std::vector<SavedRecord>& records, std::string& error) override;

  private:
    // One statement in a transaction of its own; NotFound when it changed no row.
    Status WriteOne(const char* sql, std::initializer_list<std::string> values, std::string& error);
    // Parts of a store; called inside its transaction.
    bool PutForm(const std::string& entity, const FormRecord& form, long long millis,
                 std::string& error);
    bool PutImage(const std::string& entity, const std::string& form, const std::string& file,
                  const std::string& bytes, const std::string& stamp, std::string& error);
    bool PruneImages(const std::string& entity, const std::string& form,
                     const std::vector<std::string>& keep, std::string& error);
    explicit SqliteRepository(sqlite3* db);
    bool CreateSchema(std::string& error);
    bool NextStamp(long long& millis, std::string& error);
    bool Exec(const char* sql, std::string& error);

    // The log is checked in to the file by a thread of its own over a second connection,
    // once it holds this much, so a store never waits for the copy and its syncs.
    static constexpr long long kCheckpointBytes = 8ll * 1024 * 1024;
    void StartCheckpointer(const std::string& path);
    static int OnLogCommit(void* self, sqlite3* db, const char* name, int pages);

    sqlite3* db_;
    std::mutex mutex_;
    bool wal_ = false;
    std::thread checkpointer_;
    std::mutex checkpointMutex_;
    std::condition_variable checkpointWake_;
    bool checkpointDue_ = false;
    bool stopping_ = false;
    int checkpointPages_ = 0;
};

}  // namespace repo
