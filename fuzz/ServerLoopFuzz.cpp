// The repository server's connection loop on arbitrary bytes from a client: the input is
// what arrives on one connection (frames or garbage); a reader drains the replies. The
// loop must end when the bytes do, and every reply it writes must be a well-formed frame.
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "Repository.h"
#include "Server.h"
#include "wire/Framing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65536) return 0;  // more would not fit in the socket's buffer unread
    std::string error;
    auto repository = repo::Repository::Open(":memory:", error);
    if (!repository) return 0;
    int sv[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) return 0;
    if (::write(sv[0], data, size) != ssize_t(size)) std::abort();
    ::shutdown(sv[0], SHUT_WR);
    std::thread reader([&] {
        std::string reply;
        std::vector<std::string> fields;
        while (wire::ReadFrame(sv[0], reply, 5000) == wire::IoResult::Ok) {
            if (!wire::DecodeFields(reply, fields) || fields.empty() ||
                (fields[0] != wire::kStatusOk && fields[0] != wire::kStatusFail))
                std::abort();
        }
    });
    {
        repo::Server server(*repository, 1000, 0);
        server.ServeSocket(sv[1]);
    }
    ::shutdown(sv[1], SHUT_RDWR);
    reader.join();
    ::close(sv[0]);
    ::close(sv[1]);
    return 0;
}
