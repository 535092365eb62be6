#pragma once
// The repository's storage: forms, pictures and static lists per entity, plus the
// catalogue, code lists and saved records that the designer reads. Two engines keep it: one
// SQLite file (SqliteRepository.h) or a PostgreSQL database that several server processes
// may share (PgRepository.h); every request behaves the same on both. Every store runs in
// one transaction, so an interrupted save leaves the previous copy in place. All members
// are safe to call from several connection threads at once.
#include <memory>
#include <string>
#include <vector>

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
    // A "postgresql://" or "postgres://" address (a libpq connection URI) opens that
    // database; anything else is a SQLite file, ":memory:" a private in-memory repository
    // (tests, fuzzing). The schema is created or upgraded before it returns.
    static std::unique_ptr<Repository> Open(const std::string& location, std::string& error);
    static bool IsDatabaseAddress(const std::string& location);
    Repository() = default;
    virtual ~Repository() = default;
    Repository(const Repository&) = delete;
    Repository& operator=(const Repository&) = delete;

    // True when no form, catalogue table or code list was ever stored.
    virtual bool IsEmpty() = 0;

    // Forms. A store replaces the layout and identity and gives the form a new time stamp;
    // an existing form keeps its active and selected flags.
    virtual Status StoreForm(const std::string& entity, const FormRecord& form,
                             std::string& timeStamp, std::string& error) = 0;
    virtual Status FindForm(const std::string& entity, const std::string& name, FormRecord& form,
                            std::string& error) = 0;
    virtual Status ListForms(const std::string& entity, std::vector<FormRecord>& forms,
                             std::string& error) = 0;
    virtual Status DeleteForm(const std::string& entity, const std::string& name,
                              std::string& error) = 0;
    virtual Status SetFlags(const std::string& entity, const std::string& name, bool active,
                            bool selected, std::string& error) = 0;

    // All of a save in one transaction, under one new time stamp.
    virtual Status StoreSave(const std::string& entity, const SaveSet& save,
                             std::string& error) = 0;

    // Pictures belong to a form name but outlive the form's record.
    virtual Status StoreImage(const std::string& entity, const std::string& form,
                              const std::string& file, const std::string& bytes,
                              std::string& timeStamp, std::string& error) = 0;
    // An empty time stamp asks for the current picture; otherwise it must match.
    virtual Status FindImage(const std::string& entity, const std::string& form,
                             const std::string& timeStamp, const std::string& file,
                             std::string& bytes, std::string& error) = 0;
    virtual Status DeleteImages(const std::string& entity, const std::string& form,
                                std::string& error) = 0;

    // Static list text; storing an empty text deletes it.
    virtual Status StoreStaticList(const std::string& entity, const std::string& form,
                                   const std::string& list, std::string& error) = 0;
    virtual Status DeleteStaticList(const std::string& entity, const std::string& form,
                                    std::string& error) = 0;
    virtual Status FindStaticList(const std::string& entity, const std::string& form,
                                  std::string& list, std::string& error) = 0;

    // Catalogue (shared by every entity).
    virtual Status SetDatabaseName(const std::string& name, std::string& error) = 0;
    virtual Status AddCatalogueTable(const CatalogueTable& table, std::string& error) = 0;
    virtual Status ReadCatalogue(std::string& databaseName, std::vector<CatalogueTable>& tables,
                                 std::string& error) = 0;
    virtual Status FindField(const std::string& table, const std::string& field,
                             CatalogueField& out, std::string& error) = 0;

    // Code lists for the lookup picker and validator, and charge-slip sets.
    virtual Status AddCodeEntry(const std::string& list, const CodeEntry& entry,
                                std::string& error) = 0;
    virtual Status ReadCodeList(const std::string& list, std::vector<CodeEntry>& entries,
                                std::string& error) = 0;
    virtual Status AddChargeSlipEntry(const std::string& set, const ChargeSlipEntry& entry,
                                      std::string& error) = 0;
    virtual Status ReadChargeSlipSet(const std::string& set, std::vector<ChargeSlipEntry>& entries,
                                     std::string& error) = 0;

    // Records saved with forms.
    virtual Status AddSavedRecord(const std::string& entity, const SavedRecord& record,
                                  std::string& error) = 0;
    virtual Status ReadSavedRecords(const std::string& entity, bool newerKind,
                                    std::vector<SavedRecord>& records, std::string& error) = 0;

    // Stamps are digits yyyymmddhhmmssfff (UTC) and strictly increase across the whole
    // repository, also over restarts and a clock set back.
    static std::string FormatStamp(long long millisSinceEpoch);
    static std::string FormatDate(long long millisSinceEpoch);
    static long long NowMillis();
};

}  // namespace repo
