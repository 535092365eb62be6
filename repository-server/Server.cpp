#include "Server.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "wire/Framing.h"

namespace repo {

struct Server::Connection {
    enum class State { Reading, Busy, Writing, Closed };
    int fd = -1;
    bool ownsFd = true;
    State state = State::Reading;
    // Edge-triggered readiness: set by an event, cleared when a call would block.
    bool readable = true;
    bool writable = true;
    bool again = false;   // listed in again_
    bool hangUp = false;  // close once the reply is out
    Clock::time_point deadline;
    wire::FrameReader reader;
    Session session;
    char head[4] = {};
    std::string body;  // the reply's payload
    // Instead of body: a reply shared with the connections that asked the same at once.
    std::shared_ptr<const std::string> shared;
    const std::string& Reply() const { return shared ? *shared : body; }
    std::size_t written = 0;
    std::list<std::unique_ptr<Connection>>::iterator self;
};

namespace {

// Bytes one connection may read or write in a turn before the others get theirs, so a
// large upload or reply does not hold up the small requests around it.
constexpr std::size_t kTurnBytes = 1u << 20;
constexpr std::size_t kScratchBytes = 64u * 1024u;
constexpr int kEvents = 256;
// Accepted in one turn; the listening socket stays ready for the rest.
constexpr int kAcceptsPerTurn = 64;
// Timeouts are looked for at most this often: each look walks every connection.
constexpr auto kExpiryStep = std::chrono::milliseconds(20);

// Tags of the two descriptors that are no connection.
char listenTag, wakeTag;

std::string FailBody(const char* reason) {
    return wire::EncodeFields({std::string(wire::kStatusFail), reason});
}

}  // namespace

Server::Server(Repository& repository, int idleTimeoutMs, int workers)
    : handler_(repository), idleTimeoutMs_(idleTimeoutMs), workerCount_(std::max(0, workers)) {
    epollFd_ = ::epoll_create1(EPOLL_CLOEXEC);
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    spareFd_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (epollFd_ >= 0 && wakeFd_ >= 0) {
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.ptr = &wakeTag;
        ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, wakeFd_, &ev);
    }
    scratch_.resize(kScratchBytes);
}

Server::~Server() {
    Stop();
    StopWorkers();
    while (!connections_.empty()) Close(*connections_.front());
    wire::CloseSocket(listenFd_);
    for (int fd : {epollFd_, wakeFd_, spareFd_})
        if (fd >= 0) ::close(fd);
}

bool Server::Listen(const std::string& address, int port, std::string& error) {
    if (epollFd_ < 0 || wakeFd_ < 0) {
        error = "cannot create the event loop";
        return false;
    }
    listenFd_ = wire::ListenTcp(address, port, error, &port_);
    if (listenFd_ < 0) return false;
    ::fcntl(listenFd_, F_SETFL, ::fcntl(listenFd_, F_GETFL, 0) | O_NONBLOCK);
    // Level-triggered: a listening socket left with callers after a turn reports again.
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.ptr = &listenTag;
    ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, listenFd_, &ev);
    return true;
}

void Server::Stop() {
    stopping_.store(true);
    if (wakeFd_ >= 0) {
        std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
    }
}

void Server::Run() {
    Loop(false);
}

void Server::ServeSocket(int fd) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL, 0) | O_NONBLOCK);
    Add(fd, false);
    Loop(true);
}

void Server::Loop(bool untilNoConnections) {
    if (epollFd_ < 0 || wakeFd_ < 0) return;
    StartWorkers();
    epoll_event events[kEvents];
    while (!stopping_.load() && !(untilNoConnections && connections_.empty())) {
        int timeout = 0;
        if (again_.empty()) {
            auto ms = std::chrono::ceil<std::chrono::milliseconds>(nextExpiry_ - Clock::now());
            timeout = int(std::clamp<long long>(ms.count(), 0, 60000));
        }
        int n = ::epoll_wait(epollFd_, events, kEvents, timeout);
        if (n < 0 && errno != EINTR) break;
        for (int i = 0; i < n; ++i) {
            void* tag = events[i].data.ptr;
            if (tag == &listenTag) {
                Accept();
            } else if (tag == &wakeTag) {
                std::uint64_t count;
                [[maybe_unused]] ssize_t r = ::read(wakeFd_, &count, sizeof count);
            } else {
                auto& c = *static_cast<Connection*>(tag);
                std::uint32_t e = events[i].events;
                if (e & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR)) c.readable = true;
                if (e & (EPOLLOUT | EPOLLHUP | EPOLLERR)) c.writable = true;
                Pump(c);
            }
        }
        TakeAnswered();
        std::vector<Connection*> again;
        again.swap(again_);
        for (Connection* c : again) {
            c->again = false;
            Pump(*c);
        }
        if (Clock::now() >= nextExpiry_) Expire();
        closed_.clear();
    }
    // Requests under way finish before their connections go.
    StopWorkers();
    answered_.clear();
    requests_.clear();
    while (!connections_.empty()) Close(*connections_.front());
    closed_.clear();
    again_.clear();
}

