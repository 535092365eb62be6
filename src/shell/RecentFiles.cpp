#include "shell/RecentFiles.h"

#include <algorithm>

#include "shell/AtomicFile.h"

namespace recent {

std::string ListPath(const std::string& dataFolder) {
    return dataFolder + "/recent-layouts.txt";
}

std::vector<std::string> Load(const std::string& dataFolder) {
    std::vector<std::string> paths;
    const std::string text = files::ReadTextFile(ListPath(dataFolder));
    for (size_t at = 0; at < text.size() && paths.size() < kMaxRecent;) {
        size_t end = std::min(text.find('\n', at), text.size());
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && std::find(paths.begin(), paths.end(), line) == paths.end())
            paths.push_back(line);
        at = end + 1;
    }
    return paths;
}

bool Add(const std::string& dataFolder, const std::string& path) {
    if (path.empty() || path.find_first_of("\r\n") != std::string::npos) return false;
    std::vector<std::string> paths = Load(dataFolder);
    paths.erase(std::remove(paths.begin(), paths.end(), path), paths.end());
    paths.insert(paths.begin(), path);
    if (paths.size() > kMaxRecent) paths.resize(kMaxRecent);
    std::string text, error;
    for (const std::string& p : paths) text += p + "\n";
    return files::AtomicWriteFile(ListPath(dataFolder), text, error);
}

}  // namespace recent
