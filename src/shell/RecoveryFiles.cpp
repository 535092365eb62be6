#include "shell/RecoveryFiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <mutex>
#include <random>

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

// The descriptors that hold the locks of this process's files, by path.
std::mutex heldMutex;
std::map<std::string, int>& Held() {
    static std::map<std::string, int> held;
    return held;
}

void LetGo(const std::string& path) {
    std::lock_guard lock(heldMutex);
    auto it = Held().find(path);
    if (it == Held().end()) return;
    ::close(it->second);
    Held().erase(it);
}

// The file's bytes when it is a regular file that no running designer holds.
enum class Found { LeftOver, InUse, NotAFile };
Found ReadIfLeftOver(const std::string& path, std::string& text, std::string& error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = std::string("cannot open it: ") + std::strerror(errno);
        return Found::LeftOver;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Found::NotAFile;
    }
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        ::close(fd);
        return Found::InUse;
    }
    char chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = std::string("cannot read it: ") + std::strerror(errno);
        if (n <= 0) break;
        text.append(chunk, std::size_t(n));
    }
    ::close(fd);
    return Found::LeftOver;
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
    static const unsigned drawn = std::random_device()();
    char token[16];
    std::snprintf(token, sizeof token, "%08x", drawn);
    return Folder(dataFolder) + "/" + std::to_string(long(getpid())) + "-" + token + "-" +
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
    int fd = -1;
    if (!files::AtomicWriteFile(path, text, error, &fd)) return false;
    // The new file's lock is taken before the old one's goes: never a moment unheld.
    std::lock_guard lock(heldMutex);
    auto [held, fresh] = Held().try_emplace(path, fd);
    if (!fresh) {
        ::close(held->second);
        held->second = fd;
    }
    return true;
}

namespace {

Entry Parse(const std::string& path, const std::string& text) {
    Entry e;
    e.path = path;
    std::string version;
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

}  // namespace

Entry Read(const std::string& path) {
    std::string text, error;
    if (!files::ReadWholeFile(path, text, error)) {
        Entry e;
        e.path = path;
        e.problem = error;
        return e;
    }
    return Parse(path, text);
}

std::vector<Entry> FindLeftOver(const std::string& dataFolder) {
    std::vector<std::pair<fs::file_time_type, Entry>> found;
    std::error_code ec;
    for (fs::directory_iterator it(Folder(dataFolder), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code sec;
        if (it->path().extension() != ".rcv" || !it->is_regular_file(sec) || it->is_symlink(sec))
            continue;
        std::string text, error;
        const std::string path = it->path().string();
        if (ReadIfLeftOver(path, text, error) != Found::LeftOver) continue;
        Entry e = Parse(path, text);
        if (!error.empty()) e = Entry{path, "", "", "", error};
        found.emplace_back(it->last_write_time(sec), std::move(e));
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Entry> entries;
    for (auto& f : found) entries.push_back(std::move(f.second));
    return entries;
}

void Remove(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
    LetGo(path);
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
