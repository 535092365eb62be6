#pragma once
// The local layouts opened or saved last, newest first, at most kMaxRecent. The program
// keeps no settings file; this list is the one exception, a text file of one path a
// line beside the recovery files in the data folder ("recent-layouts.txt"), so that
// everything the designer keeps between runs stays in that one folder.
#include <string>
#include <vector>

namespace recent {

constexpr size_t kMaxRecent = 8;

std::string ListPath(const std::string& dataFolder);
// Paths that no longer exist stay listed; opening one reports it as any open does.
std::vector<std::string> Load(const std::string& dataFolder);
// path goes to the front (once); false when the list could not be written.
bool Add(const std::string& dataFolder, const std::string& path);

}  // namespace recent
