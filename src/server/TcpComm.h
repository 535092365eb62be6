#pragma once
// `mcomm` over TCP with the length-prefixed frames of src/wire. Every wait has a
// deadline, so a dead or silent server gives a false flag and a reason, never a hang.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "server/CommComponent.h"
#include "server/CommDeadline.h"
#include "wire/Framing.h"

class TcpComm : public CommComponent {
  public:
    TcpComm();
    ~TcpComm() override;
    TcpComm(const TcpComm&) = delete;
    TcpComm& operator=(const TcpComm&) = delete;

    bool GetServerStringData(const std::string& request, const std::string& extra,
                             std::string& reply, std::string& error) override;
    bool GetServerArrayData(const std::string& request, const std::string& extra,
                            std::vector<std::string>& reply, std::string& error) override;
    bool GetServerArrayJoined(const std::string& request, std::string_view separator,
                              std::string& joined, std::size_t& count, std::string& error) override;
    int SetServerAddress(const std::string& address, const std::string& port, int retries,
                         int flags) override;
    int SetSessionContext(const std::string& a, const std::string& entity,
                          const std::string& b) override;
    int ResetConnection() override;
    int Connect() override;
    int Disconnect() override;
    bool PingServer(const std::string& text, int number) override;
    std::string ResolveHostAddress(const std::string& hostName) override;
    std::string ServerAddress() const override { return address_; }
    std::string ServerPort() const override { return port_; }
    bool DebugMode() const override { return debug_; }
    void SetDebugMode(bool on) override { debug_ = on; }
    void SetDebugOption(const std::string& option) override { debugOption_ = option; }
    void BeginSequence(std::size_t count) override;
    void EndSequence() override;

    // Deadlines in milliseconds: opening the link, and one whole request and reply
    // (writing and reading together).
    void SetTimeouts(int connectMs, int replyMs);
    // Every request and link opening from now on ends by this deadline too; once it has
    // passed they fail at once, with a message naming the server. CommDeadline() lifts it.
    void SetDeadline(const CommDeadline& deadline) {
        deadline_ = deadline;
        gaveUp_ = false;
    }
    const CommDeadline& Deadline() const { return deadline_; }
    // A request failed for the deadline since it was set; the message says so, naming
    // the server (callers whose own reports lose the reason add it).
    bool GaveUp() const { return gaveUp_; }
    std::string DeadlineMessage() const;
    // Called before a request made with no deadline set, so that the window can give the
    // action under way its own.
    void SetDeadlineStarter(std::function<void()> starter) {
        deadlineStarter_ = std::move(starter);
    }
    bool IsLinkOpen() const { return fd_ >= 0; }
    const std::string& Entity() const { return entity_; }
    const std::string& LastError() const { return lastError_; }

  private:
    bool OpenLink(std::string& error);
    void CloseLink();
    bool LinkLooksAlive() const;
    // limitMs bounded by the deadline; byDeadline tells when the deadline is the bound.
    int Bound(int limitMs, bool& byDeadline) const;
    const std::string& GiveUp(std::string& error);
    // On success elements_ views the reply's elements (after the status) inside frame_,
    // valid until the next exchange.
    bool Exchange(const char* channel, const std::string& request, std::string& error);
    // The elements joined into out; ends the use of elements_.
    void JoinElements(std::string_view separator, std::string& out);
    void ReleaseReply();
    static constexpr std::size_t kKeptFrameBytes = 8u * 1024u * 1024u;

    std::string address_;
    std::string port_;
    std::string entity_;
    std::string debugOption_;
    std::string lastError_;
    bool debug_ = false;
    int fd_ = -1;
    int linkGeneration_ = 0;  // counts the links opened
    // The upload under way (id 0: none); index counts its requests sent so far.
    wire::Sequence sequence_;
    std::uint64_t lastSequenceId_ = 0;
    int sequenceLink_ = 0;
    bool sequenceBroken_ = false;
    // Kept between requests, so a large reply does not grow a fresh buffer every time.
    std::string frame_;
    std::vector<std::string_view> elements_;
    int connectMs_ = 5000;
    int replyMs_ = 60000;
    CommDeadline deadline_;
    bool gaveUp_ = false;
    std::function<void()> deadlineStarter_;
};
