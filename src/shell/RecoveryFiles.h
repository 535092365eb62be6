#pragma once
// Recovery files: while a window's form has unsaved changes its layout text is kept
// in <data folder>/recovery, one file per window, so that a crash loses at most the
// last few seconds of work. A clean save, close or discard removes the file. The designer
// holds a lock (flock) on each of its files for as long as it runs, so a file found at
// start-up that nobody holds was left by a designer that is gone, and is offered back.
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

// The file of one window of this process (window: a number unique within it). The name
// holds the process id and a number drawn at start, so a later process that gets the same
// id never writes over a file still waiting to be offered.
std::string FilePath(const std::string& dataFolder, int window);
// Writes atomically and holds the file's lock until Remove; false with the reason in error.
bool Write(const std::string& path, const std::string& formName, const std::string& layoutText,
           std::string& error);
Entry Read(const std::string& path);
// Files no running designer holds, oldest first. Anything but a regular file is passed
// over (reading a FIFO would never end).
std::vector<Entry> FindLeftOver(const std::string& dataFolder);
// Deletes the file and lets go of its lock.
void Remove(const std::string& path);

// Offers the files left over, oldest first, until one is taken: that one, whose file
// the caller removes once the form is open again. A declined file is deleted after a
// second question; one that cannot be used is reported and kept.
std::optional<Entry> Offer(UserInterface& ui, const std::string& dataFolder);

}  // namespace recovery
