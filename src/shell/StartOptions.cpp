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
    return ParseStartOptions(text::Join(args, " "));
}