void Server::Accept() {
    for (int i = 0; i < kAcceptsPerTurn; ++i) {
        int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if ((errno == EMFILE || errno == ENFILE) && spareFd_ >= 0) {
                // Out of descriptors: the spare one lets the caller be told and let go,
                // instead of waiting in the queue until it gives up.
                ::close(spareFd_);
                fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
                if (fd >= 0) {
                    std::string body = FailBody("too many connections");
                    std::uint32_t len = htonl(std::uint32_t(body.size()));
                    iovec parts[2] = {{&len, 4}, {body.data(), body.size()}};
                    msghdr m{};
                    m.msg_iov = parts;
                    m.msg_iovlen = 2;
                    [[maybe_unused]] ssize_t sent = ::sendmsg(fd, &m, MSG_NOSIGNAL | MSG_DONTWAIT);
                    ::close(fd);
                }
                spareFd_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
                continue;
            }
            if (errno == EINTR || errno == ECONNABORTED) continue;
            return;
        }
        // Replies are small frames answered one by one: waiting to fill packets only
        // adds the peer's delayed acknowledgement to every request.
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        Add(fd, true);
    }
}

void Server::Add(int fd, bool ownsFd) {
    auto c = std::make_unique<Connection>();
    c->fd = fd;
    c->ownsFd = ownsFd;
    Connection& conn = *c;
    epoll_event ev{};
    ev.events = EPOLLIN | EPOLLOUT | EPOLLRDHUP | EPOLLET;
    ev.data.ptr = &conn;
    if (::epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &ev) != 0) {
        if (ownsFd) ::close(fd);
        return;
    }
    connections_.push_back(std::move(c));
    conn.self = std::prev(connections_.end());
    SetDeadline(conn, idleTimeoutMs_);
}

void Server::SetDeadline(Connection& c, int ms) {
    c.deadline = Clock::now() + std::chrono::milliseconds(ms);
    nextExpiry_ = std::min(nextExpiry_, c.deadline);
}

void Server::Pump(Connection& c) {
    if (c.state == Connection::State::Writing) Write(c);
    if (c.state == Connection::State::Reading) Read(c);
}

void Server::Read(Connection& c) {
    std::size_t budget = kTurnBytes;
    for (;;) {
        auto status = c.reader.status();
        if (status == wire::FrameReader::Status::Complete) return Dispatch(c);
        if (status == wire::FrameReader::Status::TooLarge) {
            // The rest of that frame cannot be skipped safely; say why and hang up.
            c.body = FailBody("request too large");
            c.hangUp = true;
            return Answered(c);
        }
        if (!c.readable) return;
        if (budget == 0) {
            if (!c.again) again_.push_back(&c);
            c.again = true;
            return;
        }
        ssize_t n = ::recv(c.fd, scratch_.data(), std::min(budget, scratch_.size()), 0);
        if (n == 0) return Close(c);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                c.readable = false;
                return;
            }
            return Close(c);
        }
        if (!c.reader.Started()) SetDeadline(c, kFrameTimeoutMs);
        c.reader.Feed(scratch_.data(), std::size_t(n));
        budget -= std::size_t(n);
    }
}

void Server::Dispatch(Connection& c) {
    c.state = Connection::State::Busy;
    if (workerCount_ == 0) {
        // Taken up by the loop after this turn, not from here: frames that arrived
        // together would otherwise nest one call deeper each.
        Answer(c);
        std::lock_guard lock(queueMutex_);
        answered_.push_back(&c);
        return;
    }
    {
        std::lock_guard lock(queueMutex_);
        requests_.push_back(&c);
    }
    queueReady_.notify_one();
}

void Server::Answer(Connection& c) {
    // [channel, entity, text], and for a piece of a sequence its place in it.
    std::vector<std::string_view> fields;
    wire::Sequence sequence;
    const std::string& payload = c.reader.Payload();
    if (!wire::DecodeFieldViews(payload, fields) || fields.size() < 3 || fields.size() > 4 ||
        (fields[0] != wire::kChannelString && fields[0] != wire::kChannelArray) ||
        (fields.size() == 4 && !wire::DecodeSequence(fields[3], sequence))) {
        c.body = FailBody("malformed request");
        return;
    }
    std::string entity(fields[1]);
    handler_.Respond(c.session, entity, fields[2], fields.size() == 4 ? &sequence : nullptr,
                     c.body);
    if (c.body.size() > wire::kMaxFrameBytes) c.body = FailBody("reply too large");
}

bool Server::Shareable(Connection& c) {
    std::vector<std::string_view> fields;
    return wire::DecodeFieldViews(c.reader.Payload(), fields) && fields.size() == 3 &&
           RequestHandler::SessionFree(c.session, fields[2], nullptr);
}

