#pragma once
// The communication component (`mcomm`): the one door to the practice server.
// Requests and replies are Windows-1252 byte strings; the transport is TcpComm.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CommComponent {
  public:
    virtual ~CommComponent() = default;
    // Reply as one text. False means no reply; error then says why.
    virtual bool GetServerStringData(const std::string& request, const std::string& extra,
                                     std::string& reply, std::string& error) = 0;
    // Reply as a list of elements (lines of a layout, pieces of an image ...).
    virtual bool GetServerArrayData(const std::string& request, const std::string& extra,
                                    std::vector<std::string>& reply, std::string& error) = 0;
    // The same reply as GetServerArrayData, its elements joined with separator into one
    // text, and how many there were; a transport may skip the string per element.
    virtual bool GetServerArrayJoined(const std::string& request, std::string_view separator,
                                      std::string& joined, std::size_t& count, std::string& error) {
        std::vector<std::string> elements;
        joined.clear();
        count = 0;
        if (!GetServerArrayData(request, "", elements, error)) return false;
        count = elements.size();
        for (std::size_t i = 0; i < count; ++i) {
            if (i) joined += separator;
            joined += elements[i];
        }
        return true;
    }
    virtual int SetServerAddress(const std::string& address, const std::string& port, int retries,
                                 int flags) = 0;
    virtual int SetSessionContext(const std::string& a, const std::string& entity,
                                  const std::string& b) = 0;
    virtual int ResetConnection() = 0;
    virtual int Connect() = 0;
    virtual int Disconnect() = 0;
    virtual bool PingServer(const std::string& text, int number) = 0;
    virtual std::string ResolveHostAddress(const std::string& hostName) = 0;
    virtual std::string ServerAddress() const = 0;
    virtual std::string ServerPort() const = 0;
    virtual bool DebugMode() const = 0;
    virtual void SetDebugMode(bool on) = 0;
    virtual void SetDebugOption(const std::string& option) = 0;
    // The next `count` requests are one upload (the pieces of a save record or of a
    // picture). Each is marked with its place in it, so the server can refuse an upload
    // that arrives incomplete; a link lost in between fails the rest of the upload
    // instead of carrying it on over a new link. EndSequence ends the marking.
    virtual void BeginSequence(std::size_t count) { (void)count; }
    virtual void EndSequence() {}
};
