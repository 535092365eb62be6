// Requests that store: save records and pictures in pieces, whole pictures, static lists.
#include <cstdio>

#include "ReplyText.h"
#include "RequestHandler.h"

namespace repo {
using namespace reply;
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
Reply RequestHandler::StoreStaticList(const std::string& entity, std::string_view args) {
    std::string form;
    if (!TakeField(args, form)) return One(Error("bad static list request"));
    if (!IsValidFormName(form)) return One(Error("invalid form name"));
    std::string error;
    if (repo_.StoreStaticList(entity, form, std::string(args), error) != Status::Ok)
        return DbFailure(error);
    return One(kDone);
}
}  // namespace repo
