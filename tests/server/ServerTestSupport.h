#pragma once
// What the server tests share: the test data, what the user was shown and asked, a
// designer of its own against a server, the server with the demo forms.
#include <deque>
#include <functional>
#include <random>

#include "RepositoryServerProcess.h"
#include "ScriptedComm.h"
#include "canvas/CanvasModel.h"
#include "layout/LayoutReader.h"
#include "layout/LayoutTestSupport.h"
#include "layout/LayoutWriter.h"
#include "server/ConnectionLogic.h"
#include "server/FormFlows.h"
#include "server/SaveFormPrompt.h"
#include "shell/RecordingUserInterface.h"

// Bytes of every value, with line ends inside that must survive the trip.
inline std::string Picture(std::size_t size, unsigned seed) {
    std::mt19937 gen(seed);
    std::string bytes(size, '\0');
    for (auto& b : bytes) b = char(gen() & 0xFF);
    if (size > 10) bytes.replace(5, 4, "\r\n\r\n");
    return bytes;
}

// Every message the user was shown, in order, each as "|title: text".
inline std::string Shown(const RecordingUserInterface& ui) {
    std::string out;
    for (const auto& m : ui.Messages()) out += "|" + m.title + ": " + m.text;
    return out;
}

inline bool HasMessage(const RecordingUserInterface& ui, const std::string& text,
                       const std::string& title = {}) {
    for (const auto& m : ui.Messages())
        if (m.text.find(text) != std::string::npos && (title.empty() || m.title == title))
            return true;
    return false;
}

// How many times the user was asked exactly this (Yes/No or OK/Cancel).
inline int Asked(const RecordingUserInterface& ui, const std::string& text) {
    int n = 0;
    for (const auto& c : ui.calls)
        n += (c.kind == RecordingUserInterface::Kind::YesNo ||
              c.kind == RecordingUserInterface::Kind::OkCancel) &&
             c.text == text;
    return n;
}

// The save dialog as a user fills it in, one answer each time it opens (the last one
// stays); what it opened with is kept.
struct ScriptedSavePrompt : SaveFormPrompt {
    std::deque<bool> answers = {true};
    std::string code = "NEWFORM", name = "New form", type = "TEST", documentType = "LAB";
    std::vector<std::string> offered;
    std::vector<bool> overwrite;
    bool ShowSaveDialog(FormSettings& s, bool formExists) override {
        offered.push_back(s.formCode);
        overwrite.push_back(formExists);
        bool answer = answers.front();
        if (answers.size() > 1) answers.pop_front();
        if (!answer) return false;
        NameForm(s, code, name, type, documentType);
        return true;
    }
};

// A designer's link, cut at request number cutAt: the request never reaches the server,
// or (replyLost) the server gets it but its reply is lost; either way the link closes.
// With restart set, the server restarts there instead and the request goes on.
struct CuttingComm : TcpComm {
    int cutAt = 0, sent = 0;
    bool replyLost = false;
    std::function<void()> restart;
    template <class Send>
    bool Cut(Send send, std::string& error) {
        if (++sent != cutAt) return send();
        if (restart) {
            restart();
            return send();
        }
        if (replyLost) send();
        Disconnect();
        error = "link cut";
        return false;
    }
    bool GetServerStringData(const std::string& request, const std::string& extra,
                             std::string& reply, std::string& error) override {
        return Cut([&] { return TcpComm::GetServerStringData(request, extra, reply, error); },
                   error);
    }
    bool GetServerArrayData(const std::string& request, const std::string& extra,
                            std::vector<std::string>& reply, std::string& error) override {
        return Cut([&] { return TcpComm::GetServerArrayData(request, extra, reply, error); },
                   error);
    }
    bool GetServerArrayJoined(const std::string& request, std::string_view separator,
                              std::string& joined, std::size_t& count,
                              std::string& error) override {
        return Cut(
            [&] { return TcpComm::GetServerArrayJoined(request, separator, joined, count, error); },
            error);
    }
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

// One designer: its own data folder, model, canvas and link, connecting to port when
// first asked.
template <class Comm>
struct Designer {
    std::filesystem::path root;
    RecordingUserInterface ui;
    FixedTextMetrics metrics;
    FormModel model;
    CanvasModel store{model, metrics};
    LocalFolders folders;
    Comm comm;
    ConnectionLogic connection{comm, ui};
    DirectConnection prompt{connection};
    ScriptedSavePrompt save;
    FormFlows flows{comm, ui, folders, model, store, store, metrics};

    Designer(const std::filesystem::path& dir, int port)
        : root(dir), folders((std::filesystem::create_directories(dir), dir.string()), ui) {
        comm.SetTimeouts(5000, 20000);
        connection.port = std::to_string(port), connection.entity = "1";
        flows.SetConnectionPrompt(&prompt);
        flows.SetSavePrompt(&save);
    }
    bool Read(const std::string& layout) {
        return LayoutReader(model, store, metrics, ui).BuildForm(layout);
    }
    std::string Write() { return LayoutWriter(model, store, ui).ReassembleData(); }
};

// The real server, and a link to it opened as the designer opens it.
struct Linked : WithServer {
    TcpComm comm;
    RecordingUserInterface ui;
    void SetUp() override {
        WithServer::SetUp();
        if (!Ready()) return;
        comm.SetTimeouts(5000, 20000);
        std::string error, port = std::to_string(server->Port());
        ASSERT_TRUE(requests::OpenConnection(comm, "127.0.0.1", port, "1", error)) << error;
    }
};

struct DemoServer : Linked {
    DemoServer() { demo = true; }
};
