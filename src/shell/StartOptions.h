#pragma once
// The switches that alter the server link, found anywhere in the command line. The
// program parses them once at start and hands them to the connection logic.
#include <string>
#include <string_view>
#include <vector>

struct StartOptions {
    bool debugMode = false;     // "debug mode": the link logs what it does
    bool debugReceive = false;  // "rcv" together with "debug mode": received data too
    bool ignorePing = false;    // "ignore ping"
    bool noPing = false;        // "no ping"
    // "--connect HOST:PORT": the designer connects to that server as it starts.
    std::string connectAddress;
    std::string connectPort;
    std::string error;  // what was wrong with the command line; empty when nothing
    // Either ping switch makes every ping test succeed without a request.
    bool SkipPing() const { return ignorePing || noPing; }
    bool ConnectsAtStart() const { return !connectAddress.empty(); }
};

// commandLine: the arguments after the program's name, joined by blanks.
StartOptions ParseStartOptions(std::string_view commandLine);
// args: the arguments after the program's name; "--connect" is taken from them too.
StartOptions ParseStartOptions(const std::vector<std::string>& args);
