#pragma once
// Turns one request text into the reply elements. Knows the request grammar and the reply
// shapes; knows nothing of sockets, so every request kind is testable over a Repository.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "Repository.h"

namespace repo {

// Pieces of a save record or a picture that one connection has sent so far.
struct Session {
    std::vector<std::string> recordPieces;  // "|SETL|" pieces 2..n, in order
    size_t recordBytes = 0;

    bool imagePending = false;
    std::string imageEntity;
    std::string imageForm;
    std::string imageFile;
    int imageNextPiece = 0;
    std::string imageBytes;
};

using Reply = std::vector<std::string>;

class RequestHandler {
  public:
    // A record or picture assembled from pieces may not grow beyond this, so that every
    // reply that carries it back still fits in one frame.
    static constexpr size_t kMaxAssembledBytes = 60u * 1024u * 1024u;

    explicit RequestHandler(Repository& repository) : repo_(repository) {}

    Reply Handle(Session& session, const std::string& entity, std::string_view text);
    // The connection ended: staged pieces are dropped, nothing half-sent is stored.
    void EndSession(Session& session);

  private:
    Reply Dispatch(Session& session, const std::string& entity, std::string_view text);
    void CommitPendingImage(Session& session);

    Reply FormsList(const std::string& entity);
    Reply FormsFlags(const std::string& entity);
    Reply Layout(const std::string& entity, std::string_view name);
    Reply Image(const std::string& entity, std::string_view args);
    Reply StaticList(const std::string& entity, std::string_view name);
    Reply StoreRecord(Session& session, const std::string& entity, std::string_view firstPiece);
    Reply StoreRecordPiece(Session& session, std::string_view piece);
    Reply DeleteForm(const std::string& entity, std::string_view name);
    Reply StoreFlags(const std::string& entity, std::string_view args);
    Reply StoreWholeImage(const std::string& entity, std::string_view args);
    Reply StoreImagePiece(Session& session, const std::string& entity, std::string_view rest);
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
