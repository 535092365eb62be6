// Requests that store: save records, pictures and static lists, alone or as the parts of
// one upload (the requests of one sequence). An upload is staged per connection and
// stored in one transaction when its last part comes, so readers see the form as it was
// or as it is now, never a layout beside pictures of another save.
#include <algorithm>
#include <cstdio>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "ReplyText.h"
#include "RequestHandler.h"
#include "shell/TextUtils.h"

namespace repo {
using namespace reply;
namespace {

const char* const kNoSequence = "piece without sequence field; nothing stored";
const char* const kIncomplete = "incomplete form record; nothing stored";
const char* const kPartOutOfSequence = "upload part out of sequence; nothing stored";

// Freed memory is handed back to the system once this much was let go at once, so a
// server that staged large uploads does not keep their pages after they are gone.
constexpr size_t kTrimBytes = 1u << 20;

// The pictures a layout names: a background picture in field 2 of its line, an image
// item in field 6, each a file name with a base name and an extension.
std::vector<std::string> PicturesNamedBy(std::string_view layout) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= layout.size()) {
        size_t end = layout.find("\r\n", start);
        if (end == std::string_view::npos) end = layout.size();
        std::string_view line = layout.substr(start, end - start);
        start = end + 2;
        size_t tab = line.find('\t');
        std::string key = text::ToLower(std::string(line.substr(0, std::min(tab, size_t(32)))));
        size_t field = key == "background_image:" ? 2 : key == "image:" ? 6 : 0;
        if (field == 0) continue;
        // Field k starts after k - 1 tabs.
        size_t from = tab;
        for (size_t k = 2; k < field && from != std::string_view::npos; ++k)
            from = line.find('\t', from + 1);
        if (from == std::string_view::npos) continue;
        std::string_view name = line.substr(from + 1);
        name = name.substr(0, name.find('\t'));
        size_t dot = name.rfind('.');
        if (dot != std::string_view::npos && dot > 0 && dot + 1 < name.size())
            out.emplace_back(name);
    }
    return out;
}

bool IsErrorReply(const Reply& reply) {
    return !reply.empty() && reply.front().starts_with("ERROR");
}

}  // namespace

void RequestHandler::Settle(Session& session, const std::string& entity,
                            const wire::Sequence* sequence) {
    if (!session.Staged()) return;
    const wire::Sequence& staged = session.sequence;
    if (sequence && sequence->id == staged.id && sequence->count == staged.count &&
        sequence->index == staged.index + 1 && entity == session.entity)
        return;
    // Anything but the upload's next part means the upload was abandoned.
    std::fprintf(stderr, "repository-server: unfinished upload dropped (%u of %u parts)\n",
                 unsigned(staged.index), unsigned(staged.count));
    DropUpload(session);
}

void RequestHandler::EndSession(Session& session) {
    DropUpload(session);
}

void RequestHandler::DropUpload(Session& session) {
    size_t released = session.stagedBytes;
    if (released) stagedTotal_.fetch_sub(released);
    {
        // Moved out and destroyed here: the buffers are freed, not kept for reuse.
        Session gone = std::move(session);
        session = Session{};
    }
#ifdef __GLIBC__
    if (released >= kTrimBytes) malloc_trim(0);
#endif
}

bool RequestHandler::Admit(Session& session, size_t n, Reply& refusal) {
    if (session.stagedBytes + n > limits_.perConnection) {
        refusal = One(Error("upload too large; nothing stored"));
        return false;
    }
    if (stagedTotal_.fetch_add(n) + n > limits_.total) {
        stagedTotal_.fetch_sub(n);
        refusal = One(Error("server busy: too much staged by other uploads; nothing stored"));
        return false;
    }
    session.stagedBytes += n;
    return true;
}

Reply RequestHandler::NotAPart(Session& session) {
    DropUpload(session);
    return One(Error("request cannot be part of an upload"));
}

// The upload's part at place sequence.index: the first starts it, every later one was
// found to follow by Settle. False when it follows nothing.
static bool TakePart(Session& session, const std::string& entity, const wire::Sequence& sequence) {
    if (sequence.index == 1) {
        session.sequence = {sequence.id, 0, sequence.count};
        session.entity = entity;
    } else if (!session.Staged()) {
        return false;
    }
    session.sequence.index = sequence.index;
    return true;
}

