#pragma once
// Recovery files: while a window's form has unsaved changes its layout text is kept
// in <data folder>/recovery, one file per window, so that a crash loses at most the
// last few seconds of work. A clean save, close or discard removes the file; a file
// found at start-up whose window's process is gone is offered back.
#include <optional>
#include <string>
#include <vector>

class UserInterface;

namespace recovery {

constexpr int kFormatVersion = 1;

struct Entry {
    std::string path;
    std::string formName;  // as the window showed it ("" for a new form)
    std::string savedAt;   // "YYYY-MM-DD HH:MM:SS" local time
    std::string layoutText;
    // Set when the file cannot be offered: it does not read, or a newer version
    // wrote it. Such a file is kept and reported, never deleted here.
    std::string problem;
};

// The file of one window of this process (window: a number unique within it).
std::string FilePath(const std::string& dataFolder, int window);
// Writes atomically; false with the reason in error.
bool Write(const std::string& path, const std::string& formName, const std::string& layoutText,
           std::string& error);
Entry Read(const std::string& path);
// Files left by processes that are gone, oldest first.
std::vector<Entry> FindLeftOver(const std::string& dataFolder);
void Remove(const std::string& path);

// Offers the files left over, oldest first, until one is taken: that one, whose file
// the caller removes once the form is open again. A declined file is deleted after a
// second question; one that cannot be used is reported and kept.
std::optional<Entry> Offer(UserInterface& ui, const std::string& dataFolder);

}  // namespace recovery
