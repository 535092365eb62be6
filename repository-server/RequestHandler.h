#pragma once
// Turns one request text into the reply elements. Knows the request grammar and the reply
// shapes; knows nothing of sockets, so every request kind is testable over a Repository.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "Repository.h"
#include "wire/Framing.h"

namespace repo {

// Pieces of a save record or a picture that one connection has sent so far.
// A client that sends no sequence field leaves the sequences at id 0.
struct Session {
    std::string recordStaged;  // "|SETL|" pieces 2..n, joined in order
    size_t recordPieces = 0;
    wire::Sequence recordSequence;

    bool imagePending = false;
    wire::Sequence imageSequence;
    std::string imageEntity;
    std::string imageForm;
    std::string imageFile;
    int imageNextPiece = 0;
    std::string imageBytes;

    bool Staged() const { return recordPieces > 0 || imagePending; }
};

using Reply = std::vector<std::string>;

class RequestHandler {
  public:
    // A picture assembled from pieces may not grow beyond this, so that the reply that
    // carries it back still fits in one frame (records: wire::kMaxFormRecordBytes).
    static constexpr size_t kMaxAssembledBytes = 60u * 1024u * 1024u;

    explicit RequestHandler(Repository& repository) : repo_(repository) {}

    // A connection keeps buffers up to this size for its next request.
    static constexpr size_t kKeptBufferBytes = 4u * 1024u * 1024u;

    // sequence: the request's place in a multi-request sequence, when the client sent one.
    Reply Handle(Session& session, const std::string& entity, std::string_view text,
                 const wire::Sequence* sequence = nullptr);
    // The same reply as a frame body ("OK" and the elements) in body. A layout goes line by
    // line from the stored text, without a string per line, and a picture without a copy.
    void Respond(Session& session, const std::string& entity, std::string_view text,
                 const wire::Sequence* sequence, std::string& body);
    // The connection ended: staged pieces are dropped, nothing half-sent is stored.
    void EndSession(Session& session);

  private:
    // What a request does to the pieces staged before it, whatever it asks.
    void Settle(Session& session, std::string_view text);
    Reply Dispatch(Session& session, const std::string& entity, std::string_view text,
                   const wire::Sequence* sequence);
    bool CommitPendingImage(Session& session, std::string& error);

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
    Reply StoreRecordPiece(Session& session, std::string_view piece,
                           const wire::Sequence* sequence);
    Reply DeleteForm(const std::string& entity, std::string_view name);
    Reply StoreFlags(const std::string& entity, std::string_view args);
    Reply StoreWholeImage(const std::string& entity, std::string_view args);
    Reply StoreImagePiece(Session& session, const std::string& entity, std::string_view rest,
                          const wire::Sequence* sequence);
    Reply DeleteImages(const std::string& entity, std::string_view args);
    Reply StoreStaticList(const std::string& entity, std::string_view args);
    Reply DeleteStaticList(const std::string& entity, std::string_view name);
    Reply Tables();
    Reply Fields(std::string_view args);
    Reply CodeList(std::string_view args);
    Reply RecordsReady(const std::string& entity);
    Reply NewerRecords(const std::string& entity, std::string_view args);
    Reply OlderRecords(const std::string& entity, std::string_view args);

    Repository& repo_;
};

// Names that travel inside list replies must not hold their separators.
bool IsValidFormName(std::string_view name);
bool IsValidImageFileName(std::string_view file);

}  // namespace repo