// A picture in pieces is complete once the upload goes on with another part.
static void FinishImage(Session& session) {
    if (!session.imagePending) return;
    session.save.pictures.push_back(std::move(session.image));
    session.image = {};
    session.imagePending = false;
}

Reply RequestHandler::Commit(Session& session) {
    FinishImage(session);
    Reply reply = One(kDone);
    std::string error;
    if (session.recordPieces > 0 && !session.save.hasForm)
        reply = One(Error(kIncomplete));
    else if (repo_.StoreSave(session.entity, session.save, error) != Status::Ok)
        reply = DbFailure(error);
    DropUpload(session);
    return reply;
}

Reply RequestHandler::StoreAlone(const std::string& entity, SaveSet& save) {
    std::string error;
    if (repo_.StoreSave(entity, save, error) != Status::Ok) return DbFailure(error);
    return One(kDone);
}

Reply RequestHandler::StoreRecordPiece(Session& session, const std::string& entity,
                                       std::string_view piece, const wire::Sequence* sequence) {
    if (!sequence) {
        session.piecesRefused = true;
        return One(Error(kNoSequence));
    }
    // The pieces 2..n open the upload and the "|SET|CUSTFORM|T|" follows them directly.
    if (sequence->index == sequence->count || !TakePart(session, entity, *sequence) ||
        session.recordPieces + 1 != sequence->index)
        return One(Error("form record piece out of sequence"));
    if (session.recordStaged.size() + piece.size() > wire::kMaxFormRecordBytes)
        return One(Error("form record too large"));
    Reply refusal;
    if (!Admit(session, piece.size(), refusal)) return refusal;
    session.recordStaged.append(piece);
    ++session.recordPieces;
    return One(kPiece);
}

bool RequestHandler::ReadRecord(std::string& record, std::string_view firstPiece, SaveSet& save,
                                Reply& refusal) {
    FormRecord& form = save.form;
    if (record.size() + firstPiece.size() > wire::kMaxFormRecordBytes) {
        refusal = One(Error("form record too large"));
        return false;
    }
    // name | description:type:document type | layout (the layout may hold "|"). The two
    // fields are looked for in the first piece; only when they run past it are the
    // pieces joined first. The staged pieces become the layout in place.
    std::string header;
    std::string_view rest = firstPiece;
    if (TakeField(rest, form.name) && TakeField(rest, header)) {
        record.insert(0, rest);
    } else {
        record.insert(0, firstPiece);
        rest = record;
        if (!TakeField(rest, form.name) || !TakeField(rest, header)) {
            refusal = One(Error("bad form record"));
            return false;
        }
        record.erase(0, record.size() - rest.size());
    }
    form.layout.swap(record);
    const char* bad = nullptr;
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
    if (!IsValidFormName(form.name))
        bad = "invalid form name";
    else if (HasAny(form.description, kTextSeparators) || HasAny(form.type, kTextSeparators) ||
             HasAny(form.documentType, kTextSeparators))
        bad = "invalid form description, type or document type";
    else if (form.layout.empty())
        bad = "empty layout";
    if (bad) {
        refusal = One(Error(bad));
        return false;
    }
    save.hasForm = true;
    save.named = PicturesNamedBy(form.layout);
    return true;
}

Reply RequestHandler::StoreRecord(Session& session, const std::string& entity,
                                  std::string_view firstPiece, const wire::Sequence* sequence) {
    Reply refusal;
    if (!sequence && session.piecesRefused) {
        session.piecesRefused = false;
        return One(Error(kIncomplete));
    }
    if (!sequence) {
        SaveSet save;
        std::string record;
        if (!ReadRecord(record, firstPiece, save, refusal)) return refusal;
        return StoreAlone(entity, save);
    }
    // Every piece must have come, in order, directly before, on this connection.
    if (!TakePart(session, entity, *sequence) || session.save.hasForm ||
        session.recordPieces + 1 != sequence->index)
        return One(Error(kIncomplete));
    if (!Admit(session, firstPiece.size(), refusal) ||
        !ReadRecord(session.recordStaged, firstPiece, session.save, refusal))
        return refusal;
    session.recordPieces = 0;
    return sequence->index == sequence->count ? Commit(session) : One(kPiece);
}

