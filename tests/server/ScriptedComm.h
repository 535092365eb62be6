#pragma once
// A communication component that answers from a script and records every request,
// for the commands whose replies a real server would not give on demand (transport
// failures, malformed replies); and the connection dialog without its window.
#include <deque>
#include <string>
#include <vector>

#include "server/CommComponent.h"
#include "server/ConnectionLogic.h"
#include "server/FormFlows.h"

class ScriptedComm : public CommComponent {
  public:
    struct Answer {
        bool ok = true;
        std::vector<std::string> elements;
    };
    std::deque<Answer> answers;
    std::vector<std::string> sent;
    bool debug = false;

    void Ok(std::vector<std::string> elements) { answers.push_back({true, std::move(elements)}); }
    void Fail() { answers.push_back({false, {}}); }

    bool Next(const std::string& request, std::vector<std::string>& out, std::string& error) {
        sent.push_back(request);
        if (answers.empty()) {
            out = {"|OK||DONE|END|"};
            return true;
        }
        Answer a = answers.front();
        answers.pop_front();
        out = a.elements;
        if (!a.ok) error = "scripted failure";
        return a.ok;
    }
    bool GetServerStringData(const std::string& request, const std::string&, std::string& reply,
                             std::string& error) override {
        std::vector<std::string> el;
        bool ok = Next(request, el, error);
        reply.clear();
        for (auto& e : el) reply += e;
        return ok;
    }
    bool GetServerArrayData(const std::string& request, const std::string&,
                            std::vector<std::string>& reply, std::string& error) override {
        return Next(request, reply, error);
    }
    int SetServerAddress(const std::string&, const std::string&, int, int) override { return 0; }
    int SetSessionContext(const std::string&, const std::string&, const std::string&) override {
        return 0;
    }
    int ResetConnection() override { return 0; }
    int Connect() override { return 0; }
    int Disconnect() override { return 0; }
    bool PingServer(const std::string&, int) override { return true; }
    std::string ResolveHostAddress(const std::string&) override { return {}; }
    std::string ServerAddress() const override { return {}; }
    std::string ServerPort() const override { return {}; }
    bool DebugMode() const override { return debug; }
    void SetDebugMode(bool on) override { debug = on; }
    void SetDebugOption(const std::string&) override {}
};

// The connection dialog's logic, connected without a window.
struct DirectConnection : ConnectionPrompt {
    ConnectionLogic& logic;
    int shown = 0;
    explicit DirectConnection(ConnectionLogic& l) : logic(l) {}
    bool Connected() const override { return logic.Connected(); }
    bool ShowConnectDialog() override {
        ++shown;
        return logic.Connect();
    }
};
