#pragma once
// A tiny frame server on a loopback port for tests of the client side of the wire.
#include <poll.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "wire/Framing.h"

// Handler gets [channel, entity, text] and returns the reply fields. Special first
// fields: "SILENT" (no reply, ever), "CLOSE" (drop the link), "GARBAGE" (bad frame). A slow
// server takes its time over reading each request, and again over replying.
class FrameServer {
  public:
    using Handler = std::function<std::vector<std::string>(const std::vector<std::string>&)>;
    explicit FrameServer(Handler h, std::chrono::milliseconds slowness = {})
        : handler_(std::move(h)), slowness_(slowness) {
        std::string error;
        listen_ = wire::ListenTcp("127.0.0.1", 0, error, &port_);
        thread_ = std::thread([this] { Run(); });
    }
    ~FrameServer() { Stop(); }
    void Stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        wire::CloseSocket(listen_);
        listen_ = -1;
    }
    int Port() const { return port_; }
    int Connections() const { return connections_; }
    std::vector<std::vector<std::string>> Seen() {
        std::lock_guard<std::mutex> l(mu_);
        return seen_;
    }

  private:
    bool Readable(int fd) {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, 20) > 0;
    }
    void Run() {
        while (!stop_) {
            if (!Readable(listen_)) continue;
            int fd = ::accept(listen_, nullptr, nullptr);
            if (fd < 0) continue;
            ++connections_;
            Serve(fd);
            wire::CloseSocket(fd);
        }
    }
    void Serve(int fd) {
        while (!stop_) {
            if (!Readable(fd)) continue;
            std::this_thread::sleep_for(slowness_);
            std::string payload;
            if (wire::ReadFrame(fd, payload, 5000) != wire::IoResult::Ok) return;
            std::vector<std::string> fields;
            if (!wire::DecodeFields(payload, fields)) return;
            {
                std::lock_guard<std::mutex> l(mu_);
                seen_.push_back(fields);
            }
            auto reply = handler_(fields);
            std::this_thread::sleep_for(slowness_);
            if (!reply.empty() && reply[0] == "SILENT") continue;
            if (!reply.empty() && reply[0] == "CLOSE") return;
            if (!reply.empty() && reply[0] == "GARBAGE") {
                wire::WriteFrame(fd, "\x00\x00\x00\x09xx", 1000);
                continue;
            }
            if (wire::WriteFrame(fd, wire::EncodeFields(reply), 5000) != wire::IoResult::Ok) return;
        }
    }

    Handler handler_;
    std::chrono::milliseconds slowness_;
    int listen_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    std::mutex mu_;
    std::vector<std::vector<std::string>> seen_;
    std::thread thread_;
};
