#include "StartOptions.h"

#include "TextUtils.h"

StartOptions ParseStartOptions(std::string_view commandLine) {
    auto has = [&](std::string_view what) { return commandLine.find(what) != commandLine.npos; };
    StartOptions o;
    o.debugMode = has("debug mode");
    o.debugReceive = o.debugMode && has("rcv");
    o.ignorePing = has("ignore ping");
    o.noPing = has("no ping");
    return o;
}

StartOptions ParseStartOptions(const std::vector<std::string>& args) {
    StartOptions o = ParseStartOptions(text::Join(args, " "));
    for (size_t i = 0; i < args.size(); ++i) {
        std::string value;
        if (args[i] == "--connect" && i + 1 < args.size())
            value = args[++i];
        else if (args[i].rfind("--connect=", 0) == 0)
            value = args[i].substr(10);
        else if (args[i] != "--connect")
            continue;
        size_t colon = value.rfind(':');
        long long port = 0;
        if (colon == 0 || colon == value.npos || !text::ParseInt(value.substr(colon + 1), port) ||
            port < 1 || port > 65535) {
            o.error = "--connect wants HOST:PORT (a port from 1 to 65535)";
            continue;
        }
        o.connectAddress = value.substr(0, colon);
        o.connectPort = std::to_string(port);
    }
    return o;
}
