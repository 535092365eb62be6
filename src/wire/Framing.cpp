#include "Framing.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace wire {
namespace {

void PutU32(std::string& out, std::uint32_t v) {
    char b[4] = {char((v >> 24) & 0xFF), char((v >> 16) & 0xFF), char((v >> 8) & 0xFF),
                 char(v & 0xFF)};
    out.append(b, 4);
}

std::uint32_t GetU32(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

using Clock = std::chrono::steady_clock;

constexpr std::size_t kFirstReadBytes = 64 * 1024;

// Milliseconds left until the deadline; -1 means no deadline.
int Remaining(Clock::time_point deadline, bool limited) {
    if (!limited) return -1;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() < 0 ? 0 : int(left.count());
}

IoResult WaitFor(int fd, short events, Clock::time_point deadline, bool limited) {
    for (;;) {
        pollfd p{fd, events, 0};
        int ms = Remaining(deadline, limited);
        if (limited && ms == 0) return IoResult::Timeout;
        int r = ::poll(&p, 1, ms);
        if (r > 0) return IoResult::Ok;
        if (r == 0) return IoResult::Timeout;
        if (errno != EINTR) return IoResult::Error;
    }
}

// The parts in order, as if one buffer. The call is tried first and waited for only when
// the socket is not ready, which saves a poll per call on a link that keeps up.
IoResult SendAll(int fd, iovec* parts, int count, Clock::time_point deadline, bool limited) {
    while (count > 0) {
        msghdr m{};
        m.msg_iov = parts;
        m.msg_iovlen = std::size_t(count);
        ssize_t n = ::sendmsg(fd, &m, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                IoResult w = WaitFor(fd, POLLOUT, deadline, limited);
                if (w != IoResult::Ok) return w;
                continue;
            }
            return errno == EPIPE || errno == ECONNRESET ? IoResult::Closed : IoResult::Error;
        }
        auto sent = std::size_t(n);
        while (count > 0 && sent >= parts->iov_len) {
            sent -= parts->iov_len;
            ++parts;
            --count;
        }
        if (count > 0) {
            parts->iov_base = static_cast<char*>(parts->iov_base) + sent;
            parts->iov_len -= sent;
        }
    }
    return IoResult::Ok;
}

IoResult RecvAll(int fd, char* data, size_t len, Clock::time_point deadline, bool limited) {
    while (len > 0) {
        ssize_t n = ::recv(fd, data, len, MSG_DONTWAIT);
        if (n == 0) return IoResult::Closed;
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                IoResult w = WaitFor(fd, POLLIN, deadline, limited);
                if (w != IoResult::Ok) return w;
                continue;
            }
            return errno == ECONNRESET ? IoResult::Closed : IoResult::Error;
        }
        data += n;
        len -= size_t(n);
    }
    return IoResult::Ok;
}

std::uint64_t GetU64(const unsigned char* p) {
    return (std::uint64_t(GetU32(p)) << 32) | GetU32(p + 4);
}

}  // namespace

std::string EncodeSequence(const Sequence& s) {
    std::string out;
    PutU32(out, std::uint32_t(s.id >> 32));
    PutU32(out, std::uint32_t(s.id));
    PutU32(out, s.index);
    PutU32(out, s.count);
    return out;
}

bool DecodeSequence(std::string_view field, Sequence& s) {
    if (field.size() != 16) return false;
    auto p = reinterpret_cast<const unsigned char*>(field.data());
    s = {GetU64(p), GetU32(p + 8), GetU32(p + 12)};
    return s.id != 0 && s.index >= 1 && s.index <= s.count;
}

std::string EncodeFields(const std::vector<std::string>& fields) {
    size_t total = 4;
    for (const auto& f : fields) total += 4 + f.size();
    std::string out;
    out.reserve(total);
    PutU32(out, std::uint32_t(fields.size()));
    for (const auto& f : fields) {
        PutU32(out, std::uint32_t(f.size()));
        out += f;
    }
    return out;
}

bool DecodeFieldViews(std::string_view payload, std::vector<std::string_view>& fields) {
    fields.clear();
    auto p = reinterpret_cast<const unsigned char*>(payload.data());
    size_t left = payload.size();
    if (left < 4) return false;
    std::uint32_t count = GetU32(p);
    p += 4;
    left -= 4;
    // Every field needs at least its length word, so a huge count is malformed.
    if (count > left / 4) return false;
    fields.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (left < 4) return false;
        std::uint32_t len = GetU32(p);
        p += 4;
        left -= 4;
        if (len > left) return false;
        fields.emplace_back(reinterpret_cast<const char*>(p), len);
        p += len;
        left -= len;
    }
    return left == 0;
}

