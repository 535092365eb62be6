#include "DataFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string HomeFolder() {
    std::string home = Env("HOME");
    if (!home.empty()) return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/tmp";
}

}  // namespace

std::string DataFolderPath() {
    std::string own = Env("FORMDESIGNER_HOME");
    if (!own.empty()) return own;
    // Relative values of XDG_DATA_HOME are invalid by the base-directory rules.
    std::string xdg = Env("XDG_DATA_HOME");
    if (!xdg.empty() && xdg[0] == '/') return xdg + "/formdesigner";
    return HomeFolder() + "/.local/share/formdesigner";
}

std::string GetDataFolder(std::string& error) {
    std::string path = DataFolderPath();
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (!std::filesystem::is_directory(path, ec)) {
        error = "cannot create the data folder " + path + (ec ? ": " + ec.message() : "");
        return {};
    }
    return path;
}

std::string GetDataFolder() {
    std::string error;
    return GetDataFolder(error);
}
