#pragma once
// The socket loop: one thread per connection, each with its own Session, all sharing one
// RequestHandler over one Repository.
#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "RequestHandler.h"

namespace repo {

class Server {
  public:
    // A frame that is half-sent for longer than this ends its connection, and so does a
    // connection that waits this long in the middle of a save or picture upload.
    static constexpr int kFrameTimeoutMs = 120000;
    static constexpr int kMaxConnections = 256;
    // A connection with nothing staged that sends nothing for this long is closed, so
    // silent clients cannot hold every connection slot. The designer opens a new link by
    // itself when it finds the old one closed.
    static constexpr int kDefaultIdleTimeoutMs = 30000;

    explicit Server(Repository& repository, int idleTimeoutMs = kDefaultIdleTimeoutMs);
    ~Server();

    bool Listen(const std::string& address, int port, std::string& error);
    int Port() const { return port_; }
    // Serves until Stop(); returns after every connection thread has ended.
    void Run();
    // Safe to call from a signal handler and from any thread.
    void Stop();
    // Serves one connected socket until the peer closes it, it falls idle or Stop();
    // the accept loop runs this on a thread per connection. Does not close the socket.
    void ServeSocket(int fd);

  private:
    struct Connection {
        int fd = -1;
        std::thread thread;
        std::atomic<bool> done{false};
    };
    void Reap(bool all);

    RequestHandler handler_;
    int idleTimeoutMs_;
    int listenFd_ = -1;
    int port_ = 0;
    int wakeFds_[2] = {-1, -1};
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::list<std::unique_ptr<Connection>> connections_;
};

}  // namespace repo