bool DecodeFields(std::string_view payload, std::vector<std::string>& fields) {
    fields.clear();
    std::vector<std::string_view> views;
    if (!DecodeFieldViews(payload, views)) return false;
    fields.assign(views.begin(), views.end());
    return true;
}

FieldWriter::FieldWriter(std::string& out) : out_(out), countAt_(out.size()) {
    PutU32(out_, 0);
}

void FieldWriter::Add(std::string_view head, std::string_view tail) {
    PutU32(out_, std::uint32_t(head.size() + tail.size()));
    out_.append(head);
    out_.append(tail);
    ++count_;
}

void FieldWriter::AddPieces(std::string_view text, std::string_view separator,
                            std::string_view head) {
    // Room for the bytes and a length word per piece, grown on the rare text with more
    // pieces than guessed; trimmed to what was written at the end.
    std::size_t at = out_.size();
    std::size_t room = head.size() + text.size() + 4 * (text.size() / 32 + 16);
    out_.resize(at + room);
    char* w = out_.data() + at;
    const char* p = text.data();
    const char* end = p + text.size();
    for (bool first = true;; first = false) {
        const char* q = p;
        for (;;) {
            q = static_cast<const char*>(std::memchr(q, separator[0], std::size_t(end - q)));
            if (!q || std::size_t(end - q) < separator.size()) break;
            // Byte by byte: a call to memcmp per line end costs more than the line.
            std::size_t i = 1;
            while (i < separator.size() && q[i] == separator[i]) ++i;
            if (i == separator.size()) break;
            ++q;
        }
        if (!q || std::size_t(end - q) < separator.size()) q = end;
        std::size_t len = std::size_t(q - p) + (first ? head.size() : 0);
        std::size_t used = std::size_t(w - out_.data());
        if (out_.size() - used < 4 + len + 4 * 16) {
            out_.resize(out_.size() * 2 + 4 + len);
            w = out_.data() + used;
        }
        w[0] = char(len >> 24);
        w[1] = char(len >> 16);
        w[2] = char(len >> 8);
        w[3] = char(len);
        w += 4;
        if (first && !head.empty()) {
            std::memcpy(w, head.data(), head.size());
            w += head.size();
        }
        if (q != p) std::memcpy(w, p, std::size_t(q - p));
        w += q - p;
        ++count_;
        if (q == end) break;
        p = q + separator.size();
    }
    out_.resize(std::size_t(w - out_.data()));
}

void FieldWriter::Finish() {
    std::string n;
    PutU32(n, count_);
    out_.replace(countAt_, 4, n);
}

const char* IoResultText(IoResult r) {
    switch (r) {
        case IoResult::Ok:
            return "ok";
        case IoResult::Closed:
            return "connection closed by the peer";
        case IoResult::Timeout:
            return "timed out";
        case IoResult::TooLarge:
            return "message too large";
        case IoResult::Error:
            return "socket error";
    }
    return "socket error";
}

IoResult WriteFrame(int fd, std::string_view payload, int timeoutMs) {
    if (payload.size() > kMaxFrameBytes) return IoResult::TooLarge;
    bool limited = timeoutMs > 0;
    auto deadline = Clock::now() + std::chrono::milliseconds(limited ? timeoutMs : 0);
    std::string head;
    PutU32(head, std::uint32_t(payload.size()));
    // Length word and body leave in one call: a separate 4-byte send would leave the body
    // waiting for the peer's delayed acknowledgement on every request and reply.
    iovec parts[2] = {{head.data(), head.size()},
                      {const_cast<char*>(payload.data()), payload.size()}};
    return SendAll(fd, parts, 2, deadline, limited);
}

