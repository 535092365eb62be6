#pragma once
// Wire framing shared by the designer's communication component and the reference
// repository server. Every message is one frame: a 4-byte big-endian length and that
// many payload bytes. A payload is a list of fields, each a 4-byte big-endian length
// and its bytes, so any byte (CR, LF, NUL, 0xE6 ...) travels unchanged.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wire {

// A request may carry a whole layout piece or image piece; anything beyond this is refused.
constexpr std::uint32_t kMaxFrameBytes = 64u * 1024u * 1024u + 4096u;
// The largest form record (name|header|layout) either side accepts. The layout comes back
// split into lines, each with its own 4-byte length word, so n bytes of record give at most
// 2n + 64 bytes of reply: this limit keeps every stored form readable in one frame.
constexpr std::uint32_t kMaxFormRecordBytes = 32u * 1024u * 1024u;
static_assert(2ull * kMaxFormRecordBytes + 64 <= kMaxFrameBytes);

// Request fields: channel, entity, request text.
inline constexpr std::string_view kChannelString = "S";
inline constexpr std::string_view kChannelArray = "A";
// Reply fields: status, then for "OK" the reply elements (one for the string
// channel, the lines for the array channel), for "FAIL" one error text.
inline constexpr std::string_view kStatusOk = "OK";
inline constexpr std::string_view kStatusFail = "FAIL";

// A request that belongs to a multi-request sequence (the pieces of one save record or of
// one picture) carries a fourth field saying which sequence and where in it, so that the
// server can refuse a sequence that arrives incomplete or mixed with another.
struct Sequence {
    std::uint64_t id = 0;     // chosen by the client; never 0
    std::uint32_t index = 0;  // place of this request, from 1
    std::uint32_t count = 0;  // requests in the whole sequence
    bool operator==(const Sequence&) const = default;
};
// 16 bytes: id, index, count, big-endian.
std::string EncodeSequence(const Sequence& s);
// False unless 16 bytes with id != 0 and 1 <= index <= count.
bool DecodeSequence(std::string_view field, Sequence& s);

std::string EncodeFields(const std::vector<std::string>& fields);
// False when the payload is not a well-formed field list.
bool DecodeFields(std::string_view payload, std::vector<std::string>& fields);
// The same, as views into payload: no copy of a field's bytes.
bool DecodeFieldViews(std::string_view payload, std::vector<std::string_view>& fields);

// Appends a payload to out field by field, for replies made of many pieces (the lines of
// a layout) that need no list of strings first. Finish() writes the field count.
class FieldWriter {
  public:
    explicit FieldWriter(std::string& out);
    // One field made of head followed by tail.
    void Add(std::string_view head, std::string_view tail = {});
    // One field per piece of text cut at every separator (not empty); the first piece
    // carries head in front. The same fields as Add for each piece, written in one pass.
    void AddPieces(std::string_view text, std::string_view separator, std::string_view head = {});
    void Finish();

  private:
    std::string& out_;
    std::size_t countAt_;
    std::uint32_t count_ = 0;
};

enum class IoResult { Ok, Closed, Timeout, TooLarge, Error };
const char* IoResultText(IoResult r);

// Blocking I/O on a connected socket with a deadline for the whole frame.
// timeoutMs <= 0 waits without limit. ReadFrame grows its buffer as the bytes arrive,
// so a length word alone reserves no memory.
IoResult WriteFrame(int fd, std::string_view payload, int timeoutMs);
IoResult ReadFrame(int fd, std::string& payload, int timeoutMs,
                   std::uint32_t maxBytes = kMaxFrameBytes);

// Gathers frames from bytes as they arrive, for a reader that must not block (the
// server's event loop). Takes every byte it is given: those beyond the frame under way
// wait for the next one. The payload buffer grows with what has arrived, as ReadFrame's.
class FrameReader {
  public:
    enum class Status { Partial, Complete, TooLarge };
    explicit FrameReader(std::uint32_t maxBytes = kMaxFrameBytes) : maxBytes_(maxBytes) {}
    void Feed(const char* data, std::size_t size);
    Status status() const { return status_; }
    // Some bytes of a frame not yet taken have arrived.
    bool Started() const { return headGot_ > 0 || !pending_.empty(); }
    // The complete frame's payload; the caller may use it until Next().
    std::string& Payload() { return payload_; }
    // Drops the frame taken and starts the next one on the bytes that followed it; a
    // payload buffer beyond keepBytes is given back.
    void Next(std::size_t keepBytes);

  private:
    std::uint32_t maxBytes_;
    Status status_ = Status::Partial;
    unsigned char head_[4] = {};
    std::size_t headGot_ = 0;
    std::uint32_t length_ = 0;
    std::string payload_;
    std::string pending_;
};

// Opens a TCP connection to a dotted address or host name. Returns the socket or -1
// with a readable reason in error.
int ConnectTcp(const std::string& host, int port, int timeoutMs, std::string& error);
// Listens on host:port (port 0 picks a free port). Returns the socket or -1.
int ListenTcp(const std::string& host, int port, std::string& error, int* boundPort = nullptr);
void CloseSocket(int fd);

}  // namespace wire