// Common to the parts after the record: it must be complete, and a picture in pieces
// before this part is.
static const char* FollowRecord(Session& session, const std::string& entity,
                                const wire::Sequence& sequence, const char* outOfSequence) {
    if (!TakePart(session, entity, sequence)) return outOfSequence;
    if (session.recordPieces > 0) return kIncomplete;
    return nullptr;
}

Reply RequestHandler::StoreWholeImage(Session& session, const std::string& entity,
                                      std::string_view args, const wire::Sequence* sequence) {
    std::string form, file;
    if (!TakeField(args, form) || !TakeField(args, file)) return One(Error("bad image request"));
    if (!IsValidFormName(form)) return One(Error("invalid form name"));
    if (!IsValidImageFileName(file)) return One(Error("invalid image file name"));
    // An empty picture could not be told from a missing one when it is read back.
    if (args.empty()) return One(Error("empty image"));
    if (!sequence) {
        SaveSet save;
        save.pictures.push_back({form, file, std::string(args)});
        return StoreAlone(entity, save);
    }
    if (const char* why = FollowRecord(session, entity, *sequence, kPartOutOfSequence))
        return One(Error(why));
    FinishImage(session);
    Reply refusal;
    if (!Admit(session, args.size(), refusal)) return refusal;
    session.save.pictures.push_back({form, file, std::string(args)});
    return sequence->index == sequence->count ? Commit(session) : One(kPiece);
}

Reply RequestHandler::StoreImagePiece(Session& session, const std::string& entity,
                                      std::string_view rest, const wire::Sequence* sequence) {
    int n = 0;
    std::string_view after;
    if (!ParsePieceNumber(rest, n, after)) return Unknown();
    // Without the sequence field nothing tells the last piece or a lost link apart.
    if (!sequence) return One(Error(kNoSequence));
    std::string form, file;
    if (!TakeField(after, form) || !TakeField(after, file)) return One(Error("bad image request"));
    if (const char* why = FollowRecord(session, entity, *sequence, "image piece out of order"))
        return One(Error(why));
    StagedPicture& image = session.image;
    if (n == 1) {
        FinishImage(session);
        if (!IsValidFormName(form)) return One(Error("invalid form name"));
        if (!IsValidImageFileName(file)) return One(Error("invalid image file name"));
        session.imagePending = true;
        session.imageNextPiece = 1;
        image.form = form;
        image.file = file;
    } else if (!session.imagePending || n != session.imageNextPiece || form != image.form ||
               file != image.file) {
        return One(Error("image piece out of order"));
    }
    if (image.bytes.size() + after.size() > kMaxAssembledBytes)
        return One(Error("image too large"));
    Reply refusal;
    if (!Admit(session, after.size(), refusal)) return refusal;
    image.bytes.append(after);
    ++session.imageNextPiece;
    return sequence->index == sequence->count ? Commit(session) : One(kPiece);
}

Reply RequestHandler::StoreStaticList(Session& session, const std::string& entity,
                                      std::string_view args, const wire::Sequence* sequence,
                                      bool remove) {
    StagedList list;
    if (remove) {
        // Deleting a list that is not there is not a failure: the save flow clears the
        // list of a name before that name is first stored.
        list.form = args;
    } else {
        if (!TakeField(args, list.form)) return One(Error("bad static list request"));
        if (!IsValidFormName(list.form)) return One(Error("invalid form name"));
        list.list = args;
    }
    if (!sequence) {
        SaveSet save;
        save.lists.push_back(std::move(list));
        return StoreAlone(entity, save);
    }
    if (const char* why = FollowRecord(session, entity, *sequence, kPartOutOfSequence))
        return One(Error(why));
    FinishImage(session);
    Reply refusal;
    if (!Admit(session, list.list.size(), refusal)) return refusal;
    session.save.lists.push_back(std::move(list));
    return sequence->index == sequence->count ? Commit(session) : One(kPiece);
}

Reply RequestHandler::Part(Session& session, Reply reply, const wire::Sequence* sequence) {
    // A refused part ends its upload: nothing of it is stored, and its later parts are
    // refused as out of sequence.
    if (sequence && IsErrorReply(reply)) DropUpload(session);
    return reply;
}

}  // namespace repo
