// Forms, pictures and static lists: what one entity's designers store and read back.
#include <sqlite3.h>

#include <algorithm>

#include "SqliteRepository.h"
#include "SqliteSql.h"

namespace repo {
namespace {

// What the forms list shows of a form; a single form adds its layout after these.
constexpr const char* kFormColumns =
    "SELECT name, description, type, doctype, stamp, modified, active, selected";
constexpr int kFormColumnCount = 8;

void ReadFormColumns(Stmt& st, FormRecord& form) {
    form.name = st.Text(0);
    form.description = st.Text(1);
    form.type = st.Text(2);
    form.documentType = st.Text(3);
    form.timeStamp = st.Text(4);
    form.dateModified = st.Text(5);
    form.active = st.Int(6) != 0;
    form.selected = st.Int(7) != 0;
}

}  // namespace

bool SqliteRepository::PutForm(const std::string& entity, const FormRecord& form, long long ms,
                               std::string& error) {
    // Keeps the flags of a form that is stored again.
    Stmt st(db_,
            "INSERT INTO forms(entity, name, description, type, doctype, layout, stamp, modified,"
            " active, selected) VALUES(?,?,?,?,?,?,?,?,?,?)"
            " ON CONFLICT(entity, name) DO UPDATE SET description=excluded.description,"
            " type=excluded.type, doctype=excluded.doctype, layout=excluded.layout,"
            " stamp=excluded.stamp, modified=excluded.modified");
    st.Bind(1, entity)
        .Bind(2, form.name)
        .Bind(3, form.description)
        .Bind(4, form.type)
        .Bind(5, form.documentType)
        .BindInPlace(6, form.layout)
        .Bind(7, FormatStamp(ms))
        .Bind(8, FormatDate(ms))
        .Bind(9, (long long)(form.active ? 1 : 0))
        .Bind(10, (long long)(form.selected ? 1 : 0));
    return st.Run(error);
}

bool SqliteRepository::PutImage(const std::string& entity, const std::string& form,
                                const std::string& file, const std::string& bytes,
                                const std::string& stamp, std::string& error) {
    // A replaced picture gets a new id too, so the list shows a new entry.
    Stmt del(db_, "DELETE FROM images WHERE entity=? AND form=? AND file=?");
    del.Bind(1, entity).Bind(2, form).Bind(3, file);
    Stmt ins(db_, "INSERT INTO images(entity, form, file, stamp, bytes) VALUES(?,?,?,?,?)");
    ins.Bind(1, entity).Bind(2, form).Bind(3, file).Bind(4, stamp).BindInPlace(5, bytes);
    return del.Run(error) && ins.Run(error);
}

bool SqliteRepository::PruneImages(const std::string& entity, const std::string& form,
                                   const std::vector<std::string>& keep, std::string& error) {
    std::vector<long long> gone;
    Stmt st(db_, "SELECT id, file FROM images WHERE entity=? AND form=?");
    st.Bind(1, entity).Bind(2, form);
    bool read = st.Rows(error, [&] {
        if (std::find(keep.begin(), keep.end(), st.Text(1)) == keep.end())
            gone.push_back(st.Int(0));
    });
    if (!read) return false;
    for (long long id : gone) {
        Stmt del(db_, "DELETE FROM images WHERE id=?");
        if (!del.Bind(1, id).Run(error)) return false;
    }
    return true;
}

Status SqliteRepository::StoreForm(const std::string& entity, const FormRecord& form,
                                   std::string& timeStamp, std::string& error) {
    std::lock_guard lock(mutex_);
    Transaction tx(db_);
    long long ms = 0;
    if (!tx.Started(error) || !NextStamp(ms, error) || !PutForm(entity, form, ms, error) ||
        !tx.Commit(error))
        return Status::Failed;
    timeStamp = FormatStamp(ms);
    return Status::Ok;
}

Status SqliteRepository::StoreSave(const std::string& entity, const SaveSet& save,
                                   std::string& error) {
    std::lock_guard lock(mutex_);
    Transaction tx(db_);
    long long ms = 0;
    if (!tx.Started(error) || !NextStamp(ms, error)) return Status::Failed;
    std::string stamp = FormatStamp(ms);
    if (save.hasForm) {
        std::vector<std::string> keep = save.named;
        for (const auto& p : save.pictures)
            if (p.form == save.form.name) keep.push_back(p.file);
        if (!PutForm(entity, save.form, ms, error) ||
            !PruneImages(entity, save.form.name, keep, error))
            return Status::Failed;
    }
    for (const auto& p : save.pictures)
        if (!PutImage(entity, p.form, p.file, p.bytes, stamp, error)) return Status::Failed;
    for (const auto& l : save.lists) {
        Stmt st(db_, l.list.empty()
                         ? "DELETE FROM static_lists WHERE entity=? AND form=?"
                         : "INSERT OR REPLACE INTO static_lists(entity, form, list) VALUES(?,?,?)");
        st.Bind(1, entity).Bind(2, l.form);
        if (!l.list.empty()) st.BindInPlace(3, l.list);
        if (!st.Run(error)) return Status::Failed;
    }
    return tx.Commit(error) ? Status::Ok : Status::Failed;
}

Status SqliteRepository::FindForm(const std::string& entity, const std::string& name,
                                  FormRecord& form, std::string& error) {
    std::lock_guard lock(mutex_);
    Stmt st(db_,
            (std::string(kFormColumns) + ", layout FROM forms WHERE entity=? AND name=?").c_str());
    st.Bind(1, entity).Bind(2, name);
    Status found = st.First(error);
    if (found != Status::Ok) return found;
    ReadFormColumns(st, form);
    form.layout = st.Text(kFormColumnCount);
    form.images.clear();
    return Status::Ok;
}

Status SqliteRepository::ListForms(const std::string& entity, std::vector<FormRecord>& forms,
                                   std::string& error) {
    std::lock_guard lock(mutex_);
    forms.clear();
    Stmt st(db_, (std::string(kFormColumns) + " FROM forms WHERE entity=? ORDER BY name").c_str());
    st.Bind(1, entity);
    bool read = st.Rows(error, [&] {
        FormRecord f;
        ReadFormColumns(st, f);
        forms.push_back(std::move(f));
    });
    if (!read) return Status::Failed;
    for (auto& f : forms) {
        Stmt one(db_, "SELECT id, file, stamp FROM images WHERE entity=? AND form=? ORDER BY id");
        one.Bind(1, entity).Bind(2, f.name);
        if (!one.Rows(error, [&] { f.images.push_back({one.Int(0), one.Text(1), one.Text(2)}); }))
            return Status::Failed;
    }
    return Status::Ok;
}

// One statement with text arguments in a transaction of its own; NotFound when it
// changed no row.
Status SqliteRepository::WriteOne(const char* sql, std::initializer_list<std::string> values,
                                  std::string& error) {
    std::lock_guard lock(mutex_);
    Transaction tx(db_);
    Stmt st(db_, sql);
    int i = 0;
    for (const auto& v : values) st.Bind(++i, v);
    if (!tx.Started(error) || !st.Run(error)) return Status::Failed;
    int changed = sqlite3_changes(db_);
    if (!tx.Commit(error)) return Status::Failed;
    return changed > 0 ? Status::Ok : Status::NotFound;
}

Status SqliteRepository::DeleteForm(const std::string& entity, const std::string& name,
                                    std::string& error) {
    return WriteOne("DELETE FROM forms WHERE entity=? AND name=?", {entity, name}, error);
}

Status SqliteRepository::SetFlags(const std::string& entity, const std::string& name, bool active,
                                  bool selected, std::string& error) {
    std::lock_guard lock(mutex_);
    Transaction tx(db_);
    Stmt st(db_, "UPDATE forms SET active=?, selected=? WHERE entity=? AND name=?");
    st.Bind(1, (long long)(active ? 1 : 0))
        .Bind(2, (long long)(selected ? 1 : 0))
        .Bind(3, entity)
        .Bind(4, name);
    if (!tx.Started(error) || !st.Run(error)) return Status::Failed;
    int changed = sqlite3_changes(db_);
    if (!tx.Commit(error)) return Status::Failed;
    return changed > 0 ? Status::Ok : Status::NotFound;
}

Status SqliteRepository::StoreImage(const std::string& entity, const std::string& form,
                                    const std::string& file, const std::string& bytes,
                                    std::string& timeStamp, std::string& error) {
    std::lock_guard lock(mutex_);
    Transaction tx(db_);
    long long ms = 0;
    if (!tx.Started(error) || !NextStamp(ms, error)) return Status::Failed;
    std::string stamp = FormatStamp(ms);
    if (!PutImage(entity, form, file, bytes, stamp, error) || !tx.Commit(error))
        return Status::Failed;
    timeStamp = stamp;
    return Status::Ok;
}

Status SqliteRepository::FindImage(const std::string& entity, const std::string& form,
                                   const std::string& timeStamp, const std::string& file,
                                   std::string& bytes, std::string& error) {
    std::lock_guard lock(mutex_);
    Stmt st(db_, "SELECT stamp, bytes FROM images WHERE entity=? AND form=? AND file=?");
    st.Bind(1, entity).Bind(2, form).Bind(3, file);
    Status found = st.First(error);
    if (found != Status::Ok) return found;
    if (!timeStamp.empty() && st.Text(0) != timeStamp) return Status::NotFound;
    bytes = st.Text(1);
    return Status::Ok;
}

Status SqliteRepository::DeleteImages(const std::string& entity, const std::string& form,
                                      std::string& error) {
    Status s = WriteOne("DELETE FROM images WHERE entity=? AND form=?", {entity, form}, error);
    return s == Status::NotFound ? Status::Ok : s;
}

Status SqliteRepository::StoreStaticList(const std::string& entity, const std::string& form,
                                         const std::string& list, std::string& error) {
    if (list.empty()) return DeleteStaticList(entity, form, error);
    return WriteOne("INSERT OR REPLACE INTO static_lists(entity, form, list) VALUES(?,?,?)",
                    {entity, form, list}, error);
}

Status SqliteRepository::DeleteStaticList(const std::string& entity, const std::string& form,
                                          std::string& error) {
    Status s =
        WriteOne("DELETE FROM static_lists WHERE entity=? AND form=?", {entity, form}, error);
    return s == Status::NotFound ? Status::Ok : s;
}

Status SqliteRepository::FindStaticList(const std::string& entity, const std::string& form,
                                        std::string& list, std::string& error) {
    std::lock_guard lock(mutex_);
    Stmt st(db_, "SELECT list FROM static_lists WHERE entity=? AND form=?");
    st.Bind(1, entity).Bind(2, form);
    list.clear();
    Status found = st.First(error);
    if (found == Status::Ok) list = st.Text(0);
    return found;
}

}  // namespace repo
