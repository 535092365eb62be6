#pragma once
// The designer's link to a frame server that answers from a script and records every
// request, for the commands whose replies a real server would not give on demand
// (transport failures, malformed replies). Past the script it answers "|OK||DONE|END|".
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "FrameServer.h"
#include "server/RepositoryCommands.h"
#include "server/TcpComm.h"

class ScriptedComm : public TcpComm {
  public:
    struct Answer {
        bool ok = true;  // else refused as a "scripted failure"
        std::vector<std::string> elements;
    };
    ScriptedComm() { requests::OpenLink(*this, "127.0.0.1", std::to_string(Port()), "1"); }
    int Port() const { return server_.Port(); }
    void Ok(std::vector<std::string> elements) { Push({true, std::move(elements)}); }
    void Fail() { Push({false, {}}); }
    void Push(Answer answer) {
        std::lock_guard<std::mutex> l(mu_);
        answers_.push_back(std::move(answer));
    }
    // The answers from now on, in place of what was left; the requests seen are forgotten.
    void Script(const std::vector<Answer>& answers) {
        std::lock_guard<std::mutex> l(mu_);
        answers_.assign(answers.begin(), answers.end());
        sent_.clear();
    }
    std::vector<std::string> Sent() {
        std::lock_guard<std::mutex> l(mu_);
        return sent_;
    }

  private:
    std::vector<std::string> Next(const std::vector<std::string>& request) {
        std::lock_guard<std::mutex> l(mu_);
        sent_.push_back(request[2]);
        if (answers_.empty()) return {"OK", "|OK||DONE|END|"};
        Answer a = answers_.front();
        answers_.pop_front();
        if (!a.ok) return {"FAIL", "scripted failure"};
        a.elements.insert(a.elements.begin(), "OK");
        return a.elements;
    }

    std::mutex mu_;
    std::deque<Answer> answers_;
    std::vector<std::string> sent_;
    FrameServer server_{[this](const std::vector<std::string>& f) { return Next(f); }};
};
