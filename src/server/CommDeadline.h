#pragma once
// One time limit for a whole command or window action, however many requests it makes:
// a silent server then costs the user that long once, not a wait per request.
#include <algorithm>
#include <chrono>

class CommDeadline {
  public:
    using Clock = std::chrono::steady_clock;

    // No limit beyond each request's own.
    CommDeadline() = default;
    static CommDeadline In(std::chrono::milliseconds allowed) {
        CommDeadline d;
        d.limited_ = true;
        d.allowed_ = allowed;
        d.end_ = Clock::now() + allowed;
        return d;
    }

    bool Limited() const { return limited_; }
    bool Passed() const { return limited_ && Clock::now() >= end_; }
    // Milliseconds left, never below 1 so that no wait turns into "no limit".
    int RemainingMs() const {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end_ - Clock::now());
        return int(std::clamp<long long>(left.count(), 1, 1LL << 30));
    }
    // The time allowed, for the message, in whole seconds (at least 1).
    long long AllowedSeconds() const {
        return std::max<long long>(1, (allowed_.count() + 500) / 1000);
    }

  private:
    bool limited_ = false;
    std::chrono::milliseconds allowed_{0};
    Clock::time_point end_{};
};