void Server::TakeAlike(Connection& c, std::vector<Connection*>& alike) {
    // Only requests already waiting join: each of them arrived before the answer is
    // read from the repository, so the shared reply is as fresh as one of its own.
    const std::string& payload = c.reader.Payload();
    for (auto it = requests_.begin(); it != requests_.end();) {
        Connection& other = **it;
        if (other.reader.Payload() == payload && Shareable(other)) {
            alike.push_back(&other);
            it = requests_.erase(it);
        } else {
            ++it;
        }
    }
}

void Server::Answered(Connection& c) {
    std::uint32_t len = std::uint32_t(c.Reply().size());
    for (int i = 0; i < 4; ++i) c.head[i] = char(len >> (24 - 8 * i));
    c.written = 0;
    c.state = Connection::State::Writing;
    SetDeadline(c, kFrameTimeoutMs);
    Pump(c);
}

void Server::Write(Connection& c) {
    const std::string& body = c.Reply();
    std::size_t total = 4 + body.size();
    std::size_t budget = kTurnBytes;
    while (c.written < total) {
        if (!c.writable) return;
        if (budget == 0) {
            if (!c.again) again_.push_back(&c);
            c.again = true;
            return;
        }
        iovec parts[2];
        int count = 0;
        if (c.written < 4) parts[count++] = {c.head + c.written, 4 - c.written};
        std::size_t from = c.written < 4 ? 0 : c.written - 4;
        parts[count++] = {const_cast<char*>(body.data()) + from,
                          std::min(body.size() - from, budget)};
        msghdr m{};
        m.msg_iov = parts;
        m.msg_iovlen = std::size_t(count);
        ssize_t n = ::sendmsg(c.fd, &m, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                c.writable = false;
                return;
            }
            return Close(c);
        }
        c.written += std::size_t(n);
        budget -= std::min(budget, std::size_t(n));
    }
    if (c.hangUp) return Close(c);
    c.shared.reset();
    // Buffers up to a bound stay for the next request, so pieces and replies of a large
    // form do not grow fresh ones every time.
    c.body.clear();
    if (c.body.capacity() > RequestHandler::kKeptBufferBytes) std::string().swap(c.body);
    c.reader.Next(RequestHandler::kKeptBufferBytes);
    c.state = Connection::State::Reading;
    // A connection in the middle of an upload gets the longer grace.
    SetDeadline(c, c.reader.Started() || c.session.Staged() ? kFrameTimeoutMs : idleTimeoutMs_);
}

void Server::Close(Connection& c) {
    if (c.state == Connection::State::Closed) return;
    ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, c.fd, nullptr);
    if (c.ownsFd) ::close(c.fd);
    c.state = Connection::State::Closed;
    if (c.again) again_.erase(std::find(again_.begin(), again_.end(), &c));
    handler_.EndSession(c.session);
    // Freed at the end of the turn: events of this turn may still name it.
    closed_.push_back(std::move(*c.self));
    connections_.erase(c.self);
}

void Server::TakeAnswered() {
    for (std::vector<Connection*> answered;;) {
        {
            std::lock_guard lock(queueMutex_);
            answered.swap(answered_);
        }
        if (answered.empty()) return;
        for (Connection* c : answered) Answered(*c);
        answered.clear();
    }
}

void Server::Expire() {
    auto now = Clock::now();
    nextExpiry_ = now + std::chrono::hours(1);
    for (auto it = connections_.begin(); it != connections_.end();) {
        Connection& c = **it++;
        if (c.state == Connection::State::Busy) continue;
        if (c.deadline <= now)
            Close(c);
        else
            nextExpiry_ = std::min(nextExpiry_, c.deadline);
    }
    nextExpiry_ = std::max(nextExpiry_, now + kExpiryStep);
}

void Server::StartWorkers() {
    if (!workers_.empty()) return;
    workersStop_ = false;
    for (int i = 0; i < workerCount_; ++i) workers_.emplace_back([this] { WorkerMain(); });
}

void Server::StopWorkers() {
    {
        std::lock_guard lock(queueMutex_);
        workersStop_ = true;
    }
    queueReady_.notify_all();
    for (auto& t : workers_) t.join();
    workers_.clear();
}

void Server::WorkerMain() {
    std::unique_lock lock(queueMutex_);
    for (;;) {
        queueReady_.wait(lock, [this] { return workersStop_ || !requests_.empty(); });
        if (workersStop_) return;
        Connection* c = requests_.front();
        requests_.pop_front();
        // A large form fetched by many at once is read and framed once for all of them,
        // and held once while it goes out to each.
        std::vector<Connection*> alike;
        if (Shareable(*c)) TakeAlike(*c, alike);
        lock.unlock();
        Answer(*c);
        if (!alike.empty()) {
            auto reply = std::make_shared<const std::string>(std::move(c->body));
            c->body = std::string();
            c->shared = reply;
            for (Connection* other : alike) other->shared = reply;
        }
        lock.lock();
        answered_.push_back(c);
        answered_.insert(answered_.end(), alike.begin(), alike.end());
        std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
    }
}

}  // namespace repo
