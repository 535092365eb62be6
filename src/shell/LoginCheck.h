#pragma once
// The start-up password check, apart from any window.
#include <string>
#include <string_view>

class LoginCheck {
  public:
    // The password held by the program.
    static constexpr std::string_view kPassword = "tarnvoss";

    // True when entered equals the password, letter case aside.
    static bool Accepts(std::string_view entered);
};
