#include "server/ConnectionLogic.h"

#include "server/CommComponent.h"
#include "server/OutsideComponents.h"
#include "server/RepositoryCommands.h"
#include "shell/UserInterface.h"

ConnectionLogic::ConnectionLogic(CommComponent& comm, UserInterface& ui, StartOptions options)
    : comm_(comm), ui_(ui), options_(options) {
    if (options_.debugMode) {
        comm_.SetDebugMode(true);
        if (options_.debugReceive) comm_.SetDebugOption("debug mode rcv");
    }
}

bool ConnectionLogic::DoPingTest(const std::string& text, int number) {
    if (options_.SkipPing()) return true;
    return comm_.PingServer(text, number);
}

bool ConnectionLogic::Open(const std::string& address, const std::string& port,
                           const std::string& entity) {
    requests::OpenLink(comm_, address, port, entity);
    if (options_.SkipPing()) return true;
    std::string reply, error;
    return comm_.GetServerStringData(requests::Ping(), "", reply, error);
}

bool ConnectionLogic::Connect() {
    const bool wasConnected = connected_;
    if (Open(address, port, entity)) {
        connected_ = true;
        connectedAddress_ = address;
        connectedPort_ = port;
        connectedEntity_ = entity;
        return true;
    }
    ui_.Message("ERROR connecting to \r\n" + address + " " + port, "Not Connected",
                MessageIcon::Warning);
    // The attempt reset and closed the link the designer had: it stays connected only
    // when that link answers again, never over a closed one.
    connected_ = wasConnected && Open(connectedAddress_, connectedPort_, connectedEntity_);
    if (connected_) {
        address = connectedAddress_;
        port = connectedPort_;
        entity = connectedEntity_;
    }
    return false;
}

void ConnectionLogic::Disconnect(UtilityComponent* utility) {
    requests::CloseConnection(comm_);
    if (utility) utility->Reset();
    connected_ = false;
}

std::string ConnectionLogic::Caption() const {
    return connected_ ? connectedAddress_ + "   " + connectedPort_ : "Disconnected";
}

std::string ConnectionLogic::StatusText(bool connected, const std::string& address,
                                        const std::string& port) {
    if (!connected) return "   ***  not connected *** ";
    return "   ***  Connected to " + address + "  " + port + "  *** ";
}

std::string ConnectionLogic::StatusText() const {
    return StatusText(connected_, connectedAddress_, connectedPort_);
}
