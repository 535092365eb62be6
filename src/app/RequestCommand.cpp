#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"
#include "server/TcpComm.h"
#include "shell/Cp1252.h"

namespace {

int Usage() {
    std::cerr << "usage: formdesigner request [--server HOST:PORT] [--entity E] [--timeout S] "
                 "[--array] [--raw] TEXT\n";
    return 2;
}

}  // namespace

bool ParseCommandTimeout(const std::string& text, CommDeadline& deadline) {
    char* end = nullptr;
    double seconds = std::strtod(text.c_str(), &end);
    if (text.empty() || *end || !(seconds >= 0.05 && seconds <= 86400)) return false;
    deadline = CommDeadline::In(std::chrono::milliseconds(static_cast<long long>(seconds * 1000)));
    return true;
}

int RunRequestCommand(const std::vector<std::string>& args) {
    std::string server = "127.0.0.1:5001";
    std::string entity;
    std::string request;
    bool array = false, raw = false, haveText = false;
    CommDeadline deadline;
    ParseCommandTimeout(std::to_string(kDefaultCommandSeconds), deadline);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--server" && i + 1 < args.size()) {
            server = args[++i];
        } else if (a == "--timeout" && i + 1 < args.size()) {
            if (!ParseCommandTimeout(args[++i], deadline)) return Usage();
        } else if (a == "--entity" && i + 1 < args.size()) {
            entity = args[++i];
        } else if (a == "--array") {
            array = true;
        } else if (a == "--raw") {
            raw = true;
        } else if (!haveText) {
            request = a;
            haveText = true;
        } else {
            return Usage();
        }
    }
    auto colon = server.rfind(':');
    if (!haveText || colon == std::string::npos || colon == 0) return Usage();
    std::string host = server.substr(0, colon), port = server.substr(colon + 1);
    // The terminal speaks UTF-8; the server speaks Windows-1252. --raw passes bytes as given.
    if (!raw) request = cp1252::FromUtf8(request);

    TcpComm comm;
    comm.SetDeadline(deadline);
    comm.ResetConnection();
    comm.Disconnect();
    comm.SetServerAddress(host, port, 10, 0);
    comm.SetSessionContext("", entity, "");
    comm.Connect();

    std::string error;
    auto out = [&](const std::string& bytes) {
        if (raw)
            std::cout.write(bytes.data(), std::streamsize(bytes.size()));
        else
            std::cout << cp1252::ToUtf8(bytes);
    };
    if (array) {
        std::vector<std::string> lines;
        if (!comm.GetServerArrayData(request, "", lines, error)) {
            std::cerr << "formdesigner: no reply: " << error << "\n";
            return 1;
        }
        for (const auto& l : lines) {
            out(l);
            std::cout << "\n";
        }
    } else {
        std::string reply;
        if (!comm.GetServerStringData(request, "", reply, error)) {
            std::cerr << "formdesigner: no reply: " << error << "\n";
            return 1;
        }
        out(reply);
        if (!raw) std::cout << "\n";
    }
    std::cout.flush();
    return 0;
}
