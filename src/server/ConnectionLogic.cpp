#include "server/ConnectionLogic.h"

#include "server/CommComponent.h"
#include "server/OutsideComponents.h"
#include "server/Requests.h"
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

bool ConnectionLogic::Connect() {
    std::string error;
    bool answered = requests::OpenConnection(comm_, address, port, entity, error);
    // A link whose ping failed was reset and closed: it is not connected, whatever it
    // was before.
    connected_ = answered || options_.SkipPing();
    if (!connected_) {
        ui_.Message("ERROR connecting to \r\n" + address + " " + port, "Not Connected",
                    MessageIcon::Warning);
        return false;
    }
    connectedAddress_ = address;
    connectedPort_ = port;
    return true;
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
