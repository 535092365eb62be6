#include "TcpComm.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <random>

#include "shell/TextUtils.h"
#include "wire/Framing.h"

TcpComm::TcpComm() {
    // Sequence ids only need to differ from those of other clients' uploads in flight.
    std::random_device rd;
    lastSequenceId_ = (std::uint64_t(rd()) << 32) | rd();
}

TcpComm::~TcpComm() {
    CloseLink();
}

void TcpComm::SetTimeouts(int connectMs, int replyMs) {
    connectMs_ = connectMs;
    replyMs_ = replyMs;
}

int TcpComm::SetServerAddress(const std::string& address, const std::string& port, int, int) {
    if (address != address_ || port != port_) CloseLink();
    address_ = address;
    port_ = port;
    return 0;
}

int TcpComm::SetSessionContext(const std::string&, const std::string& entity, const std::string&) {
    entity_ = entity;
    return 0;
}

void TcpComm::BeginSequence(std::size_t count) {
    if (++lastSequenceId_ == 0) ++lastSequenceId_;
    sequence_ = {lastSequenceId_, 0, std::uint32_t(count)};
    sequenceBroken_ = false;
}

void TcpComm::EndSequence() {
    sequence_ = {};
}

int TcpComm::ResetConnection() {
    // Anything the server staged for this link (pieces of a record or picture) goes
    // with the link.
    CloseLink();
    lastError_.clear();
    return 0;
}

int TcpComm::Connect() {
    std::string error;
    if (fd_ >= 0) return 0;
    if (!OpenLink(error)) {
        lastError_ = error;
        return -1;
    }
    return 0;
}

int TcpComm::Disconnect() {
    CloseLink();
    return 0;
}

bool TcpComm::PingServer(const std::string&, int) {
    std::string reply, error;
    if (!GetServerStringData("|GET|PING|", "", reply, error)) return false;
    return reply.find("PING") != std::string::npos;
}

std::string TcpComm::ResolveHostAddress(const std::string& hostName) {
    std::string name = text::Trim(hostName);
    if (name.empty()) return {};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &res) != 0 || !res) return {};
    char buf[INET_ADDRSTRLEN] = {};
    auto* sin = reinterpret_cast<sockaddr_in*>(res->ai_addr);
    std::string out;
    if (::inet_ntop(AF_INET, &sin->sin_addr, buf, sizeof buf)) out = buf;
    ::freeaddrinfo(res);
    return out;
}

bool TcpComm::OpenLink(std::string& error) {
    CloseLink();
    if (address_.empty() || port_.empty()) {
        error = "no server address set";
        return false;
    }
    long long port = 0;
    if (!text::ParseInt(port_, port) || port <= 0 || port > 65535) {
        error = "invalid port " + port_;
        return false;
    }
    bool byDeadline = false;
    fd_ = wire::ConnectTcp(address_, int(port), Bound(connectMs_, byDeadline), error);
    ++linkGeneration_;
    if (fd_ < 0 && byDeadline && deadline_.Passed()) GiveUp(error);
    return fd_ >= 0;
}

int TcpComm::Bound(int limitMs, bool& byDeadline) const {
    byDeadline = false;
    if (!deadline_.Limited()) return limitMs;
    int left = deadline_.RemainingMs();
    if (limitMs > 0 && limitMs <= left) return limitMs;
    byDeadline = true;
    return left;
}

const std::string& TcpComm::GiveUp(std::string& error) {
    gaveUp_ = true;
    return error = DeadlineMessage();
}

std::string TcpComm::DeadlineMessage() const {
    return "the server " + address_ + ":" + port_ + " did not answer within " +
           std::to_string(deadline_.AllowedSeconds()) + " s; given up";
}

void TcpComm::CloseLink() {
    wire::CloseSocket(fd_);
    fd_ = -1;
}

bool TcpComm::LinkLooksAlive() const {
    if (fd_ < 0) return false;
    // Nothing should be waiting between requests: readable means closed (or garbage).
    pollfd p{fd_, POLLIN, 0};
    int r = ::poll(&p, 1, 0);
    if (r == 0) return true;
    if (r < 0) return false;
    char c;
    ssize_t n = ::recv(fd_, &c, 1, MSG_PEEK | MSG_DONTWAIT);
    return n > 0 && !(p.revents & (POLLHUP | POLLERR));
}

