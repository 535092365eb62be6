#pragma once
// The repository in a PostgreSQL database, which several server processes may share: a
// form saved through one is read whole through every other at once. Text is kept as bytes
// (bytea), so Windows-1252 passes unchanged whatever the database's encoding. Internal to
// the repository's sources; callers hold a Repository.
#include <functional>
#include <memory>
#include <string>

#include "PgSql.h"
#include "Repository.h"

namespace repo {

class PgRepository final : public Repository {
  public:
    // uri is a libpq connection URI. One holding a password is refused: the password
    // comes from PGPASSWORD or a password file, never from a command line that any user
    // of the machine can read.
    static std::unique_ptr<PgRepository> Open(const std::string& uri, std::string& error);

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
    explicit PgRepository(const std::string& uri);
    bool CreateSchema(std::string& error);

    using Body = std::function<Status(pg::Conn&, std::string&)>;
    // Runs body in one transaction begun by begin (none: body is one statement); a failure the
    // database asks to be tried again (a serialization failure, a deadlock) is run again from the
    // start, so a caller never sees one.
    Status Transact(const char* begin, const Body& body, std::string& error);
    // A store: the whole of it as if no other store ran at the same time.
    Status Store(const Body& body, std::string& error);
    // Several reads from one snapshot of the database.
    Status Read(const Body& body, std::string& error);
    // One statement that reads: it sees one state of the database by itself.
    Status ReadOne(const Body& body, std::string& error);
    // One statement in a store of its own; NotFound when it changed no row.
    Status WriteOne(const char* sql, std::initializer_list<pg::Arg> values, std::string& error);

    // Parts of a store; called inside its transaction.
    static bool NextStamp(pg::Conn& c, long long& millis, std::string& error);
    static bool PutForm(pg::Conn& c, const std::string& entity, const FormRecord& form,
                        long long millis, std::string& error);
    static bool PutImage(pg::Conn& c, const std::string& entity, const std::string& form,
                         const std::string& file, const std::string& bytes,
                         const std::string& stamp, std::string& error);
    static bool PruneImages(pg::Conn& c, const std::string& entity, const std::string& form,
                            const std::vector<std::string>& keep, std::string& error);

    pg::Pool pool_;
};

}  // namespace repo
