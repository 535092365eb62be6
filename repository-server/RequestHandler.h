#pragma once
// Turns one request text into the reply elements. Knows the request grammar and the reply
// shapes; knows nothing of sockets, so every request kind is testable over a Repository.
#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "Repository.h"
#include "wire/Framing.h"

namespace repo {

// What one connection has staged of an upload: the requests of one sequence (the pieces of
// a save record, pictures whole or in numbered pieces, static lists). None of it is visible
// until the upload's last request has come; then all of it is stored in one transaction.
struct Session {
    // The upload under way (id 0: none); index counts the requests staged so far.
    wire::Sequence sequence;
    std::string entity;
    std::string recordStaged;  // "|SETL|" pieces 2..n, joined in order
    size_t recordPieces = 0;
    // The picture arriving in numbered pieces; complete once the upload goes on with
    // anything but its next piece.
    bool imagePending = false;
    int imageNextPiece = 0;
    StagedPicture image;
    SaveSet save;
    size_t stagedBytes = 0;      // counted against the handler's limits
    bool piecesRefused = false;  // "|SETL|" without sequence field came just before

    bool Staged() const { return sequence.id != 0; }
};

using Reply = std::vector<std::string>;

// Bytes of uploads staged and not yet stored: one connection may stage a largest record
// and a largest picture; all connections together a few of those. Beyond either, the
// part is refused and its upload dropped, so no client can make the server's memory grow
// without bound.
struct StagingLimits {
    size_t perConnection = 128u * 1024u * 1024u;
    size_t total = 512u * 1024u * 1024u;
};

class RequestHandler {
  public:
    // A picture assembled from pieces may not grow beyond this, so that the reply that
    // carries it back still fits in one frame (records: wire::kMaxFormRecordBytes).
    static constexpr size_t kMaxAssembledBytes = 60u * 1024u * 1024u;

    explicit RequestHandler(Repository& repository, StagingLimits limits = {})
        : repo_(repository), limits_(limits) {}

    // A connection keeps buffers up to this size for its next request.
    static constexpr size_t kKeptBufferBytes = 4u * 1024u * 1024u;
    // Bytes staged by every connection together.
    size_t StagedBytes() const { return stagedTotal_.load(); }

    // sequence: the request's place in a multi-request sequence, when the client sent one.
    Reply Handle(Session& session, const std::string& entity, std::string_view text,
                 const wire::Sequence* sequence = nullptr);
    // The same reply as a frame body ("OK" and the elements) in body. A layout goes line by
    // line from the stored text, without a string per line, and a picture without a copy.
    void Respond(Session& session, const std::string& entity, std::string_view text,
                 const wire::Sequence* sequence, std::string& body);
    // True when the reply to text depends only on the entity, the text and what is stored,
    // and answering it changes nothing in the session: a form or picture fetched while
    // no upload is staged. Such requests asked at the same time may share one reply.
    static bool SessionFree(const Session& session, std::string_view text,
                            const wire::Sequence* sequence);
    // The connection ended: staged pieces are dropped, nothing half-sent is stored, and
    // the memory they took goes back.
    void EndSession(Session& session);

  private:
    // A request that is not the next part of the staged upload drops it.
    void Settle(Session& session, const std::string& entity, const wire::Sequence* sequence);
    Reply Dispatch(Session& session, const std::string& entity, std::string_view text,
                   const wire::Sequence* sequence);
    void DropUpload(Session& session);
    // Counts n more staged bytes, or gives the refusal when a limit would be passed.
    bool Admit(Session& session, size_t n, Reply& refusal);
    // Parses "name|header|layout" into save.form; false with the refusal.
    // record holds the pieces 2..n and becomes the layout.
    bool ReadRecord(std::string& record, std::string_view firstPiece, SaveSet& save,
                    Reply& refusal);
    // What answering a part of an upload with reply does to the upload.
    Reply Part(Session& session, Reply reply, const wire::Sequence* sequence);
    // Stores what the session staged (its last part has come) and drops it.
    Reply Commit(Session& session);
    // A save of one request, without sequence field.
    Reply StoreAlone(const std::string& entity, SaveSet& save);

    Reply FormsList(const std::string& entity);
    Reply FormsFlags(const std::string& entity);
    Reply Layout(const std::string& entity, std::string_view name);
    // True with the form found; otherwise the error reply.
    bool FindLayout(const std::string& entity, std::string_view name, FormRecord& form,
                    Reply& error);
    Reply Image(const std::string& entity, std::string_view args);
    bool FindImageBytes(const std::string& entity, std::string_view args, std::string& bytes,
                        Reply& error);
    Reply StaticList(const std::string& entity, std::string_view name);
    Reply StoreRecord(Session& session, const std::string& entity, std::string_view firstPiece,
                      const wire::Sequence* sequence);
    Reply StoreRecordPiece(Session& session, const std::string& entity, std::string_view piece,
                           const wire::Sequence* sequence);
    Reply NotAPart(Session& session);
    Reply DeleteForm(const std::string& entity, std::string_view name);
    Reply StoreFlags(const std::string& entity, std::string_view args);
    Reply StoreWholeImage(Session& session, const std::string& entity, std::string_view args,
                          const wire::Sequence* sequence);
    Reply StoreImagePiece(Session& session, const std::string& entity, std::string_view rest,
                          const wire::Sequence* sequence);
    Reply DeleteImages(const std::string& entity, std::string_view args);
    Reply StoreStaticList(Session& session, const std::string& entity, std::string_view args,
                          const wire::Sequence* sequence, bool remove);
    Reply Tables();
    Reply Fields(std::string_view args);
    Reply CodeList(std::string_view args);
    Reply RecordsReady(const std::string& entity);
    Reply NewerRecords(const std::string& entity, std::string_view args);
    Reply OlderRecords(const std::string& entity, std::string_view args);

    Repository& repo_;
    StagingLimits limits_;
    std::atomic<size_t> stagedTotal_{0};
};

// Names that travel inside list replies must not hold their separators.
bool IsValidFormName(std::string_view name);
bool IsValidImageFileName(std::string_view file);

}  // namespace repo
