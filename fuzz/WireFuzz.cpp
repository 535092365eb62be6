// The framing decoder on arbitrary bytes: a field list decodes only when it re-encodes to
// the same bytes, a sequence field likewise, and frames read from a socket never exceed
// the limit asked for nor invent bytes.
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "wire/Framing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65536) return 0;  // more would not fit in the socket's buffer unread
    std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> fields;
    if (wire::DecodeFields(input, fields) && wire::EncodeFields(fields) != input) std::abort();
    wire::Sequence seq;
    if (wire::DecodeSequence(input.substr(0, 16), seq) &&
        (wire::EncodeSequence(seq) != input.substr(0, 16) || seq.index > seq.count))
        std::abort();

    // The same bytes as a stream of frames (the input fits in the socket's buffer).
    int sv[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) return 0;
    bool written = ::write(sv[0], input.data(), input.size()) == ssize_t(input.size());
    ::shutdown(sv[0], SHUT_WR);
    std::size_t taken = 0;
    std::string payload;
    constexpr std::uint32_t kLimit = 4096;
    while (written && wire::ReadFrame(sv[1], payload, 1000, kLimit) == wire::IoResult::Ok) {
        if (payload.size() > kLimit) std::abort();
        taken += 4 + payload.size();
        if (taken > input.size() || input.compare(taken - payload.size(), payload.size(), payload))
            std::abort();
    }
    ::close(sv[0]);
    ::close(sv[1]);
    return 0;
}
