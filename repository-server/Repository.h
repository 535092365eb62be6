#pragma once
// The repository's one SQLite file: forms, pictures and static lists per entity, plus the
// catalogue, code lists and saved records that the designer reads. Every store runs in
// one transaction, so an interrupted save leaves the previous copy in place. All members
// are safe to call from several connection threads at once.
#include <condition_variable>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct sqlite3;

namespace repo {

enum class Status { Ok, NotFound, Failed };

struct ImageInfo {
    long long id = 0;
    std::string file;
    std::string timeStamp;
};

struct FormRecord {
    std::string name;
    std::string description;
    std::string type;
    std::string documentType;
    std::string layout;  // empty in list results
    std::string timeStamp;
    std::string dateModified;
    bool active = true;
    bool selected = false;
    std::vector<ImageInfo> images;  // filled in list results only
};

// One save as it becomes visible: the form record, the pictures and the static lists of one
// upload, stored together in one transaction or not at all.
struct StagedPicture {
    std::string form;
    std::string file;
    std::string bytes;
};
struct StagedList {
    std::string form;
    std::string list;  // empty: the list is deleted
};
struct SaveSet {
    bool hasForm = false;
    FormRecord form;
    // With a form: the pictures its layout names. The form's other pictures that are not
    // stored with it are deleted in the same transaction.
    std::vector<std::string> named;
    std::vector<StagedPicture> pictures;
    std::vector<StagedList> lists;
};

struct CatalogueField {
    std::string name;
    // Long name, type, short id, XML/HL7, XML type, fetch, code: the values the
    // field-properties reply lists in that order.
    std::vector<std::string> properties;
};

struct CatalogueTable {
    std::string name;
    std::vector<CatalogueField> fields;
};

struct CodeEntry {
    std::string code;
    std::string description;
};

// One line of a charge-slip set. A heading line has only a heading text.
struct ChargeSlipEntry {
    std::string heading;
    std::string code;
    std::string description;
    std::string other;
};

struct SavedRecord {
    std::string account;
    std::string dateOfService;
    std::string type;
    std::string form;  // the form the record was made with
    std::string description;
    std::string saved;  // when it was saved
    bool newerKind = true;
};

class Repository {
  public:
    // path ":memory:" gives a private in-memory repository (tests, fuzzing).
    static std::unique_ptr<Repository> Open(const std::string& path, std::string& error);
    ~Repository();
    Repository(const Repository&) = delete;
    Repository& operator=(const Repository&) = delete;

    // True when no form, catalogue table or code list was ever stored.
    bool IsEmpty();

    // Forms. A store replaces the layout and identity and gives the form a new time stamp;
    // an existing form keeps its active and selected flags.
    Status StoreForm(const std::string& entity, const FormRecord& form, std::string& timeStamp,
                     std::string& error);
    Status FindForm(const std::string& entity, const std::string& name, FormRecord& form,
                    std::string& error);
    Status ListForms(const std::string& entity, std::vector<FormRecord>& forms, std::string& error);
    Status DeleteForm(const std::string& entity, const std::string& name, std::string& error);
    Status SetFlags(const std::string& entity, const std::string& name, bool active, bool selected,
                    std::string& error);

    // All of a save in one transaction, under one new time stamp.
    Status StoreSave(const std::string& entity, const SaveSet& save, std::string& error);

    // Pictures belong to a form name but outlive the form's record.
    Status StoreImage(const std::string& entity, const std::string& form, const std::string& file,
                      const std::string& bytes, std::string& timeStamp, std::string& error);
    // An empty time stamp asks for the current picture; otherwise it must match.
    Status FindImage(const std::string& entity, const std::string& form,
                     const std::string& timeStamp, const std::string& file, std::string& bytes,
                     std::string& error);
    Status DeleteImages(const std::string& entity, const std::string& form, std::string& error);

    // Static list text; storing an empty text deletes it.
    Status StoreStaticList(const std::string& entity, const std::string& form,
                           const std::string& list, std::string& error);
    Status DeleteStaticList(const std::string& entity, const std::string& form, std::string& error);
    Status FindStaticList(const std::string& entity, const std::string& form, std::string& list,
                          std::string& error);

    // Catalogue (shared by every entity).
    Status SetDatabaseName(const std::string& name, std::string& error);
    Status AddCatalogueTable(const CatalogueTable& table, std::string& error);
    Status ReadCatalogue(std::string& databaseName, std::vector<CatalogueTable>& tables,
                         std::string& error);
    Status FindField(const std::string& table, const std::string& field, CatalogueField& out,
                     std::string& error);

    // Code lists for the lookup picker and validator, and charge-slip sets.
    Status AddCodeEntry(const std::string& list, const CodeEntry& entry, std::string& error);
    Status ReadCodeList(const std::string& list, std::vector<CodeEntry>& entries,
                        std::string& error);
    Status AddChargeSlipEntry(const std::string& set, const ChargeSlipEntry& entry,
                              std::string& error);
    Status ReadChargeSlipSet(const std::string& set, std::vector<ChargeSlipEntry>& entries,
                             std::string& error);

    // Records saved with forms.
    Status AddSavedRecord(const std::string& entity, const SavedRecord& record, std::string& error);
    Status ReadSavedRecords(const std::string& entity, bool newerKind,
                            std::vector<SavedRecord>& records, std::string& error);

    // Stamps are digits yyyymmddhhmmssfff (UTC) and strictly increase across the whole
    // repository, also over restarts and a clock set back.
    static std::string FormatStamp(long long millisSinceEpoch);
    static std::string FormatDate(long long millisSinceEpoch);

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
    explicit Repository(sqlite3* db);
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