bool TcpComm::Exchange(const char* channel, const std::string& request, std::string& error) {
    elements_.clear();
    error.clear();
    if (!deadline_.Limited() && deadlineStarter_) deadlineStarter_();
    if (deadline_.Passed()) {
        GiveUp(error);
        lastError_ = error;
        return false;
    }
    bool inSequence = sequence_.id != 0 && sequence_.index < sequence_.count;
    bool alive = LinkLooksAlive();
    if (inSequence && sequence_.index > 0 &&
        (sequenceBroken_ || linkGeneration_ != sequenceLink_ || !alive)) {
        // The server dropped what it staged with the old link; going on over a new one
        // would store only the tail of the upload.
        sequenceBroken_ = true;
        error = "connection to " + address_ + ":" + port_ +
                " lost in the middle of a multi-part upload (part " +
                std::to_string(sequence_.index + 1) + " of " + std::to_string(sequence_.count) +
                "); the upload was abandoned";
        lastError_ = error;
        return false;
    }
    // A link that dropped since the last request is opened anew before sending; a
    // request is never sent twice.
    if (!alive && !OpenLink(error)) {
        lastError_ = error;
        return false;
    }
    frame_.clear();
    wire::FieldWriter fields(frame_);
    fields.Add(channel);
    fields.Add(entity_);
    fields.Add(request);
    if (inSequence) {
        if (++sequence_.index == 1) sequenceLink_ = linkGeneration_;
        fields.Add(wire::EncodeSequence(sequence_));
    }
    fields.Finish();
    if (frame_.size() > wire::kMaxFrameBytes) {
        // Refused before a byte is written: the link stays in step.
        error = "request too large (" + std::to_string(request.size()) + " bytes)";
        lastError_ = error;
        ReleaseReply();
        return false;
    }
    // One deadline covers writing the request and reading the whole reply.
    bool byDeadline = false;
    const int limitMs = Bound(replyMs_, byDeadline);
    auto start = std::chrono::steady_clock::now();
    wire::IoResult r = wire::WriteFrame(fd_, frame_, limitMs);
    if (r == wire::IoResult::Ok) {
        long long left = limitMs;
        if (limitMs > 0)
            left -= std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
        r = limitMs > 0 && left <= 0 ? wire::IoResult::Timeout
                                     : wire::ReadFrame(fd_, frame_, int(left));
    }
    if (r == wire::IoResult::Timeout && byDeadline) {
        GiveUp(error);
        CloseLink();
        lastError_ = error;
        ReleaseReply();
        return false;
    }
    if (r != wire::IoResult::Ok) {
        error =
            std::string("no reply from ") + address_ + ":" + port_ + ": " + wire::IoResultText(r);
        CloseLink();  // the stream can no longer be trusted to be in step
        lastError_ = error;
        ReleaseReply();
        return false;
    }
    if (!wire::DecodeFieldViews(frame_, elements_) || elements_.empty()) {
        error = "malformed reply from the server";
        CloseLink();
        lastError_ = error;
        ReleaseReply();
        return false;
    }
    if (elements_[0] == wire::kStatusFail) {
        error = elements_.size() > 1 ? std::string(elements_[1]) : "request refused by the server";
        lastError_ = error;
        ReleaseReply();
        return false;
    }
    if (elements_[0] != wire::kStatusOk) {
        error = "malformed reply from the server";
        CloseLink();
        lastError_ = error;
        ReleaseReply();
        return false;
    }
    elements_.erase(elements_.begin());
    if (debug_ && debugOption_.find("rcv") != std::string::npos) {
        std::size_t bytes = 0;
        for (auto e : elements_) bytes += e.size();
        std::cerr << "rcv " << elements_.size() << " element(s), " << bytes << " byte(s)\n";
    }
    return true;
}

void TcpComm::JoinElements(std::string_view separator, std::string& out) {
    std::size_t n = elements_.empty() ? 0 : separator.size() * (elements_.size() - 1);
    for (auto e : elements_) n += e.size();
    // Each element follows its 4-byte length in the frame, so joined with a shorter
    // separator it moves only towards the front: the frame becomes the result, and a
    // large form is held once instead of twice.
    const bool inPlace = separator.size() <= 4 && n > kKeptFrameBytes;
    char* w = inPlace ? frame_.data() : (out.resize(n), out.data());
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        if (i) w = std::copy(separator.begin(), separator.end(), w);
        w = std::copy(elements_[i].begin(), elements_[i].end(), w);
    }
    if (inPlace) {
        frame_.resize(n);
        out.swap(frame_);
        frame_.clear();
    }
    ReleaseReply();
}

void TcpComm::ReleaseReply() {
    elements_.clear();
    // A very large reply is not kept for the rest of the session.
    if (frame_.capacity() > kKeptFrameBytes) std::string().swap(frame_);
}

bool TcpComm::GetServerStringData(const std::string& request, const std::string&,
                                  std::string& reply, std::string& error) {
    reply.clear();
    if (!Exchange(wire::kChannelString.data(), request, error)) return false;
    JoinElements("", reply);
    return true;
}

bool TcpComm::GetServerArrayData(const std::string& request, const std::string&,
                                 std::vector<std::string>& reply, std::string& error) {
    reply.clear();
    if (!Exchange(wire::kChannelArray.data(), request, error)) return false;
    reply.assign(elements_.begin(), elements_.end());
    ReleaseReply();
    return true;
}

bool TcpComm::GetServerArrayJoined(const std::string& request, std::string_view separator,
                                   std::string& joined, std::size_t& count, std::string& error) {
    joined.clear();
    count = 0;
    if (!Exchange(wire::kChannelArray.data(), request, error)) return false;
    count = elements_.size();
    JoinElements(separator, joined);
    return true;
}
