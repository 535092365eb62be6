#include "shell/RecoveryFiles.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <filesystem>

#include "shell/AtomicFile.h"
#include "shell/UserInterface.h"

namespace fs = std::filesystem;

namespace recovery {
namespace {

constexpr const char* kMagic = "FORMDESIGNER-RECOVERY\t";

std::string Folder(const std::string& dataFolder) {
    return dataFolder + "/recovery";
}

std::string Now() {
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// The process that wrote a file, from its name "<pid>-<window>.rcv"; 0 when unknown.
long WriterProcess(const fs::path& file) {
    const std::string stem = file.stem().string();
    try {
        return std::stol(stem.substr(0, stem.find('-')));
    } catch (...) {
        return 0;
    }
}

bool Alive(long pid) {
    return pid > 0 && (kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

// One "key\tvalue\r\n" header line; false when the line is not that key.
bool TakeLine(const std::string& text, size_t& at, const std::string& key, std::string& value) {
    size_t end = text.find("\r\n", at);
    if (end == std::string::npos || text.compare(at, key.size(), key) != 0) return false;
    value = text.substr(at + key.size(), end - at - key.size());
    at = end + 2;
    return true;
}

}  // namespace

std::string FilePath(const std::string& dataFolder, int window) {
    return Folder(dataFolder) + "/" + std::to_string(long(getpid())) + "-" +
           std::to_string(window) + ".rcv";
}

bool Write(const std::string& path, const std::string& formName, const std::string& layoutText,
           std::string& error) {
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    // Line breaks in a name would end its header line early.
    std::string name = formName;
    std::replace(name.begin(), name.end(), '\r', ' ');
    std::replace(name.begin(), name.end(), '\n', ' ');
    const std::string text = kMagic + std::to_string(kFormatVersion) + "\r\nName\t" + name +
                             "\r\nSaved\t" + Now() + "\r\n" + layoutText;
    return files::AtomicWriteFile(path, text, error);
}

Entry Read(const std::string& path) {
    Entry e;
    e.path = path;
    std::string text, error, version;
    if (!files::ReadWholeFile(path, text, error)) {
        e.problem = error;
        return e;
    }
    size_t at = 0;
    if (!TakeLine(text, at, kMagic, version)) {
        e.problem = "not a recovery file";
        return e;
    }
    int v = 0;
    try {
        v = std::stoi(version);
    } catch (...) {
    }
    if (v > kFormatVersion) {
        e.problem = "written by a newer version (" + version + ")";
        return e;
    }
    if (v < 1 || !TakeLine(text, at, "Name\t", e.formName) ||
        !TakeLine(text, at, "Saved\t", e.savedAt) || at >= text.size()) {
        e.problem = "damaged";
        return e;
    }
    e.layoutText = text.substr(at);
    return e;
}

std::vector<Entry> FindLeftOver(const std::string& dataFolder) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(Folder(dataFolder), ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == ".rcv" && !Alive(WriterProcess(it->path())))
            found.push_back(it->path());
    std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
        std::error_code e1, e2;
        return fs::last_write_time(a, e1) < fs::last_write_time(b, e2);
    });
    std::vector<Entry> entries;
    for (const fs::path& p : found) entries.push_back(Read(p.string()));
    return entries;
}

void Remove(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

std::optional<Entry> Offer(UserInterface& ui, const std::string& dataFolder) {
    for (Entry& e : FindLeftOver(dataFolder)) {
        if (!e.problem.empty()) {
            ui.Message("The recovery file " + e.path + " cannot be used (" + e.problem +
                           ").\r\nIt is kept.",
                       "Form Designer", MessageIcon::Warning);
            continue;
        }
        const std::string name = e.formName.empty() ? "(new form)" : e.formName;
        if (ui.YesNo("Recover the unsaved form " + name + " of " + e.savedAt + "?",
                     "Form Designer"))
            return std::move(e);
        if (ui.YesNo("The unsaved form " + name + " will be lost for good.\r\nDelete it?",
                     "Form Designer"))
            Remove(e.path);
    }
    return std::nullopt;
}

}  // namespace recovery
