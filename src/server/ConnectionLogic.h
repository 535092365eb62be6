#pragma once
// The connection dialog without its window: the three connection values, the opening
// and closing sequences on the shared communication component, the ping test and the
// connected flag every server flow checks.
#include <string>

#include "shell/StartOptions.h"

class CommComponent;
class UserInterface;
class UtilityComponent;

class ConnectionLogic {
  public:
    ConnectionLogic(CommComponent& comm, UserInterface& ui, StartOptions options = {});

    // The boxes as typed; the dialog starts with these built-in values.
    std::string address = "127.0.0.1";
    std::string port = "5001";
    std::string entity;

    // "Connect": true when the server answered the ping (or the ping is switched off).
    // A failed attempt keeps a designer that was connected connected only when its
    // previous link answers again (the attempt closed it); the shared values then
    // go back to that link's.
    bool Connect();
    // "Disconnect": closes the link and resets the utility component (when given).
    void Disconnect(UtilityComponent* utility);
    bool DoPingTest(const std::string& text, int number);

    bool Connected() const { return connected_; }
    // "Disconnected", or address + three blanks + port.
    std::string Caption() const;
    // The main window's status text.
    std::string StatusText() const;
    static std::string StatusText(bool connected, const std::string& address,
                                  const std::string& port);
    CommComponent& Comm() { return comm_; }

  private:
    // Opens the link and pings it; with a ping switch on, no request is sent.
    bool Open(const std::string& address, const std::string& port, const std::string& entity);

    CommComponent& comm_;
    UserInterface& ui_;
    StartOptions options_;
    bool connected_ = false;
    std::string connectedAddress_, connectedPort_, connectedEntity_;
};
