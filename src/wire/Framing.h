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

// Request fields: channel, entity, request text.
inline constexpr std::string_view kChannelString = "S";
inline constexpr std::string_view kChannelArray = "A";
// Reply fields: status, then for "OK" the reply elements (one for the string
// channel, the lines for the array channel), for "FAIL" one error text.
inline constexpr std::string_view kStatusOk = "OK";
inline constexpr std::string_view kStatusFail = "FAIL";

std::string EncodeFields(const std::vector<std::string>& fields);
// False when the payload is not a well-formed field list.
bool DecodeFields(std::string_view payload, std::vector<std::string>& fields);

enum class IoResult { Ok, Closed, Timeout, TooLarge, Error };
const char* IoResultText(IoResult r);

// Blocking I/O on a connected socket with a deadline for the whole frame.
// timeoutMs <= 0 waits without limit.
IoResult WriteFrame(int fd, std::string_view payload, int timeoutMs);
IoResult ReadFrame(int fd, std::string& payload, int timeoutMs,
                   std::uint32_t maxBytes = kMaxFrameBytes);

// Opens a TCP connection to a dotted address or host name. Returns the socket or -1
// with a readable reason in error.
int ConnectTcp(const std::string& host, int port, int timeoutMs, std::string& error);
// Listens on host:port (port 0 picks a free port). Returns the socket or -1.
int ListenTcp(const std::string& host, int port, std::string& error, int* boundPort = nullptr);
void CloseSocket(int fd);

}  // namespace wire
