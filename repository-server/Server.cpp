#include "Server.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "wire/Framing.h"

namespace repo {
namespace {

bool SendFail(int fd, const std::string& reason) {
    std::string body = wire::EncodeFields({std::string(wire::kStatusFail), reason});
    return wire::WriteFrame(fd, body, Server::kFrameTimeoutMs) == wire::IoResult::Ok;
}

}  // namespace

Server::Server(Repository& repository, int idleTimeoutMs)
    : handler_(repository), idleTimeoutMs_(idleTimeoutMs) {
    if (::pipe2(wakeFds_, O_CLOEXEC | O_NONBLOCK) != 0) wakeFds_[0] = wakeFds_[1] = -1;
}

Server::~Server() {
    Stop();
    Reap(true);
    wire::CloseSocket(listenFd_);
    if (wakeFds_[0] >= 0) ::close(wakeFds_[0]);
    if (wakeFds_[1] >= 0) ::close(wakeFds_[1]);
}

bool Server::Listen(const std::string& address, int port, std::string& error) {
    if (wakeFds_[0] < 0) {
        error = "cannot create the stop pipe";
        return false;
    }
    listenFd_ = wire::ListenTcp(address, port, error, &port_);
    return listenFd_ >= 0;
}

void Server::Stop() {
    stopping_.store(true);
    if (wakeFds_[1] >= 0) {
        char b = 1;
        [[maybe_unused]] ssize_t n = ::write(wakeFds_[1], &b, 1);
    }
}

void Server::Run() {
    while (!stopping_.load()) {
        pollfd p[2] = {{listenFd_, POLLIN, 0}, {wakeFds_[0], POLLIN, 0}};
        int r = ::poll(p, 2, 1000);
        Reap(false);
        if (r < 0 && errno != EINTR) break;
        if (r <= 0 || !(p[0].revents & POLLIN)) continue;
        int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        // Replies are small frames answered one by one: waiting to fill packets only
        // adds the peer's delayed acknowledgement to every request.
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        std::lock_guard lock(mutex_);
        if (connections_.size() >= size_t(kMaxConnections)) {
            SendFail(fd, "too many connections");
            ::close(fd);
            continue;
        }
        auto c = std::make_unique<Connection>();
        c->fd = fd;
        Connection* raw = c.get();
        connections_.push_back(std::move(c));
        raw->thread = std::thread([this, raw] {
            ServeSocket(raw->fd);
            raw->done.store(true);
        });
    }
    {
        // Wake every connection thread that waits for its next request.
        std::lock_guard lock(mutex_);
        for (auto& c : connections_) ::shutdown(c->fd, SHUT_RDWR);
    }
    Reap(true);
}

void Server::Reap(bool all) {
    std::list<std::unique_ptr<Connection>> finished;
    {
        std::lock_guard lock(mutex_);
        for (auto it = connections_.begin(); it != connections_.end();) {
            if (all || (*it)->done.load()) {
                finished.push_back(std::move(*it));
                it = connections_.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& c : finished) {
        if (c->thread.joinable()) c->thread.join();
        ::close(c->fd);
    }
}

void Server::ServeSocket(int fd) {
    Session session;
    // Kept from request to request (up to a bound), so pieces and replies of a large
    // form do not grow fresh buffers every time.
    std::string payload, body;
    std::vector<std::string_view> fields;
    std::string entity;
    while (!stopping_.load()) {
        for (std::string* buffer : {&payload, &body}) {
            buffer->clear();
            if (buffer->capacity() > RequestHandler::kKeptBufferBytes) buffer->shrink_to_fit();
        }
        // A connection in the middle of an upload gets the longer grace.
        pollfd p{fd, POLLIN, 0};
        int r = ::poll(&p, 1, session.Staged() ? kFrameTimeoutMs : idleTimeoutMs_);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0 || stopping_.load()) break;
        wire::IoResult io = wire::ReadFrame(fd, payload, kFrameTimeoutMs);
        if (io == wire::IoResult::TooLarge) {
            // The rest of that frame cannot be skipped safely; say why and hang up.
            SendFail(fd, "request too large");
            break;
        }
        if (io != wire::IoResult::Ok) break;
        // [channel, entity, text], and for a piece of a sequence its place in it.
        wire::Sequence sequence;
        if (!wire::DecodeFieldViews(payload, fields) || fields.size() < 3 || fields.size() > 4 ||
            (fields[0] != wire::kChannelString && fields[0] != wire::kChannelArray) ||
            (fields.size() == 4 && !wire::DecodeSequence(fields[3], sequence))) {
            if (!SendFail(fd, "malformed request")) break;
            continue;
        }
        bool sequenced = fields.size() == 4;
        entity.assign(fields[1]);
        handler_.Respond(session, entity, fields[2], sequenced ? &sequence : nullptr, body);
        fields.clear();
        io = body.size() > wire::kMaxFrameBytes
                 ? (SendFail(fd, "reply too large") ? wire::IoResult::Ok : wire::IoResult::Error)
                 : wire::WriteFrame(fd, body, kFrameTimeoutMs);
        if (io != wire::IoResult::Ok) break;
    }
    handler_.EndSession(session);
}

}  // namespace repo
