#pragma once
// The connection loop. One thread waits on every socket at once with epoll and does all
// the socket I/O without blocking: frames are gathered as their bytes arrive and replies
// written out as the peer takes them, so an open connection costs a few hundred bytes and
// no thread. A whole request goes to a small pool of workers, because answering it may
// wait on the database; its connection reads nothing more until the reply has gone out, so
// requests on one connection are answered in order.
//
// epoll rather than an event library: the server runs on Linux only, epoll needs nothing
// beyond the C library, and the loop needs only readiness for a few kinds of descriptor.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "RequestHandler.h"

namespace repo {

class Server {
  public:
    // A frame that is half-sent for longer than this ends its connection, and so do a reply
    // the peer does not take in this time and a connection that waits this long in the
    // middle of a save or picture upload.
    static constexpr int kFrameTimeoutMs = 120000;
    // A connection with nothing staged that sends nothing for this long is closed. The
    // designer opens a new link by itself when it finds the old one closed.
    static constexpr int kDefaultIdleTimeoutMs = 30000;
    // Requests answered at once; more would only queue for the database (SQLite's one
    // writer, or the connections to PostgreSQL).
    static constexpr int kDefaultWorkers = 2;

    // workers 0: requests are answered on the loop's own thread (the fuzzer's choice).
    explicit Server(Repository& repository, int idleTimeoutMs = kDefaultIdleTimeoutMs,
                    int workers = kDefaultWorkers);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    bool Listen(const std::string& address, int port, std::string& error);
    int Port() const { return port_; }
    // Serves until Stop(); every connection is closed when it returns.
    void Run();
    // Safe to call from a signal handler and from any thread.
    void Stop();
    // Serves one connected socket through the same loop, with no listening socket, until
    // the peer closes it, it falls idle or Stop(). Does not close the socket.
    void ServeSocket(int fd);

  private:
    struct Connection;
    using Clock = std::chrono::steady_clock;

    void Loop(bool untilNoConnections);
    void Accept();
    void Add(int fd, bool ownsFd);
    void Pump(Connection& c);
    void Read(Connection& c);
    void Write(Connection& c);
    void Dispatch(Connection& c);
    void Answer(Connection& c);
    void Answered(Connection& c);
    // Whether c asks for a reply that another connection asking the same may share.
    static bool Shareable(Connection& c);
    // Moves the waiting requests identical to c's shareable one into alike (queue lock held).
    void TakeAlike(Connection& c, std::vector<Connection*>& alike);
    void Close(Connection& c);
    void TakeAnswered();
    void Expire();
    void SetDeadline(Connection& c, int ms);
    void StartWorkers();
    void StopWorkers();
    void WorkerMain();

    RequestHandler handler_;
    int idleTimeoutMs_;
    int workerCount_;
    int listenFd_ = -1;
    int port_ = 0;
    int epollFd_ = -1;
    int wakeFd_ = -1;
    // Held open so that a full descriptor table still lets one caller be told why.
    int spareFd_ = -1;
    std::atomic<bool> stopping_{false};

    // Loop thread only.
    std::list<std::unique_ptr<Connection>> connections_;
    std::vector<Connection*> again_;  // stopped at the end of a turn's byte budget
    std::vector<std::unique_ptr<Connection>> closed_;
    Clock::time_point nextExpiry_;
    std::string scratch_;

    // Requests handed to workers and the connections whose replies are ready.
    std::mutex queueMutex_;
    std::condition_variable queueReady_;
    std::deque<Connection*> requests_;
    std::vector<Connection*> answered_;
    bool workersStop_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace repo
