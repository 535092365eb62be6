// Forms, pictures and static lists on PostgreSQL: what one entity's designers store and
// read back.
#include <algorithm>
#include <map>

#include "PgRepository.h"

namespace repo {
namespace {

// What the forms list shows of a form; a single form adds its layout after these.
constexpr const char* kFormColumns =
    "SELECT name, description, type, doctype, stamp, modified, active, selected";
constexpr int kFormColumnCount = 8;

void ReadFormColumns(const pg::Result& r, int row, FormRecord& form) {
    form.name = r.Text(row, 0);
    form.description = r.Text(row, 1);
    form.type = r.Text(row, 2);
    form.documentType = r.Text(row, 3);
    form.timeStamp = r.Text(row, 4);
    form.dateModified = r.Text(row, 5);
    form.active = r.Int(row, 6) != 0;
    form.selected = r.Int(row, 7) != 0;
}

}  // namespace

bool PgRepository::PutForm(pg::Conn& c, const std::string& entity, const FormRecord& form,
                           long long ms, std::string& error) {
    // Keeps the flags of a form that is stored again.
    return c.Run(
        "INSERT INTO forms(entity, name, description, type, doctype, layout, stamp, modified,"
        " active, selected) VALUES($1,$2,$3,$4,$5,$6,$7,$8,$9,$10)"
        " ON CONFLICT(entity, name) DO UPDATE SET description=excluded.description,"
        " type=excluded.type, doctype=excluded.doctype, layout=excluded.layout,"
        " stamp=excluded.stamp, modified=excluded.modified",
        {entity, form.name, form.description, form.type, form.documentType, form.layout,
         FormatStamp(ms), FormatDate(ms), (long long)(form.active ? 1 : 0),
         (long long)(form.selected ? 1 : 0)},
        error);
}

bool PgRepository::PutImage(pg::Conn& c, const std::string& entity, const std::string& form,
                            const std::string& file, const std::string& bytes,
                            const std::string& stamp, std::string& error) {
    // A replaced picture gets a new id too, so the list shows a new entry.
    return c.Run("DELETE FROM images WHERE entity=$1 AND form=$2 AND file=$3", {entity, form, file},
                 error) &&
           c.Run("INSERT INTO images(entity, form, file, stamp, bytes) VALUES($1,$2,$3,$4,$5)",
                 {entity, form, file, stamp, bytes}, error);
}

bool PgRepository::PruneImages(pg::Conn& c, const std::string& entity, const std::string& form,
                               const std::vector<std::string>& keep, std::string& error) {
    pg::Result held;
    if (!c.Run("SELECT id, file FROM images WHERE entity=$1 AND form=$2", {entity, form}, error,
               &held))
        return false;
    for (int i = 0; i < held.Rows(); ++i) {
        if (std::find(keep.begin(), keep.end(), held.Text(i, 1)) != keep.end()) continue;
        if (!c.Run("DELETE FROM images WHERE id=$1", {held.Int(i, 0)}, error)) return false;
    }
    return true;
}

Status PgRepository::StoreForm(const std::string& entity, const FormRecord& form,
                               std::string& timeStamp, std::string& error) {
    long long ms = 0;
    Status s = Store(
        [&](pg::Conn& c, std::string& e) {
            bool ok = NextStamp(c, ms, e) && PutForm(c, entity, form, ms, e);
            return ok ? Status::Ok : Status::Failed;
        },
        error);
    if (s == Status::Ok) timeStamp = FormatStamp(ms);
    return s;
}

Status PgRepository::StoreSave(const std::string& entity, const SaveSet& save, std::string& error) {
    return Store(
        [&](pg::Conn& c, std::string& e) {
            long long ms = 0;
            if (!NextStamp(c, ms, e)) return Status::Failed;
            std::string stamp = FormatStamp(ms);
            if (save.hasForm) {
                std::vector<std::string> keep = save.named;
                for (const auto& p : save.pictures)
                    if (p.form == save.form.name) keep.push_back(p.file);
                if (!PutForm(c, entity, save.form, ms, e) ||
                    !PruneImages(c, entity, save.form.name, keep, e))
                    return Status::Failed;
            }
            for (const auto& p : save.pictures)
                if (!PutImage(c, entity, p.form, p.file, p.bytes, stamp, e)) return Status::Failed;
            for (const auto& l : save.lists) {
                bool ok = l.list.empty()
                              ? c.Run("DELETE FROM static_lists WHERE entity=$1 AND form=$2",
                                      {entity, l.form}, e)
                              : c.Run(
                                    "INSERT INTO static_lists(entity, form, list)"
                                    " VALUES($1,$2,$3) ON CONFLICT(entity, form)"
                                    " DO UPDATE SET list=excluded.list",
                                    {entity, l.form, l.list}, e);
                if (!ok) return Status::Failed;
            }
            return Status::Ok;
        },
        error);
}

Status PgRepository::FindForm(const std::string& entity, const std::string& name, FormRecord& form,
                              std::string& error) {
    return ReadOne(
        [&](pg::Conn& c, std::string& e) {
            pg::Result r;
            if (!c.Run(
                    (std::string(kFormColumns) + ", layout FROM forms WHERE entity=$1 AND name=$2")
                        .c_str(),
                    {entity, name}, e, &r))
                return Status::Failed;
            if (r.Rows() == 0) return Status::NotFound;
            ReadFormColumns(r, 0, form);
            form.layout = r.Text(0, kFormColumnCount);
            form.images.clear();
            return Status::Ok;
        },
        error);
}

Status PgRepository::ListForms(const std::string& entity, std::vector<FormRecord>& forms,
                               std::string& error) {
    forms.clear();
    return Read(
        [&](pg::Conn& c, std::string& e) {
            forms.clear();
            pg::Result listed, pictures;
            if (!c.Run((std::string(kFormColumns) + " FROM forms WHERE entity=$1 ORDER BY name")
                           .c_str(),
                       {entity}, e, &listed) ||
                !c.Run("SELECT form, id, file, stamp FROM images WHERE entity=$1 ORDER BY id",
                       {entity}, e, &pictures))
                return Status::Failed;
            std::map<std::string, FormRecord*> byName;
            forms.resize(size_t(listed.Rows()));
            for (int i = 0; i < listed.Rows(); ++i) {
                ReadFormColumns(listed, i, forms[size_t(i)]);
                byName[forms[size_t(i)].name] = &forms[size_t(i)];
            }
            for (int i = 0; i < pictures.Rows(); ++i) {
                auto f = byName.find(pictures.Text(i, 0));
                if (f != byName.end())
                    f->second->images.push_back(
                        {pictures.Int(i, 1), pictures.Text(i, 2), pictures.Text(i, 3)});
            }
            return Status::Ok;
        },
        error);
}

Status PgRepository::DeleteForm(const std::string& entity, const std::string& name,
                                std::string& error) {
    return WriteOne("DELETE FROM forms WHERE entity=$1 AND name=$2", {entity, name}, error);
}

Status PgRepository::SetFlags(const std::string& entity, const std::string& name, bool active,
                              bool selected, std::string& error) {
    return WriteOne("UPDATE forms SET active=$1, selected=$2 WHERE entity=$3 AND name=$4",
                    {(long long)(active ? 1 : 0), (long long)(selected ? 1 : 0), entity, name},
                    error);
}

Status PgRepository::StoreImage(const std::string& entity, const std::string& form,
                                const std::string& file, const std::string& bytes,
                                std::string& timeStamp, std::string& error) {
    std::string stamp;
    Status s = Store(
        [&](pg::Conn& c, std::string& e) {
            long long ms = 0;
            if (!NextStamp(c, ms, e)) return Status::Failed;
            stamp = FormatStamp(ms);
            return PutImage(c, entity, form, file, bytes, stamp, e) ? Status::Ok : Status::Failed;
        },
        error);
    if (s == Status::Ok) timeStamp = stamp;
    return s;
}

Status PgRepository::FindImage(const std::string& entity, const std::string& form,
                               const std::string& timeStamp, const std::string& file,
                               std::string& bytes, std::string& error) {
    return ReadOne(
        [&](pg::Conn& c, std::string& e) {
            pg::Result r;
            if (!c.Run("SELECT stamp, bytes FROM images WHERE entity=$1 AND form=$2 AND file=$3",
                       {entity, form, file}, e, &r))
                return Status::Failed;
            if (r.Rows() == 0 || (!timeStamp.empty() && r.Text(0, 0) != timeStamp))
                return Status::NotFound;
            bytes = r.Text(0, 1);
            return Status::Ok;
        },
        error);
}

Status PgRepository::DeleteImages(const std::string& entity, const std::string& form,
                                  std::string& error) {
    Status s = WriteOne("DELETE FROM images WHERE entity=$1 AND form=$2", {entity, form}, error);
    return s == Status::NotFound ? Status::Ok : s;
}

Status PgRepository::StoreStaticList(const std::string& entity, const std::string& form,
                                     const std::string& list, std::string& error) {
    if (list.empty()) return DeleteStaticList(entity, form, error);
    return WriteOne(
        "INSERT INTO static_lists(entity, form, list) VALUES($1,$2,$3)"
        " ON CONFLICT(entity, form) DO UPDATE SET list=excluded.list",
        {entity, form, list}, error);
}

Status PgRepository::DeleteStaticList(const std::string& entity, const std::string& form,
                                      std::string& error) {
    Status s =
        WriteOne("DELETE FROM static_lists WHERE entity=$1 AND form=$2", {entity, form}, error);
    return s == Status::NotFound ? Status::Ok : s;
}

Status PgRepository::FindStaticList(const std::string& entity, const std::string& form,
                                    std::string& list, std::string& error) {
    list.clear();
    return ReadOne(
        [&](pg::Conn& c, std::string& e) {
            pg::Result r;
            if (!c.Run("SELECT list FROM static_lists WHERE entity=$1 AND form=$2", {entity, form},
                       e, &r))
                return Status::Failed;
            if (r.Rows() == 0) return Status::NotFound;
            list = r.Text(0, 0);
            return Status::Ok;
        },
        error);
}

}  // namespace repo