IoResult ReadFrame(int fd, std::string& payload, int timeoutMs, std::uint32_t maxBytes) {
    payload.clear();
    bool limited = timeoutMs > 0;
    auto deadline = Clock::now() + std::chrono::milliseconds(limited ? timeoutMs : 0);
    unsigned char head[4];
    IoResult r = RecvAll(fd, reinterpret_cast<char*>(head), 4, deadline, limited);
    if (r != IoResult::Ok) return r;
    std::uint32_t len = GetU32(head);
    if (len > maxBytes) return IoResult::TooLarge;
    // Room for at most twice what has arrived (or what the buffer already holds from
    // earlier frames): a peer that announces a huge frame and sends little costs little.
    std::size_t got = 0;
    while (got < len) {
        std::size_t next =
            std::min<std::size_t>(len, std::max({kFirstReadBytes, got * 2, payload.capacity()}));
        payload.resize(next);
        r = RecvAll(fd, payload.data() + got, next - got, deadline, limited);
        if (r != IoResult::Ok) {
            payload.clear();
            return r;
        }
        got = next;
    }
    return IoResult::Ok;
}

void FrameReader::Feed(const char* data, std::size_t size) {
    if (status_ != Status::Partial) {
        pending_.append(data, size);
        return;
    }
    while (size > 0 && headGot_ < 4) {
        head_[headGot_++] = static_cast<unsigned char>(*data++);
        --size;
        if (headGot_ == 4) {
            length_ = GetU32(head_);
            if (length_ > maxBytes_) {
                status_ = Status::TooLarge;
                return;
            }
        }
    }
    if (headGot_ < 4) return;
    std::size_t take = std::min<std::size_t>(size, length_ - payload_.size());
    std::size_t want = payload_.size() + take;
    if (payload_.capacity() < want)
        payload_.reserve(std::min<std::size_t>(length_, std::max(kFirstReadBytes, want * 2)));
    payload_.append(data, take);
    if (payload_.size() == length_) {
        status_ = Status::Complete;
        pending_.append(data + take, size - take);
    }
}

void FrameReader::Next(std::size_t keepBytes) {
    payload_.clear();
    if (payload_.capacity() > keepBytes) std::string().swap(payload_);
    status_ = Status::Partial;
    headGot_ = 0;
    length_ = 0;
    if (pending_.empty()) return;
    std::string rest;
    rest.swap(pending_);
    Feed(rest.data(), rest.size());
}

int ConnectTcp(const std::string& host, int port, int timeoutMs, std::string& error) {
    if (port <= 0 || port > 65535) {
        error = "invalid port " + std::to_string(port);
        return -1;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    std::string service = std::to_string(port);
    int gai = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &res);
    if (gai != 0) {
        error = "cannot resolve " + host + ": " + gai_strerror(gai);
        return -1;
    }
    int fd = -1;
    error = "cannot connect to " + host + ":" + service;
    for (addrinfo* ai = res; ai; ai = ai->ai_next) {
        fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC, ai->ai_protocol);
        if (fd < 0) continue;
        int flags = ::fcntl(fd, F_GETFL, 0);
        ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
        int rc = ::connect(fd, ai->ai_addr, ai->ai_addrlen);
        if (rc != 0 && errno == EINPROGRESS) {
            pollfd p{fd, POLLOUT, 0};
            rc = ::poll(&p, 1, timeoutMs > 0 ? timeoutMs : -1);
            if (rc > 0) {
                int soerr = 0;
                socklen_t sl = sizeof soerr;
                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soerr, &sl);
                rc = soerr == 0 ? 0 : -1;
                if (soerr) error += std::string(": ") + std::strerror(soerr);
            } else {
                if (rc == 0) error += ": timed out";
                rc = -1;
            }
        } else if (rc != 0) {
            error += std::string(": ") + std::strerror(errno);
        }
        if (rc == 0) {
            ::fcntl(fd, F_SETFL, flags);
            int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            error.clear();
            break;
        }
        ::close(fd);
        fd = -1;
    }
    ::freeaddrinfo(res);
    return fd;
}

int ListenTcp(const std::string& host, int port, std::string& error, int* boundPort) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::strerror(errno);
        return -1;
    }
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(std::uint16_t(port));
    if (::inet_pton(AF_INET, host.c_str(), &addr.sin_addr) != 1) {
        error = "not a dotted IPv4 address: " + host;
        ::close(fd);
        return -1;
    }
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(fd, SOMAXCONN) != 0) {
        error =
            "cannot listen on " + host + ":" + std::to_string(port) + ": " + std::strerror(errno);
        ::close(fd);
        return -1;
    }
    if (boundPort) {
        socklen_t len = sizeof addr;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
        *boundPort = ntohs(addr.sin_port);
    }
    return fd;
}

void CloseSocket(int fd) {
    if (fd >= 0) ::close(fd);
}

}  // namespace wire
