#include "RequestHandler.h"

#include <cstdio>

#include "shell/Cp1252.h"
#include "shell/TextUtils.h"

namespace repo {
namespace {

constexpr std::string_view kOk = "|OK||";
constexpr std::string_view kEnd = "|END|";
const std::string kDone = "|OK||DONE|END|";
const std::string kPiece = "|OK||PIECE|END|";

constexpr std::string_view kImagePiecePrefix = "|SET|CUSTFORM|I-";
constexpr char kTab = '\t';
constexpr size_t kMaxNameBytes = 200;

std::string Error(std::string_view why) {
    return "ERROR: " + std::string(why);
}
Reply One(std::string s) {
    return Reply{std::move(s)};
}
Reply Unknown() {
    return One(Error("unknown request"));
}

// Record searches are read from the sixth character of the first line, so their error
// text sits behind the usual framing.
Reply SearchError(std::string_view why) {
    return One(std::string(kOk) + Error(why));
}

bool Consume(std::string_view& s, std::string_view prefix) {
    if (s.substr(0, prefix.size()) != prefix) return false;
    s.remove_prefix(prefix.size());
    return true;
}

// Text up to the next "|" (which is consumed); false when there is none.
bool TakeField(std::string_view& s, std::string& field) {
    size_t p = s.find('|');
    if (p == std::string_view::npos) return false;
    field.assign(s.substr(0, p));
    s.remove_prefix(p + 1);
    return true;
}

bool HasAny(std::string_view s, std::string_view bytes) {
    return s.find_first_of(bytes) != std::string_view::npos;
}

// Separators of the forms list, the flags reply and the image entries.
const std::string kListSeparators =
    std::string("|:^\t\r\n") + '\0' + cp1252::kBarcodeMark + cp1252::kImagePartSep;
const std::string kTextSeparators =
    std::string("^\t\r\n") + '\0' + cp1252::kBarcodeMark + cp1252::kImagePartSep;

Reply DbFailure(const std::string& error) {
    return One(Error(error));
}

// Parses "n|" after "|SET|CUSTFORM|I-" when the text is a numbered picture piece (n >= 1).
bool ParsePieceNumber(std::string_view rest, int& n, std::string_view& after) {
    size_t i = 0;
    long long v = 0;
    while (i < rest.size() && i < 7 && rest[i] >= '0' && rest[i] <= '9')
        v = v * 10 + (rest[i++] - '0');
    if (i == 0 || i >= rest.size() || rest[i] != '|' || rest[0] == '0' || v < 1) return false;
    n = int(v);
    after = rest.substr(i + 1);
    return true;
}

// Replies that Respond writes straight into the frame.
constexpr std::string_view kGetLayout = "|GET|CUSTFORM|T|";
constexpr std::string_view kGetImage = "|GET|CUSTFORM|I|";

// Calls add(line) for every CR LF separated line of a layout text.
template <class Add>
void ForEachLine(std::string_view layout, Add add) {
    size_t start = 0;
    for (;;) {
        size_t p = layout.find("\r\n", start);
        add(layout.substr(start, p == std::string_view::npos ? p : p - start));
        if (p == std::string_view::npos) break;
        start = p + 2;
    }
}

// One layout text as reply lines: the first carries the framing in front.
Reply LinesOf(std::string_view layout) {
    Reply out;
    ForEachLine(layout, [&](std::string_view line) { out.emplace_back(line); });
    out.front().insert(0, kOk);
    out.emplace_back(kEnd);
    return out;
}

void AddLinesOf(wire::FieldWriter& out, std::string_view layout) {
    out.AddPieces(layout, "\r\n", kOk);
    out.Add(kEnd);
}

}  // namespace

bool IsValidFormName(std::string_view name) {
    return !name.empty() && name.size() <= kMaxNameBytes && !HasAny(name, kListSeparators);
}

bool IsValidImageFileName(std::string_view file) {
    if (file.empty() || file.size() > kMaxNameBytes) return false;
    if (HasAny(file, kListSeparators) || HasAny(file, "/\\")) return false;
    // The designer splits the name at "." into base name and extension.
    size_t dot = file.find('.');
    return dot != std::string_view::npos && dot > 0 && dot + 1 < file.size();
}

namespace {

void DropRecord(Session& session) {
    session.recordStaged.clear();
    if (session.recordStaged.capacity() > RequestHandler::kKeptBufferBytes)
        session.recordStaged.shrink_to_fit();
    session.recordPieces = 0;
    session.recordSequence = {};
}

void DropImage(Session& session) {
    session.imagePending = false;
    session.imageSequence = {};
    session.imageBytes.clear();
    session.imageBytes.shrink_to_fit();
}

// Whether a request of a sequence follows the ones staged so far (staged of them).
bool Continues(const wire::Sequence& staged, const wire::Sequence* next, size_t stagedCount) {
    if (!next) return staged.id == 0;
    return staged.id == next->id && staged.count == next->count && next->index == stagedCount + 1;
}

}  // namespace

void RequestHandler::Settle(Session& session, std::string_view text) {
    // A picture sent in pieces is complete once the next request is not its next piece.
    bool nextPiece = false;
    std::string_view rest = text;
    if (session.imagePending && Consume(rest, kImagePiecePrefix)) {
        int n = 0;
        std::string_view after;
        nextPiece = ParsePieceNumber(rest, n, after) && n > 1;
    }
    if (session.imagePending && !nextPiece) {
        // Without a sequence field the last piece is only known now. A sequenced picture
        // is stored by its last piece, so one still pending here is incomplete.
        std::string error;
        if (session.imageSequence.id != 0) {
            std::fprintf(stderr, "repository-server: incomplete picture %s of form %s dropped\n",
                         session.imageFile.c_str(), session.imageForm.c_str());
            DropImage(session);
        } else if (!CommitPendingImage(session, error)) {
            std::fprintf(stderr, "repository-server: picture %s of form %s not stored: %s\n",
                         session.imageFile.c_str(), session.imageForm.c_str(), error.c_str());
        }
    }

    // Pieces of a save record only make sense directly before the record's first piece;
    // anything else in between means that save was abandoned.
    if (session.recordPieces > 0 && !text.starts_with("|SETL|") &&
        !text.starts_with("|SET|CUSTFORM|T|"))
        DropRecord(session);
}

Reply RequestHandler::Handle(Session& session, const std::string& entity, std::string_view text,
                             const wire::Sequence* sequence) {
    Settle(session, text);
    return Dispatch(session, entity, text, sequence);
}

void RequestHandler::Respond(Session& session, const std::string& entity, std::string_view text,
                             const wire::Sequence* sequence, std::string& body) {
    Settle(session, text);
    body.clear();
    wire::FieldWriter out(body);
    out.Add(wire::kStatusOk);
    std::string_view args = text;
    FormRecord form;
    std::string bytes;
    Reply reply;
    if (Consume(args, kGetLayout)) {
        if (FindLayout(entity, args, form, reply)) AddLinesOf(out, form.layout);
    } else if (Consume(args, kGetImage)) {
        if (FindImageBytes(entity, args, bytes, reply)) {
            out.Add(kOk, bytes);
            out.Add(kEnd);
        }
    } else {
        reply = Dispatch(session, entity, text, sequence);
    }
    for (const auto& e : reply) out.Add(e);
    out.Finish();
}

void RequestHandler::EndSession(Session& session) {
    session = Session{};
}

bool RequestHandler::CommitPendingImage(Session& session, std::string& error) {
    std::string stamp;
    bool stored = repo_.StoreImage(session.imageEntity, session.imageForm, session.imageFile,
                                   session.imageBytes, stamp, error) == Status::Ok;
    DropImage(session);
    return stored;
}

Reply RequestHandler::Dispatch(Session& session, const std::string& entity, std::string_view text,
                               const wire::Sequence* sequence) {
    std::string_view r = text;
    if (text == "|GET|PING|" || text == "|GET|PING") return One("|OK||PING|END|");
    if (Consume(r, "|GETP|")) {
        if (r == "CUSTFORM|L") return RecordsReady(entity);
        if (Consume(r, "EFORM|LIST||")) return OlderRecords(entity, r);
        return Unknown();
    }
    if (Consume(r, "|SETL|")) return StoreRecordPiece(session, r, sequence);
    if (Consume(r, "|GET|")) {
        if (Consume(r, "CUSTFORM|")) {
            if (r == "L") return FormsList(entity);
            if (r == "H") return FormsFlags(entity);
            if (Consume(r, "T|")) return Layout(entity, r);  // kGetLayout
            if (Consume(r, "I|")) return Image(entity, r);   // kGetImage
            if (Consume(r, "S|")) return StaticList(entity, r);
            return Unknown();
        }
        if (r == "SQL|TABLES") return Tables();
        if (Consume(r, "SQL|FIELDS|")) return Fields(r);
        if (Consume(r, "CODE1|")) return CodeList(r);
        if (Consume(r, "EMR|")) return NewerRecords(entity, r);
        return Unknown();
    }
    if (Consume(r, "|SET|CUSTFORM|")) {
        if (Consume(r, "T|")) return StoreRecord(session, entity, r, sequence);
        if (Consume(r, "T-D|")) return DeleteForm(entity, r);
        if (Consume(r, "O|")) return StoreFlags(entity, r);
        if (Consume(r, "I-0|")) return StoreWholeImage(entity, r);
        if (Consume(r, "I|")) return DeleteImages(entity, r);
        if (Consume(r, "S-D|")) return DeleteStaticList(entity, r);
        if (Consume(r, "S|")) return StoreStaticList(entity, r);
        std::string_view piece = text;
        if (Consume(piece, kImagePiecePrefix))
            return StoreImagePiece(session, entity, piece, sequence);
        return Unknown();
    }
    return Unknown();
}

Reply RequestHandler::FormsList(const std::string& entity) {
    std::vector<FormRecord> forms;
    std::string error;
    if (repo_.ListForms(entity, forms, error) != Status::Ok) return DbFailure(error);
    Reply out{std::string(kOk)};
    for (const auto& f : forms) {
        std::string images;
        for (const auto& img : f.images) {
            images += std::to_string(img.id) + cp1252::kImagePartSep + img.timeStamp +
                      cp1252::kImagePartSep + img.file + cp1252::kBarcodeMark;
        }
        // A ":" would end the record early; the designer reads dates back from ";".
        out.push_back(text::ReplaceAll(f.name, ":", ";") + "^" +
                      text::ReplaceAll(f.description, ":", ";") + "^" + f.type + "^" + f.timeStamp +
                      "^" + text::ReplaceAll(f.dateModified, ":", ";") + "^" + images + "^" +
                      f.documentType + ":");
    }
    out.emplace_back(kEnd);
    return out;
}

Reply RequestHandler::FormsFlags(const std::string& entity) {
    std::vector<FormRecord> forms;
    std::string error;
    if (repo_.ListForms(entity, forms, error) != Status::Ok) return DbFailure(error);
    Reply out{std::string(kOk)};
    for (const auto& f : forms) {
        out.push_back(f.name + kTab + (f.active ? "1" : "0") + kTab + (f.selected ? "1" : "0") +
                      cp1252::kBarcodeMark);
    }
    out.emplace_back(kEnd);
    return out;
}

bool RequestHandler::FindLayout(const std::string& entity, std::string_view name, FormRecord& form,
                                Reply& reply) {
    std::string error;
    switch (repo_.FindForm(entity, std::string(name), form, error)) {
        case Status::Ok:
            return true;
        case Status::NotFound:
            reply = One(Error("form not found"));
            return false;
        case Status::Failed:
            break;
    }
    reply = DbFailure(error);
    return false;
}

Reply RequestHandler::Layout(const std::string& entity, std::string_view name) {
    FormRecord f;
    Reply error;
    return FindLayout(entity, name, f, error) ? LinesOf(f.layout) : error;
}

bool RequestHandler::FindImageBytes(const std::string& entity, std::string_view args,
                                    std::string& bytes, Reply& reply) {
    std::string form, stamp, error;
    if (!TakeField(args, form) || !TakeField(args, stamp)) {
        reply = Unknown();
        return false;
    }
    switch (repo_.FindImage(entity, form, stamp, std::string(args), bytes, error)) {
        case Status::Ok:
            return true;
        case Status::NotFound:
            reply = One(Error("image not found"));
            return false;
        case Status::Failed:
            break;
    }
    reply = DbFailure(error);
    return false;
}

Reply RequestHandler::Image(const std::string& entity, std::string_view args) {
    std::string bytes;
    Reply error;
    if (!FindImageBytes(entity, args, bytes, error)) return error;
    return Reply{std::string(kOk) + bytes, std::string(kEnd)};
}

Reply RequestHandler::StaticList(const std::string& entity, std::string_view name) {
    std::string list, error;
    if (repo_.FindStaticList(entity, std::string(name), list, error) == Status::Failed)
        return DbFailure(error);
    return One(list);  // used as it comes, so no framing; "" when there is none
}

Reply RequestHandler::StoreRecordPiece(Session& session, std::string_view piece,
                                       const wire::Sequence* sequence) {
    // The first piece of a sequence starts afresh; every later one must follow the staged
    // ones, and the sequence's last request is always the "|SET|CUSTFORM|T|".
    bool starts = sequence && sequence->index == 1;
    if (starts) DropRecord(session);
    if ((sequence && sequence->index == sequence->count) ||
        (!starts && !Continues(session.recordSequence, sequence, session.recordPieces))) {
        DropRecord(session);
        return One(Error("form record piece out of sequence"));
    }
    if (session.recordStaged.size() + piece.size() > wire::kMaxFormRecordBytes) {
        DropRecord(session);
        return One(Error("form record too large"));
    }
    if (sequence) session.recordSequence = *sequence;
    session.recordStaged.append(piece);
    ++session.recordPieces;
    return One(kPiece);
}

Reply RequestHandler::StoreRecord(Session& session, const std::string& entity,
                                  std::string_view firstPiece, const wire::Sequence* sequence) {
    // The staged pieces become the layout in place, and the buffer goes back to the
    // connection for its next save: a whole record is never copied.
    FormRecord form;
    std::string& record = form.layout;
    record.swap(session.recordStaged);
    size_t pieces = session.recordPieces;
    wire::Sequence stagedSequence = session.recordSequence;
    DropRecord(session);
    struct GiveBack {
        std::string& from;
        std::string& to;
        ~GiveBack() {
            from.clear();
            if (from.capacity() <= kKeptBufferBytes) to.swap(from);
        }
    } giveBack{record, session.recordStaged};
    // A sequence of one request is the whole record; pieces of another save are not part
    // of it. Otherwise every piece must have come, on this connection, in order.
    if (sequence && sequence->count == 1) {
        record.clear();
    } else if (sequence ? sequence->index != sequence->count ||
                              !Continues(stagedSequence, sequence, pieces)
                        : stagedSequence.id != 0) {
        return One(Error("incomplete form record; nothing stored"));
    }
    if (record.size() + firstPiece.size() > wire::kMaxFormRecordBytes)
        return One(Error("form record too large"));

    // name | description:type:document type | layout (the layout may hold "|"). The two
    // fields are looked for in the first piece; only when they run past it are the
    // pieces joined first.
    std::string header;
    std::string_view rest = firstPiece;
    if (TakeField(rest, form.name) && TakeField(rest, header)) {
        record.insert(0, rest);
    } else {
        record.insert(0, firstPiece);
        rest = record;
        if (!TakeField(rest, form.name) || !TakeField(rest, header))
            return One(Error("bad form record"));
        record.erase(0, record.size() - rest.size());
    }
    if (!IsValidFormName(form.name)) return One(Error("invalid form name"));
    // Type and document type hold no ":", so the description may.
    size_t last = header.rfind(':');
    if (last == std::string::npos) {
        form.description = header;
    } else {
        form.documentType = header.substr(last + 1);
        size_t before = last == 0 ? std::string::npos : header.rfind(':', last - 1);
        if (before == std::string::npos) {
            form.description = header.substr(0, last);
            form.type = form.documentType;
            form.documentType.clear();
        } else {
            form.description = header.substr(0, before);
            form.type = header.substr(before + 1, last - before - 1);
        }
    }
    if (HasAny(form.description, kTextSeparators) || HasAny(form.type, kTextSeparators) ||
        HasAny(form.documentType, kTextSeparators))
        return One(Error("invalid form description, type or document type"));
    if (form.layout.empty()) return One(Error("empty layout"));

    std::string stamp, error;
    if (repo_.StoreForm(entity, form, stamp, error) != Status::Ok) return DbFailure(error);
    return One(kDone);
}

Reply RequestHandler::DeleteForm(const std::string& entity, std::string_view name) {
    std::string error;
    switch (repo_.DeleteForm(entity, std::string(name), error)) {
        case Status::Ok:
            return One(kDone);
        case Status::NotFound:
            return One(Error("form not found"));
        case Status::Failed:
            break;
    }
    return DbFailure(error);
}

Reply RequestHandler::StoreFlags(const std::string& entity, std::string_view args) {
    std::string name;
    if (!TakeField(args, name)) return Unknown();
    auto flag = [](std::string_view v, bool& out) {
        if (v != "0" && v != "1") return false;
        out = v == "1";
        return true;
    };
    size_t tab = args.find(kTab);
    bool active = false, selected = false;
    if (tab == std::string_view::npos || !flag(args.substr(0, tab), active) ||
        !flag(args.substr(tab + 1), selected))
        return One(Error("flags must be 1 or 0"));
    std::string error;
    switch (repo_.SetFlags(entity, name, active, selected, error)) {
        case Status::Ok:
            return One(kDone);
        case Status::NotFound:
            return One(Error("form not found"));
        case Status::Failed:
            break;
    }
    return DbFailure(error);
}

Reply RequestHandler::StoreWholeImage(const std::string& entity, std::string_view args) {
    std::string form, file;
    if (!TakeField(args, form) || !TakeField(args, file)) return One(Error("bad image request"));
    if (!IsValidFormName(form)) return One(Error("invalid form name"));
    if (!IsValidImageFileName(file)) return One(Error("invalid image file name"));
    // An empty picture could not be told from a missing one when it is read back.
    if (args.empty()) return One(Error("empty image"));
    std::string stamp, error;
    if (repo_.StoreImage(entity, form, file, std::string(args), stamp, error) != Status::Ok)
        return DbFailure(error);
    return One(kDone);
}

Reply RequestHandler::StoreImagePiece(Session& session, const std::string& entity,
                                      std::string_view rest, const wire::Sequence* sequence) {
    int n = 0;
    std::string_view after;
    if (!ParsePieceNumber(rest, n, after)) return Unknown();
    std::string form, file;
    if (!TakeField(after, form) || !TakeField(after, file)) {
        DropImage(session);
        return One(Error("bad image request"));
    }
    if (n == 1) {
        if (sequence && sequence->index != 1) return One(Error("image piece out of order"));
        // Handle() committed any earlier picture already.
        if (!IsValidFormName(form)) return One(Error("invalid form name"));
        if (!IsValidImageFileName(file)) return One(Error("invalid image file name"));
        session.imagePending = true;
        session.imageEntity = entity;
        session.imageForm = form;
        session.imageFile = file;
        session.imageNextPiece = 2;
        session.imageSequence = sequence ? *sequence : wire::Sequence{};
        session.imageBytes.assign(after);
    } else {
        bool inOrder = session.imagePending && n == session.imageNextPiece &&
                       form == session.imageForm && file == session.imageFile &&
                       entity == session.imageEntity &&
                       Continues(session.imageSequence, sequence, size_t(n - 1));
        if (!inOrder) {
            DropImage(session);
            return One(Error("image piece out of order"));
        }
        if (session.imageBytes.size() + after.size() > kMaxAssembledBytes) {
            DropImage(session);
            return One(Error("image too large"));
        }
        session.imageBytes.append(after);
        ++session.imageNextPiece;
    }
    // A sequenced picture is stored by its last piece; without a sequence field the next
    // request that is not a piece of it ends it.
    if (!sequence || sequence->index < sequence->count) return One(kPiece);
    std::string error;
    if (!CommitPendingImage(session, error)) return DbFailure(error);
    return One(kDone);
}

Reply RequestHandler::DeleteImages(const std::string& entity, std::string_view args) {
    std::string form;
    if (!TakeField(args, form) || args != "D|") return Unknown();
    std::string error;
    if (repo_.DeleteImages(entity, form, error) != Status::Ok) return DbFailure(error);
    return One(kDone);
}

Reply RequestHandler::StoreStaticList(const std::string& entity, std::string_view args) {
    std::string form;
    if (!TakeField(args, form)) return One(Error("bad static list request"));
    if (!IsValidFormName(form)) return One(Error("invalid form name"));
    std::string error;
    if (repo_.StoreStaticList(entity, form, std::string(args), error) != Status::Ok)
        return DbFailure(error);
    return One(kDone);
}

Reply RequestHandler::DeleteStaticList(const std::string& entity, std::string_view name) {
    std::string error;
    // Deleting a list that is not there is not a failure: the save flow clears the list
    // of a name before that name is first stored.
    if (repo_.DeleteStaticList(entity, std::string(name), error) != Status::Ok)
        return DbFailure(error);
    return One(kDone);
}

Reply RequestHandler::Tables() {
    std::string db, error;
    std::vector<CatalogueTable> tables;
    if (repo_.ReadCatalogue(db, tables, error) != Status::Ok) return DbFailure(error);
    // Read as it comes: the first element is the database name.
    std::string out = db;
    for (const auto& t : tables) {
        out += cp1252::kTableRecordSep;
        out += t.name;
        for (const auto& f : t.fields) {
            out += cp1252::kTableFieldSep;
            out += f.name;
        }
    }
    return One(out);
}

Reply RequestHandler::Fields(std::string_view args) {
    std::string db, table;
    if (!TakeField(args, db) || !TakeField(args, table)) return Unknown();
    std::string error;
    CatalogueField field;
    Status s = repo_.FindField(table, std::string(args), field, error);
    if (s == Status::Failed) return DbFailure(error);
    if (s == Status::NotFound) return One(Error("field not found"));
    return One(text::Join(field.properties, std::string(1, cp1252::kBarcodeMark)));
}

Reply RequestHandler::CodeList(std::string_view args) {
    std::string error;
    size_t bar = args.find('|');
    if (bar == std::string_view::npos) {
        // A whole list for the lookup picker: one entry per line, code, four blanks,
        // description.
        std::vector<CodeEntry> entries;
        Status s = repo_.ReadCodeList(std::string(args), entries, error);
        if (s == Status::Failed) return DbFailure(error);
        if (s == Status::NotFound) return One(Error("code list not found"));
        Reply out{std::string(kOk)};
        for (const auto& e : entries) out.push_back(e.code + "    " + e.description);
        out.emplace_back(kEnd);
        return out;
    }
    std::string_view head = args.substr(0, bar);
    std::string_view value = args.substr(bar + 1);
    size_t colon = head.rfind(':');
    if (colon == std::string_view::npos) return Unknown();
    std::string list(head.substr(0, colon));
    std::string_view mode = head.substr(colon + 1);
    if (mode == "0") {
        // Codes of one set. Read split at ":"; the fifth part holds the entries.
        std::vector<ChargeSlipEntry> entries;
        Status s = repo_.ReadChargeSlipSet(std::string(value), entries, error);
        if (s == Status::Failed) return DbFailure(error);
        if (s == Status::NotFound || list != "CHL") return One(Error("code set not found"));
        std::string description;
        std::vector<CodeEntry> sets;
        if (repo_.ReadCodeList(list, sets, error) == Status::Ok) {
            for (const auto& e : sets)
                if (e.code == value) description = e.description;
        }
        std::string out = std::string(kOk) + list + ":0:" + std::string(value) + ":" +
                          text::ReplaceAll(description, ":", ";") + ":";
        int line = 0;
        for (const auto& e : entries) {
            ++line;
            out += e.heading + kTab + std::to_string(line) + kTab + e.code + kTab + e.description +
                   kTab + e.other + cp1252::kBarcodeMark;
        }
        out += ":";
        out += kEnd;
        return One(out);
    }
    if (mode == "V") {
        // Validation: the list's own form of the value when it is on the list.
        std::vector<CodeEntry> entries;
        Status s = repo_.ReadCodeList(list, entries, error);
        if (s == Status::Failed) return DbFailure(error);
        if (s == Status::NotFound) return One(Error("code list not found"));
        std::string wanted = text::Trim(value);
        for (const auto& e : entries) {
            if (text::EqualsNoCase(e.code, wanted))
                return One(std::string(kOk) + "VALID|" + e.code + std::string(kEnd));
        }
        return One(std::string(kOk) + "NOT VALID|" + std::string(kEnd));
    }
    return Unknown();
}

Reply RequestHandler::RecordsReady(const std::string& entity) {
    std::vector<FormRecord> forms;
    std::string error;
    if (repo_.ListForms(entity, forms, error) != Status::Ok) return DbFailure(error);
    return One(std::string(kOk) + std::to_string(forms.size()) + std::string(kEnd));
}

// "|GET|EMR|" account "||SEARCH|" AND-or-OR "|" criteria, the criteria being triples
// field TAB connector TAB value.
Reply RequestHandler::NewerRecords(const std::string& entity, std::string_view args) {
    std::vector<std::string> parts = text::Split(args, "|");
    if (parts.size() != 5 || !parts[1].empty() || parts[2] != "SEARCH" ||
        (parts[3] != "AND" && parts[3] != "OR"))
        return SearchError("bad search request");
    const std::string& account = parts[0];
    std::vector<std::string> terms = text::Split(parts[4], "\t");
    if (terms.empty() || terms.size() % 3 != 0) return SearchError("bad search criteria");
    for (size_t i = 0; i < terms.size(); i += 3) {
        if (terms[i] != "DESCR" && terms[i] != "ACCNT" && terms[i] != "TYPE")
            return SearchError("unknown search field " + terms[i]);
    }
    std::vector<SavedRecord> records;
    std::string error;
    if (repo_.ReadSavedRecords(entity, true, records, error) != Status::Ok)
        return SearchError(error);
    bool all = parts[3] == "AND";
    Reply out{std::string(kOk)};
    bool first = true;
    for (const auto& r : records) {
        if (account != "*" && account != r.account) continue;
        bool match = all;
        for (size_t i = 0; i < terms.size(); i += 3) {
            const std::string& have = terms[i] == "DESCR"   ? r.form
                                      : terms[i] == "ACCNT" ? r.account
                                                            : r.type;
            bool m = text::EqualsNoCase(have, terms[i + 2]);
            match = all ? (match && m) : (match || m);
        }
        if (!match) continue;
        std::string line = r.account + kTab + r.dateOfService + kTab + r.form + kTab +
                           r.description + kTab + r.saved;
        if (first) {
            out.front() += line;
            first = false;
        } else {
            out.push_back(line);
        }
    }
    out.emplace_back(kEnd);
    return out;
}

// "|GETP|EFORM|LIST||" criteria "|*|", the criteria being KEY:value items separated by
// TAB; an empty value matches anything.
Reply RequestHandler::OlderRecords(const std::string& entity, std::string_view args) {
    size_t bar = args.find('|');
    if (bar == std::string_view::npos || args.substr(bar) != "|*|")
        return SearchError("bad search request");
    std::string account, dos, type, name, saved;
    for (const auto& item : text::Split(args.substr(0, bar), "\t")) {
        auto [key, value] = text::SplitAtFirst(item, ":");
        if (item.find(':') == std::string::npos) return SearchError("bad search criteria");
        if (key == "ACCNT")
            account = value;
        else if (key == "DOS")
            dos = value;
        else if (key == "TYPE")
            type = value;
        else if (key == "NAME")
            name = value;
        else if (key == "SAVE")
            saved = value;
        else
            return SearchError("unknown search field " + key);
    }
    std::vector<SavedRecord> records;
    std::string error;
    if (repo_.ReadSavedRecords(entity, false, records, error) != Status::Ok)
        return SearchError(error);
    Reply out{std::string(kOk)};
    bool first = true;
    for (const auto& r : records) {
        if (!account.empty() && account != r.account) continue;
        if (!dos.empty() && dos != r.dateOfService) continue;
        if (!type.empty() && !text::EqualsNoCase(type, r.type)) continue;
        if (!name.empty() && !text::EqualsNoCase(name, r.form)) continue;
        if (!saved.empty() && saved != r.saved) continue;
        std::string line = "ACCNT:" + r.account + kTab + "DOS:" + r.dateOfService + kTab +
                           "TYPE:" + r.type + kTab + "NAME:" + r.form + kTab + "SAVE:" + r.saved;
        if (first) {
            out.front() += line;
            first = false;
        } else {
            out.push_back(line);
        }
    }
    out.emplace_back(kEnd);
    return out;
}

}  // namespace repo
