#pragma once
// Names the program gives itself: window and message title, and the identity the
// outside utility component logs under.
#include <string>
#include <string_view>

namespace app {

inline constexpr std::string_view kTitle = "Form Designer";
inline constexpr std::string_view kAppCode = "FD";
inline constexpr std::string_view kProductName = "FormsDesigner";
inline constexpr std::string_view kErrorLogName = "FormsDesignerErrors.log";

// "file: " followed by the program's file name (no folder).
inline std::string LogFileIdentity(std::string_view programPath) {
    size_t slash = programPath.find_last_of("/\\");
    return "file: " +
           std::string(slash == programPath.npos ? programPath : programPath.substr(slash + 1));
}

}  // namespace app
